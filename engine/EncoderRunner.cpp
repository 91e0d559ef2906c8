#include "engine/EncoderRunner.h"

#include <cstring>
#include <vector>

#include "engine/ErrorLog.h"
#include "engine/TaskProgress.h"
#include "framework/ProcessStart.h"

bool cancelRequested = false;
UniqueHandle encoderInput;
UniqueHandle encoderOutput;

namespace {

// CreateProcess may write into the command line, so it gets a copy at least this big.
constexpr size_t commandBufferSize = 2048;

// A chunk is at most this many bytes, so that it is always a terminated text in a buffer of
// one more.
constexpr DWORD chunkBytes = 255;

// How long the read loop sleeps while the encoder prints nothing. A message wakes it at once;
// the encoder's output is seen at most this late. Short enough for a smooth display, long
// enough that waiting costs next to no processor time.
constexpr DWORD outputPollMs = 10;

// A terminated process may take a moment to let go of its files; wait for that, but not
// forever.
constexpr DWORD terminateWaitMs = 5000;

// Once its output has ended, or it was told to quit, the encoder is about to exit; it gets
// this long to finish its file before it counts as hung. After Stop the task is over anyway,
// so it gets less, and is then terminated so that it lets go of its files.
constexpr DWORD encoderEndWaitMs = 60000;
constexpr DWORD stoppedEncoderEndWaitMs = 5000;

// The end of the encoder's output is kept to find its "error:" line: lines may be cut
// between reads.
constexpr size_t recentOutputLimit = 4096;
std::string recentOutput;

// Set when StopEncoder sends "q" to an open run, so that the run that ends because of it is
// not taken for a failure (the length stop of a two-stage task exits however the encoder
// likes).
bool quitSentToEncoder = false;

std::vector<char> WritableCommand(const char* command) {
    const size_t length = command ? std::strlen(command) : 0;
    std::vector<char> buffer(length + 1 > commandBufferSize ? length + 1 : commandBufferSize, '\0');
    if (length > 0) {
        std::memcpy(buffer.data(), command, length);
    }
    return buffer;
}

// Closes a handle of the run early, where the order of closing matters; a failure is logged. A
// handle that was never made (its creation failed and was logged) is not closed again.
void CloseAndLog(UniqueHandle& handle) {
    if (handle && !handle.reset()) {
        LogApiError("CloseHandle");
    }
}

// A copy of `source` in this process, inheritable or not, with the same access; empty after
// logging `apiName` when it fails. A source that was never made yields an empty one quietly.
UniqueHandle DuplicateOrLog(const UniqueHandle& source, bool inheritable, const char* apiName) {
    UniqueHandle copy;
    if (!source) {
        return copy;
    }
    HANDLE self = GetCurrentProcess();
    if (!DuplicateHandle(self, source.get(), self, copy.put(), 0, inheritable ? TRUE : FALSE, DUPLICATE_SAME_ACCESS)) {
        LogApiError(apiName);
        copy.release();
    }
    return copy;
}

// Both ends of a new anonymous pipe whose handles children may inherit; empty after logging
// "CreatePipe" when it fails.
struct Pipe {
    UniqueHandle read;
    UniqueHandle write;
};
Pipe CreateInheritablePipe() {
    SECURITY_ATTRIBUTES inheritable = {};
    inheritable.nLength = sizeof(inheritable);
    inheritable.bInheritHandle = TRUE;
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inheritable, 0)) {
        LogApiError("CreatePipe");
        return {};
    }
    return {UniqueHandle(read), UniqueHandle(write)};
}

// A process started hidden from a writable copy of `command`, its thread handle closed: the
// process handle, or an empty one when it could not be created.
UniqueHandle CreateHiddenProcess(const char* command, STARTUPINFOA& startup, DWORD creationFlags) {
    startup.cb = sizeof(startup);
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    std::vector<char> commandLine = WritableCommand(command);
    if (!StartProcessRetrying([&] {
            return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, creationFlags, nullptr, nullptr,
                                  &startup, &process) != FALSE;
        })) {
        return {};
    }
    UniqueHandle thread(process.hThread);
    CloseAndLog(thread);
    return UniqueHandle(process.hProcess);
}

// Waits up to `milliseconds` for `handle` (none when null) or for a new message. While a
// WM_QUIT waits for the thread's own loop, the queue never looks empty and a message wait
// would return at once: then only the handle is waited on, for one short poll, so that the
// caller still dispatches whatever else arrives.
void WaitForHandleOrMessage(HANDLE handle, DWORD milliseconds, bool quitPending) {
    const DWORD count = handle ? 1 : 0;
    if (!quitPending) {
        MsgWaitForMultipleObjects(count, handle ? &handle : nullptr, FALSE, milliseconds, QS_ALLINPUT);
    } else if (handle) {
        WaitForSingleObject(handle, outputPollMs);
    } else {
        Sleep(outputPollMs);
    }
}

// Waits up to `limitMs` for `process` to end, dispatching messages meanwhile. True when it
// ended.
bool WaitForProcessEnd(HANDLE process, DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            return true;
        }
        const DWORD waited = GetTickCount() - start;
        if (waited >= limitMs) {
            return false;
        }
        const bool quitPending = !PumpMessages();
        WaitForHandleOrMessage(process, limitMs - waited, quitPending);
    }
}

// Fills in how `process` ended, when it did.
void ReadExitCode(const UniqueHandle& process, RunResult& result) {
    DWORD code = 0;
    if (GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE) {
        result.ended = true;
        result.exitCode = code;
    }
}

} // namespace

std::string LastErrorLine(std::string_view output) {
    constexpr std::string_view marker = "error: ";
    std::string_view found;
    size_t start = 0;
    while (start < output.size()) {
        const size_t end = output.find('\n', start);
        if (end == std::string_view::npos) {
            break; // a line still being written
        }
        std::string_view line = output.substr(start, end - start);
        while (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.substr(0, marker.size()) == marker && line.size() > marker.size()) {
            found = line.substr(marker.size());
        }
        start = end + 1;
    }
    return std::string(found);
}

bool PumpMessages() {
    MSG msg = {};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // PeekMessage hands out WM_QUIT whatever the filter: put it back for the loop that
            // owns it and leave the rest of the queue to the next call.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

UniqueHandle StartEncoder(HANDLE standardOutput, HANDLE standardInput, HANDLE standardError, const char* command) {
    STARTUPINFOA startup = {};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = standardOutput;
    startup.hStdInput = standardInput;
    startup.hStdError = standardError;
    UniqueHandle process = CreateHiddenProcess(command, startup, CREATE_NEW_CONSOLE);
    if (!process) {
        LogApiError("CreateProcess");
    }
    return process;
}

RunResult RunWithProgress(const char* command) {
    // An earlier progress run that was never stopped still holds its pipes (and its encoder
    // may still wait for its "q"): finish it before the handles are replaced.
    StopEncoder();
    quitSentToEncoder = false;
    RunResult result;

    Pipe output = CreateInheritablePipe();
    // Standard error is a second handle to the same pipe, so both streams arrive together.
    UniqueHandle errorWrite = DuplicateOrLog(output.write, true, "DuplicateHandle");
    Pipe input = CreateInheritablePipe();
    // The engine's own ends must not be inherited, or the encoder would hold its own output
    // pipe open and the read loop would never see the end. (The log keeps its long-standing
    // spelling of these two records.)
    encoderOutput = DuplicateOrLog(output.read, false, "DupliateHandle");
    encoderInput = DuplicateOrLog(input.write, false, "DupliateHandle");
    CloseAndLog(output.read);
    CloseAndLog(input.write);

    UniqueHandle process = StartEncoder(output.write.get(), input.read.get(), errorWrite.get(), command);
    result.started = static_cast<bool>(process);

    // Only the encoder may hold the other ends now: when it exits, the read loop sees a broken
    // pipe. If it never started, that happens at the first read.
    CloseAndLog(output.write);
    CloseAndLog(input.read);
    CloseAndLog(errorWrite);

    recentOutput.clear();
    if (encoderOutput) {
        ReadEncoderOutput(encoderOutput.get());
    }
    result.errorLine = LastErrorLine(recentOutput);
    if (!process) {
        return result;
    }
    // The end of its output is not yet the end of the encoder: its exit code says whether it
    // did its work, and its files are complete only once it has gone.
    if (WaitForProcessEnd(process.get(), cancelRequested ? stoppedEncoderEndWaitMs : encoderEndWaitMs)) {
        ReadExitCode(process, result);
        result.stopped = cancelRequested || quitSentToEncoder;
    } else {
        // It hangs on: end it rather than leave it holding (or still writing) its files. A
        // task that was not stopped has failed then; the pipeline must not go on with them.
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), terminateWaitMs);
        result.stopped = cancelRequested;
    }
    CloseAndLog(process);
    return result;
}

void ReadEncoderOutput(HANDLE handle) {
    // When this is the progress run's pipe, a StopEncoder (the length stop of a two-stage task,
    // or Stop) closes it under this loop; the loop must then end without touching it again.
    const bool runPipe = handle != nullptr && handle == encoderOutput.get();
    const char* failedCall = "ReadFile";
    for (;;) {
        if (runPipe && encoderOutput.get() != handle) {
            return;
        }
        DWORD available = 0;
        if (!PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr)) {
            failedCall = "PeekNamedPipe";
            break;
        }
        if (available == 0) {
            const bool quitPending = !PumpMessages();
            if (cancelRequested) {
                return;
            }
            WaitForHandleOrMessage(nullptr, outputPollMs, quitPending);
            continue;
        }
        char chunk[chunkBytes + 1] = {};
        DWORD got = 0;
        if (!ReadFile(handle, chunk, chunkBytes, &got, nullptr)) {
            break;
        }
        if (got == 0) {
            return;
        }
        recentOutput.append(chunk, got);
        if (recentOutput.size() > 2 * recentOutputLimit) {
            recentOutput.erase(0, recentOutput.size() - recentOutputLimit);
        }
        ParseProgressChunk(chunk);
        PumpMessages();
        if (cancelRequested) {
            return;
        }
    }
    // A broken pipe is the normal end: the encoder has exited and closed its end.
    if (GetLastError() != ERROR_BROKEN_PIPE) {
        LogApiError(failedCall);
    }
}

RunResult RunHidden(const char* command) {
    RunResult result;
    STARTUPINFOA startup = {};
    const UniqueHandle process = CreateHiddenProcess(command, startup, 0);
    if (!process) {
        return result;
    }
    result.started = true;
    // Sleep until the program ends or a message arrives; the stop request is looked at before
    // every wait, so a step started after Stop ends at once.
    while (WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
        const bool quitPending = !PumpMessages();
        if (cancelRequested) {
            TerminateProcess(process.get(), 0);
            WaitForSingleObject(process.get(), terminateWaitMs);
            result.stopped = true;
            break;
        }
        WaitForHandleOrMessage(process.get(), INFINITE, quitPending);
    }
    if (!result.stopped) {
        ReadExitCode(process, result);
    }
    return result;
}

void StopEncoder() {
    encoderOutput.reset();
    if (encoderInput) {
        quitSentToEncoder = true;
        // Fails quietly when the encoder has already ended.
        DWORD written = 0;
        WriteFile(encoderInput.get(), "q", 1, &written, nullptr);
        encoderInput.reset();
    }
}
