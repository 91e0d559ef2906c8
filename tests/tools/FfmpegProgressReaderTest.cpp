#include <gmock/gmock.h>

#include "tools/movenc/FfmpegProgressReader.h"

namespace {

using testing::ElementsAre;

// One block as ffmpeg 5 writes it with -progress.
const std::string block = "frame=75\nfps=0.00\nstream_0_0_q=-1.0\nbitrate= 121.1kbits/s\ntotal_size=45677\n"
                          "out_time_us=3018594\nout_time_ms=3018594\nout_time=00:00:03.018594\ndup_frames=0\n"
                          "drop_frames=0\nspeed=16.9x\nprogress=continue\n";

// Line ends of either kind; an overlong line does not hide later blocks.
TEST(FfmpegProgressReader, ReadsTheSameWhateverThePiecesAreCut) {
    const std::string text =
        std::string(10000, 'x') + "\n" + block + "total_size=90000\r\nout_time_us=6000000\r\nprogress=end\r\n";
    for (std::size_t piece : {1u, 2u, 7u, 64u, 4096u}) {
        FfmpegProgressReader reader;
        std::vector<ProgressSnapshot> all;
        for (std::size_t at = 0; at < text.size(); at += piece) {
            const auto some = reader.Feed(std::string_view(text).substr(at, piece));
            all.insert(all.end(), some.begin(), some.end());
        }
        EXPECT_THAT(all, ElementsAre(ProgressSnapshot{45677, 3018594, false}, ProgressSnapshot{90000, 6000000, true}))
            << "pieces of " << piece;
    }
}

// "N/A" before the first packet keeps the last figure. Older ffmpeg versions write no out_time_us; out_time_ms holds
// microseconds all the same, and out_time is the clock text; out_time_us wins over the others in its block. Clocks
// ffmpeg never writes keep the last figure: hours that would overflow the microseconds, minutes or seconds of 60 and
// more, signs inside. Each row is one block, in order.
TEST(FfmpegProgressReader, KeepsTheLastFigureAndFallsBackToTheOtherTimeKeys) {
    const std::pair<const char*, ProgressSnapshot> rows[] = {
        {"total_size=N/A\nout_time_us=N/A\nout_time=N/A", {0, 0}},
        {"total_size=45677\nout_time_us=3018594", {45677, 3018594}},
        {"total_size=N/A\nout_time_us=N/A", {45677, 3018594}},
        {"out_time_ms=2500000", {45677, 2500000}},
        {"out_time=01:01:02.5", {45677, 3662500000}},
        {"out_time=-00:00:00.577000", {45677, -577000}},
        {"out_time_us=100\nout_time_ms=999\nout_time=00:00:09.000000", {45677, 100}},
        {"out_time=garbage", {45677, 100}},
        {"out_time=7077:07777777777777777777:0", {45677, 100}},
        {"out_time=99999999999:00:00", {45677, 100}},
        {"out_time=00:60:00", {45677, 100}},
        {"out_time=00:-5:00", {45677, 100}},
        {"out_time=00:00:01.-5", {45677, 100}},
        {"out_time=1000000:59:59.999999", {45677, 3600003599999999}},
    };
    FfmpegProgressReader reader;
    for (const auto& [lines, snapshot] : rows)
        EXPECT_THAT(reader.Feed(std::string(lines) + "\nprogress=continue\n"), ElementsAre(snapshot)) << lines;
}

// The line the engine reads: whole kilobytes, hundredths of seconds cut, not rounded, negative figures as 0.
TEST(FormatProgressLine, WritesTheEngineFormat) {
    const std::pair<ProgressSnapshot, const char*> rows[] = {
        {{0, 0, false}, "size=       0kB time=0.00\r\n"},
        {{1234 * 1024 + 1023, 12345678, false}, "size=    1234kB time=12.34\r\n"},
        {{-5, -577000, false}, "size=       0kB time=0.00\r\n"},
        {{99999999LL * 1024, 360000000000LL, true}, "size=99999999kB time=360000.00\r\n"},
    };
    for (const auto& [snapshot, line] : rows)
        EXPECT_EQ(FormatProgressLine(snapshot), line);
}

} // namespace
