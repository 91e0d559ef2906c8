#include "engine/SystemActions.h"

#include <vector>
#include <windows.h>

#include "engine/EncoderRunner.h"
#include "framework/ProcessStart.h"
#include "framework/UniqueHandle.h"

namespace {

// A terminated program may take a moment to let go of its files.
constexpr DWORD terminateWaitMs = 5000;
// While a WM_QUIT waits for the window's loop, the queue never looks empty: poll instead.
constexpr DWORD quitPollMs = 10;

// The real thing: processes, the token, ExitWindowsEx and the system message box. The skinned
// message box of the main window can take the message's place once it exists.
class PlatformActions : public SystemActions {
public:
    bool RunAndWait(const std::string& commandLine) override {
        const UniqueHandle process = StartHidden(commandLine);
        if (!process) {
            return false;
        }
        WaitForSingleObject(process.get(), INFINITE);
        return true;
    }

    WaitOutcome RunAndWaitLimited(const std::string& commandLine, unsigned long limitMs) override {
        const UniqueHandle process = StartHidden(commandLine);
        if (!process) {
            return WaitOutcome::NotStarted;
        }
        HANDLE waitable = process.get();
        const DWORD start = GetTickCount();
        while (WaitForSingleObject(waitable, 0) == WAIT_TIMEOUT) {
            const DWORD waited = GetTickCount() - start;
            if (waited >= limitMs) {
                TerminateProcess(waitable, 1);
                WaitForSingleObject(waitable, terminateWaitMs);
                return WaitOutcome::TimedOut;
            }
            // Paints and clicks are handled while the hand-off runs; a WM_QUIT stays queued
            // for the window's own loop, and the wait then only polls.
            if (PumpMessages()) {
                MsgWaitForMultipleObjects(1, &waitable, FALSE, limitMs - waited, QS_ALLINPUT);
            } else {
                WaitForSingleObject(waitable, quitPollMs);
            }
        }
        return WaitOutcome::Ended;
    }

    // The process handle of the started program (its thread handle is closed), or an empty one.
    static UniqueHandle StartHidden(const std::string& commandLine) {
        // The hand-off gets the program's own start-up information, hidden, with the
        // program's own standard handles.
        STARTUPINFOA startup = {};
        GetStartupInfoA(&startup);
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
        startup.wShowWindow = SW_HIDE;
        // CreateProcess may write into the command line.
        std::vector<char> buffer(commandLine.begin(), commandLine.end());
        buffer.push_back('\0');
        PROCESS_INFORMATION process = {};
        if (!StartProcessRetrying([&] {
                return CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                      &process) != FALSE;
            })) {
            return {};
        }
        const UniqueHandle thread(process.hThread); // not needed: closed on return
        return UniqueHandle(process.hProcess);
    }

    int PlatformId() override {
        // GetVersionEx only tells the family apart here, which it still does on every system.
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        const BOOL known = GetVersionExA(&version);
#pragma GCC diagnostic pop
        return known ? static_cast<int>(version.dwPlatformId) : -1;
    }

    bool EnableShutdownPrivilege() override {
        UniqueHandle token;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) {
            return false;
        }
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        bool enabled = false;
        if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
            // AdjustTokenPrivileges succeeds even when it could not assign the privilege; only
            // the last error (ERROR_NOT_ALL_ASSIGNED) tells.
            SetLastError(ERROR_SUCCESS);
            AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
            enabled = GetLastError() == ERROR_SUCCESS;
        }
        return enabled;
    }

    bool EndSession(unsigned flags) override {
        return ExitWindowsEx(flags, 0) != FALSE;
    }

    void ShowMessage(const std::string& text, const std::string& caption, unsigned type) override {
        MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), type);
    }
};

PlatformActions platformActions;
SystemActions* replacement = nullptr;

} // namespace

SystemActions& CurrentSystemActions() {
    return replacement ? *replacement : platformActions;
}

SystemActions* ReplaceSystemActions(SystemActions* actions) {
    SystemActions* previous = replacement;
    replacement = actions;
    return previous;
}
