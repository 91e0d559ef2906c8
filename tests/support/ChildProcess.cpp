#include "tests/support/ChildProcess.h"

#include "framework/ProcessStart.h"
#include "framework/UniqueHandle.h"
#include "tests/support/Files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// Our environment with PATH replaced, as a CreateProcess environment block.
std::string EnvironmentWithPath(const std::string& path) {
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* entry = strings; *entry != '\0'; entry += std::strlen(entry) + 1)
        if (_strnicmp(entry, "PATH=", 5) != 0)
            block.append(entry).push_back('\0');
    FreeEnvironmentStringsA(strings);
    block.append("PATH=" + path).push_back('\0');
    return block + '\0';
}

} // namespace

ChildRun RunChild(const std::string& commandLine, const ChildOptions& options) {
    ChildRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    UniqueHandle inputRead, inputWrite, outputRead, outputWrite, errorRead, errorWrite;
    if (!CreatePipe(inputRead.put(), inputWrite.put(), &inherit, 0) ||
        !CreatePipe(outputRead.put(), outputWrite.put(), &inherit, 0) ||
        (!options.errorsIntoOutput && !CreatePipe(errorRead.put(), errorWrite.put(), &inherit, 0)))
        return run;
    for (const UniqueHandle* ours : {&inputWrite, &outputRead, &errorRead})
        if (*ours)
            SetHandleInformation(ours->get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = inputRead.get();
    startup.hStdOutput = outputWrite.get();
    startup.hStdError = options.errorsIntoOutput ? outputWrite.get() : errorWrite.get();
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    std::string environment = options.environmentPath.empty() ? "" : EnvironmentWithPath(options.environmentPath);
    run.startTick = GetTickCount64();
    run.started = StartProcessRetrying([&] {
        return CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                              environment.empty() ? nullptr : environment.data(),
                              options.currentDirectory.empty() ? nullptr : options.currentDirectory.c_str(), &startup,
                              &info) != FALSE;
    });
    run.startError = run.started ? 0 : GetLastError();
    // The child's ends go, so that our reads see the end of its output when it ends.
    inputRead.reset();
    outputWrite.reset();
    errorWrite.reset();
    if (options.closeInputAtStart)
        inputWrite.reset();
    if (!run.started)
        return run;
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    run.processId = info.dwProcessId;

    std::thread errorReader([&] {
        char buffer[4096];
        DWORD got = 0;
        while (errorRead && ReadFile(errorRead.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
            run.errors.append(buffer, got);
    });
    bool quitSent = false;
    bool terminated = false;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(outputRead.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        run.outputPieces.emplace_back(buffer, got);
        run.pieceTicks.push_back(GetTickCount64());
        run.output.append(buffer, got);
        if (!quitSent && inputWrite && options.quitWhen && options.quitWhen(run.output)) {
            DWORD written = 0;
            WriteFile(inputWrite.get(), "q", 1, &written, nullptr);
            quitSent = true;
        }
        if (!terminated && options.terminateWhen && options.terminateWhen(run.output, run.processId)) {
            TerminateProcess(process.get(), 9);
            terminated = true;
        }
    }
    errorReader.join();
    WaitForSingleObject(process.get(), INFINITE);
    run.endTick = GetTickCount64();
    GetExitCodeProcess(process.get(), &run.exitCode);
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
    const ChildRun run = RunCommand(command);
    const bool made = run.exitCode == 0 && FileSize(path) > 0;
    if (!made) // the caller's check only says false: say why
        std::fprintf(stderr, "MakeClip: %s %s (exit code %lu, start error %lu): %s\n",
                     run.started ? "ran" : "could not start", command.c_str(), static_cast<unsigned long>(run.exitCode),
                     static_cast<unsigned long>(run.startError), run.output.c_str());
    return made;
}

std::string Probe(const std::string& path, const std::string& entries) {
    return RunCommand(Quote(AppFolder() + "ffprobe.exe") + " -v error -show_entries " + entries + " -of compact=nk=1 " +
                      Quote(path))
        .output;
}

double ProbedDuration(const std::string& probe) {
    const std::size_t format = probe.find("format|");
    return format == std::string::npos ? -1.0 : std::atof(probe.c_str() + format + 7);
}
