#include <gmock/gmock.h>

#include "engine/ProgressParsing.h"
#include "tools/movenc/FfmpegProgressReader.h"

namespace {

// One block as ffmpeg 5 writes it with -progress.
const std::string block = "frame=75\nfps=0.00\nstream_0_0_q=-1.0\nbitrate= 121.1kbits/s\ntotal_size=45677\n"
                          "out_time_us=3018594\nout_time_ms=3018594\nout_time=00:00:03.018594\ndup_frames=0\n"
                          "drop_frames=0\nspeed=16.9x\nprogress=continue\n";

// Line ends of either kind.
TEST(FfmpegProgressReader, ReadsTheSameWhateverThePiecesAreCut) {
    const std::string text = block + "total_size=90000\r\nout_time_us=6000000\r\nprogress=end\r\n";
    for (std::size_t piece : {1u, 2u, 7u, 64u, 4096u}) {
        FfmpegProgressReader reader;
        std::vector<ProgressSnapshot> all;
        for (std::size_t at = 0; at < text.size(); at += piece) {
            const auto some = reader.Feed(std::string_view(text).substr(at, piece));
            all.insert(all.end(), some.begin(), some.end());
        }
        EXPECT_THAT(
            all, testing::ElementsAre(ProgressSnapshot{45677, 3018594, false}, ProgressSnapshot{90000, 6000000, true}))
            << "pieces of " << piece;
    }
}

TEST(FfmpegProgressReader, KeepsTheLastFigureWhereAValueIsUnknown) {
    FfmpegProgressReader reader;
    EXPECT_THAT(reader.Feed("total_size=N/A\nout_time_us=N/A\nout_time=N/A\nprogress=continue\n"),
                testing::ElementsAre(ProgressSnapshot{0, 0, false}));
    reader.Feed(block);
    EXPECT_THAT(reader.Feed("total_size=N/A\nout_time_us=N/A\nprogress=continue\n"),
                testing::ElementsAre(ProgressSnapshot{45677, 3018594, false}));
}

// Older ffmpeg versions write no out_time_us; out_time_ms holds microseconds all the same,
// and out_time is the clock text.
TEST(FfmpegProgressReader, FallsBackToTheOtherTimeKeys) {
    FfmpegProgressReader reader;
    EXPECT_THAT(reader.Feed("out_time_ms=2500000\nprogress=continue\n"),
                testing::ElementsAre(ProgressSnapshot{0, 2500000, false}));
    EXPECT_THAT(reader.Feed("out_time=01:01:02.5\nprogress=continue\n"),
                testing::ElementsAre(ProgressSnapshot{0, 3662500000, false}));
    EXPECT_THAT(reader.Feed("out_time=-00:00:00.577000\nprogress=continue\n"),
                testing::ElementsAre(ProgressSnapshot{0, -577000, false}));
    // out_time_us wins over the others in its block.
    EXPECT_THAT(reader.Feed("out_time_us=100\nout_time_ms=999\nout_time=00:00:09.000000\nprogress=continue\n"),
                testing::ElementsAre(ProgressSnapshot{0, 100, false}));
    EXPECT_THAT(reader.Feed("out_time=garbage\nprogress=continue\n"),
                testing::ElementsAre(ProgressSnapshot{0, 100, false}));
    // Clocks ffmpeg never writes keep the figure too: hours that would overflow the
    // microseconds, minutes or seconds of 60 and more, signs inside.
    for (const char* clock : {"7077:07777777777777777777:0", "99999999999:00:00", "00:60:00", "00:00:75.5", "00:-5:00",
                              "00:00:-1", "00:00:01.-5"}) {
        EXPECT_THAT(reader.Feed(std::string("out_time=") + clock + "\nprogress=continue\n"),
                    testing::ElementsAre(ProgressSnapshot{0, 100, false}))
            << clock;
    }
    EXPECT_THAT(reader.Feed("out_time=1000000:59:59.999999\nprogress=continue\n"),
                testing::ElementsAre(ProgressSnapshot{0, 3600003599999999, false}));
}

TEST(FfmpegProgressReader, AnOverlongLineDoesNotHideLaterBlocks) {
    FfmpegProgressReader reader;
    EXPECT_TRUE(reader.Feed(std::string(10000, 'x')).empty());
    EXPECT_THAT(reader.Feed("\n" + block), testing::ElementsAre(ProgressSnapshot{45677, 3018594, false}));
}

struct LineRow {
    ProgressSnapshot snapshot;
    const char* line;
};

const LineRow lineRows[] = {
    {{0, 0, false}, "size=       0kB time=0.00\r\n"},
    {{1023, 9999, false}, "size=       0kB time=0.00\r\n"},
    {{1234 * 1024 + 1023, 12345678, false}, "size=    1234kB time=12.34\r\n"},
    {{-5, -577000, false}, "size=       0kB time=0.00\r\n"},
    {{99999999LL * 1024, 360000000000LL, true}, "size=99999999kB time=360000.00\r\n"},
    {{2048, 123456789, false}, "size=       2kB time=123.45\r\n"},
    {{2048, 9999999, false}, "size=       2kB time=9.99\r\n"},
};

TEST(FormatProgressLine, WritesTheEngineFormat) {
    for (const LineRow& row : lineRows)
        EXPECT_EQ(FormatProgressLine(row.snapshot), row.line);
}

// The lines as the engine's own reader takes them, one chunk each: whole kilobytes, and the
// time from the five characters after "time=".
TEST(FormatProgressLine, ReadsBackThroughTheEnginesParser) {
    struct Row {
        ProgressSnapshot snapshot;
        int sizeKB;
        double time;
    };
    const Row rows[] = {
        {{1234 * 1024, 12345678, false}, 1234, 12.34},
        {{0, 0, false}, 0, 0.0},
        {{87654321LL * 1024, 123456789, false}, 87654321, 123.4},
        {{5 * 1024, 9990000, true}, 5, 9.99},
    };
    for (const Row& row : rows) {
        const std::string line = FormatProgressLine(row.snapshot);
        const ProgressFields fields = ReadProgressFields(line.c_str());
        ASSERT_TRUE(fields.sizeKB.has_value()) << line;
        ASSERT_TRUE(fields.time.has_value()) << line;
        EXPECT_EQ(*fields.sizeKB, row.sizeKB) << line;
        EXPECT_NEAR(*fields.time, row.time, 1e-9) << line;
    }
}

} // namespace
