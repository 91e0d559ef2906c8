#include "engine/FinishingActions.h"

#include <windows.h>

#include "engine/ErrorLog.h"
#include "engine/SystemActions.h"

namespace {

constexpr int platformWindows9x = VER_PLATFORM_WIN32_WINDOWS;
constexpr int platformNt = VER_PLATFORM_WIN32_NT;

void ShowShutDownRefused(SystemActions& actions) {
    actions.ShowMessage(shutDownRefusedText, shutDownRefusedCaption, shutDownRefusedType);
}

} // namespace

std::string HandOffCommand(const std::string& path) {
    // The whole path is passed, however long: a cut path would hand over some other file.
    return "VazoVeduz \"" + path + "\" ";
}

void AddToITunes(const std::string& path) {
    // Nothing to report when it cannot start: iTunes may simply not be there. The conversion
    // is finished whatever the hand-off does.
    const SystemActions::WaitOutcome outcome =
        CurrentSystemActions().RunAndWaitLimited(HandOffCommand(path), handOffLimitMs);
    if (outcome == SystemActions::WaitOutcome::TimedOut) {
        const std::string line = "The hand-off of \"" + path + "\" to iTunes did not end within " +
                                 std::to_string(handOffLimitMs / 1000) + " s and was stopped\n";
        AppendToLog(line.c_str());
    }
}

void ShutDownComputer() {
    SystemActions& actions = CurrentSystemActions();
    switch (actions.PlatformId()) {
    case platformNt:
        if (!actions.EnableShutdownPrivilege()) {
            ShowShutDownRefused(actions);
            return;
        }
        // Running programs are not asked to save: the user chose to power off unattended.
        if (!actions.EndSession(EWX_POWEROFF | EWX_FORCE)) {
            ShowShutDownRefused(actions);
        }
        return;
    case platformWindows9x:
        if (!actions.EndSession(EWX_SHUTDOWN)) {
            ShowShutDownRefused(actions);
        }
        return;
    default: return;
    }
}
