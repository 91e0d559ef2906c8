#include "tools/movenc/ProgressRelay.h"

#include <atomic>
#include <thread>

#include "tools/movenc/FfmpegProcess.h"

namespace {

constexpr std::size_t errorOutputLimit = 64 * 1024;

// Set by the thread that passes "q" on; that thread may outlive the relay.
std::atomic<bool> quitPassedOn{false};

bool IsValid(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// Reads our standard input for the rest of the process's life and passes every "q" on.
// Everything else is dropped: ffmpeg takes other keys as commands ("+" raises its log
// level onto our output, "c" sends filter commands). End of input means nothing. The
// thread keeps a handle of its own to ffmpeg's input, since it may still be blocked in a
// read when the run is over.
void ForwardQuit(HANDLE commandInput, HANDLE ffmpegInput) {
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(commandInput, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        for (DWORD i = 0; i < got; ++i) {
            if (buffer[i] != 'q')
                continue;
            DWORD written = 0;
            quitPassedOn = true;
            WriteFile(ffmpegInput, "q", 1, &written, nullptr);
        }
    }
    CloseHandle(ffmpegInput);
}

void ReadErrors(FfmpegProcess& ffmpeg, std::string& text) {
    char buffer[4096];
    DWORD got = 0;
    while (ffmpeg.ReadErrors(buffer, sizeof(buffer), got)) {
        text.append(buffer, got);
        if (text.size() > 2 * errorOutputLimit)
            text.erase(0, text.size() - errorOutputLimit);
    }
}

} // namespace

ProgressRelay::ProgressRelay(HANDLE progressOutput, HANDLE commandInput)
    : progressOutput(progressOutput), commandInput(commandInput) {}

DWORD ProgressRelay::Run(FfmpegProcess& ffmpeg, std::string& errorOutput) {
    HANDLE ownInput = nullptr;
    if (IsValid(commandInput) && DuplicateHandle(GetCurrentProcess(), ffmpeg.Input(), GetCurrentProcess(), &ownInput, 0,
                                                 FALSE, DUPLICATE_SAME_ACCESS))
        std::thread(ForwardQuit, commandInput, ownInput).detach();

    std::string errors;
    std::thread errorReader(ReadErrors, std::ref(ffmpeg), std::ref(errors));
    std::thread progressReader(&ProgressRelay::ReadProgress, this, std::ref(ffmpeg));
    while (WaitForSingleObject(ffmpeg.Process(), repeatInterval / 2) == WAIT_TIMEOUT)
        RepeatIfQuiet();
    progressReader.join();
    errorReader.join();
    if (errors.size() > errorOutputLimit)
        errors.erase(0, errors.size() - errorOutputLimit);
    errorOutput = std::move(errors);
    return ffmpeg.ExitCode();
}

bool ProgressRelay::QuitPassedOn() const {
    return quitPassedOn;
}

void ProgressRelay::ReadProgress(FfmpegProcess& ffmpeg) {
    char buffer[4096];
    DWORD got = 0;
    while (ffmpeg.ReadOutput(buffer, sizeof(buffer), got)) {
        const std::vector<ProgressSnapshot> snapshots = reader.Feed(std::string_view(buffer, got));
        if (snapshots.empty())
            continue;
        // Of reports that arrived together only the newest matters.
        const std::string line = FormatProgressLine(snapshots.back());
        const std::lock_guard<std::mutex> guard(lock);
        const DWORD sinceLast = GetTickCount() - lastWriteTick;
        if (!lastLine.empty() && sinceLast < minimumGap)
            Sleep(minimumGap - sinceLast);
        lastLine = line;
        WriteLine(lastLine);
    }
}

// Until ffmpeg's first report there is nothing to repeat: a run that fails at once then
// shows its error line alone.
void ProgressRelay::RepeatIfQuiet() {
    const std::lock_guard<std::mutex> guard(lock);
    if (!lastLine.empty() && GetTickCount() - lastWriteTick >= repeatInterval)
        WriteLine(lastLine);
}

void ProgressRelay::WriteLine(const std::string& line) {
    DWORD written = 0;
    // A reader that has gone away does not stop the encode.
    WriteFile(progressOutput, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    lastWriteTick = GetTickCount();
}
