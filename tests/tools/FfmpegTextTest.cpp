#include <gmock/gmock.h>

#include <windows.h>
#include <shellapi.h>

#include "tools/movenc/FfmpegText.h"

namespace {

TEST(QuoteArgument, QuotesOnlyWhereTheRuntimeNeedsIt) {
    struct Row {
        const char* argument;
        const char* quoted;
    };
    const Row rows[] = {
        {"plain", "plain"},
        {"", "\"\""},
        {"C:\\My Videos\\a.avi", "\"C:\\My Videos\\a.avi\""},
        {"C:\\dir\\", "C:\\dir\\"},
        {"C:\\my dir\\", "\"C:\\my dir\\\\\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"a\\\"b", "\"a\\\\\\\"b\""},
        {"title=A\tB", "\"title=A\tB\""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(QuoteArgument(row.argument), row.quoted) << row.argument;
}

// The system's own splitter gives back every argument unchanged.
TEST(JoinCommandLine, SplitsBackIntoTheSameArguments) {
    const std::vector<std::string> arguments = {
        "-i",
        "C:\\My Videos\\clip one.avi",
        "",
        "a \"quoted\" title",
        "trailing\\",
        "spaced trailing\\",
        "x\\\\\"y",
        "-metadata",
        "comment=2024-01-01 10:00:00",
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

TEST(ParseEncoderList, TakesTheNamesBelowTheSeparator) {
    const char* text = "Encoders:\r\n"
                       " V..... = Video\r\n"
                       " A..... = Audio\r\n"
                       " ------\r\n"
                       " V....D libx264              libx264 H.264 / AVC (codec h264)\r\n"
                       " V..... libxvid              libxvidcore MPEG-4 part 2 (codec mpeg4)\r\n"
                       " A..... aac                  AAC (Advanced Audio Coding)\r\n"
                       "\r\n"
                       " S..... ssa";
    EXPECT_THAT(ParseEncoderList(text), testing::ElementsAre("aac", "libx264", "libxvid", "ssa"));
    EXPECT_TRUE(ParseEncoderList("").empty());
    EXPECT_TRUE(ParseEncoderList(" V..... = Video\n A..... = Audio\n").empty());
}

TEST(FfmpegErrorLine, TakesTheLineThatSaysWhy) {
    struct Row {
        const char* output;
        const char* line;
    };
    const Row rows[] = {
        {"", ""},
        {"\r\n\n", ""},
        {"Unknown encoder 'libfoo'\n", "Unknown encoder 'libfoo'"},
        {"in.avi: Invalid data found when processing input\r\n", "in.avi: Invalid data found when processing input"},
        {"Error while opening encoder\nConversion failed!\n", "Error while opening encoder"},
        {"  indented reason  \r\n", "indented reason"},
        {"Conversion failed!\n", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FfmpegErrorLine(row.output), row.line) << row.output;
}

TEST(SameFileName, IgnoresCaseAndSlashDirection) {
    EXPECT_TRUE(SameFileName("C:\\Videos\\Clip.AVI", "c:\\videos\\clip.avi"));
    EXPECT_TRUE(SameFileName("C:/Videos/clip.avi", "C:\\Videos\\clip.avi"));
    EXPECT_FALSE(SameFileName("C:\\Videos\\clip.avi", "C:\\Videos\\clip.avi.mp4"));
    EXPECT_FALSE(SameFileName("C:\\Videos\\clip1.avi", "C:\\Videos\\clip2.avi"));
    EXPECT_FALSE(SameFileName("", "C:\\x"));
}

TEST(IsStreamInput, TellsProtocolsFromFiles) {
    EXPECT_TRUE(IsStreamInput("-"));
    EXPECT_TRUE(IsStreamInput("pipe:0"));
    EXPECT_TRUE(IsStreamInput("http://host/a.flv"));
    EXPECT_FALSE(IsStreamInput("C:\\a.avi"));
    EXPECT_FALSE(IsStreamInput("c:a.avi"));
    EXPECT_FALSE(IsStreamInput("clip.avi"));
    EXPECT_FALSE(IsStreamInput("..\\dir\\clip.avi"));
    EXPECT_FALSE(IsStreamInput("my clip: part 2.avi"));
}

} // namespace
