#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The figures of one progress report: output size and media time reached.
struct ProgressSnapshot {
    std::int64_t sizeBytes = 0;
    std::int64_t timeMicroseconds = 0;
    bool last = false; // ffmpeg's final report ("progress=end")

    bool operator==(const ProgressSnapshot&) const = default;
};

// Reads what "ffmpeg -progress pipe:1" writes: blocks of key=value lines, each block closed
// by "progress=continue" or "progress=end". Bytes arrive in pieces of any size, so a line
// cut by a read is kept until the rest of it comes.
class FfmpegProgressReader {
public:
    // The snapshots of the blocks that `bytes` completes, in order.
    std::vector<ProgressSnapshot> Feed(std::string_view bytes);

private:
    void TakeLine(std::string_view line, std::vector<ProgressSnapshot>& completed);

    std::string partialLine;
    ProgressSnapshot current;
    bool haveTimeMicroseconds = false; // "out_time_us" seen in this block
};

// The line the engine reads: "size=" + kilobytes right-aligned in 8 characters + "kB time="
// + seconds with two decimals, then a line end. The time is cut, not rounded, to hundredths,
// so it never runs ahead of the encoder; negative figures (ffmpeg reports a negative time
// before the first packet) count as 0.
std::string FormatProgressLine(const ProgressSnapshot& snapshot);
