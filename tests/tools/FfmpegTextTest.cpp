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
    struct Row {
        const char* output;
        const char* line;
    };
    const Row rows[] = {
        {"", ""},
        {"in.avi: Invalid data found when processing input\r\n", "in.avi: Invalid data found when processing input"},
        {"Conversion failed!\n", ""},
        {"[NULL @ 0x55c84d8f6740] Requested output format 'bogusfmt' is not a suitable output format\n"
         "o.mp4: Invalid argument\n",
         "Requested output format 'bogusfmt' is not a suitable output format"},
        {"[mov,mp4,m4a,3gp,3g2,mj2 @ 0x55cf85b5e900] moov atom not found\n"
         "in.mp4: Invalid data found when processing input\n",
         "moov atom not found"},
        {"Error opening output file o.mp4.\nUnknown encoder 'libfoo'\nConversion failed!\n",
         "Unknown encoder 'libfoo'"},
        {"o.mp4: Invalid argument\n", "o.mp4: Invalid argument"},
        {"[tag without address] stays\n", "[tag without address] stays"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FfmpegErrorLine(row.output), row.line) << row.output;
}

TEST(OutputCheck, ReadsWhatFfprobeSays) {
    const ProbedFile both = ParseProbeOutput("codec_type=video\r\ncodec_type=audio\r\nduration=6.000000\r\n");
    EXPECT_TRUE(both.video);
    EXPECT_TRUE(both.audio);
    EXPECT_DOUBLE_EQ(both.duration, 6.0);
    const ProbedFile audioOnly = ParseProbeOutput("codec_type=audio\nduration=N/A\n");
    EXPECT_FALSE(audioOnly.video);
    EXPECT_TRUE(std::isnan(audioOnly.duration));
    EXPECT_TRUE(audioOnly.unreadable.empty());
    // No duration line: ffprobe could not read the file, and its reason is kept.
    EXPECT_EQ(ParseProbeOutput("", "[mov,mp4 @ 0x5] moov atom not found\nx.3gp: Invalid data found\n").unreadable,
              "moov atom not found");
    EXPECT_EQ(ParseProbeOutput("", "").unreadable, "ffprobe said nothing of it");
}

TEST(OutputCheck, JudgesTheOutputAgainstWhatWasAskedFor) {
    OutputFacts facts;
    facts.source = "in.mp4";
    facts.output = "out.mp4";
    facts.videoExpected = true;
    facts.written = {true, true, 6.0, {}};
    facts.expectedSeconds = 6.0;
    EXPECT_EQ(JudgeOutput(facts), "");
    facts.written.duration = 5.1; // within a second: the last frame, the audio's last block
    EXPECT_EQ(JudgeOutput(facts), "");
    facts.written.duration = 2.68;
    EXPECT_EQ(JudgeOutput(facts), "the output file \"out.mp4\" holds only 2.68 s of the 6.00 s asked for");
    facts.firstInputError = "stream 1, offset 0x186a4: partial file";
    EXPECT_EQ(JudgeOutput(facts), "the source \"in.mp4\" is damaged: the conversion stopped at 2.68 s of 6.00 s "
                                  "(stream 1, offset 0x186a4: partial file)");
    // A long clip may be short by a tenth before it counts.
    facts = {};
    facts.written = {true, false, 91.0, {}};
    facts.expectedSeconds = 100.0;
    EXPECT_EQ(JudgeOutput(facts), "");
    facts.written.duration = std::nan("");
    EXPECT_THAT(JudgeOutput(facts), testing::HasSubstr("holds only 0.00 s of the 100.00 s"));
    // No length known: only the streams count.
    facts.expectedSeconds = std::nan("");
    EXPECT_EQ(JudgeOutput(facts), "");
    facts.videoExpected = true;
    facts.written.video = false;
    facts.output = "x.mp4";
    EXPECT_EQ(JudgeOutput(facts), "the output file \"x.mp4\" holds no video stream");
    // A file ffprobe could not look into is not called a file without video.
    facts.written.unreadable = "cannot start \"ffprobe.exe\": Access denied.";
    EXPECT_EQ(JudgeOutput(facts),
              "ffprobe cannot read the output file \"x.mp4\": cannot start \"ffprobe.exe\": Access denied.");
}

// "file:" comes off; a protocol or standard input is no local file; a drive letter or a colon in a name is no protocol.
TEST(LocalFilePath, TakesTheFileProtocolOffAndLeavesStreamsOut) {
    const char* const rows[][2] = {
        {"file:x.mp4", "x.mp4"},
        {"FILE:C:\\x.mp4", "C:\\x.mp4"},
        {"c:a.avi", "c:a.avi"},
        {"my clip: part 2.avi", "my clip: part 2.avi"},
        {"pipe:1", ""},
        {"http://host/x.mp4", ""},
        {"-", ""},
    };
    for (const auto& [name, path] : rows)
        EXPECT_EQ(LocalFilePath(name), path) << name;
}

} // namespace
