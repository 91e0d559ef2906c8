#include "tests/tools/ChildRun.h"

#include <cstring>
#include <thread>

namespace {

// Our environment with PATH replaced, as a CreateProcess environment block.
std::string EnvironmentWithPath(const std::string& path) {
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* entry = strings; *entry != '\0'; entry += std::strlen(entry) + 1) {
        if (_strnicmp(entry, "PATH=", 5) != 0)
            block.append(entry).push_back('\0');
    }
    FreeEnvironmentStringsA(strings);
    block.append("PATH=" + path).push_back('\0');
    block.push_back('\0');
    return block;
}

} // namespace

ChildRun RunChild(const std::string& commandLine, const ChildOptions& options) {
    ChildRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE inputRead = nullptr, inputWrite = nullptr, outputRead = nullptr, outputWrite = nullptr, errorRead = nullptr,
           errorWrite = nullptr;
    if (!CreatePipe(&inputRead, &inputWrite, &inherit, 0) || !CreatePipe(&outputRead, &outputWrite, &inherit, 0) ||
        !CreatePipe(&errorRead, &errorWrite, &inherit, 0))
        return run;
    SetHandleInformation(inputWrite, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(outputRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errorRead, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = inputRead;
    startup.hStdOutput = outputWrite;
    startup.hStdError = errorWrite;
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    run.startTick = GetTickCount64();
    std::string environment =
        options.environmentPath.empty() ? std::string() : EnvironmentWithPath(options.environmentPath);
    run.started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                 environment.empty() ? nullptr : environment.data(),
                                 options.currentDirectory.empty() ? nullptr : options.currentDirectory.c_str(),
                                 &startup, &info) != FALSE;
    CloseHandle(inputRead);
    CloseHandle(outputWrite);
    CloseHandle(errorWrite);
    if (options.closeInputAtStart) {
        CloseHandle(inputWrite);
        inputWrite = nullptr;
    }
    if (run.started) {
        std::thread errorReader([&] {
            char buffer[4096];
            DWORD got = 0;
            while (ReadFile(errorRead, buffer, sizeof(buffer), &got, nullptr) && got > 0)
                run.errors.append(buffer, got);
        });
        bool quitSent = false;
        bool terminated = false;
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(outputRead, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
            run.outputPieces.emplace_back(buffer, got);
            run.pieceTicks.push_back(GetTickCount64());
            run.output.append(buffer, got);
            if (!quitSent && inputWrite != nullptr && options.quitWhen && options.quitWhen(run.output)) {
                DWORD written = 0;
                WriteFile(inputWrite, "q", 1, &written, nullptr);
                quitSent = true;
            }
            if (!terminated && options.terminateWhen && options.terminateWhen(run.output)) {
                TerminateProcess(info.hProcess, 9);
                terminated = true;
            }
        }
        errorReader.join();
        WaitForSingleObject(info.hProcess, INFINITE);
        run.endTick = GetTickCount64();
        GetExitCodeProcess(info.hProcess, &run.exitCode);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    if (inputWrite != nullptr)
        CloseHandle(inputWrite);
    CloseHandle(outputRead);
    CloseHandle(errorRead);
    return run;
}

std::string FullPathOf(const std::string& path) {
    char full[MAX_PATH * 2] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof(full), full, nullptr);
    return std::string(full, length);
}

std::string AppFolder() {
    // Test programs run in their build folder, build\tests\tools; the shipped layout is in
    // build\dist.
    return FullPathOf("..\\..\\dist\\app\\");
}

std::vector<std::string> TextLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}
