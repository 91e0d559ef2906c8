// The program's entry point, in an object file of its own: test programs have their own main and never pull it in.
#include "framework/Assert.h"
#include "framework/WinApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CWinApp* app = CWinApp::GetApp();
    // The program defines its application object as a global, constructed before WinMain runs.
    MOVARA_ASSERT(app != nullptr);
    return app ? app->RunApplication(instance) : -1;
}
