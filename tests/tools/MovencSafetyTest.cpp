// The front-end as a careless or hostile command meets it: outputs that are the input under
// another name, Windows relative paths, ffmpeg failures whose reason must survive, and runs
// that ffmpeg calls a success although the output is damaged or empty.
#include <gmock/gmock.h>

#include <windows.h>

#include <cmath>

#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tools/movenc/FfmpegText.h"
#include "tools/movenc/OutputCheck.h"

namespace {

using testing::HasSubstr;
using testing::StartsWith;

TEST(OutputCheck, ReadsTimesAsFfmpegDoes) {
    EXPECT_DOUBLE_EQ(TimeSeconds("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(TimeSeconds("01:02:03"), 3723.0);
    EXPECT_DOUBLE_EQ(TimeSeconds("00:00:09.50"), 9.5);
    EXPECT_DOUBLE_EQ(TimeSeconds("02:03"), 123.0);
    EXPECT_TRUE(std::isnan(TimeSeconds("")));
    EXPECT_TRUE(std::isnan(TimeSeconds("1:2:3:4")));
    EXPECT_TRUE(std::isnan(TimeSeconds("ab")));
    EXPECT_TRUE(std::isnan(TimeSeconds("1::2")));
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
    EXPECT_THAT(JudgeOutput(facts), HasSubstr("holds only 0.00 s of the 100.00 s"));
    // No length known: only the streams count.
    facts.expectedSeconds = std::nan("");
    EXPECT_EQ(JudgeOutput(facts), "");
    facts.videoExpected = true;
    facts.written.video = false;
    facts.output = "x.mp4";
    EXPECT_EQ(JudgeOutput(facts), "the output file \"x.mp4\" holds no video stream");
    // A file ffprobe could not look into is not called a file without video.
    facts.written.unreadable = "cannot start \"ffprobe.exe\": Access denied.";
    EXPECT_EQ(JudgeOutput(facts), "ffprobe cannot read the output file \"x.mp4\": cannot start \"ffprobe.exe\": Access denied.");
}

TEST(FfmpegErrorLine, TakesTheFirstLineThatStatesTheCause) {
    struct Row {
        const char* output;
        const char* line;
    } const rows[] = {
        {"[NULL @ 0x55c84d8f6740] Requested output format 'bogusfmt' is not a suitable output format\n"
         "o.mp4: Invalid argument\n",
         "Requested output format 'bogusfmt' is not a suitable output format"},
        {"[mov,mp4,m4a,3gp,3g2,mj2 @ 0x55cf85b5e900] moov atom not found\n"
         "in.mp4: Invalid data found when processing input\n",
         "moov atom not found"},
        {"Error opening output file o.mp4.\nUnknown encoder 'libfoo'\nConversion failed!\n", "Unknown encoder 'libfoo'"},
        {"o.mp4: Invalid argument\n", "o.mp4: Invalid argument"},
        {"[tag without address] stays\n", "[tag without address] stays"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FfmpegErrorLine(row.output), row.line) << row.output;
}

TEST(LocalFilePath, TakesTheFileProtocolOffAndLeavesOthersOut) {
    EXPECT_EQ(LocalFilePath("file:x.mp4"), "x.mp4");
    EXPECT_EQ(LocalFilePath("FILE:C:\\x.mp4"), "C:\\x.mp4");
    EXPECT_EQ(LocalFilePath("C:\\x.mp4"), "C:\\x.mp4");
    EXPECT_EQ(LocalFilePath("sub\\x.mp4"), "sub\\x.mp4");
    EXPECT_EQ(LocalFilePath("pipe:1"), "");
    EXPECT_EQ(LocalFilePath("http://host/x.mp4"), "");
    EXPECT_EQ(LocalFilePath("-"), "");
}

std::string ReadAll(const std::string& path) {
    std::string content;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return content;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    return content;
}

bool WriteAll(const std::string& path, const std::string& content) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == content.size();
}

// The real front-end and ffmpeg on a 6-second clip whose index stands at its front, so that
// a cut copy of it still opens and decodes as far as it goes.
class MovencSafety : public testing::Test {
protected:
    static void SetUpTestSuite() {
        app = AppFolder();
        folder = FullPathOf("movenc safety") + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "sub").c_str(), nullptr);
        clip = folder + "long clip name.mp4";
        const ChildRun made = RunChild("\"" + app +
                                       "ffmpeg.exe\" -v error -f lavfi -i testsrc=size=160x120:rate=25:duration=6 -f "
                                       "lavfi -i sine=frequency=440:duration=6 -c:v mpeg4 -c:a aac -movflags +faststart "
                                       "-y \"" +
                                       clip + "\"");
        clipReady = made.exitCode == 0 && FileSize(clip) > 0;
        clipContent = ReadAll(clip);
    }

    void SetUp() override { ASSERT_TRUE(clipReady) << "the sample clip could not be made"; }

    // The front-end by its full path, in `currentDirectory` (the test folder by default).
    static ChildRun Movenc(const std::string& arguments, const std::string& currentDirectory = {}) {
        ChildOptions options;
        options.currentDirectory = currentDirectory.empty() ? folder : currentDirectory;
        char previous[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, previous);
        SetCurrentDirectoryA(options.currentDirectory.c_str());
        ChildRun run = RunChild("\"" + app + "movenc.exe\" " + arguments, options);
        SetCurrentDirectoryA(previous);
        return run;
    }

    static void ExpectOneErrorLine(const ChildRun& run, const std::string& part) {
        EXPECT_NE(run.exitCode, 0u);
        const std::vector<std::string> lines = TextLines(run.errors);
        ASSERT_EQ(lines.size(), 1u) << run.errors;
        EXPECT_THAT(lines[0], StartsWith("error: "));
        EXPECT_THAT(lines[0], HasSubstr(part));
    }

    static double Duration(const std::string& path) {
        const ChildRun run = RunChild("\"" + app + "ffprobe.exe\" -v error -show_entries format=duration -of "
                                                   "default=nw=1:nk=1 \"" +
                                      path + "\"");
        return std::atof(run.output.c_str());
    }

    static inline std::string app;
    static inline std::string folder;
    static inline std::string clip;
    static inline std::string clipContent;
    static inline bool clipReady = false;
};

TEST_F(MovencSafety, AnOutputThatIsTheInputUnderAnotherNameIsRefused) {
    const std::string link = folder + "hard link.mp4";
    DeleteFileA(link.c_str());
    ASSERT_TRUE(CreateHardLinkA(link.c_str(), clip.c_str(), nullptr)) << GetLastError();
    char shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(clip.c_str(), shortName, MAX_PATH), 0u);
    ASSERT_STRNE(shortName, clip.c_str()) << "the clip's name must not be a short name already";

    const struct {
        const char* name;
        std::string arguments;
    } cases[] = {
        {"hard link, input format given",
         "-f mov -i \"" + clip + "\" -vcodec mpeg4 -acodec aac -y \"" + link + "\""},
        {"hard link", "-i \"" + clip + "\" -vcodec mpeg4 -acodec aac -y \"" + link + "\""},
        {"short name, input format given",
         "-f mov -i \"" + clip + "\" -vcodec mpeg4 -acodec aac -y \"" + std::string(shortName) + "\""},
        {"file: in front", "-i \"" + clip + "\" -vcodec mpeg4 -acodec aac -y \"file:" + clip + "\""},
        {"file: in front of a relative name", "-i \"" + clip + "\" -vcodec mpeg4 -y \"file:long clip name.mp4\""},
        {"file: on both", "-i \"file:" + clip + "\" -vcodec mpeg4 -y \"file:" + std::string(shortName) + "\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ChildRun run = Movenc(c.arguments);
        ExpectOneErrorLine(run, "is the input file; it is not overwritten");
        EXPECT_TRUE(ReadAll(clip) == clipContent) << "the input was changed";
    }
    DeleteFileA(link.c_str());
}

// Any name Windows can hold is written under that very name, four-byte characters and combining accents included (not
// composed, not "?"); a name it cannot hold is refused before ffmpeg writes anything, never written under another name.
TEST_F(MovencSafety, Utf8NamesAreWrittenAsGivenAndNamesWindowsCannotHoldAreRefused) {
    const std::string out = folder + "Sortie été\\";
    CreateDirectoryA(out.c_str(), nullptr);
    const std::string source = out + "clip 😀 日本.mp4";
    ASSERT_TRUE(CopyFileA(clip.c_str(), source.c_str(), FALSE)) << GetLastError();
    const struct {
        const char* name;
        const char* refusal; // null: converted
    } cases[] = {
        {"Vidéo 😀 ü 日本 — copie.mp4", nullptr},
        {"Vide\xCC\x81o.mp4", nullptr}, // "e" and a combining acute
        {"a:b.mp4", "holds \":\""},
        {"what?.mp4", "holds \"?\""},
        {"dossier \\x.mp4", "the name \"dossier \" ends in a space"},
        {"x.mp4.", "ends in a dot"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target = out + c.name;
        const ChildRun run = Movenc("-i \"" + source + "\" -t 1 -vcodec mpeg4 -an -y \"" + target + "\"");
        if (c.refusal) {
            ExpectOneErrorLine(run, c.refusal);
        } else {
            EXPECT_EQ(run.exitCode, 0u) << run.errors;
            EXPECT_NEAR(Duration(target), 1.0, 0.2);
        }
    }
    EXPECT_EQ(FilesIn(out),
              (std::vector<std::string>{"Vide\xCC\x81o.mp4", "Vidéo 😀 ü 日本 — copie.mp4", "clip 😀 日本.mp4"}));
}

TEST_F(MovencSafety, RelativeWindowsPathsReachTheirFiles) {
    const std::string in = folder + "sub\\in.mp4";
    const std::string out = folder + "sub\\x.mp4";
    ASSERT_TRUE(CopyFileA(clip.c_str(), in.c_str(), FALSE));
    DeleteFileA(out.c_str());
    const ChildRun run = Movenc("-i sub\\in.mp4 -vcodec mpeg4 -acodec aac -y sub\\x.mp4");
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_GT(FileSize(out), 0);
    EXPECT_NEAR(Duration(out), 6.0, 0.5);
    // From a folder below, through "..".
    DeleteFileA(out.c_str());
    const ChildRun up = Movenc("-i ..\\sub\\in.mp4 -vcodec mpeg4 -an -y ..\\sub\\x.mp4", folder + "sub");
    EXPECT_EQ(up.exitCode, 0u) << up.errors;
    EXPECT_GT(FileSize(out), 0);
    DeleteFileA(in.c_str());
    DeleteFileA(out.c_str());
}

TEST_F(MovencSafety, FfmpegsReasonReachesTheErrorLine) {
    const std::string out = folder + "never.mp4";
    DeleteFileA(out.c_str());
    ChildRun run = Movenc("-i \"" + clip + "\" -f bogusfmt -y \"" + out + "\"");
    ExpectOneErrorLine(run, "'bogusfmt' is not a suitable output format");
    run = Movenc("-i \"" + clip + "\" -vcodec mpeg4 -y \"" + folder + "no such folder\\out.mp4\"");
    ExpectOneErrorLine(run, "the output folder \"" + folder + "no such folder\\\" does not exist");
    run = Movenc("-i \"" + clip + "\" -vcodec mpeg4 -y \"no such folder\\out.mp4\"");
    ExpectOneErrorLine(run, "no such folder\\\" does not exist");
    EXPECT_EQ(FileSize(out), -1);
}

TEST_F(MovencSafety, ADamagedSourceIsNotReportedAsConverted) {
    // The first 46 % of the clip: ffmpeg decodes about 2.7 s of it, logs errors and exits 0.
    const std::string damaged = folder + "cut short.mp4";
    ASSERT_TRUE(WriteAll(damaged, clipContent.substr(0, clipContent.size() * 46 / 100)));
    const std::string out = folder + "from damaged.mp4";
    const ChildRun run = Movenc("-i \"" + damaged + "\" -vcodec mpeg4 -acodec aac -y \"" + out + "\"");
    ExpectOneErrorLine(run, "the source \"" + damaged + "\" is damaged: the conversion stopped at ");
    EXPECT_THAT(run.errors, HasSubstr("of 6.00 s"));
    // A length of its own asked for, within what the damaged part holds: that is fine.
    const ChildRun shortRun = Movenc("-i \"" + damaged + "\" -t 00:00:02 -vcodec mpeg4 -acodec aac -y \"" + out + "\"");
    EXPECT_EQ(shortRun.exitCode, 0u) << shortRun.errors;
    DeleteFileA(damaged.c_str());
    DeleteFileA(out.c_str());
}

TEST_F(MovencSafety, AnOutputWithoutTheVideoAskedForFails) {
    const std::string sound = folder + "sound only.wav";
    const ChildRun made =
        RunChild("\"" + app + "ffmpeg.exe\" -v error -f lavfi -i sine=duration=3 -y \"" + sound + "\"");
    ASSERT_EQ(made.exitCode, 0u);
    const std::string out = folder + "no video.mp4";
    const ChildRun run = Movenc("-i \"" + sound + "\" -vcodec mpeg4 -acodec aac -y \"" + out + "\"");
    ExpectOneErrorLine(run, "holds no video stream");
    // Sound alone, asked for as such, is what it should be.
    const ChildRun audio = Movenc("-i \"" + sound + "\" -vn -acodec aac -y \"" + out + "\"");
    EXPECT_EQ(audio.exitCode, 0u) << audio.errors;
    DeleteFileA(sound.c_str());
    DeleteFileA(out.c_str());
}

} // namespace
