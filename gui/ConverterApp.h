#pragma once
#include "framework/WinApp.h"

// The application object: fixes the working directory, initialises COM and runs the
// main window modally; when the window closes, the process ends.
class CConverterApp : public CWinApp {
public:
    bool InitInstance() override;
};
