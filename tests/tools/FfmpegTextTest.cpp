#include <gmock/gmock.h>

#include <windows.h>
#include <shellapi.h>

#include <cmath>

#include "tools/movenc/FfmpegText.h"
#include "tools/movenc/OutputCheck.h"

namespace {

// The system's own splitter gives back every argument unchanged: blanks, quotes and backslashes before them.
TEST(JoinCommandLine, SplitsBackIntoTheSameArguments) {
    const std::vector<std::string> arguments = {
        "-i",         "C:\\My Videos\\clip one.avi", "",         "a \"quoted\" title",
        "trailing\\", "spaced trailing\\",           "x\\\\\"y", "title=A\tB",
        "-metadata",  "comment=2024-01-01 10:00:00",
    };
    const std::string line = JoinCommandLine("C:\\Program Files\\app\\ffmpeg.exe", arguments);
    const std::wstring wide(line.begin(), line.end());
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(wide.c_str(), &count);
    ASSERT_NE(split, nullptr);
    ASSERT_EQ(count, static_cast<int>(arguments.size()) + 1);
    EXPECT_EQ(std::wstring(split[0]), L"C:\\Program Files\\app\\ffmpeg.exe");
    for (std::size_t i = 0; i < arguments.size(); ++i)
        EXPECT_EQ(std::wstring(split[i + 1]), std::wstring(arguments[i].begin(), arguments[i].end())) << i;
    LocalFree(split);
}

TEST(FfmpegErrorLine, TakesTheFirstLineThatStatesTheCause) {
    const std::pair<const char*, const char*> rows[] = {
        {"", ""},
        {"in.avi: Invalid data found when processing input\r\n", "in.avi: Invalid data found when processing input"},
        {"Conversion failed!\n", ""},
        {"[mov,mp4,m4a,3gp,3g2,mj2 @ 0x55cf85b5e900] moov atom not found\n"
         "in.mp4: Invalid data found when processing input\n",
         "moov atom not found"},
        {"Error opening output file o.mp4.\nUnknown encoder 'libfoo'\nConversion failed!\n",
         "Unknown encoder 'libfoo'"},
        {"[tag without address] stays\n", "[tag without address] stays"},
    };
    for (const auto& [output, line] : rows)
        EXPECT_EQ(FfmpegErrorLine(output), line) << output;
}

// "N/A" is no duration; without a duration line ffprobe could not read the file, and its reason is kept.
TEST(OutputCheck, ReadsWhatFfprobeSays) {
    const ProbedFile audioOnly = ParseProbeOutput("codec_type=audio\nduration=N/A\n");
    EXPECT_FALSE(audioOnly.video);
    EXPECT_TRUE(std::isnan(audioOnly.duration));
    EXPECT_TRUE(audioOnly.unreadable.empty());
    EXPECT_EQ(ParseProbeOutput("", "[mov,mp4 @ 0x5] moov atom not found\nx.3gp: Invalid data found\n").unreadable,
              "moov atom not found");
    EXPECT_EQ(ParseProbeOutput("", "").unreadable, "ffprobe said nothing of it");
}

// A file shorter than asked for (by more than a second, or by a tenth of a long clip) or without the video asked for
// fails; a damaged source is named as the cause; a file ffprobe could not look into is not called one without video.
TEST(OutputCheck, JudgesTheOutputAgainstWhatWasAskedFor) {
    const double none = std::nan("");
    const struct {
        double asked, written;
        bool video;
        const char *unreadable, *inputError, *verdict;
    } rows[] = {
        {6.0, 6.0, true, "", "", ""},
        {6.0, 5.1, true, "", "", ""}, // the last frame, the audio's last block
        {6.0, 2.68, true, "", "", "the output file \"out.mp4\" holds only 2.68 s of the 6.00 s asked for"},
        {6.0, 2.68, true, "", "stream 1, offset 0x186a4: partial file",
         "the source \"in.mp4\" is damaged: the conversion stopped at 2.68 s of 6.00 s (stream 1, offset 0x186a4: "
         "partial file)"},
        {100.0, 91.0, true, "", "", ""},
        {100.0, none, true, "", "", "the output file \"out.mp4\" holds only 0.00 s of the 100.00 s asked for"},
        {none, 1.0, true, "", "", ""},
        {none, 1.0, false, "", "", "the output file \"out.mp4\" holds no video stream"},
        {none, 1.0, false, "cannot start \"ffprobe.exe\": Access denied.", "",
         "ffprobe cannot read the output file \"out.mp4\": cannot start \"ffprobe.exe\": Access denied."},
    };
    for (const auto& row : rows) {
        const ProbedFile written{row.video, true, row.written, row.unreadable};
        // Source, output, seconds asked for, what ffprobe saw, video asked for, ffmpeg's first input error.
        const OutputFacts facts{"in.mp4", "out.mp4", row.asked, written, true, row.inputError};
        EXPECT_EQ(JudgeOutput(facts), row.verdict) << row.verdict;
    }
}

// "file:" comes off; a protocol or standard input is no local file; a drive letter or a colon in a name is no protocol.
TEST(LocalFilePath, TakesTheFileProtocolOffAndLeavesStreamsOut) {
    const char* const rows[][2] = {
        {"file:x.mp4", "x.mp4"}, {"FILE:C:\\x.mp4", "C:\\x.mp4"},
        {"c:a.avi", "c:a.avi"},  {"my clip: part 2.avi", "my clip: part 2.avi"},
        {"pipe:1", ""},          {"-", ""},
    };
    for (const auto& [name, path] : rows)
        EXPECT_EQ(LocalFilePath(name), path) << name;
}

} // namespace
