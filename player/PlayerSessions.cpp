#include "player/PlayerSessions.h"

#include <algorithm>
#include <cmath>

#include "tools/movenc/FfmpegText.h"

namespace {

// A child that does not end within this long after being told to is not waited for longer;
// its job ends it with the process at the latest.
constexpr DWORD childEndTimeoutMs = 5000;

// Reads exactly `size` bytes of its output; false at its end.
bool ReadFull(FfmpegProcess& process, void* into, std::size_t size) {
    auto* bytes = static_cast<char*>(into);
    while (size > 0) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1 << 20));
        if (!process.ReadOutput(bytes, want, got))
            return false;
        bytes += got;
        size -= got;
    }
    return true;
}

// ffmpeg's error output is read and dropped, or a file full of decoding errors would fill
// the pipe and stall it.
std::thread DrainErrors(FfmpegProcess& process) {
    return std::thread([&process] {
        char buffer[4096];
        DWORD got = 0;
        while (process.ReadErrors(buffer, sizeof(buffer), got)) {
        }
    });
}

void EndChild(const FfmpegProcess& process) {
    if (process.Process() == nullptr)
        return;
    if (WaitForSingleObject(process.Process(), 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.Process(), 1);
        WaitForSingleObject(process.Process(), childEndTimeoutMs);
    }
}

bool IsRunning(const FfmpegProcess& process) {
    return process.Process() != nullptr && WaitForSingleObject(process.Process(), 0) == WAIT_TIMEOUT;
}

} // namespace

double PlayerClock() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f = {};
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

DecodeSession::DecodeSession(HWND window, unsigned serial, const DecodeRequest& request)
    : window(window), serial(serial), request(request), stopEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

DecodeSession::~DecodeSession() {
    if (stopEvent != nullptr)
        SetEvent(stopEvent);
    // Once ffmpeg has ended both readers see the end of its output.
    EndChild(process);
    if (worker.joinable())
        worker.join();
    if (drain.joinable())
        drain.join();
    if (stopEvent != nullptr)
        CloseHandle(stopEvent);
}

bool DecodeSession::Start(const std::string& ffmpeg) {
    std::string error;
    if (ffmpeg.empty() || stopEvent == nullptr || request.width <= 0 || request.height <= 0 ||
        !process.Start(ffmpeg, JoinCommandLine(ffmpeg, DecodeArguments(request)), error))
        return false;
    process.CloseInput();
    started = true;
    drain = DrainErrors(process);
    worker = std::thread([this] { Run(); });
    return true;
}

bool DecodeSession::TakeFrame(std::vector<std::uint32_t>& pixels, double& position) {
    messagePending = false;
    std::lock_guard<std::mutex> hold(lock);
    if (!fresh)
        return false;
    pixels.swap(latest);
    position = latestPosition;
    fresh = false;
    return true;
}

bool DecodeSession::ChildRunning() const {
    return IsRunning(process);
}

void DecodeSession::Run() {
    const std::size_t pixelCount = static_cast<std::size_t>(request.width) * static_cast<std::size_t>(request.height);
    const FramePacing pacing{request.frameRate > 0.0 ? request.frameRate : 25.0};
    std::vector<std::uint32_t> buffer(pixelCount);
    double firstFrameAt = 0.0;
    for (long long index = 0;; ++index) {
        if (WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0)
            break;
        buffer.resize(pixelCount);
        if (!ReadFull(process, buffer.data(), pixelCount * sizeof(std::uint32_t)))
            break;
        if (!request.still) {
            // The clock starts with the first frame, so that ffmpeg's start-up does not count
            // as lateness.
            const double now = PlayerClock();
            if (index == 0)
                firstFrameAt = now;
            const double elapsed = now - firstFrameAt;
            if (pacing.TooLate(index, elapsed)) {
                ++dropped;
                continue;
            }
            const double wait = pacing.DueAt(index) - elapsed;
            if (wait > 0.0 &&
                WaitForSingleObject(stopEvent, static_cast<DWORD>(std::lround(wait * 1000.0))) == WAIT_OBJECT_0)
                break;
        }
        {
            std::lock_guard<std::mutex> hold(lock);
            if (fresh)
                ++dropped;
            latest.swap(buffer);
            latestPosition = request.start + (request.still ? 0.0 : pacing.DueAt(index));
            fresh = true;
        }
        if (!messagePending.exchange(true))
            PostMessageA(window, sessionFrameMessage, serial, 0);
        if (request.still)
            break;
    }
    finished = true;
    PostMessageA(window, sessionDecodeEndedMessage, serial, 0);
}

SoundSession::SoundSession(const DecodeRequest& request)
    : request(request), bufferDone(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

SoundSession::~SoundSession() {
    stopping = true;
    if (bufferDone != nullptr)
        SetEvent(bufferDone);
    EndChild(process);
    if (worker.joinable())
        worker.join();
    if (drain.joinable())
        drain.join();
    if (device != nullptr)
        waveOutClose(device);
    if (bufferDone != nullptr)
        CloseHandle(bufferDone);
}

bool SoundSession::Start(const std::string& ffmpeg) {
    if (ffmpeg.empty() || bufferDone == nullptr || waveOutGetNumDevs() == 0)
        return false;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100 * 4;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(bufferDone), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
        device = nullptr;
        return false;
    }
    std::string error;
    if (!process.Start(ffmpeg, JoinCommandLine(ffmpeg, SoundArguments(request)), error)) {
        waveOutClose(device);
        device = nullptr;
        return false;
    }
    process.CloseInput();
    drain = DrainErrors(process);
    worker = std::thread([this] { Run(); });
    return true;
}

bool SoundSession::ChildRunning() const {
    return IsRunning(process);
}

void SoundSession::Run() {
    // Four buffers of a tenth of a second: enough queued to ride over a busy moment, little
    // enough that a pause is heard at once.
    constexpr std::size_t bufferCount = 4;
    constexpr std::size_t bufferBytes = 44100 * 4 / 10;
    std::vector<std::vector<char>> data(bufferCount, std::vector<char>(bufferBytes));
    std::vector<WAVEHDR> headers(bufferCount);
    std::vector<bool> queued(bufferCount, false);
    auto waitFree = [&](std::size_t i) {
        while (queued[i] && (headers[i].dwFlags & WHDR_DONE) == 0 && !stopping)
            WaitForSingleObject(bufferDone, 100);
        if (queued[i] && (headers[i].dwFlags & WHDR_DONE) != 0) {
            waveOutUnprepareHeader(device, &headers[i], sizeof(WAVEHDR));
            queued[i] = false;
        }
    };
    for (std::size_t next = 0; !stopping; next = (next + 1) % bufferCount) {
        waitFree(next);
        if (stopping)
            break;
        // Read up to a whole buffer; the last one of the range may be shorter.
        std::size_t got = 0;
        while (got < bufferBytes) {
            DWORD piece = 0;
            if (!process.ReadOutput(data[next].data() + got, static_cast<DWORD>(bufferBytes - got), piece))
                break;
            got += piece;
        }
        got -= got % 4;
        if (got == 0)
            break;
        headers[next] = {};
        headers[next].lpData = data[next].data();
        headers[next].dwBufferLength = static_cast<DWORD>(got);
        if (waveOutPrepareHeader(device, &headers[next], sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
            break;
        queued[next] = true;
        if (waveOutWrite(device, &headers[next], sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            waveOutUnprepareHeader(device, &headers[next], sizeof(WAVEHDR));
            queued[next] = false;
            break;
        }
    }
    if (stopping)
        waveOutReset(device);
    for (std::size_t i = 0; i < bufferCount; ++i)
        waitFree(i);
    // A stop may have left buffers the device has not handed back yet: Reset returns them.
    waveOutReset(device);
    for (std::size_t i = 0; i < bufferCount; ++i) {
        if (queued[i])
            waveOutUnprepareHeader(device, &headers[i], sizeof(WAVEHDR));
    }
    finished = true;
}

ExportSession::ExportSession(HWND window, unsigned serial, double total, std::string output)
    : window(window), serial(serial), total(total), output(std::move(output)) {}

ExportSession::~ExportSession() {
    EndChild(process);
    if (worker.joinable())
        worker.join();
    if (drain.joinable())
        drain.join();
    // Cut short: what ffmpeg wrote is no file anyone can use.
    if (started && !succeeded)
        DeleteFileA(output.c_str());
}

bool ExportSession::Start(const std::string& ffmpeg, const std::vector<std::string>& arguments) {
    std::string error;
    if (ffmpeg.empty() || !process.Start(ffmpeg, JoinCommandLine(ffmpeg, arguments), error))
        return false;
    process.CloseInput();
    started = true;
    drain = DrainErrors(process);
    worker = std::thread([this] { Run(); });
    return true;
}

double ExportSession::Position() const {
    return static_cast<double>(positionMicroseconds.load()) / 1e6;
}

bool ExportSession::ChildRunning() const {
    return IsRunning(process);
}

void ExportSession::Run() {
    ExportProgressReader reader;
    char buffer[4096];
    DWORD got = 0;
    while (process.ReadOutput(buffer, sizeof(buffer), got)) {
        if (reader.Feed(std::string_view(buffer, got))) {
            const double position = std::min(reader.Position(), total);
            positionMicroseconds = std::llround(position * 1e6);
            if (!progressPending.exchange(true))
                PostMessageA(window, sessionExportProgressMessage, serial, 0);
        }
    }
    WaitForSingleObject(process.Process(), INFINITE);
    const DWORD attributes = GetFileAttributesA(output.c_str());
    const bool made = process.ExitCode() == 0 && attributes != INVALID_FILE_ATTRIBUTES;
    if (!made)
        DeleteFileA(output.c_str());
    succeeded = made;
    ended = true;
    PostMessageA(window, sessionExportEndedMessage, serial, 0);
}
