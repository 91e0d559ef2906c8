#pragma once

#include <cstdio>
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
    explicit WorkDirectoryOverride(const std::string& folder) {
        lstrcpynA(saved, workDirectory, pathBufferSize);
        lstrcpynA(workDirectory, folder.c_str(), pathBufferSize);
    }
    ~WorkDirectoryOverride() { lstrcpynA(workDirectory, saved, pathBufferSize); }

private:
    char saved[pathBufferSize] = {};
};

// A command line that runs the fake encoder of tests/fakes with `arguments`.
inline std::string FakeCommand(const std::string& arguments) {
    return "\"" + BuildFolder() + "tests\\fakes\\fake_encoder.exe\" " + arguments;
}

// The fake encoder writes its record files when it ends, after the engine has returned:
// wait (up to 20 s) until `path` holds at least one whole line, and return it.
inline std::string WaitForLine(const std::string& path) {
    std::string content;
    PumpUntil(
        [&] {
            content = ReadWholeFile(path);
            return !content.empty() && content.back() == '\n';
        },
        20000);
    return content;
}

// A hidden window whose timer ticks (every `timerMs`, when given) and WM_APP messages go to a function: the main
// window's handlers that run while the engine dispatches messages.
class TestWindow {
public:
    using Handler = std::function<void(UINT message, WPARAM wParam)>;

    explicit TestWindow(Handler onMessage, UINT timerMs = 0) : handler(std::move(onMessage)) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "MovaraRunnerTestWindow";
        RegisterClassA(&windowClass); // fails harmlessly when already registered
        hwnd = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               windowClass.hInstance, this);
        if (timerMs)
            SetTimer(hwnd, 1, timerMs, nullptr);
    }
    ~TestWindow() { DestroyWindow(hwnd); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Handle() const { return hwnd; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!self || (message != WM_TIMER && message < WM_APP))
            return DefWindowProcA(window, message, wParam, lParam);
        self->handler(message, wParam);
        return 0;
    }

    Handler handler;
    HWND hwnd = nullptr;
};

// The main window for tests that watch a run: every task written back is kept with its index, status redraws are
// counted, the shut-down box is a field, and a test can act the moment a task arrives (as the Stop button would, in
// the middle of a run). With `ackFile`, each task written back adds a byte to it: the fake encoder's --ack.
class RecordingHost : public FakeHost {
public:
    std::vector<std::pair<int, ConversionTask>> writes;
    std::function<void(int, const ConversionTask&)> onWrite;
    int statusRedraws = 0;
    bool shutDown = false;
    std::string ackFile;

    void SetTask(int index, const ConversionTask& task) override {
        FakeHost::SetTask(index, task);
        writes.emplace_back(index, task);
        if (FILE* ack = ackFile.empty() ? nullptr : std::fopen(ackFile.c_str(), "ab")) {
            std::fputc('+', ack);
            std::fclose(ack);
        }
        if (onWrite)
            onWrite(index, task);
    }
    void RedrawTaskStatus(int) override { ++statusRedraws; }
    bool ShutDownChecked() const override { return shutDown; }

    // The statuses task `index` went through, each once per stretch, leaving out "none".
    std::vector<TaskStatus> StatusSequence(int index) const {
        std::vector<TaskStatus> sequence;
        for (const auto& [written, task] : writes)
            if (written == index && task.status != TaskStatus::None &&
                (sequence.empty() || sequence.back() != task.status))
                sequence.push_back(task.status);
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
