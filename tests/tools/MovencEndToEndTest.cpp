// The front-end end to end: the shipped movenc.exe running the real ffmpeg (through the Wine
// bridge here) on a clip made at test time, with commands built the way the engine builds
// them for the custom iPod preset.
#include <gmock/gmock.h>

#include <windows.h>

#include <cmath>
#include <map>
#include <regex>

#include "engine/CommandTemplates.h"
#include "engine/ProgressParsing.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"

#include <tlhelp32.h>

namespace {

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


class MovencEndToEnd : public testing::Test {
protected:
    static void SetUpTestSuite() {
        app = AppFolder();
        // A folder and file names with blanks: the paths travel through two command lines
        // and, under Wine, the bridge's path translation.
        folder = FullPathOf("movenc e2e") + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        clip = folder + "clip one.avi";
        DeleteFileA(clip.c_str());
        clipReady = MakeClip(clip, clipLength, "-c:v mpeg4 -q:v 6 -c:a pcm_s16le");
    }

    void SetUp() override {
        ASSERT_TRUE(clipReady) << "the sample clip could not be made with " << app << "ffmpeg.exe";
    }

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
    static ChildRun RunInAppFolder(const std::string& command, const ChildOptions& options = {}) {
        char previous[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, previous);
        SetCurrentDirectoryA(app.c_str());
        ChildOptions inApp = options;
        inApp.currentDirectory = app;
        ChildRun run = RunChild(command, inApp);
        SetCurrentDirectoryA(previous);
        return run;
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

OutputSettings Settings(int videoType, int videoSize, int frameRate, int videoQuality, int channels, int audioQuality,
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
    {"mpeg4 176x120 14.985 mono 24000 50%", Settings(0, 0, 1, 0, 0, 0, 1, 0), 0.0, 10.0, "mpeg4", 176, 120, 14.985,
     24000, 1, true},
    {"avc 320x240 29.97 stereo 48000 400%", Settings(1, 3, 3, 6, 1, 5, 3, 7), 0.0, 10.0, "h264", 320, 240, 29.97, 48000,
     2, false},
    {"avc 368x208 same rates, range 2.5-7.5", Settings(1, 4, 0, 3, 1, 2, 0, 1), 2.5, 7.5, "h264", 368, 208, 25.0, 44100,
     2, false},
    {"mpeg4 480x160 23.976 44100 200%", Settings(0, 8, 2, 9, 1, 4, 2, 3), 0.0, 10.0, "mpeg4", 480, 160, 23.976, 44100,
     2, false},
};

TEST_F(MovencEndToEnd, CustomIpodCommandsGiveTheFilesTheyAskFor) {
    const std::string commandTemplate = CustomIpodTemplate();
    ASSERT_THAT(commandTemplate, testing::StartsWith("movenc "));
    for (const PresetCase& c : presetCases) {
        SCOPED_TRACE(c.name);
        ConversionTask task;
        task.sourcePath = clip;
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
            EXPECT_THAT(video->at("profile"), testing::HasSubstr("Baseline"));
            EXPECT_EQ(video->at("level"), "13");
        }
        EXPECT_EQ(audio->at("codec_name"), "aac");
        EXPECT_EQ(audio->at("sample_rate"), std::to_string(c.sampleRate));
        EXPECT_EQ(audio->at("channels"), std::to_string(c.channels));
    }
}

// "q" makes ffmpeg finish the file: it plays, and it is shorter. The input is read at its own
// rate here so that "after 2 s" is the media time the progress shows.
TEST_F(MovencEndToEnd, QuitOnStandardInputLeavesAValidShorterFile) {
    const std::string output = folder + "quit early.mp4";
    DeleteFileA(output.c_str());
    ChildOptions options;
    options.quitWhen = [](const std::string& text) {
        const std::size_t last = text.rfind("time=");
        return last != std::string::npos && std::atof(text.c_str() + last + 5) >= 2.0;
    };
    const ChildRun run = RunInAppFolder("movenc -re -i \"" + clip +
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

// The engine may terminate the front-end; ffmpeg, which it started, must end with it rather than write on.
TEST_F(MovencEndToEnd, TerminatingTheFrontEndEndsFfmpeg) {
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
        "movenc -re -i \"" + clip + "\" -vcodec mpeg4 -b 4000 -acodec pcm -y \"" + output + "\"", options);
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

TEST_F(MovencEndToEnd, FailuresGiveOneErrorLineAndANonZeroExitCode) {
    const std::string output = folder + "never written.mp4";
    const std::string garbage = folder + "not a video.avi";
    {
        HANDLE file = CreateFileA(garbage.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, "this is text, not a video\r\n", 27, &written, nullptr);
        CloseHandle(file);
    }
    std::string shouted = clip;
    for (char& ch : shouted)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const std::string roundabout = folder + "..\\movenc e2e\\.\\clip one.avi";
    const long long clipSize = FileSize(clip);

    const FailureCase cases[] = {
        {"unknown option", "-i \"" + clip + "\" -frobnicate 3 -y \"" + output + "\"", "\"-frobnicate\""},
        {"missing input", "-i \"" + folder + "no such clip.avi\" -vcodec xvid -y \"" + output + "\"",
         "no such clip.avi"},
        {"unreadable input", "-i \"" + garbage + "\" -vcodec h264 -acodec aac -y \"" + output + "\"", ""},
        {"output is the input, other case", "-i \"" + clip + "\" -vcodec xvid -y \"" + shouted + "\"",
         "is the input file"},
        {"output is the input, other spelling", "-i \"" + clip + "\" -acodec aac -y \"" + roundabout + "\"",
         "is the input file"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(output.c_str());
        const ChildRun run = RunInAppFolder("movenc " + c.arguments);
        EXPECT_NE(run.exitCode, 0u);
        EXPECT_EQ(run.output, "");
        const std::vector<std::string> lines = TextLines(run.errors);
        ASSERT_EQ(lines.size(), 1u) << run.errors;
        EXPECT_THAT(lines[0], testing::StartsWith("error: "));
        EXPECT_GT(lines[0].size(), 8u);
        EXPECT_THAT(lines[0], testing::HasSubstr(c.errorPart));
        EXPECT_EQ(FileSize(output), -1);
    }
    // The input survived the attempts to write over it.
    EXPECT_EQ(FileSize(clip), clipSize);
    EXPECT_NEAR(ProbeFile(clip).duration, clipLength, 0.1);
}

TEST_F(MovencEndToEnd, MissingFfmpegIsReported) {
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

TEST_F(MovencEndToEnd, VerifyTellsAPlayableFileFromTheRest) {
    EXPECT_EQ(RunInAppFolder("movenc -verify \"" + clip + "\"").exitCode, 0u);
    const std::string text = folder + "text.3gp";
    {
        HANDLE file = CreateFileA(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, "not a video", 11, &written, nullptr);
        CloseHandle(file);
    }
    ChildRun run = RunInAppFolder("movenc -verify \"" + text + "\"");
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_EQ(run.errors, "error: \"" + text + "\" is not a playable video\r\n");
    run = RunInAppFolder("movenc -verify \"" + folder + "gone.3gp\"");
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_THAT(run.errors, testing::HasSubstr("does not exist"));
}

TEST_F(MovencEndToEnd, PrintListsTheCommandsAndRunsNothing) {
    // The AMR step through our own encoder: decode, encode, then the main run; the working file
    // named as the first input need not exist yet.
    const std::string output = folder + "printed.3gp";
    DeleteFileA(output.c_str());
    const ChildRun run = RunInAppFolder("movenc -print -i \"" + folder + "later_temp.3gp\" -i \"" + clip +
                                        "\" -map 0:v -map 1:a -vcodec copy -acodec amr_nb -ab 12.2k -y \"" + output +
                                        "\"");
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    const std::vector<std::string> lines = TextLines(run.output);
    ASSERT_EQ(lines.size(), 3u) << run.output;
    EXPECT_THAT(lines[0], testing::HasSubstr("ffmpeg.exe"));
    EXPECT_THAT(lines[0], testing::HasSubstr("-ar 8000"));
    EXPECT_THAT(lines[1], testing::HasSubstr("amrnbenc.exe -b 12200 <movenc-wav> <movenc-amr>"));
    EXPECT_THAT(lines[2], testing::HasSubstr("-i <movenc-amr>"));
    EXPECT_EQ(FileSize(output), -1) << "nothing ran";
}

} // namespace
