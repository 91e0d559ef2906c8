// The shipped movenc.exe end to end, running the real ffmpeg (through the Wine bridge here) on clips made at test
// time: "q" and termination, and the front-end as a careless or hostile command meets it: the input named as output,
// UTF-8 paths, ffmpeg's failures, damaged or empty outputs.
#include <gmock/gmock.h>

#include <windows.h>

#include <tlhelp32.h>

#include <cstdlib>
#include <regex>

#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"

namespace {

using testing::HasSubstr;
using testing::StartsWith;

// The id of a running process that parent started, 0 when there is none.
DWORD ChildProcessOf(DWORD parent) {
    DWORD child = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more && !child; more = Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == parent)
            child = entry.th32ProcessID;
    CloseHandle(snapshot);
    return child;
}

// A folder with blanks in its name (the paths travel through two command lines and the bridge's path translation),
// 10 s of AVI, and 6 s of MP4 whose index stands at its front, so that a cut copy of it still decodes part way.
class MovencSafety : public testing::Test {
protected:
    static void SetUpTestSuite() {
        app = AppFolder();
        folder = FullPathOf("movenc tests") + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        aviClip = folder + "clip one.avi";
        clip = folder + "long clip name.mp4";
        clipReady = MakeClip(clip, 6, "-s 160x120 -c:v mpeg4 -c:a aac -movflags +faststart") &&
                    MakeClip(aviClip, 10, "-c:v mpeg4 -q:v 6 -c:a pcm_s16le");
        clipContent = ReadWholeFile(clip);
    }

    void SetUp() override { ASSERT_TRUE(clipReady) << "the sample clips could not be made"; }

    // The front-end by its full path, in the test folder unless options say otherwise. Unless the test writes "q"
    // or terminates it, its standard input is at end of file from the start, which must not stop it as "q" does.
    static ChildRun Movenc(const std::string& arguments, ChildOptions options = {}) {
        if (options.currentDirectory.empty())
            options.currentDirectory = folder;
        options.closeInputAtStart = !options.quitWhen && !options.terminateWhen;
        return RunChild(Quote(app + "movenc.exe") + " " + arguments, options);
    }

    static void ExpectOneErrorLine(const ChildRun& run, const std::string& part) {
        EXPECT_NE(run.exitCode, 0u);
        const std::vector<std::string> lines = TextLines(run.errors);
        ASSERT_EQ(lines.size(), 1u) << run.errors;
        EXPECT_THAT(lines[0], testing::AllOf(StartsWith("error: "), HasSubstr(part)));
        EXPECT_GT(lines[0].size(), 8u);
    }

    static inline std::string app, folder, clip, aviClip, clipContent;
    static inline bool clipReady = false;
};

// "q" makes ffmpeg finish the file: it plays, and it is shorter. The input is read at its own rate here so that
// "after 2 s" is the media time the progress shows.
TEST_F(MovencSafety, QuitOnStandardInputLeavesAValidShorterFile) {
    const std::string output = folder + "quit early.mp4";
    DeleteFileA(output.c_str());
    ChildOptions options;
    options.quitWhen = [](const std::string& text) {
        const std::size_t last = text.rfind("time=");
        return last != std::string::npos && std::atof(text.c_str() + last + 5) >= 2.0;
    };
    const ChildRun run = Movenc("-re -i " + Quote(aviClip) +
                                    " -vcodec h264 -coder 0 -vlevel 13 -bufsize 256 -g 250 -s 320x240 -b 576 "
                                    "-acodec aac -ac 2 -ab 128 -y " +
                                    Quote(output),
                                options);
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_EQ(run.errors, "");
    // Every piece read is whole progress lines of the engine's format (one write per line), so that the engine never
    // reads half a line.
    static const std::regex lines("(size=[ 0-9]{7}[0-9]kB time=[0-9]+\\.[0-9]{2}\r\n)+");
    for (const std::string& piece : run.outputPieces)
        EXPECT_TRUE(std::regex_match(piece, lines)) << "'" << piece << "'";
    ASSERT_FALSE(run.output.empty());
    const double lastTime = std::atof(run.output.c_str() + run.output.rfind("time=") + 5);
    const double duration = ProbedDuration(Probe(output, "format=duration"));
    EXPECT_GE(duration, 1.5);
    EXPECT_LT(duration, 8.0);
    EXPECT_NEAR(lastTime, duration, 0.5);
}

// The engine may terminate the front-end; ffmpeg, which it started, must end with it rather than write on.
TEST_F(MovencSafety, TerminatingTheFrontEndEndsFfmpeg) {
    const std::string output = folder + "terminated.avi";
    DeleteFileA(output.c_str());
    HANDLE ffmpeg = nullptr;
    ChildOptions options;
    options.terminateWhen = [&](const std::string& text, DWORD frontEnd) {
        const std::size_t last = text.rfind("time=");
        if (last == std::string::npos || std::atof(text.c_str() + last + 5) < 1.0)
            return false;
        ffmpeg = OpenProcess(SYNCHRONIZE, FALSE, ChildProcessOf(frontEnd));
        return true;
    };
    const ChildRun run =
        Movenc("-re -i " + Quote(aviClip) + " -vcodec mpeg4 -b 4000 -acodec pcm -y " + Quote(output), options);
    EXPECT_EQ(run.exitCode, 9u); // it was running when terminated
    ASSERT_NE(ffmpeg, nullptr) << "ffmpeg was running under the front-end";
    // At its own rate ffmpeg would go on for eight more seconds; the minute is a guard against a hang.
    EXPECT_EQ(WaitForSingleObject(ffmpeg, 60000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(ffmpeg);
}

// Each failure is one "error:" line with ffmpeg's or our own reason, a non-zero exit code, and no file written.
TEST_F(MovencSafety, FailuresGiveOneErrorLineAndWriteNothing) {
    const std::string output = folder + "never written.mp4";
    TempFolder temp;
    const std::string garbage = temp.Write("not a video.avi", "this is text, not a video\r\n");
    const struct {
        std::string arguments;
        std::string errorPart;
    } cases[] = {
        {"-i " + Quote(folder + "no such clip.avi") + " -vcodec xvid -y " + Quote(output), "no such clip.avi"},
        {"-i " + Quote(garbage) + " -vcodec h264 -acodec aac -y " + Quote(output), ""},
        {"-i " + Quote(clip) + " -f bogusfmt -y " + Quote(output), "'bogusfmt' is not a suitable output format"},
        {"-i " + Quote(clip) + " -vcodec mpeg4 -y " + Quote(folder + "no such folder\\out.mp4"),
         "the output folder \"" + folder + "no such folder\\\" does not exist"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ChildRun run = Movenc(c.arguments);
        EXPECT_EQ(run.output, "");
        ExpectOneErrorLine(run, c.errorPart);
        EXPECT_EQ(FileSize(output), -1);
    }
}

// Every way of naming the input as the output is refused, and the input keeps its bytes.
TEST_F(MovencSafety, AnOutputThatIsTheInputUnderAnotherNameIsRefused) {
    const std::string link = folder + "hard link.mp4";
    DeleteFileA(link.c_str());
    ASSERT_TRUE(CreateHardLinkA(link.c_str(), clip.c_str(), nullptr)) << GetLastError();
    char shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(clip.c_str(), shortName, MAX_PATH), 0u);
    ASSERT_STRNE(shortName, clip.c_str()) << "the clip's name must not be a short name already";
    std::string shouted = clip;
    for (char& ch : shouted)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const std::string accented = folder + "Vidéo.mp4"; // differs only in the case of "é" from "VIDÉO.mp4"
    ASSERT_TRUE(CopyFileA(clip.c_str(), accented.c_str(), FALSE));
    const std::string in = "-i " + Quote(clip) + " -vcodec mpeg4 -acodec aac -y ";
    const struct {
        const char* name;
        std::string arguments;
        const std::string& input;
    } cases[] = {
        {"other letter case", in + Quote(shouted), clip},
        {"other letter case of a non-ASCII letter", "-i " + Quote(accented) + " -y " + Quote(folder + "VIDÉO.mp4"),
         accented},
        {"other spelling", in + Quote(folder + "..\\movenc tests\\.\\long clip name.mp4"), clip},
        {"hard link, input format given", "-f mov " + in + Quote(link), clip},
        {"short name, input format given", "-f mov " + in + Quote(shortName), clip},
        {"file: in front of a relative name", in + "\"file:long clip name.mp4\"", clip},
        {"file: on both",
         "-i " + Quote("file:" + clip) + " -vcodec mpeg4 -y " + Quote("file:" + std::string(shortName)), clip},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectOneErrorLine(Movenc(c.arguments), "is the input file; it is not overwritten");
        EXPECT_TRUE(ReadWholeFile(c.input) == clipContent) << "the input was changed";
    }
    DeleteFileA(link.c_str());
    DeleteFileA(accented.c_str());
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
        {"dossier \\x.mp4", "the name \"dossier \" ends in a space"},
        {"x.mp4.", "ends in a dot"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target = out + c.name;
        const ChildRun run = Movenc("-i " + Quote(source) + " -t 1 -vcodec mpeg4 -an -y " + Quote(target));
        if (c.refusal) {
            ExpectOneErrorLine(run, c.refusal);
        } else {
            EXPECT_EQ(run.exitCode, 0u) << run.errors;
            EXPECT_NEAR(ProbedDuration(Probe(target, "format=duration")), 1.0, 0.2);
        }
    }
    EXPECT_EQ(FilesIn(out),
              (std::vector<std::string>{"Vide\xCC\x81o.mp4", "Vidéo 😀 ü 日本 — copie.mp4", "clip 😀 日本.mp4"}));
}

// ffmpeg exits 0 also when it gave up part way through a damaged source or wrote no video; such a file is never
// reported as converted, and -verify, the pipelines' last step, tells a playable file from the rest.
TEST_F(MovencSafety, AResultThatIsNotWhatWasAskedForFails) {
    // The first 46 % of the clip: ffmpeg decodes about 2.7 s of it, logs errors and exits 0.
    TempFolder temp;
    const std::string damaged = temp.Write("cut short.mp4", clipContent.substr(0, clipContent.size() * 46 / 100));
    const std::string out = Quote(temp.Path() + "out.mp4");
    const ChildRun run = Movenc("-i " + Quote(damaged) + " -vcodec mpeg4 -acodec aac -y " + out);
    ExpectOneErrorLine(run, "the source \"" + damaged + "\" is damaged: the conversion stopped at ");
    EXPECT_THAT(run.errors, HasSubstr("of 6.00 s"));
    // Asked for as such, a length within what the damaged part holds, or sound alone, is fine.
    EXPECT_EQ(Movenc("-i " + Quote(damaged) + " -t 00:00:02 -vcodec mpeg4 -acodec aac -y " + out).exitCode, 0u);

    const std::string sound = temp.Path() + "sound only.wav";
    ASSERT_TRUE(MakeClip(sound, 3, "", ClipContent::Tone));
    ExpectOneErrorLine(Movenc("-i " + Quote(sound) + " -vcodec mpeg4 -acodec aac -y " + out), "holds no video stream");
    EXPECT_EQ(Movenc("-i " + Quote(sound) + " -vn -acodec aac -y " + out).exitCode, 0u);

    EXPECT_EQ(Movenc("-verify " + Quote(aviClip)).exitCode, 0u);
    const std::string text = temp.Write("text.3gp", "not a video");
    ExpectOneErrorLine(Movenc("-verify " + Quote(text)), "\"" + text + "\" is not a playable video");
    ExpectOneErrorLine(Movenc("-verify " + Quote(folder + "gone.3gp")), "does not exist");
}

} // namespace
