// Real conversions: the engine runs the shipped profiles with the real front-end, helpers and
// ffmpeg on short clips of many source formats, for every device family and 3GP type, and
// ffprobe reads back what it made.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/CommandTemplates.h"
#include "engine/ConversionRun.h"
#include "engine/ConversionTask.h"
#include "engine/EngineGlobals.h"
#include "engine/ProgressParsing.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"

namespace {

std::string FullPathOf(const std::string& relative)
{
    char full[MAX_PATH] = {};
    GetFullPathNameA(relative.c_str(), MAX_PATH, full, nullptr);
    return full;
}

void EmptyFolder(const std::string& folder)
{
    for (const std::string& name : FilesIn(folder))
        DeleteFileA((folder + name).c_str());
}

// Three-second sources of the kinds users queue, made by ffmpeg: name → ffmpeg output options.
const std::map<std::string, std::string> sourceKinds = {
    {"clip.avi", "-c:v mpeg4 -c:a libmp3lame"},
    {"clip.mpg", "-c:v mpeg2video -c:a mp2 -f vob"},
    {"clip.wmv", "-c:v wmv2 -c:a wmav2"},
    {"clip.mov", "-c:v libx264 -pix_fmt yuv420p -c:a aac"},
    {"clip.flv", "-c:v flv1 -c:a libmp3lame -ar 44100"},
    {"clip.3gp", "-c:v h263 -s 176x144 -c:a aac -ar 22050 -ac 1"},
    {"clip.mp4", "-c:v libx264 -pix_fmt yuv420p -c:a aac"},
};

class RealConversion : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        sources = std::string(temp) + "movara conversions\\sources\\";
        output = std::string(temp) + "movara conversions\\out put\\";
        CreateDirectoryA((std::string(temp) + "movara conversions").c_str(), nullptr);
        CreateDirectoryA(sources.c_str(), nullptr);
        CreateDirectoryA(output.c_str(), nullptr);
        made = true;
        for (const auto& [name, options] : sourceKinds) {
            made = made && MakeClip(sources + name, 3, "-shortest " + options);
        }
    }

    void SetUp() override
    {
        ASSERT_TRUE(made) << "ffmpeg could not make the source clips";
        EmptyFolder(output);
        out = output;
        work = FullPathOf(AppFolder());
        if (!work.empty() && work.back() == '\\')
            work.pop_back();
    }

    // Converts one task and returns it as the engine left it.
    ConversionTask Convert(const std::string& source, OutputSettings settings)
    {
        CurrentDirectoryGuard directory;
        WorkDirectoryOverride workFolder(work);
        FakeHost host;
        settings.outputDirectory = out;
        host.settings = settings;
        ConversionTask task = MakeNewTask(sources + source, 3.0, 12345);
        task.beginTime = 0.5;
        task.endTime = 2.5;
        host.tasks.push_back(task);
        HostInstalled installed(&host);
        RecordingSystemActions actions;
        SystemActionsInstalled replaced(&actions);
        lstrcpynA(outputDirectory, out.c_str(), pathBufferSize);
        EXPECT_TRUE(RunConversion());
        handOffs = actions.handOffs;
        return host.tasks[0];
    }

    std::string Probe(const std::string& file)
    {
        return RunCommand(AppFolder() + "ffprobe.exe -v error -show_entries "
                                      "stream=codec_name,width,height,sample_rate,channels:format=duration "
                                      "-of compact=nk=1 " + Quote(out + file)).output;
    }

    void ExpectConverted(const ConversionTask& task, const std::string& finalName,
                         const std::vector<std::string>& streams, const std::set<std::string>& expectedFiles)
    {
        EXPECT_TRUE(task.finished);
        EXPECT_EQ(FormatTaskStatus(task).text, " Finished ");
        // The engine's own parser, fed by the front-end through the runner, reached the range's end.
        EXPECT_NEAR(task.encodedTime, 2.0, 0.5) << finalName;
        EXPECT_GT(task.outputSizeKB, 0) << finalName;
        std::set<std::string> files;
        for (const std::string& name : FilesIn(out))
            files.insert(name);
        EXPECT_EQ(files, expectedFiles) << "only the final files remain in the output folder";
        const std::string probe = Probe(finalName);
        for (const std::string& stream : streams)
            EXPECT_NE(probe.find(stream), std::string::npos) << finalName << ": " << probe;
        // The 2-second range, give or take a frame or an AMR block.
        const std::size_t format = probe.find("format|");
        ASSERT_NE(format, std::string::npos) << probe;
        const double duration = std::atof(probe.c_str() + format + 7);
        EXPECT_NEAR(duration, 2.0, 0.2) << finalName;
    }

    static std::string sources, output;
    static bool made;
    std::string out; // the output folder of the next conversion
    std::string work;
    std::vector<std::string> handOffs;
};

std::string RealConversion::sources, RealConversion::output;
bool RealConversion::made = false;

OutputSettings Family(DeviceFamily family, int profileIndex, ThreeGpType threeGpType = ThreeGpType::Amr)
{
    OutputSettings s;
    s.deviceFamily = family;
    s.profileIndex = profileIndex;
    s.threeGpType = threeGpType;
    return s;
}

OutputSettings IpodCustom()
{
    OutputSettings s = Family(DeviceFamily::Ipod, -1);
    s.presetIndex = 0;
    s.videoType = 1; // AVC
    s.videoSize = 3; // 320x240
    s.frameRate = 3; // 29.97
    s.videoQuality = 5;
    s.channels = 1;
    s.audioQuality = 2;
    s.sampleRate = 2; // 44100
    s.volume = 1;
    return s;
}

TEST_F(RealConversion, IpodCustomPresetFromAvi)
{
    const ConversionTask task = Convert("clip.avi", IpodCustom());
    ExpectConverted(task, "clip.mp4", {"h264|320|240", "aac|44100|2"}, {"clip.mp4"});
    ASSERT_EQ(handOffs.size(), 1u) << "the converted file goes to iTunes";
    EXPECT_EQ(handOffs[0], "VazoVeduz \"" + output + "clip.mp4\" ");
}

TEST_F(RealConversion, PspMpeg4AndAvcWithThumbnails)
{
    ConversionTask task = Convert("clip.wmv", Family(DeviceFamily::Psp, 2));
    ExpectConverted(task, "M4V12345.MP4", {"mpeg4|320|240", "aac|48000|2"}, {"M4V12345.MP4", "M4V12345.THM"});
    EXPECT_NE(Probe("M4V12345.THM").find("mjpeg|160|120"), std::string::npos);
    EmptyFolder(output);
    task = Convert("clip.mov", Family(DeviceFamily::Psp, 16));
    ExpectConverted(task, "MAQ12345.MP4", {"h264|320|240", "aac|48000|2"}, {"MAQ12345.MP4", "MAQ12345.THM"});
}

TEST_F(RealConversion, ThreeGpWithAmrFromFlv)
{
    const ConversionTask task = Convert("clip.flv", Family(DeviceFamily::ThreeGp, 0, ThreeGpType::Amr));
    ExpectConverted(task, "clip.3gp", {"h263|176|144", "amr_nb|8000|1"}, {"clip.3gp"});
}

TEST_F(RealConversion, ThreeGpWithAacFromMpegProgramStream)
{
    const ConversionTask task = Convert("clip.mpg", Family(DeviceFamily::ThreeGp, 1, ThreeGpType::Aac));
    ExpectConverted(task, "clip.3gp", {"mpeg4|176|144", "aac|22050|2"}, {"clip.3gp"});
}

TEST_F(RealConversion, ThreeGp2FromThreeGp)
{
    const ConversionTask task = Convert("clip.3gp", Family(DeviceFamily::ThreeGp, 0, ThreeGpType::ThreeGp2));
    ExpectConverted(task, "clip.3g2", {"mpeg4|176|144", "aac|22050|1"}, {"clip.3g2"});
}

TEST_F(RealConversion, XboxFromMp4)
{
    const ConversionTask task = Convert("clip.mp4", Family(DeviceFamily::Xbox, 0));
    ExpectConverted(task, "clip.mpg", {"mpeg2video|640|480", "mp2|48000|2"}, {"clip.mpg"});
}

TEST_F(RealConversion, PocketPcFromMov)
{
    const ConversionTask task = Convert("clip.mov", Family(DeviceFamily::PocketPc, 0));
    ExpectConverted(task, "clip.avi", {"mpeg4|320|240", "mp3|44100|2"}, {"clip.avi"});
}

TEST_F(RealConversion, PmpMpeg4WithMp3AndAvcWithAac)
{
    ConversionTask task = Convert("clip.avi", Family(DeviceFamily::Pmp, 0));
    ExpectConverted(task, "clip.pmp", {"mpeg4|480|272", "mp3|44100|2"}, {"clip.pmp"});
    // The file demuxes and decodes to the end.
    const ChildRun decode =
        RunCommand(AppFolder() + "ffmpeg.exe -hide_banner -nostats -i " + Quote(output + "clip.pmp") + " -f null -");
    EXPECT_EQ(decode.exitCode, 0u) << decode.output;
    EmptyFolder(output);
    task = Convert("clip.wmv", Family(DeviceFamily::Pmp, 4));
    ExpectConverted(task, "clip.pmp", {"h264|480|272", "aac|44100|2"}, {"clip.pmp"});
}

// Any file name: a clip named with accents, CJK and a dash, into a folder with accents, through the iPod pipeline and
// the PMP one with our own muxer, gives outputs of that name. A folder name Windows would change (a trailing blank)
// fails the task instead, and log.txt names the clip in readable UTF-8.
TEST_F(RealConversion, Utf8NamesOnIpodAndPmp)
{
    const std::string name = "Vidéo ü 日本 — copie";
    ASSERT_TRUE(CopyFileA((sources + "clip.avi").c_str(), (sources + name + ".avi").c_str(), FALSE));
    out = output + "Sortie été\\";
    CreateDirectoryA(out.c_str(), nullptr);
    EmptyFolder(out);
    ExpectConverted(Convert(name + ".avi", IpodCustom()), name + ".mp4", {"h264|320|240"}, {name + ".mp4"});
    ASSERT_EQ(handOffs.size(), 1u);
    EXPECT_EQ(handOffs[0], "VazoVeduz \"" + out + name + ".mp4\" ");
    EmptyFolder(out);
    ExpectConverted(Convert(name + ".avi", Family(DeviceFamily::Pmp, 0)), name + ".pmp", {"mpeg4|480|272"},
                    {name + ".pmp"});
    EmptyFolder(out);

    out = output + "Sortie été \\";
    EXPECT_EQ(Convert(name + ".avi", Family(DeviceFamily::Pmp, 0)).finished, 0);
    std::string record;
    for (const std::string& line : FileLines(work + "\\log.txt"))
        if (line.find("Sortie été \\") != std::string::npos)
            record = line;
    EXPECT_NE(record.find("\"" + sources + name + ".avi\""), std::string::npos) << record;
    EXPECT_NE(record.find("ends in a space"), std::string::npos) << record;
    EXPECT_NE(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, record.c_str(), -1, nullptr, 0), 0);
    DeleteFileA((sources + name + ".avi").c_str());
}

} // namespace
