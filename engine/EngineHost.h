#pragma once

#include "engine/ConversionTask.h"
#include "engine/DeviceProfiles.h"

// What the engine needs of the main window. The engine has no window of its own: it reads
// and writes tasks by value, reads the settings taken when the run started, and asks for a
// task's row or status cell to be redrawn. The main window implements it; tests use a fake.
class ConverterHost {
public:
    virtual ConversionTask GetTask(int index) const = 0;
    virtual void SetTask(int index, const ConversionTask& task) = 0;
    virtual int TaskCount() const = 0;
    virtual const OutputSettings& RunSettings() const = 0;
    virtual bool ShutDownChecked() const = 0;
    virtual void RedrawTaskRow(int index) = 0;
    virtual void RedrawTaskStatus(int index) = 0;
    virtual ~ConverterHost() = default;
};

// The main window, set once it exists; null before and after.
extern ConverterHost* mainWindow;
