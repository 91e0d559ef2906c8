// The shipped movenc.exe end to end, running the real ffmpeg (through the Wine bridge here) on clips made at test
// time: the engine's custom iPod commands, "q" and termination, and the front-end as a careless or hostile command
// meets it: the input named as output, relative and UTF-8 paths, ffmpeg's failures, damaged or empty outputs.
#include <gmock/gmock.h>

#include <windows.h>

#include <tlhelp32.h>

#include <cmath>
#include <map>
#include <regex>

#include "engine/CommandTemplates.h"
#include "engine/ProgressParsing.h"
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
        CreateDirectoryA((folder + "sub").c_str(), nullptr);
        aviClip = folder + "clip one.avi";
        clip = folder + "long clip name.mp4";
        clipReady = MakeClip(clip, 6, "-s 160x120 -c:v mpeg4 -c:a aac -movflags +faststart") &&
                    MakeClip(aviClip, 10, "-c:v mpeg4 -q:v 6 -c:a pcm_s16le");
        clipContent = ReadWholeFile(clip);
    }

    void SetUp() override { ASSERT_TRUE(clipReady) << "the sample clips could not be made"; }

    // Runs a command as the engine does: the app folder current, the program found there.
    static ChildRun RunInApp(const std::string& command, ChildOptions options = {}) {
        options.currentDirectory = app;
        const CurrentDirectoryGuard back;
        SetCurrentDirectoryA(app.c_str());
        return RunChild(command, options);
    }

    // The front-end by its full path, in `directory` (the test folder by default).
    static ChildRun Movenc(const std::string& arguments, const std::string& directory = {}) {
        ChildOptions options;
        options.currentDirectory = directory.empty() ? folder : directory;
        return RunChild(Quote(app + "movenc.exe") + " " + arguments, options);
    }

    static void ExpectOneErrorLine(const ChildRun& run, const std::string& part) {
        EXPECT_NE(run.exitCode, 0u);
        const std::vector<std::string> lines = TextLines(run.errors);
        ASSERT_EQ(lines.size(), 1u) << run.errors;
        EXPECT_THAT(lines[0], StartsWith("error: "));
        EXPECT_GT(lines[0].size(), 8u);
        EXPECT_THAT(lines[0], HasSubstr(part));
    }

    // What ffprobe says of a file: "stream.0.width" = "320", "format.duration" = "6.000000".
    static std::map<std::string, std::string> Probe(const std::string& path) {
        const ChildRun run = RunCommand(Quote(app + "ffprobe.exe") +
                                        " -v error -show_entries stream=codec_name,width,height,r_frame_rate,"
                                        "sample_rate,channels,profile,level:format=duration -of flat=h=0 " +
                                        Quote(path));
        EXPECT_EQ(run.exitCode, 0u) << "ffprobe of " << path << " (started: " << run.started << ", start error "
                                    << run.startError << "): " << run.output;
        std::map<std::string, std::string> facts;
        for (const std::string& line : TextLines(run.output)) {
            const std::size_t eq = line.find('=');
            const std::string value = line.substr(eq + 1);
            const bool quoted = value.size() >= 2 && value.front() == '"';
            facts[line.substr(0, eq)] = quoted ? value.substr(1, value.size() - 2) : value;
        }
        return facts;
    }

    static double Duration(const std::string& path) { return std::atof(Probe(path)["format.duration"].c_str()); }

    // Every line is a progress line of the engine's format, each piece read ends with a line (one write per line),
    // and the figures never go back. The last time is returned.
    static double CheckProgress(const ChildRun& run) {
        static const std::regex shape("size=[ 0-9]{7}[0-9]kB time=[0-9]+\\.[0-9]{2}");
        double lastTime = -1.0;
        long lastSize = -1;
        const std::vector<std::string> lines = TextLines(run.output);
        EXPECT_FALSE(lines.empty());
        for (const std::string& line : lines) {
            EXPECT_TRUE(std::regex_match(line, shape)) << "'" << line << "'";
            const long size = std::atol(line.c_str() + 5);
            const double time = std::atof(line.c_str() + line.find("time=") + 5);
            EXPECT_GE(size, lastSize) << line;
            EXPECT_GE(time, lastTime) << line;
            lastSize = size;
            lastTime = time;
        }
        for (const std::string& piece : run.outputPieces)
            EXPECT_TRUE(piece.ends_with("\r\n")) << "'" << piece << "'";
        return lastTime;
    }

    static inline std::string app, folder, clip, aviClip, clipContent;
    static inline bool clipReady = false;
};

struct PresetCase {
    int videoType, videoSize, frameRate, videoQuality, channels, audioQuality, sampleRate, volume; // combo items
    double begin, end;
    const char* video; // codec, size and frame rate as ffprobe tells them
    const char* audio; // codec, sample rate, channels
    bool closeInput;   // end of file on standard input from the start: it means nothing
};

const PresetCase presetCases[] = {
    {0, 0, 1, 0, 0, 0, 1, 0, 0.0, 10.0, "mpeg4 176x120 2997/200", "aac 24000 1", true},
    {1, 3, 3, 6, 1, 5, 3, 7, 0.0, 10.0, "h264 320x240 2997/100", "aac 48000 2", false},
    {1, 4, 0, 3, 1, 2, 0, 1, 2.5, 7.5, "h264 368x208 25/1", "aac 44100 2", false},
};

TEST_F(MovencSafety, CustomIpodCommandsGiveTheFilesTheyAskFor) {
    char commandTemplate[1024] = {};
    GetPrivateProfileStringA("profile0", "Command0", "", commandTemplate, sizeof commandTemplate,
                             (app + "iPod_Profile.ini").c_str());
    ASSERT_THAT(commandTemplate, StartsWith("movenc "));
    for (const PresetCase& c : presetCases) {
        SCOPED_TRACE(c.video);
        ConversionTask task;
        task.sourcePath = aviClip;
        task.outputName = std::string("out ") + c.video;
        task.outputName.resize(task.outputName.rfind(' ')); // no "/" in a file name
        task.beginTime = c.begin;
        task.endTime = c.end;
        task.title = "Clip \"one\"";
        OutputSettings s;
        s.videoType = c.videoType, s.videoSize = c.videoSize, s.frameRate = c.frameRate;
        s.videoQuality = c.videoQuality, s.channels = c.channels, s.audioQuality = c.audioQuality;
        s.sampleRate = c.sampleRate, s.volume = c.volume, s.outputDirectory = folder;
        const std::string output = folder + task.outputName + ".mp4";
        DeleteFileA(output.c_str());

        const std::string command = ExpandPresetTemplate(commandTemplate, task, s, "2024-05-06 07:08:09");
        ChildOptions options;
        options.closeInputAtStart = c.closeInput;
        const ChildRun run = RunInApp(command, options);
        EXPECT_EQ(run.exitCode, 0u) << command << "\n" << run.errors;
        EXPECT_EQ(run.errors, "");

        // The length is what the command's whole-second " -t" asks for; the engine's own parser, fed the output in
        // the pieces of at most 255 bytes its reader takes, reads the same time and the file's size.
        const double length = std::floor(c.end - c.begin);
        EXPECT_NEAR(CheckProgress(run), length, 0.5);
        ConversionTask parsed;
        parsed.beginTime = c.begin;
        parsed.endTime = c.end;
        for (const std::string& piece : run.outputPieces)
            for (std::size_t at = 0; at < piece.size(); at += 255)
                ApplyProgressChunk(parsed, piece.substr(at, 255).c_str(), 1000);
        EXPECT_NEAR(parsed.encodedTime, length, 0.5);
        const double sizeKB = FileSize(output) / 1024.0;
        EXPECT_NEAR(parsed.outputSizeKB, sizeKB, sizeKB * 0.02 + 1);

        std::map<std::string, std::string> p = Probe(output);
        EXPECT_NEAR(std::atof(p["format.duration"].c_str()), length, 0.5);
        EXPECT_EQ(p["stream.0.codec_name"] + " " + p["stream.0.width"] + "x" + p["stream.0.height"] + " " +
                      p["stream.0.r_frame_rate"],
                  c.video);
        EXPECT_EQ(p["stream.1.codec_name"] + " " + p["stream.1.sample_rate"] + " " + p["stream.1.channels"], c.audio);
        if (p["stream.0.codec_name"] == "h264") {
            EXPECT_EQ(p["stream.0.profile"] + " " + p["stream.0.level"], "Constrained Baseline 13");
        }
    }
}

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
    const ChildRun run = RunInApp("movenc -re -i " + Quote(aviClip) +
                                      " -vcodec h264 -coder 0 -vlevel 13 -bufsize 256 -g 250 -s 320x240 -b 576 "
                                      "-acodec aac -ac 2 -ab 128 -y " +
                                      Quote(output),
                                  options);
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_EQ(run.errors, "");
    const double lastTime = CheckProgress(run);
    std::map<std::string, std::string> p = Probe(output);
    EXPECT_EQ(p["stream.0.codec_name"], "h264");
    const double duration = std::atof(p["format.duration"].c_str());
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
        RunInApp("movenc -re -i " + Quote(aviClip) + " -vcodec mpeg4 -b 4000 -acodec pcm -y " + Quote(output), options);
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
        {"-i " + Quote(aviClip) + " -frobnicate 3 -y " + Quote(output), "\"-frobnicate\""},
        {"-i " + Quote(folder + "no such clip.avi") + " -vcodec xvid -y " + Quote(output), "no such clip.avi"},
        {"-i " + Quote(garbage) + " -vcodec h264 -acodec aac -y " + Quote(output), ""},
        {"-i " + Quote(clip) + " -f bogusfmt -y " + Quote(output), "'bogusfmt' is not a suitable output format"},
        {"-i " + Quote(clip) + " -vcodec mpeg4 -y " + Quote(folder + "no such folder\\out.mp4"),
         "the output folder \"" + folder + "no such folder\\\" does not exist"},
        {"-i " + Quote(clip) + " -vcodec mpeg4 -y \"no such folder\\out.mp4\"", "no such folder\\\" does not exist"},
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
        {"hard link", in + Quote(link), clip},
        {"hard link, input format given", "-f mov " + in + Quote(link), clip},
        {"short name, input format given", "-f mov " + in + Quote(shortName), clip},
        {"file: in front", in + Quote("file:" + clip), clip},
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

TEST_F(MovencSafety, MissingFfmpegIsReported) {
    // A copy of the front-end in a folder without ffmpeg, with a PATH that has none either.
    const std::string lonely = folder + "no ffmpeg here\\";
    CreateDirectoryA(lonely.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((app + "movenc.exe").c_str(), (lonely + "movenc.exe").c_str(), FALSE));
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    ChildOptions options;
    options.currentDirectory = lonely;
    options.environmentPath = system;
    const ChildRun run = RunChild(Quote(lonely + "movenc.exe") + " -i " + Quote(clip) + " -y out.mp4", options);
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, "error: ffmpeg.exe was found neither beside movenc.exe nor on the PATH\r\n");
}

TEST_F(MovencSafety, VerifyTellsAPlayableFileFromTheRest) {
    EXPECT_EQ(RunInApp("movenc -verify " + Quote(aviClip)).exitCode, 0u);
    TempFolder temp;
    const std::string text = temp.Write("text.3gp", "not a video");
    ChildRun run = RunInApp("movenc -verify " + Quote(text));
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_EQ(run.errors, "error: \"" + text + "\" is not a playable video\r\n");
    run = RunInApp("movenc -verify " + Quote(folder + "gone.3gp"));
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_THAT(run.errors, HasSubstr("does not exist"));
}

// The AMR step through our own encoder: decode, encode, then the main run; the working file named as the first input
// need not exist yet.
TEST_F(MovencSafety, PrintListsTheCommandsAndRunsNothing) {
    const std::string output = folder + "printed.3gp";
    DeleteFileA(output.c_str());
    const ChildRun run = RunInApp("movenc -print -i " + Quote(folder + "later_temp.3gp") + " -i " + Quote(aviClip) +
                                  " -map 0:v -map 1:a -vcodec copy -acodec amr_nb -ab 12.2k -y " + Quote(output));
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    const std::vector<std::string> lines = TextLines(run.output);
    ASSERT_EQ(lines.size(), 3u) << run.output;
    EXPECT_THAT(lines[0], testing::AllOf(HasSubstr("ffmpeg.exe"), HasSubstr("-ar 8000")));
    EXPECT_THAT(lines[1], HasSubstr("amrnbenc.exe -b 12200 <movenc-wav> <movenc-amr>"));
    EXPECT_THAT(lines[2], HasSubstr("-i <movenc-amr>"));
    EXPECT_EQ(FileSize(output), -1) << "nothing ran";
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
        const ChildRun run = Movenc("-i " + Quote(source) + " -t 1 -vcodec mpeg4 -an -y " + Quote(target));
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

// Relative paths from the test folder, and from a folder below it through "..".
TEST_F(MovencSafety, RelativeWindowsPathsReachTheirFiles) {
    const std::string out = folder + "sub\\x.mp4";
    ASSERT_TRUE(CopyFileA(clip.c_str(), (folder + "sub\\in.mp4").c_str(), FALSE));
    for (const auto& [arguments, directory] : {std::pair<std::string, std::string>{"-i sub\\in.mp4 -y sub\\x.mp4", ""},
                                               {"-i ..\\sub\\in.mp4 -y ..\\sub\\x.mp4", folder + "sub"}}) {
        DeleteFileA(out.c_str());
        const ChildRun run = Movenc(arguments + " -vcodec mpeg4 -acodec aac", directory);
        EXPECT_EQ(run.exitCode, 0u) << run.errors;
        EXPECT_NEAR(Duration(out), 6.0, 0.5) << arguments;
    }
}

TEST_F(MovencSafety, ADamagedSourceIsNotReportedAsConverted) {
    // The first 46 % of the clip: ffmpeg decodes about 2.7 s of it, logs errors and exits 0.
    TempFolder temp;
    const std::string damaged = temp.Write("cut short.mp4", clipContent.substr(0, clipContent.size() * 46 / 100));
    const std::string out = Quote(temp.Path() + "from damaged.mp4");
    const ChildRun run = Movenc("-i " + Quote(damaged) + " -vcodec mpeg4 -acodec aac -y " + out);
    ExpectOneErrorLine(run, "the source \"" + damaged + "\" is damaged: the conversion stopped at ");
    EXPECT_THAT(run.errors, HasSubstr("of 6.00 s"));
    // A length of its own asked for, within what the damaged part holds: that is fine.
    const ChildRun shortRun = Movenc("-i " + Quote(damaged) + " -t 00:00:02 -vcodec mpeg4 -acodec aac -y " + out);
    EXPECT_EQ(shortRun.exitCode, 0u) << shortRun.errors;
}

TEST_F(MovencSafety, AnOutputWithoutTheVideoAskedForFails) {
    TempFolder temp;
    const std::string sound = temp.Path() + "sound only.wav";
    ASSERT_TRUE(MakeClip(sound, 3, "", ClipContent::Tone));
    const std::string out = Quote(temp.Path() + "no video.mp4");
    ExpectOneErrorLine(Movenc("-i " + Quote(sound) + " -vcodec mpeg4 -acodec aac -y " + out), "holds no video stream");
    // Sound alone, asked for as such, is what it should be.
    const ChildRun audio = Movenc("-i " + Quote(sound) + " -vn -acodec aac -y " + out);
    EXPECT_EQ(audio.exitCode, 0u) << audio.errors;
}

} // namespace
