#include "tools/movenc/FfmpegProcess.h"

#include <thread>
#include <vector>

namespace {

void CloseIfOpen(HANDLE& handle) {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = nullptr;
}

// A pipe whose child end is inherited and whose own end is not, so that a later child
// cannot keep it open.
bool MakePipe(HANDLE& readEnd, HANDLE& writeEnd, bool childReads) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return false;
    SetHandleInformation(childReads ? writeEnd : readEnd, HANDLE_FLAG_INHERIT, 0);
    return true;
}

} // namespace

std::string SystemErrorText(DWORD code) {
    char buffer[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        buffer, sizeof(buffer), nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "system error " + std::to_string(code) : text;
}

FfmpegProcess::~FfmpegProcess() {
    CloseIfOpen(input);
    CloseIfOpen(output);
    CloseIfOpen(errors);
    CloseIfOpen(process);
    // Closing the job ends ffmpeg if it still runs.
    CloseIfOpen(job);
}

bool FfmpegProcess::Start(const std::string& program, const std::string& commandLine, std::string& error) {
    HANDLE childInput = nullptr;
    HANDLE childOutput = nullptr;
    HANDLE childError = nullptr;
    if (!MakePipe(childInput, input, true) || !MakePipe(output, childOutput, false) ||
        !MakePipe(errors, childError, false)) {
        error = "cannot create pipes: " + SystemErrorText(GetLastError());
        CloseIfOpen(childInput);
        CloseIfOpen(childOutput);
        return false;
    }

    job = CreateJobObjectA(nullptr, nullptr);
    if (job != nullptr) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    }

    STARTUPINFOEXA startup = {};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = childInput;
    startup.StartupInfo.hStdOutput = childOutput;
    startup.StartupInfo.hStdError = childError;

    // Only ffmpeg's own three pipe ends are inherited. Our standard handles are inheritable
    // too (the engine made them so); were ffmpeg to hold the engine's output pipe, the engine
    // would wait for ffmpeg as well as for us.
    HANDLE inherited[] = {childInput, childOutput, childError};
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::vector<char> listStorage(listSize);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listStorage.data());
    const bool haveList = listSize > 0 && InitializeProcThreadAttributeList(list, 1, 0, &listSize) &&
                          UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                                    sizeof(inherited), nullptr, nullptr);
    if (haveList)
        startup.lpAttributeList = list;
    else
        startup.StartupInfo.cb = sizeof(startup.StartupInfo);

    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    const DWORD flags = CREATE_NO_WINDOW | CREATE_SUSPENDED | (haveList ? EXTENDED_STARTUPINFO_PRESENT : 0);
    const BOOL started = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                                        &startup.StartupInfo, &info);
    const DWORD startError = GetLastError();
    if (haveList)
        DeleteProcThreadAttributeList(list);
    CloseIfOpen(childInput);
    CloseIfOpen(childOutput);
    CloseIfOpen(childError);
    if (!started) {
        error = "cannot start \"" + program + "\": " + SystemErrorText(startError);
        return false;
    }
    // A front-end that itself runs in a job that forbids nesting cannot do this; ffmpeg then
    // simply runs outside a job of ours.
    if (job != nullptr)
        AssignProcessToJobObject(job, info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    process = info.hProcess;
    return true;
}

void FfmpegProcess::CloseInput() {
    CloseIfOpen(input);
}

DWORD FfmpegProcess::ExitCode() const {
    DWORD code = 1;
    if (process == nullptr || !GetExitCodeProcess(process, &code))
        return 1;
    return code;
}

std::string CaptureOutput(const std::string& program, const std::string& commandLine, DWORD limitMs) {
    FfmpegProcess run;
    std::string error;
    if (!run.Start(program, commandLine, error))
        return {};
    run.CloseInput();
    // Both outputs are read on threads of their own: a full pipe would stall the program, and
    // the wait below must be able to give up on it.
    std::thread drain([handle = run.Error()] {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(handle, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        }
    });
    std::string text;
    std::thread reader([&text, handle = run.Output()] {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(handle, buffer, sizeof(buffer), &got, nullptr) && got > 0)
            text.append(buffer, got);
    });
    if (WaitForSingleObject(run.Process(), limitMs) != WAIT_OBJECT_0)
        TerminateProcess(run.Process(), 1);
    // Once it has ended its pipes close and both readers see the end.
    reader.join();
    drain.join();
    return text;
}

namespace {

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::string folder(path, length);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder;
}

std::string FindProgram(const char* name, const std::string& firstFolder) {
    if (!firstFolder.empty() && IsFile(firstFolder + name))
        return firstFolder + name;
    char found[MAX_PATH] = {};
    const DWORD foundLength = SearchPathA(nullptr, name, nullptr, MAX_PATH, found, nullptr);
    if (foundLength > 0 && foundLength < MAX_PATH && IsFile(found))
        return found;
    return {};
}
