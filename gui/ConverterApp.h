#pragma once

#include "gui/SplashThread.h"

#include "framework/WinApp.h"

#include <memory>

// The application object: loads the skin, shows the splash, fixes the working directory, initialises COM and runs
// the main window modally; when the window closes, the process ends.
class CConverterApp : public CWinApp {
public:
    bool InitInstance() override;
    // The splash thread, for the main window to close its window; null when it could not start.
    CSplashThread* GetSplashThread() const { return splashThread.get(); }

private:
    std::unique_ptr<CSplashThread> splashThread;
};
