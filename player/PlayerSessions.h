#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "player/PlayerCommands.h"
#include "tools/movenc/FfmpegProcess.h"

// The control's two kinds of work, each one ffmpeg process read by a worker thread of its own.
// The worker never touches the window: it posts the window a message, and the window takes
// what the worker left. Ending a session (its destructor) ends the process and the threads;
// no ffmpeg outlives it.

// Messages a session posts its window; wParam carries the session's serial, so that the
// window can tell the messages of an ended session from those of the current one.
inline constexpr UINT sessionFrameMessage = WM_USER + 0x301;
inline constexpr UINT sessionDecodeEndedMessage = WM_USER + 0x302;
inline constexpr UINT sessionExportProgressMessage = WM_USER + 0x303;
inline constexpr UINT sessionExportEndedMessage = WM_USER + 0x304;

// Seconds on the performance counter.
double PlayerClock();

// Decoding: frames of a range, paced to their frame rate for playback, or one still frame.
class DecodeSession {
public:
    DecodeSession(HWND window, unsigned serial, const DecodeRequest& request);
    DecodeSession(const DecodeSession&) = delete;
    DecodeSession& operator=(const DecodeSession&) = delete;
    ~DecodeSession();

    bool Start(const std::string& ffmpeg);
    unsigned Serial() const { return serial; }
    const DecodeRequest& Request() const { return request; }

    // Moves the newest frame not yet taken into `pixels` (request's width x height) and gives
    // its position in the file; false when there is none.
    bool TakeFrame(std::vector<std::uint32_t>& pixels, double& position);
    // Frames given up: decoded too late to be shown in time, or replaced by a newer one
    // before the window took them.
    long long Dropped() const { return dropped.load(); }
    bool Finished() const { return finished.load(); }
    bool ChildRunning() const;

private:
    void Run();

    HWND window;
    unsigned serial;
    DecodeRequest request;
    FfmpegProcess process;
    bool started = false;
    HANDLE stopEvent = nullptr;
    std::atomic<bool> finished{false};
    std::atomic<bool> messagePending{false};
    std::atomic<long long> dropped{0};
    std::mutex lock;
    std::vector<std::uint32_t> latest;
    double latestPosition = 0.0;
    bool fresh = false;
    std::thread worker;
    std::thread drain;
};

// Sound of a played range through the system's wave output: ffmpeg decodes it to PCM on a
// pipe and the worker queues it to the device a tenth of a second at a time. Without a wave
// device (or without sound in the file) there is no session and the video plays alone.
class SoundSession {
public:
    explicit SoundSession(const DecodeRequest& request);
    SoundSession(const SoundSession&) = delete;
    SoundSession& operator=(const SoundSession&) = delete;
    ~SoundSession();

    // False, with nothing started, when there is no wave output to play through.
    bool Start(const std::string& ffmpeg);
    bool Finished() const { return finished.load(); }
    bool ChildRunning() const;

private:
    void Run();

    DecodeRequest request;
    FfmpegProcess process;
    HWAVEOUT device = nullptr;
    HANDLE bufferDone = nullptr;
    std::atomic<bool> stopping{false};
    std::atomic<bool> finished{false};
    std::thread worker;
    std::thread drain;
};

// Export: ffmpeg writes the file and reports its progress; a session ended before ffmpeg
// succeeded leaves no file behind.
class ExportSession {
public:
    ExportSession(HWND window, unsigned serial, double total, std::string output);
    ExportSession(const ExportSession&) = delete;
    ExportSession& operator=(const ExportSession&) = delete;
    ~ExportSession();

    bool Start(const std::string& ffmpeg, const std::vector<std::string>& arguments);
    unsigned Serial() const { return serial; }
    double Total() const { return total; }
    double Position() const;
    bool Ended() const { return ended.load(); }
    bool Succeeded() const { return succeeded.load(); }
    // Marks the position event the window is about to send as taken.
    void ProgressTaken() { progressPending = false; }
    bool ChildRunning() const;

private:
    void Run();

    HWND window;
    unsigned serial;
    double total;
    std::string output;
    FfmpegProcess process;
    bool started = false;
    std::atomic<bool> ended{false};
    std::atomic<bool> succeeded{false};
    std::atomic<bool> progressPending{false};
    std::atomic<long long> positionMicroseconds{0};
    std::thread worker;
    std::thread drain;
};
