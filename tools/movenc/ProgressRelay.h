#pragma once

#include <windows.h>

#include <mutex>
#include <string>

#include "tools/movenc/FfmpegProgressReader.h"

class FfmpegProcess;

// Passes a running ffmpeg's progress on in the engine's format, and "q" from our standard
// input on to it, until it ends.
//
// Each progress line goes out in one write: the engine reads its pipe in pieces of at most
// 255 bytes and parses each piece by itself, so a line split over two writes could lose its
// figures. Nothing else is written to our output while ffmpeg works; its error output is
// kept for the one error line written when it fails.
class ProgressRelay {
public:
    // `progressOutput` receives the progress lines; `commandInput` is read for "q" (may be
    // null or invalid when there is no standard input).
    ProgressRelay(HANDLE progressOutput, HANDLE commandInput);

    // Runs until ffmpeg has ended and its output is read; returns its exit code, and what it
    // wrote on its standard error (the last 64 KB) in `errorOutput`.
    DWORD Run(FfmpegProcess& ffmpeg, std::string& errorOutput);

    // True once a "q" from our standard input has been passed on to ffmpeg.
    bool QuitPassedOn() const;

    // A line is repeated when ffmpeg has reported nothing new for this long, so that the
    // engine sees at least two lines a second even while ffmpeg's own reports lag.
    static constexpr DWORD repeatInterval = 400;

    // Two lines are never written closer together than this. The engine parses only the
    // first line of what it reads at once, so a line following the one before too closely
    // (ffmpeg's final report comes right after its last regular one) could go unseen.
    static constexpr DWORD minimumGap = 40;

private:
    void ReadProgress(FfmpegProcess& ffmpeg);
    void RepeatIfQuiet();
    void WriteLine(const std::string& line);

    HANDLE progressOutput;
    HANDLE commandInput;
    FfmpegProgressReader reader; // used by the reading thread only
    std::mutex lock;             // guards the fields below and the writes to progressOutput
    std::string lastLine;
    DWORD lastWriteTick = 0;
};
