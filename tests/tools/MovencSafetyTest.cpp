// The front-end end to end, the shipped movenc.exe running the real ffmpeg (through the Wine bridge here) on clips
// made at test time: commands built the way the engine builds them for the custom iPod preset, "q" and termination,
// and the front-end as a careless or hostile command meets it: outputs that are the input under another name, Windows
// relative paths, ffmpeg failures whose reason must survive, and runs that ffmpeg calls a success although the output
// is damaged or empty.
#include <gmock/gmock.h>

#include <windows.h>

#include <tlhelp32.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <regex>

#include "engine/CommandTemplates.h"
#include "engine/ProgressParsing.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"

namespace {

using testing::HasSubstr;
using testing::StartsWith;

constexpr double clipLength = 10.0;

using Stream = std::map<std::string, std::string>;

struct Probe {
    std::vector<Stream> streams;
    double duration = 0.0;

    const Stream* Find(const std::string& type) const {
        for (const Stream& s : streams)
            if (s.at("codec_type") == type)
                return &s;
        return nullptr;
    }
};

double Rate(const std::string& text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos)
        return std::atof(text.c_str());
    const double denominator = std::atof(text.c_str() + slash + 1);
    return denominator == 0.0 ? 0.0 : std::atof(text.substr(0, slash).c_str()) / denominator;
}

bool WriteAll(const std::string& path, const std::string& content) {
    FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file && std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return (file ? std::fclose(file) == 0 : false) && written;
}

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

// A folder with blanks in its name (the paths travel through two command lines and, under Wine, the bridge's path
// translation) and two clips: 10 s of AVI, and 6 s of MP4 whose index stands at its front, so that a cut copy of it
// still opens and decodes as far as it goes.
class MovencSafety : public testing::Test {
protected:
    static void SetUpTestSuite() {
        app = AppFolder();
        folder = FullPathOf("movenc tests") + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "sub").c_str(), nullptr);
        aviClip = folder + "clip one.avi";
        clip = folder + "long clip name.mp4";
        const ChildRun made = RunChild("\"" + app +
                                       "ffmpeg.exe\" -v error -f lavfi -i testsrc=size=160x120:rate=25:duration=6 -f "
                                       "lavfi -i sine=frequency=440:duration=6 -c:v mpeg4 -c:a aac -movflags +faststart "
                                       "-y \"" +
                                       clip + "\"");
        clipReady = made.exitCode == 0 && FileSize(clip) > 0 &&
                    MakeClip(aviClip, clipLength, "-c:v mpeg4 -q:v 6 -c:a pcm_s16le");
        clipContent = ReadWholeFile(clip);
    }

    void SetUp() override { ASSERT_TRUE(clipReady) << "the sample clips could not be made"; }

    static ChildRun RunIn(const std::string& command, const std::string& currentDirectory, ChildOptions options = {}) {
        options.currentDirectory = currentDirectory;
        char previous[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, previous);
        SetCurrentDirectoryA(currentDirectory.c_str());
        ChildRun run = RunChild(command, options);
        SetCurrentDirectoryA(previous);
        return run;
    }

    // The front-end by its full path, in `currentDirectory` (the test folder by default).
    static ChildRun Movenc(const std::string& arguments, const std::string& currentDirectory = {}) {
        return RunIn("\"" + app + "movenc.exe\" " + arguments, currentDirectory.empty() ? folder : currentDirectory);
    }

    static void ExpectOneErrorLine(const ChildRun& run, const std::string& part) {
        EXPECT_NE(run.exitCode, 0u);
        const std::vector<std::string> lines = TextLines(run.errors);
        ASSERT_EQ(lines.size(), 1u) << run.errors;
        EXPECT_THAT(lines[0], StartsWith("error: "));
        EXPECT_GT(lines[0].size(), 8u);
        EXPECT_THAT(lines[0], HasSubstr(part));
    }

    static double Duration(const std::string& path) { return ProbeFile(path).duration; }

    static Probe ProbeFile(const std::string& path) {
        const ChildRun run = RunChild("\"" + app +
                                      "ffprobe.exe\" -v error -show_entries "
                                      "stream=codec_type,codec_name,width,height,r_frame_rate,sample_rate,channels,"
                                      "profile,level:format=duration \"" +
                                      path + "\"");
        Probe probe;
        Stream* current = nullptr;
        bool inFormat = false;
        for (const std::string& line : TextLines(run.output)) {
            if (line == "[STREAM]") {
                probe.streams.emplace_back();
                current = &probe.streams.back();
            } else if (line == "[FORMAT]") {
                inFormat = true;
            } else if (line.rfind("[/", 0) == 0) {
                current = nullptr;
                inFormat = false;
            } else if (const std::size_t eq = line.find('='); eq != std::string::npos) {
                if (current != nullptr)
                    (*current)[line.substr(0, eq)] = line.substr(eq + 1);
                else if (inFormat && line.substr(0, eq) == "duration")
                    probe.duration = std::atof(line.c_str() + eq + 1);
            }
        }
        for (Stream& s : probe.streams)
            s.emplace("codec_type", "");
        return probe;
    }

    // Runs a command as the engine does: the work folder current, the program found there.
    static ChildRun RunInAppFolder(const std::string& command, ChildOptions options = {}) {
        return RunIn(command, app, std::move(options));
    }

    static std::string CustomIpodTemplate() {
        char value[1024] = {};
        GetPrivateProfileStringA("profile0", "Command0", "", value, sizeof(value), (app + "iPod_Profile.ini").c_str());
        return value;
    }

    // Every line is a progress line of the engine's format, each piece read ends with a line
    // (one write per line), and the figures never go back. The last time is returned.
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
            EXPECT_TRUE(piece.size() >= 2 && piece.compare(piece.size() - 2, 2, "\r\n") == 0) << "'" << piece << "'";
        return lastTime;
    }

    // The engine's own parser, fed the output as it arrived, in pieces of at most 255 bytes
    // as its reader takes them, each parsed by itself.
    static ConversionTask ParseAsTheEngineDoes(const ChildRun& run, double begin, double end) {
        ConversionTask task;
        task.beginTime = begin;
        task.endTime = end;
        for (const std::string& piece : run.outputPieces) {
            for (std::size_t at = 0; at < piece.size(); at += 255) {
                const std::string chunk = piece.substr(at, 255);
                ApplyProgressChunk(task, chunk.c_str(), 1000);
            }
        }
        return task;
    }

    static inline std::string app;
    static inline std::string folder;
    static inline std::string clip;
    static inline std::string aviClip;
    static inline std::string clipContent;
    static inline bool clipReady = false;
};

struct PresetCase {
    const char* name;
    OutputSettings settings;
    double begin;
    double end;
    const char* videoCodec;
    int width;
    int height;
    double frameRate;
    int sampleRate;
    int channels;
    bool closeInput; // end of file on standard input from the start: it means nothing
};

OutputSettings IpodSettings(int videoType, int videoSize, int frameRate, int videoQuality, int channels, int audioQuality,
                        int sampleRate, int volume) {
    OutputSettings s;
    s.presetIndex = 0;
    s.videoType = videoType;
    s.videoSize = videoSize;
    s.frameRate = frameRate;
    s.videoQuality = videoQuality;
    s.channels = channels;
    s.audioQuality = audioQuality;
    s.sampleRate = sampleRate;
    s.volume = volume;
    return s;
}

const PresetCase presetCases[] = {
    {"mpeg4 176x120 14.985 mono 24000 50%", IpodSettings(0, 0, 1, 0, 0, 0, 1, 0), 0.0, 10.0, "mpeg4", 176, 120, 14.985,
     24000, 1, true},
    {"avc 320x240 29.97 stereo 48000 400%", IpodSettings(1, 3, 3, 6, 1, 5, 3, 7), 0.0, 10.0, "h264", 320, 240, 29.97, 48000,
     2, false},
    {"avc 368x208 same rates, range 2.5-7.5", IpodSettings(1, 4, 0, 3, 1, 2, 0, 1), 2.5, 7.5, "h264", 368, 208, 25.0, 44100,
     2, false},
    {"mpeg4 480x160 23.976 44100 200%", IpodSettings(0, 8, 2, 9, 1, 4, 2, 3), 0.0, 10.0, "mpeg4", 480, 160, 23.976, 44100,
     2, false},
};

TEST_F(MovencSafety, CustomIpodCommandsGiveTheFilesTheyAskFor) {
    const std::string commandTemplate = CustomIpodTemplate();
    ASSERT_THAT(commandTemplate, StartsWith("movenc "));
    for (const PresetCase& c : presetCases) {
        SCOPED_TRACE(c.name);
        ConversionTask task;
        task.sourcePath = aviClip;
        task.outputName = std::string("out ") + (c.videoCodec[0] == 'h' ? "avc " : "mpeg4 ") + std::to_string(c.width) +
                          "x" + std::to_string(c.height);
        task.beginTime = c.begin;
        task.endTime = c.end;
        task.title = "Clip \"one\"";
        OutputSettings settings = c.settings;
        settings.outputDirectory = folder;
        const std::string output = folder + task.outputName + ".mp4";
        DeleteFileA(output.c_str());

        const std::string command = ExpandPresetTemplate(commandTemplate, task, settings, "2024-05-06 07:08:09");
        ChildOptions options;
        options.closeInputAtStart = c.closeInput;
        const ChildRun run = RunInAppFolder(command, options);
        ASSERT_TRUE(run.started) << command;
        EXPECT_EQ(run.exitCode, 0u) << command << "\n" << run.errors;
        EXPECT_EQ(run.errors, "");

        // The length is what the command's whole-second " -t" asks for.
        const double length = std::floor(c.end - c.begin);
        const double lastTime = CheckProgress(run);
        EXPECT_NEAR(lastTime, length, 0.5);
        const ConversionTask parsed = ParseAsTheEngineDoes(run, c.begin, c.end);
        EXPECT_NEAR(parsed.encodedTime, length, 0.5);
        EXPECT_NEAR(parsed.outputSizeKB, FileSize(output) / 1024.0, FileSize(output) / 1024.0 * 0.02 + 1);

        const Probe probe = ProbeFile(output);
        EXPECT_NEAR(probe.duration, length, 0.5);
        const Stream* video = probe.Find("video");
        const Stream* audio = probe.Find("audio");
        ASSERT_NE(video, nullptr);
        ASSERT_NE(audio, nullptr);
        EXPECT_EQ(video->at("codec_name"), c.videoCodec);
        EXPECT_EQ(video->at("width"), std::to_string(c.width));
        EXPECT_EQ(video->at("height"), std::to_string(c.height));
        EXPECT_NEAR(Rate(video->at("r_frame_rate")), c.frameRate, 0.01);
        if (std::string(c.videoCodec) == "h264") {
            EXPECT_THAT(video->at("profile"), HasSubstr("Baseline"));
            EXPECT_EQ(video->at("level"), "13");
        }
        EXPECT_EQ(audio->at("codec_name"), "aac");
        EXPECT_EQ(audio->at("sample_rate"), std::to_string(c.sampleRate));
        EXPECT_EQ(audio->at("channels"), std::to_string(c.channels));
    }
}

// "q" makes ffmpeg finish the file: it plays, and it is shorter. The input is read at its own
// rate here so that "after 2 s" is the media time the progress shows.
TEST_F(MovencSafety, QuitOnStandardInputLeavesAValidShorterFile) {
    const std::string output = folder + "quit early.mp4";
    DeleteFileA(output.c_str());
    ChildOptions options;
    options.quitWhen = [](const std::string& text) {
        const std::size_t last = text.rfind("time=");
        return last != std::string::npos && std::atof(text.c_str() + last + 5) >= 2.0;
    };
    const ChildRun run = RunInAppFolder("movenc -re -i \"" + aviClip +
                                            "\" -vcodec h264 -coder 0 -vlevel 13 -bufsize 256 -g 250 -s 320x240 -b 576 "
                                            "-acodec aac -ac 2 -ab 128 -y \"" +
                                            output + "\"",
                                        options);
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_EQ(run.errors, "");
    const double lastTime = CheckProgress(run);
    const Probe probe = ProbeFile(output);
    ASSERT_NE(probe.Find("video"), nullptr);
    EXPECT_EQ(probe.Find("video")->at("codec_name"), "h264");
    EXPECT_GE(probe.duration, 1.5);
    EXPECT_LT(probe.duration, clipLength - 2.0);
    EXPECT_NEAR(lastTime, probe.duration, 0.5);
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
    const ChildRun run = RunInAppFolder(
        "movenc -re -i \"" + aviClip + "\" -vcodec mpeg4 -b 4000 -acodec pcm -y \"" + output + "\"", options);
    EXPECT_EQ(run.exitCode, 9u); // it was running when terminated
    ASSERT_NE(ffmpeg, nullptr) << "ffmpeg was running under the front-end";
    // At its own rate ffmpeg would go on for eight more seconds; the minute is a guard against a hang.
    EXPECT_EQ(WaitForSingleObject(ffmpeg, 60000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(ffmpeg);
    EXPECT_GE(FileSize(output), 0); // ffmpeg had made the file
}

struct FailureCase {
    const char* name;
    std::string arguments; // after "movenc"
    const char* errorPart; // expected within the error line
};

TEST_F(MovencSafety, FailuresGiveOneErrorLineAndANonZeroExitCode) {
    const std::string output = folder + "never written.mp4";
    const std::string garbage = folder + "not a video.avi";
    ASSERT_TRUE(WriteAll(garbage, "this is text, not a video\r\n"));
    std::string shouted = aviClip;
    for (char& ch : shouted)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const std::string roundabout = folder + "..\\movenc tests\\.\\clip one.avi";
    const long long clipSize = FileSize(aviClip);

    const FailureCase cases[] = {
        {"unknown option", "-i \"" + aviClip + "\" -frobnicate 3 -y \"" + output + "\"", "\"-frobnicate\""},
        {"missing input", "-i \"" + folder + "no such clip.avi\" -vcodec xvid -y \"" + output + "\"",
         "no such clip.avi"},
        {"unreadable input", "-i \"" + garbage + "\" -vcodec h264 -acodec aac -y \"" + output + "\"", ""},
        {"output is the input, other case", "-i \"" + aviClip + "\" -vcodec xvid -y \"" + shouted + "\"",
         "is the input file"},
        {"output is the input, other spelling", "-i \"" + aviClip + "\" -acodec aac -y \"" + roundabout + "\"",
         "is the input file"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(output.c_str());
        const ChildRun run = RunInAppFolder("movenc " + c.arguments);
        EXPECT_EQ(run.output, "");
        ExpectOneErrorLine(run, c.errorPart);
        EXPECT_EQ(FileSize(output), -1);
    }
    // The input survived the attempts to write over it.
    EXPECT_EQ(FileSize(aviClip), clipSize);
    EXPECT_NEAR(ProbeFile(aviClip).duration, clipLength, 0.1);
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
    const ChildRun run =
        RunChild("\"" + lonely + "movenc.exe\" -i \"" + clip + "\" -y \"" + lonely + "out.mp4\"", options);
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, "error: ffmpeg.exe was found neither beside movenc.exe nor on the PATH\r\n");
}

TEST_F(MovencSafety, VerifyTellsAPlayableFileFromTheRest) {
    EXPECT_EQ(RunInAppFolder("movenc -verify \"" + aviClip + "\"").exitCode, 0u);
    const std::string text = folder + "text.3gp";
    ASSERT_TRUE(WriteAll(text, "not a video"));
    ChildRun run = RunInAppFolder("movenc -verify \"" + text + "\"");
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_EQ(run.errors, "error: \"" + text + "\" is not a playable video\r\n");
    run = RunInAppFolder("movenc -verify \"" + folder + "gone.3gp\"");
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_THAT(run.errors, HasSubstr("does not exist"));
}

TEST_F(MovencSafety, PrintListsTheCommandsAndRunsNothing) {
    // The AMR step through our own encoder: decode, encode, then the main run; the working file
    // named as the first input need not exist yet.
    const std::string output = folder + "printed.3gp";
    DeleteFileA(output.c_str());
    const ChildRun run = RunInAppFolder("movenc -print -i \"" + folder + "later_temp.3gp\" -i \"" + aviClip +
                                        "\" -map 0:v -map 1:a -vcodec copy -acodec amr_nb -ab 12.2k -y \"" + output +
                                        "\"");
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    const std::vector<std::string> lines = TextLines(run.output);
    ASSERT_EQ(lines.size(), 3u) << run.output;
    EXPECT_THAT(lines[0], HasSubstr("ffmpeg.exe"));
    EXPECT_THAT(lines[0], HasSubstr("-ar 8000"));
    EXPECT_THAT(lines[1], HasSubstr("amrnbenc.exe -b 12200 <movenc-wav> <movenc-amr>"));
    EXPECT_THAT(lines[2], HasSubstr("-i <movenc-amr>"));
    EXPECT_EQ(FileSize(output), -1) << "nothing ran";
}

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
        EXPECT_TRUE(ReadWholeFile(clip) == clipContent) << "the input was changed";
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
