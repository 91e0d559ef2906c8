#include "framework/WinApp.h"

#include "framework/Assert.h"

namespace {

CWinApp* application = nullptr;

} // namespace

CWinApp::CWinApp() {
    MOVARA_ASSERT(application == nullptr && "a second application object");
    application = this;
}

CWinApp::~CWinApp() {
    if (application == this)
        application = nullptr;
}

CWinApp* CWinApp::GetApp() {
    return application;
}

HINSTANCE CWinApp::GetInstance() const {
    return appInstance ? appInstance : GetModuleHandleA(nullptr);
}

int CWinApp::RunApplication(HINSTANCE instance) {
    appInstance = instance;
    AdoptCurrentThread();
    return InitInstance() ? Run() : ExitInstance();
}
