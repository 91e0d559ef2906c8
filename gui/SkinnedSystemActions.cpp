#include "gui/SkinnedSystemActions.h"

#include "gui/MessageDlg.h"

void SkinnedSystemActions::Install(HWND newOwner) {
    if (installed)
        return;
    owner = newOwner;
    previous = &CurrentSystemActions();
    // Null when the real actions were in place: handing it back restores them.
    priorReplacement = ReplaceSystemActions(this);
    installed = true;
}

void SkinnedSystemActions::Remove() {
    if (!installed)
        return;
    // Only when these are still the ones in place: a test may have put its own on top meanwhile.
    if (&CurrentSystemActions() == this)
        ReplaceSystemActions(priorReplacement);
    installed = false;
}

SkinnedSystemActions::~SkinnedSystemActions() {
    Remove();
}

bool SkinnedSystemActions::RunAndWait(const std::string& commandLine) {
    return previous->RunAndWait(commandLine);
}

// Passed on as it is: the base's fallback would wait without the limit and without dispatching the window's messages.
SystemActions::WaitOutcome SkinnedSystemActions::RunAndWaitLimited(const std::string& commandLine,
                                                                   unsigned long limitMs) {
    return previous->RunAndWaitLimited(commandLine, limitMs);
}

int SkinnedSystemActions::PlatformId() {
    return previous->PlatformId();
}

bool SkinnedSystemActions::EnableShutdownPrivilege() {
    return previous->EnableShutdownPrivilege();
}

bool SkinnedSystemActions::EndSession(unsigned flags) {
    return previous->EndSession(flags);
}

void SkinnedSystemActions::ShowMessage(const std::string& text, const std::string& caption, unsigned type) {
    ::ShowMessage(text.c_str(), caption.c_str(), type, IsWindow(owner) ? owner : nullptr);
}
