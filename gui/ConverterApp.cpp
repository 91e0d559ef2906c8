#include "gui/ConverterApp.h"

#include <commctrl.h>
#include <objbase.h>

#include "engine/EngineGlobals.h"
#include "gui/ConverterDlg.h"

// The one application object of the process.
CConverterApp theApp;

bool CConverterApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    // Profiles, helper programs and the help page are found from the program's own folder,
    // whatever folder the program was started from.
    InitProgramDirectory();
    SetCurrentDirectoryA(programDirectory);

    // COM is never uninitialised explicitly: the process ends right after the window.
    CoInitialize(nullptr);

    CConverterDlg dialog;
    SetMainWindow(&dialog);
    dialog.DoModal();
    SetMainWindow(nullptr);
    // No message loop of the application's own: returning false ends the process.
    return false;
}
