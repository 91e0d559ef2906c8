// What the player asks of ffmpeg and how it reads the answers, without running anything.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "player/PlayerCommands.h"

namespace {

using testing::Contains;
using testing::ElementsAre;

bool HasPair(const std::vector<std::string>& arguments, const std::string& option, const std::string& value) {
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i)
        if (arguments[i] == option && arguments[i + 1] == value)
            return true;
    return false;
}

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

TEST(PlayerCommands, RatesAndTimes) {
    EXPECT_DOUBLE_EQ(ParseRate("30000/1001"), 30000.0 / 1001.0);
    EXPECT_DOUBLE_EQ(ParseRate("25"), 25.0);
    EXPECT_DOUBLE_EQ(ParseRate("0/0"), 0.0);
    EXPECT_DOUBLE_EQ(ParseRate("x/y"), 0.0);
    EXPECT_EQ(RateArgument(23.976f), "24000/1001");
    EXPECT_EQ(RateArgument(29.97), "30000/1001");
    EXPECT_EQ(RateArgument(25.0), "25.000");
    EXPECT_EQ(SecondsArgument(1.5), "1.500000");
    EXPECT_TRUE(IsValidRange(0.0, 0.0));
    EXPECT_TRUE(IsValidRange(1.0, 3.0));
    EXPECT_FALSE(IsValidRange(3.0, 1.0));
    EXPECT_FALSE(IsValidRange(-0.5, 1.0));
    EXPECT_FALSE(IsValidRange(std::nan(""), 1.0));
    EXPECT_FALSE(IsValidRange(0.0, std::numeric_limits<double>::infinity()));
}

// What the runs with the real ffmpeg cannot tell: where the seek stands, playback without a seek, an export of a
// source without sound, a format the control does not make.
TEST(PlayerCommands, ArgumentsTheRealRunsDoNotShow) {
    const DecodeRequest still{"C:\\My Videos\\a b.avi", 1.0, 0.0, 329, 128};
    const std::vector<std::string> a = DecodeArguments(still);
    // Before the input, so that ffmpeg seeks rather than decodes up to it.
    EXPECT_LT(std::find(a.begin(), a.end(), "-ss"), std::find(a.begin(), a.end(), "-i"));
    const DecodeRequest play{still.path, 0.0, 3.0, 329, 128, 30000.0 / 1001.0, false};
    const std::vector<std::string> b = DecodeArguments(play);
    EXPECT_THAT(b, testing::Not(Contains("-ss")));
    EXPECT_THAT(b, testing::Not(Contains("-frames:v")));
    EXPECT_TRUE(HasPair(b, "-vf", "fps=30000/1001," + FitFilter(329, 128)));

    ExportRequest mpeg;
    mpeg.format = PlayerOutputFormat::mpeg;
    mpeg.sourceHasAudio = false;
    const auto silent = ExportArguments(mpeg);
    ASSERT_TRUE(silent);
    EXPECT_THAT(*silent, testing::Not(Contains("-c:a")));
    EXPECT_THAT(*silent, testing::Not(Contains("0:a:0")));
    mpeg.format = 7;
    EXPECT_FALSE(ExportArguments(mpeg));
}

TEST(PlayerCommands, CompressorListsNameWhatFfmpegHas) {
    // Only what the installed ffmpeg has, in the list's order.
    const std::set<std::string, std::less<>> all = {"msmpeg4", "msmpeg4v2", "mpeg4", "libmp3lame", "pcm_s16le", "mp2"};
    std::vector<std::string> video;
    for (const CodecEntry& entry : VideoCodecEntries(all))
        video.push_back(entry.name);
    EXPECT_THAT(video, ElementsAre("Microsoft MPEG-4 Video Codec V2", "Microsoft MPEG-4 Video Codec V3",
                                   "MPEG-4 Part 2 (DivX compatible)"));
    std::vector<std::string> audio;
    for (const CodecEntry& entry : AudioCodecEntries(all))
        audio.push_back(entry.name);
    EXPECT_THAT(audio, ElementsAre("PCM", "MPEG Layer-2", "MPEG Layer-3 (LAME)"));
    EXPECT_TRUE(VideoCodecEntries({}).empty());
    EXPECT_TRUE(AudioCodecEntries({"libx264"}).empty());
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

TEST(PlayerCommands, PacingDropsLateFramesInsteadOfDrifting) {
    const FramePacing pacing{25.0};
    EXPECT_DOUBLE_EQ(pacing.DueAt(50), 2.0);
    EXPECT_FALSE(pacing.TooLate(50, 2.039));
    EXPECT_TRUE(pacing.TooLate(50, 2.041));
    // Frame 51 is judged by its own due time, not by when 50 was shown.
    EXPECT_FALSE(pacing.TooLate(51, 2.041));
}

} // namespace
