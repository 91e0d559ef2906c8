#include "gui/ConverterApp.h"

#include "gui/ConverterDlg.h"

#include "skin/SkinLoader.h"

#include "player/PlayerControl.h"

#include "engine/EngineGlobals.h"

#include <commctrl.h>
#include <objbase.h>

// The one application object of the process.
CConverterApp theApp;

bool CConverterApp::InitInstance() {
    // The list view, header and tooltip classes the main window's template names.
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // The media player control's class, which the main window's template names.
    RegisterPlayerWindowClass(GetInstance());

    // Before any window exists and before the working directory moves: a relative skin path is read from the folder
    // the program was started in. A broken skin ends the process here, with a message.
    LoadSkin();

    splashThread = StartSplashThread();
    // The splash is up before the main window's controls are made, so that it shows for the whole of that work:
    // started side by side, the two threads compete for the font system's first use and the splash would only
    // show at the very end.
    if (splashThread)
        splashThread->WaitForWindow();

    // Profiles, helper programs and the help page are found from the program's own folder, whatever folder the
    // program was started from.
    InitProgramDirectory();
    SetCurrentDirectoryA(programDirectory);

    // COM is never uninitialised explicitly: the process ends right after the window.
    CoInitialize(nullptr);

    {
        CConverterDlg dialog(splashThread.get());
        SetMainWindow(&dialog);
        dialog.DoModal();
        SetMainWindow(nullptr);
    }
    // The splash thread idles with its window gone; it ends here rather than being cut off by the process's end.
    splashThread.reset();
    // No message loop of the application's own: returning false ends the process.
    return false;
}
