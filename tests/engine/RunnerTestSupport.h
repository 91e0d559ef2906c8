#pragma once

#include <functional>
#include <string>
#include <vector>
#include <windows.h>

#include "EngineTestSupport.h"

// The fake encoder, built beside the test programs: tests/fakes/fake_encoder.exe seen from
// tests/<sub>/<program>.exe.
inline std::string FakeEncoderPath() {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string folder(module);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + "..\\fakes\\fake_encoder.exe";
}

// A command line that runs the fake encoder with `arguments`.
inline std::string FakeCommand(const std::string& arguments) {
    return "\"" + FakeEncoderPath() + "\" " + arguments;
}

// The whole content of a file, byte for byte; empty when it cannot be read.
inline std::string ReadWholeFile(const std::string& path) {
    std::string content;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096] = {};
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
            content.append(buffer, got);
        }
        std::fclose(file);
    }
    return content;
}

inline bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The fake encoder writes its record files when it ends, after the engine has returned:
// wait (up to 20 s) until `path` holds at least one whole line, and return it.
inline std::string WaitForLine(const std::string& path) {
    for (int waited = 0; waited < 20000; waited += 20) {
        const std::string content = ReadWholeFile(path);
        if (!content.empty() && content.back() == '\n') {
            return content;
        }
        Sleep(20);
    }
    return ReadWholeFile(path);
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

// A host that keeps every task written back, and lets a test act the moment one arrives
// (as the Stop button would, in the middle of a run).
class RecordingHost : public FakeHost {
public:
    std::vector<ConversionTask> writes;
    int statusRedraws = 0;
    std::function<void(const ConversionTask&)> onWrite;

    void SetTask(int index, const ConversionTask& task) override {
        FakeHost::SetTask(index, task);
        writes.push_back(task);
        if (onWrite) {
            onWrite(task);
        }
    }
    void RedrawTaskStatus(int) override { ++statusRedraws; }
};
