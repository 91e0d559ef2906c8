#include "tests/support/ChildProcess.h"

#include "framework/ProcessStart.h"
#include "tests/support/Files.h"

#include <cstdio>
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

void CloseIfOpen(HANDLE& handle) {
    if (handle)
        CloseHandle(handle);
    handle = nullptr;
}

} // namespace

ChildRun RunChild(const std::string& commandLine, const ChildOptions& options) {
    ChildRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE inputRead = nullptr, inputWrite = nullptr, outputRead = nullptr, outputWrite = nullptr,
           errorRead = nullptr, errorWrite = nullptr;
    const bool piped = CreatePipe(&inputRead, &inputWrite, &inherit, 0) &&
                       CreatePipe(&outputRead, &outputWrite, &inherit, 0) &&
                       (options.errorsIntoOutput || CreatePipe(&errorRead, &errorWrite, &inherit, 0));
    if (piped) {
        SetHandleInformation(inputWrite, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(outputRead, HANDLE_FLAG_INHERIT, 0);
        if (errorRead)
            SetHandleInformation(errorRead, HANDLE_FLAG_INHERIT, 0);

        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        startup.hStdInput = inputRead;
        startup.hStdOutput = outputWrite;
        startup.hStdError = options.errorsIntoOutput ? outputWrite : errorWrite;
        PROCESS_INFORMATION info = {};
        std::string line = commandLine;
        run.startTick = GetTickCount64();
        std::string environment =
            options.environmentPath.empty() ? std::string() : EnvironmentWithPath(options.environmentPath);
        run.started = StartProcessRetrying([&] {
            return CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                  environment.empty() ? nullptr : environment.data(),
                                  options.currentDirectory.empty() ? nullptr : options.currentDirectory.c_str(),
                                  &startup, &info) != FALSE;
        });
        run.startError = run.started ? 0 : GetLastError();
        CloseIfOpen(inputRead);
        CloseIfOpen(outputWrite);
        CloseIfOpen(errorWrite);
        if (options.closeInputAtStart)
            CloseIfOpen(inputWrite);
        if (run.started) {
            run.processId = info.dwProcessId;
            std::thread errorReader([&] {
                char buffer[4096];
                DWORD got = 0;
                while (errorRead && ReadFile(errorRead, buffer, sizeof(buffer), &got, nullptr) && got > 0)
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
                if (!quitSent && inputWrite && options.quitWhen && options.quitWhen(run.output)) {
                    DWORD written = 0;
                    WriteFile(inputWrite, "q", 1, &written, nullptr);
                    quitSent = true;
                }
                if (!terminated && options.terminateWhen && options.terminateWhen(run.output, run.processId)) {
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
    }
    CloseIfOpen(inputRead);
    CloseIfOpen(outputWrite);
    CloseIfOpen(errorWrite);
    CloseIfOpen(inputWrite);
    CloseIfOpen(outputRead);
    CloseIfOpen(errorRead);
    return run;
}

std::string BuildFolder() {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string folder = module;
    // The program is in build\tests\<folder> or build\bench; the build folder holds dist.
    for (int up = 0; up < 3; ++up) {
        folder.erase(folder.find_last_of('\\'));
        if (FileExists(folder + "\\dist\\app"))
            return folder + "\\";
    }
    return FullPathOf("..\\..\\");
}

std::string AppFolder() {
    return BuildFolder() + "dist\\app\\";
}

bool MakeClip(const std::string& path, double seconds, const std::string& codecs, ClipContent content) {
    const std::string duration = std::to_string(seconds);
    std::string command = Quote(AppFolder() + "ffmpeg.exe") + " -v error -y";
    if (content != ClipContent::Tone)
        command += " -f lavfi -i testsrc=size=320x240:rate=25:duration=" + duration;
    if (content != ClipContent::Picture)
        command += " -f lavfi -i sine=frequency=440:sample_rate=44100:duration=" + duration + " -ac 2";
    command += " " + codecs + " " + Quote(path);
    DeleteFileA(path.c_str());
    ChildOptions options;
    options.closeInputAtStart = true;
    options.errorsIntoOutput = true;
    const ChildRun run = RunChild(command, options);
    const bool made = run.exitCode == 0 && FileSize(path) > 0;
    if (!made) // the caller's check only says false: say why
        std::fprintf(stderr, "MakeClip: %s %s (exit code %lu, start error %lu): %s\n",
                     run.started ? "ran" : "could not start", command.c_str(), static_cast<unsigned long>(run.exitCode),
                     static_cast<unsigned long>(run.startError), run.output.c_str());
    return made;
}
