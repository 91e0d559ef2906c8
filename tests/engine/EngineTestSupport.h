#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

#include "engine/DeviceProfiles.h"
#include "engine/EngineGlobals.h"
#include "engine/EngineHost.h"
#include "engine/SystemActions.h"
#include "engine/TaskStatus.h"
#include "tests/engine/EngineValues.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tests/support/MessagePump.h"

// The main window as the engine sees it: tasks and the run's settings.
class FakeHost : public ConverterHost {
public:
    std::vector<ConversionTask> tasks;
    OutputSettings settings;

    ConversionTask GetTask(int index) const override { return tasks.at(static_cast<size_t>(index)); }
    void SetTask(int index, const ConversionTask& task) override { tasks.at(static_cast<size_t>(index)) = task; }
    int TaskCount() const override { return static_cast<int>(tasks.size()); }
    const OutputSettings& RunSettings() const override { return settings; }
    bool ShutDownChecked() const override { return false; }
    void RedrawTaskRow(int) override {}
    void RedrawTaskStatus(int) override {}
};

// Installs a fake host as the main window for one test.
class HostInstalled {
public:
    explicit HostInstalled(ConverterHost* host) { mainWindow = host; }
    ~HostInstalled() { mainWindow = nullptr; }
};

// Points workDirectory somewhere else for one test.
class WorkDirectoryOverride {
public:
    explicit WorkDirectoryOverride(const std::string& folder)
    {
        lstrcpynA(saved, workDirectory, pathBufferSize);
        lstrcpynA(workDirectory, folder.c_str(), pathBufferSize);
    }
    ~WorkDirectoryOverride() { lstrcpynA(workDirectory, saved, pathBufferSize); }

private:
    char saved[pathBufferSize] = {};
};

// The fake encoder, built in tests/fakes.
inline std::string FakeEncoderPath() {
    return BuildFolder() + "tests\\fakes\\fake_encoder.exe";
}

// A command line that runs the fake encoder with `arguments`.
inline std::string FakeCommand(const std::string& arguments) {
    return "\"" + FakeEncoderPath() + "\" " + arguments;
}

// The fake encoder writes its record files when it ends, after the engine has returned:
// wait (up to 20 s) until `path` holds at least one whole line, and return it.
inline std::string WaitForLine(const std::string& path) {
    std::string content;
    PumpUntil([&] {
        content = ReadWholeFile(path);
        return !content.empty() && content.back() == '\n';
    }, 20000);
    return content;
}

// A hidden top-level window whose messages go to a function, standing in for the main
// window's handlers that run while the engine dispatches messages.
class TestWindow {
public:
    using Handler = std::function<void(UINT message, WPARAM wParam)>;

    explicit TestWindow(Handler onMessage) : handler(std::move(onMessage)) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass); // fails harmlessly when already registered
        hwnd = CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                               this);
    }
    ~TestWindow() {
        if (hwnd) {
            DestroyWindow(hwnd);
        }
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Handle() const { return hwnd; }

private:
    static constexpr char className[] = "MovaraRunnerTestWindow";

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && (message == WM_TIMER || message >= WM_APP)) {
            self->handler(message, wParam);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    Handler handler;
    HWND hwnd = nullptr;
};

// The main window for tests that watch a run: every task written back is kept with its index, status redraws are
// counted, the shut-down box is a field, and a test can act the moment a task arrives (as the Stop button would, in
// the middle of a run).
class RecordingHost : public FakeHost {
public:
    std::vector<std::pair<int, ConversionTask>> writes;
    std::function<void(int, const ConversionTask&)> onWrite;
    int statusRedraws = 0;
    bool shutDown = false;

    void SetTask(int index, const ConversionTask& task) override {
        FakeHost::SetTask(index, task);
        writes.emplace_back(index, task);
        if (onWrite) {
            onWrite(index, task);
        }
    }
    void RedrawTaskStatus(int) override { ++statusRedraws; }
    bool ShutDownChecked() const override { return shutDown; }

    // The statuses task `index` went through, each once per stretch, leaving out "none".
    std::vector<TaskStatus> StatusSequence(int index) const {
        std::vector<TaskStatus> sequence;
        for (const auto& [written, task] : writes) {
            if (written == index && task.status != TaskStatus::None &&
                (sequence.empty() || sequence.back() != task.status)) {
                sequence.push_back(task.status);
            }
        }
        return sequence;
    }
};

// System actions that only take notes: no hand-off starts, no machine goes off.
class RecordingSystemActions : public SystemActions {
public:
    std::vector<std::string> handOffs;
    std::vector<unsigned> sessionEnds;
    std::vector<std::string> messages; // "text|caption|type"
    int privilegeRequests = 0;
    int platformId = VER_PLATFORM_WIN32_NT;
    bool privilegeGranted = true;
    bool sessionEndAccepted = true;

    WaitOutcome handOffOutcome = WaitOutcome::Ended;
    std::vector<unsigned long> handOffLimits;

    bool RunAndWait(const std::string& commandLine) override {
        handOffs.push_back(commandLine);
        return true;
    }
    WaitOutcome RunAndWaitLimited(const std::string& commandLine, unsigned long limitMs) override {
        handOffs.push_back(commandLine);
        handOffLimits.push_back(limitMs);
        return handOffOutcome;
    }
    int PlatformId() override { return platformId; }
    bool EnableShutdownPrivilege() override {
        ++privilegeRequests;
        return privilegeGranted;
    }
    bool EndSession(unsigned flags) override {
        sessionEnds.push_back(flags);
        return sessionEndAccepted;
    }
    void ShowMessage(const std::string& text, const std::string& caption, unsigned type) override {
        messages.push_back(text + "|" + caption + "|" + std::to_string(type));
    }
};

// Puts recording system actions in place for one test.
class SystemActionsInstalled {
public:
    explicit SystemActionsInstalled(SystemActions* actions) : previous(ReplaceSystemActions(actions)) {}
    ~SystemActionsInstalled() { ReplaceSystemActions(previous); }
    SystemActionsInstalled(const SystemActionsInstalled&) = delete;
    SystemActionsInstalled& operator=(const SystemActionsInstalled&) = delete;

private:
    SystemActions* previous;
};

// One step of a test preset: its role and the files it writes, each given as the suffix that
// follows "$OUTPUT_DIR$OUTPUT_FILE" (so "_temp.3gp" is the 3GP working file).
struct StepPlan {
    bool progress = false;
    std::vector<std::string> writes;
    std::string extra; // further fake encoder options
};

// The fake encoder command of step `step`: it traces its role with the tag "$TITLE.<step>"
// into `trace`, writes its files, and a progress step prints one progress chunk. With
// `waitForQuit`, a progress step then waits for "q" and records its input into `record`.
inline std::string StepCommand(const StepPlan& plan, int step, const std::string& trace, bool waitForQuit,
                               const std::string& record) {
    std::string arguments = "--trace \"" + trace + "\" --tag $TITLE." + std::to_string(step);
    for (const std::string& suffix : plan.writes) {
        arguments += " --write \"$OUTPUT_DIR$OUTPUT_FILE" + suffix + "\"";
    }
    if (plan.progress) {
        arguments += " --interval 20 --chunk \"size=     100kB time=1.00 \"";
        if (waitForQuit) {
            arguments += " --wait-q 15000 --record \"" + record + "\"";
        }
    }
    if (!plan.extra.empty()) {
        arguments += " " + plan.extra;
    }
    // A closing word that is not quoted: the profile functions strip quotes that enclose a
    // whole value.
    return FakeCommand(arguments + " --end");
}

// A profile file of one family: "Info" and one preset holding `commands` as its entries.
inline std::string PresetProfile(const std::vector<std::string>& commands) {
    std::string text = "[Info]\r\nDescription=Test presets\r\nDefaultProfile=1\r\n[Test]\r\nTitle=Test preset\r\n";
    for (size_t c = 0; c < commands.size(); ++c) {
        text += "Command" + std::to_string(c + 1) + "=" + commands[c] + "\r\n";
    }
    return text;
}

// The iPod profile: preset 0 with its one "Command0".
inline std::string IpodProfile(const std::string& command) {
    return "[Info]\r\nDescription=Test presets\r\nDefaultProfile=0\r\n[profile0]\r\nTitle=Custom\r\nCommand0=" +
           command + "\r\nVideoType=1\r\n";
}
