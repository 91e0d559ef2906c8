#pragma once

#include "engine/SystemActions.h"

#include <windows.h>

// The engine's system actions with its messages shown in the program's skinned message box, over owner: in place
// while the main window exists. Everything else goes to the actions that were in place before.
class SkinnedSystemActions : public SystemActions {
public:
    // Puts these actions in place, forwarding to the current ones; Remove puts those back.
    void Install(HWND owner);
    void Remove();
    ~SkinnedSystemActions() override;

    bool RunAndWait(const std::string& commandLine) override;
    WaitOutcome RunAndWaitLimited(const std::string& commandLine, unsigned long limitMs) override;
    int PlatformId() override;
    bool EnableShutdownPrivilege() override;
    bool EndSession(unsigned flags) override;
    void ShowMessage(const std::string& text, const std::string& caption, unsigned type) override;

private:
    SystemActions* previous = nullptr;         // where everything but messages goes
    SystemActions* priorReplacement = nullptr; // what ReplaceSystemActions had in place, null for the real ones
    bool installed = false;
    HWND owner = nullptr;
};
