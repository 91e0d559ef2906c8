#pragma once

#include <string>

// Everything the engine does that reaches beyond the program: starting the iTunes hand-off,
// powering the machine off, and the message that says it cannot. All of it goes through one
// replaceable object, so that a test can never shut a machine down or start a real hand-off.
class SystemActions {
public:
    // Starts `commandLine` hidden, with the program's own standard handles, and waits for it
    // to end without a time-out. False when it could not be started.
    virtual bool RunAndWait(const std::string& commandLine) = 0;

    // How a limited wait for a program ended.
    enum class WaitOutcome { NotStarted, Ended, TimedOut };

    // Starts `commandLine` as RunAndWait does, but waits at most `limitMs`, dispatching the
    // thread's window messages meanwhile so that the window stays responsive. A program still
    // running at the limit is terminated. Actions that only take notes need not override it.
    virtual WaitOutcome RunAndWaitLimited(const std::string& commandLine, unsigned long limitMs) {
        (void)limitMs;
        return RunAndWait(commandLine) ? WaitOutcome::Ended : WaitOutcome::NotStarted;
    }

    // The platform id of the running system: 2 for the NT family, 1 for Windows 9x.
    virtual int PlatformId() = 0;

    // Enables the shut-down privilege in the process's own token. False when the token
    // cannot be opened, the privilege is unknown, or it could not be enabled.
    virtual bool EnableShutdownPrivilege() = 0;

    // Ends the session with the given ExitWindowsEx flags. False when the system refused.
    virtual bool EndSession(unsigned flags) = 0;

    // Shows a message to the user, `type` taking the message box's type values.
    virtual void ShowMessage(const std::string& text, const std::string& caption, unsigned type) = 0;

    virtual ~SystemActions() = default;
};

// The actions in use: the real ones unless a test has put others in their place.
SystemActions& CurrentSystemActions();

// Puts `actions` in place of the real ones (null puts the real ones back) and returns what
// was in place before.
SystemActions* ReplaceSystemActions(SystemActions* actions);
