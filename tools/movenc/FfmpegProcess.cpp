#include "tools/movenc/FfmpegProcess.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "framework/ProcessStart.h"

namespace {

// What ffmpeg writes into a pipe waits there until it is read; a frame of raw video is large.
constexpr DWORD pipeBufferBytes = 1 << 16;

void CloseIfOpen(HANDLE& handle) {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = nullptr;
}

// The pipe of ffmpeg's standard input: its end inherited, ours not, so that a later child
// cannot keep it open.
bool MakeInputPipe(HANDLE& childEnd, HANDLE& ownEnd) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    if (!CreatePipe(&childEnd, &ownEnd, &inherit, 0))
        return false;
    SetHandleInformation(ownEnd, HANDLE_FLAG_INHERIT, 0);
    return true;
}

// A pipe ffmpeg writes into. An anonymous pipe cannot be read with a wait that gives up, so
// this is a named one of our own, our end opened for overlapped reads (ffmpeg's end is an
// ordinary one).
bool MakeOutputPipe(HANDLE& ownEnd, HANDLE& childEnd) {
    static std::atomic<unsigned> serial{0};
    char name[80] = {};
    std::snprintf(name, sizeof(name), "\\\\.\\pipe\\movara-ffmpeg-%lu-%u", GetCurrentProcessId(), ++serial);
    ownEnd = CreateNamedPipeA(name, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                              PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
                              pipeBufferBytes, 0, nullptr);
    if (ownEnd == INVALID_HANDLE_VALUE) {
        ownEnd = nullptr;
        return false;
    }
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    childEnd = CreateFileA(name, GENERIC_WRITE, 0, &inherit, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (childEnd == INVALID_HANDLE_VALUE) {
        childEnd = nullptr;
        CloseIfOpen(ownEnd);
        return false;
    }
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
    CloseIfOpen(outputRead);
    CloseIfOpen(errorsRead);
    CloseIfOpen(process);
    // Closing the job ends ffmpeg if it still runs.
    CloseIfOpen(job);
}

bool FfmpegProcess::Start(const std::string& program, const std::string& commandLine, std::string& error) {
    HANDLE childInput = nullptr;
    HANDLE childOutput = nullptr;
    HANDLE childError = nullptr;
    outputRead = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    errorsRead = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (outputRead == nullptr || errorsRead == nullptr || !MakeInputPipe(childInput, input) ||
        !MakeOutputPipe(output, childOutput) || !MakeOutputPipe(errors, childError)) {
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

    // No console: ffmpeg only needs its three pipes. A console of its own (CREATE_NO_WINDOW)
    // would be one more process, a console host, and under Wine that host is started
    // inheriting ffmpeg's handles: ffmpeg ended while it starts leaves the host behind for
    // good, holding the write ends of ffmpeg's output pipes.
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    const DWORD flags = DETACHED_PROCESS | CREATE_SUSPENDED | (haveList ? EXTENDED_STARTUPINFO_PRESENT : 0);
    const bool started = StartProcessRetrying([&] {
        return CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                              &startup.StartupInfo, &info) != FALSE;
    });
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

bool FfmpegProcess::ReadOutput(void* into, DWORD size, DWORD& got) {
    return ReadPipe(output, outputRead, into, size, got);
}

bool FfmpegProcess::ReadErrors(void* into, DWORD size, DWORD& got) {
    return ReadPipe(errors, errorsRead, into, size, got);
}

bool FfmpegProcess::ReadPipe(HANDLE pipe, HANDLE done, void* into, DWORD size, DWORD& got) {
    got = 0;
    if (pipe == nullptr || done == nullptr || process == nullptr || size == 0)
        return false;
    for (;;) {
        OVERLAPPED read = {};
        read.hEvent = done;
        if (!ReadFile(pipe, into, size, nullptr, &read) && GetLastError() != ERROR_IO_PENDING)
            return false; // the pipe has ended: every writer has closed its end
        HANDLE waits[] = {done, process};
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0)
            CancelIoEx(pipe, &read);
        if (GetOverlappedResult(pipe, &read, &got, TRUE)) {
            if (got > 0)
                return true;
            continue; // an empty write
        }
        if (GetLastError() != ERROR_OPERATION_ABORTED)
            return false;
        // ffmpeg has ended, so everything it wrote is in the pipe by now: read what is left
        // and no more, for another holder of its end (a console host it started, say) may
        // keep the pipe open long after.
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0)
            return false;
        read = {};
        read.hEvent = done;
        if (!ReadFile(pipe, into, std::min(size, available), nullptr, &read) && GetLastError() != ERROR_IO_PENDING)
            return false;
        return GetOverlappedResult(pipe, &read, &got, TRUE) && got > 0;
    }
}

DWORD FfmpegProcess::ExitCode() const {
    DWORD code = 1;
    if (process == nullptr || !GetExitCodeProcess(process, &code))
        return 1;
    return code;
}

std::string CaptureOutput(const std::string& program, const std::string& commandLine, DWORD limitMs,
                          std::string* errorOutput) {
    FfmpegProcess run;
    std::string error;
    if (!run.Start(program, commandLine, error)) {
        if (errorOutput != nullptr)
            *errorOutput = error;
        return {};
    }
    run.CloseInput();
    // Both outputs are read on threads of their own: a full pipe would stall the program, and
    // the wait below must be able to give up on it.
    std::string errors;
    std::thread drain([&run, &errors, keep = errorOutput != nullptr] {
        char buffer[4096];
        DWORD got = 0;
        while (run.ReadErrors(buffer, sizeof(buffer), got)) {
            if (keep)
                errors.append(buffer, got);
        }
    });
    std::string text;
    std::thread reader([&text, &run] {
        char buffer[4096];
        DWORD got = 0;
        while (run.ReadOutput(buffer, sizeof(buffer), got))
            text.append(buffer, got);
    });
    if (WaitForSingleObject(run.Process(), limitMs) != WAIT_OBJECT_0)
        TerminateProcess(run.Process(), 1);
    // Once it has ended both readers see the end of what it wrote.
    reader.join();
    drain.join();
    if (errorOutput != nullptr)
        *errorOutput = std::move(errors);
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
