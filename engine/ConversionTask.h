#pragma once

#include <string>

#include "engine/TaskStatus.h"

// One queued video: what the user chose and what the engine reports back while it works.
// Held by value in the main window's task array; whoever changes a task copies it out,
// changes the copy and assigns the whole record back.
struct ConversionTask {
    std::string sourcePath;       // source video
    std::string outputName;       // base of the output file name
    double beginTime = 0.0;       // seconds; begin of the part to convert
    double endTime = 0.0;         // seconds; end of the part to convert
    std::string title;            // title for the command templates
    std::string exportBaseName;   // base of the intermediate export file name
    bool checked = false;         // converted by Start
    int deviceFileNumber = 0;     // number in PSP device file names
    bool finished = false;        // conversion of this task completed
    int outputSizeKB = 0;         // output size in kilobytes
    double speed = 0.0;           // encoded media seconds per elapsed second
    double encodedTime = 0.0;     // seconds of media the encoder has reached
    TaskStatus status = TaskStatus::None;
    bool needsExport = false;     // RealMedia source, exported through the player first
    std::string exportPath;       // intermediate export file
    bool exportDone = false;      // the player reported the export complete
    double exportPosition = 0.0;  // seconds
    double exportPercent = 0.0;   // 0 to 100
    double exportRemaining = 0.0; // seconds, estimated

    bool operator==(const ConversionTask&) const = default;
};

// The file name of `path` without folder and extension. Both "\" and "/" separate folders;
// the extension starts at the last "." of the file name itself, so a dot in a folder name
// is not mistaken for one, and a name without a dot is kept whole.
std::string TaskBaseName(const std::string& path);

// True when "rm" occurs in the extension of `path` (".rm", ".rmvb"), in any letter case,
// since Windows file names ignore case. A path whose file name has no dot is not RealMedia.
bool IsRealMediaPath(const std::string& path);

// A fresh task for the file at `sourcePath` whose length is `duration` seconds, as the task
// list adds it: the whole length selected, checked, and a random PSP device file number.
ConversionTask MakeNewTask(const std::string& sourcePath, double duration);

// The same with a given device file number, for callers that must not depend on the clock.
ConversionTask MakeNewTask(const std::string& sourcePath, double duration, int deviceFileNumber);

// RandomInRange(10000, 20000) + RandomInRange(0, 1000): a number between 10000 and 21002.
int NewDeviceFileNumber();
