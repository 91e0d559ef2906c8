// What the player asks of ffmpeg and how it reads the answers, without running anything.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "player/PlayerCommands.h"

namespace {

using testing::Contains;

TEST(PlayerCommands, ProbeOutputTable) {
    const auto fields = [](const MediaInfo& m) {
        return std::tuple(m.duration, m.frameRate, m.width, m.height, m.hasVideo, m.hasAudio);
    };
    const std::pair<const char*, MediaInfo> rows[] = {
        // Video then audio, with CRLF line ends.
        {"codec_type=video\r\nwidth=320\r\nheight=240\r\nr_frame_rate=25/1\r\navg_frame_rate=25/1\r\n"
         "codec_type=audio\r\nwidth=N/A\r\nr_frame_rate=0/0\r\navg_frame_rate=0/0\r\nduration=3.000000\r\n",
         {3.0, 25.0, 320, 240, true, true}},
        // Audio first: the picture is the video stream's, not the first stream's.
        {"codec_type=audio\nr_frame_rate=0/0\navg_frame_rate=0/0\ncodec_type=video\nwidth=640\nheight=360\n"
         "r_frame_rate=30000/1001\navg_frame_rate=30000/1001\nduration=10.01\n",
         {10.01, 30000.0 / 1001.0, 640, 360, true, true}},
        // No average rate: the base rate.
        {"codec_type=video\nwidth=176\nheight=144\nr_frame_rate=15/1\navg_frame_rate=0/0\nduration=2.5\n",
         {2.5, 15.0, 176, 144, true, false}},
        // A rate no one plays at falls back to 25.
        {"codec_type=video\nwidth=8\nheight=8\nr_frame_rate=1000/1\navg_frame_rate=1000/1\nduration=1\n",
         {1.0, 25.0, 8, 8, true, false}},
        {"codec_type=audio\nduration=4.2\n", {4.2, 0.0, 0, 0, false, true}}, // audio only
        // Nothing read: all zero.
        {"", {}},
        {"duration=N/A\n", {}},
        {"duration=-3\n", {}},
        {"garbage without equals\n\n=\n", {}},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(fields(ParseProbeOutput(text)), fields(expected)) << text;
}

// What the runs with the real ffmpeg cannot tell: a still seeks before the input, so that ffmpeg seeks rather than
// decodes up to it; an export of a source without sound asks for none.
TEST(PlayerCommands, ArgumentsTheRealRunsDoNotShow) {
    const std::vector<std::string> a = DecodeArguments({"C:\\My Videos\\a b.avi", 1.0, 0.0, 329, 128});
    EXPECT_LT(std::find(a.begin(), a.end(), "-ss"), std::find(a.begin(), a.end(), "-i"));
    ExportRequest mpeg;
    mpeg.format = PlayerOutputFormat::mpeg;
    mpeg.sourceHasAudio = false;
    const auto silent = ExportArguments(mpeg);
    ASSERT_TRUE(silent);
    EXPECT_THAT(*silent, testing::Not(Contains("-c:a")));
    EXPECT_THAT(*silent, testing::Not(Contains("0:a:0")));
}

TEST(PlayerCommands, ProgressReaderTakesPiecesAsTheyCome) {
    ExportProgressReader reader;
    EXPECT_FALSE(reader.Feed("frame=10\nout_time_us=5"));
    EXPECT_TRUE(reader.Feed("00000\r\nprogress=continue\n"));
    EXPECT_DOUBLE_EQ(reader.Position(), 0.5);
    EXPECT_FALSE(reader.Feed("out_time_us=N/A\nout_time_us=-7\n"));
    EXPECT_FALSE(reader.Feed("out_time_us=400000\n")) << "time never goes back";
    EXPECT_TRUE(reader.Feed("out_time_us=2000000\nprogress=end\n"));
    EXPECT_DOUBLE_EQ(reader.Position(), 2.0);
    EXPECT_TRUE(reader.Ended());
}

} // namespace
