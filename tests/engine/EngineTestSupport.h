#pragma once

#include <climits>
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
#include "framework/UniqueHandle.h"
#include "tests/engine/EngineValues.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tests/support/MessagePump.h"

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

// The fake encoder writes its record files when it ends: waits (up to 20 s) until `path` holds a whole line.
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

// A hidden window whose WM_APP messages go to a function, as the main window's handlers run while the engine
// dispatches messages. One at a time.
class TestWindow {
public:
    using Handler = std::function<void(UINT message)>;

    explicit TestWindow(Handler onMessage) {
        handler = std::move(onMessage);
        const WNDCLASSA windowClass = {0,  Procedure, 0,  0,  GetModuleHandleA(nullptr),
                                       {}, {},        {}, {}, "MovaraTestWindow"};
        RegisterClassA(&windowClass); // fails harmlessly when already registered
        hwnd = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               windowClass.hInstance, nullptr);
    }
    ~TestWindow() { DestroyWindow(hwnd); }
    HWND Handle() const { return hwnd; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message < WM_APP)
            return DefWindowProcA(window, message, wParam, lParam);
        handler(message);
        return 0;
    }

    static inline Handler handler;
    HWND hwnd = nullptr;
};

// The main window as the engine sees it: tasks and the run's settings. Every task written back is kept with its
// index, status redraws are counted, the shut-down box is a field, and a test can act the moment a task arrives (as
// the Stop button would, in the middle of a run). After UseAck, each task written back releases one count of a
// semaphore that the fake encoder's --ack takes: each chunk it prints is read by itself.
class FakeHost : public ConverterHost {
public:
    std::vector<ConversionTask> tasks;
    OutputSettings settings;
    std::vector<std::pair<int, ConversionTask>> writes;
    std::function<void(int, const ConversionTask&)> onWrite;
    int statusRedraws = 0;
    bool shutDown = false;

    ConversionTask GetTask(int index) const override { return tasks.at(static_cast<size_t>(index)); }
    void SetTask(int index, const ConversionTask& task) override {
        tasks.at(static_cast<size_t>(index)) = task;
        writes.emplace_back(index, task);
        if (ack)
            ReleaseSemaphore(ack.get(), 1, nullptr);
        if (onWrite)
            onWrite(index, task);
    }
    int TaskCount() const override { return static_cast<int>(tasks.size()); }
    const OutputSettings& RunSettings() const override { return settings; }
    bool ShutDownChecked() const override { return shutDown; }
    void RedrawTaskRow(int) override {}
    void RedrawTaskStatus(int) override { ++statusRedraws; }

    // The fake encoder's option that waits for this host.
    std::string UseAck() {
        static int made = 0;
        const std::string name =
            "movara_test_ack_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++made);
        ack.reset(CreateSemaphoreA(nullptr, 0, LONG_MAX, name.c_str()));
        return " --ack " + name;
    }
    // The statuses task `index` went through, each once per stretch, leaving out "none".
    std::vector<TaskStatus> StatusSequence(int index) const {
        std::vector<TaskStatus> sequence;
        for (const auto& [written, task] : writes)
            if (written == index && task.status != TaskStatus::None &&
                (sequence.empty() || sequence.back() != task.status))
                sequence.push_back(task.status);
        return sequence;
    }

private:
    UniqueHandle ack;
};

// System actions that only take notes of hand-offs: none starts, and no machine goes off (an unknown platform).
class RecordingSystemActions : public SystemActions {
public:
    std::vector<std::string> handOffs;
    std::vector<unsigned long> handOffLimits;
    WaitOutcome handOffOutcome = WaitOutcome::Ended;

    bool RunAndWait(const std::string& commandLine) override {
        handOffs.push_back(commandLine);
        return true;
    }
    WaitOutcome RunAndWaitLimited(const std::string& commandLine, unsigned long limitMs) override {
        handOffLimits.push_back(limitMs);
        RunAndWait(commandLine);
        return handOffOutcome;
    }
    int PlatformId() override { return 0; }
    bool EnableShutdownPrivilege() override { return false; }
    bool EndSession(unsigned) override { return false; }
    void ShowMessage(const std::string&, const std::string&, unsigned) override {}
};

// Puts other system actions in place for one test.
class SystemActionsInstalled {
public:
    explicit SystemActionsInstalled(SystemActions* actions) : previous(ReplaceSystemActions(actions)) {}
    ~SystemActionsInstalled() { ReplaceSystemActions(previous); }

private:
    SystemActions* previous;
};
