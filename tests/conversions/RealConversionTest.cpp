// Real conversions: the engine runs the shipped profiles with the real front-end, helpers and ffmpeg on short clips of
// many source formats, for every device family and 3GP type, and ffprobe reads back what it made.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ConversionRun.h"
#include "engine/PipelineFiles.h"
#include "engine/ProgressParsing.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

// Three-second sources of the kinds users queue, made by ffmpeg: name and ffmpeg output options. Any file name
// works: the AVI clip is named with accents, CJK and a dash, and goes through the iPod pipeline and the PMP one with
// our own muxer.
const std::pair<const char*, const char*> sourceKinds[] = {
    {"Vidéo_日本—copie.avi", "-c:v mpeg4 -c:a libmp3lame"},
    {"clip.mpg", "-c:v mpeg2video -c:a mp2 -f vob"},
    {"clip.wmv", "-c:v wmv2 -c:a wmav2"},
    {"clip.mov", "-c:v libx264 -pix_fmt yuv420p -c:a aac"},
    {"clip.flv", "-c:v flv1 -c:a libmp3lame -ar 44100"},
    {"clip.3gp", "-c:v h263 -s 176x144 -c:a aac -ar 22050 -ac 1"},
    {"clip.mp4", "-c:v libx264 -pix_fmt yuv420p -c:a aac"},
};

OutputSettings Settings(DeviceFamily family, int profileIndex, ThreeGpType threeGpType = ThreeGpType::Amr) {
    return {.deviceFamily = family, .threeGpType = threeGpType, .profileIndex = profileIndex, .outputDirectory = ""};
}

// The custom iPod preset: AVC 320x240 at 29.97 frames a second, stereo AAC at 44.1 kHz.
OutputSettings IpodCustom() {
    return {.videoType = 1, .videoSize = 3, .frameRate = 3, .videoQuality = 5, .sampleRate = 2, .outputDirectory = ""};
}

struct ConversionCase {
    const char* name;
    const char* source;
    OutputSettings settings;
    const char* streams; // ffprobe's "codec|width|height" and "codec|rate|channels"
    const char* files;   // all that remains in the output folder, the converted file first
};

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

class RealConversion : public testing::TestWithParam<ConversionCase> {
protected:
    static void SetUpTestSuite() {
        // The output folder's name has a blank and an accent: the paths travel through two command lines and, under
        // Wine, the bridge's path translation.
        CreateDirectoryA(output.c_str(), nullptr);
        made = true;
        for (const auto& [name, options] : sourceKinds)
            made = made && MakeClip(sources + name, 3, std::string("-shortest ") + options);
    }
    static void TearDownTestSuite() {
        EmptyOutput();
        RemoveDirectoryA(output.c_str());
    }
    static void EmptyOutput() {
        for (const std::string& name : FilesIn(output))
            DeleteFileA((output + name).c_str());
    }
    void SetUp() override {
        ASSERT_TRUE(made) << "ffmpeg could not make the source clips";
        EmptyOutput();
    }

    // Converts the 2-second range of a 3-second source.
    ConversionTask Convert(const std::string& source, OutputSettings settings, const std::string& folder = output) {
        CurrentDirectoryGuard directory;
        WorkDirectoryOverride workFolder(FullPathOf(AppFolder()));
        FakeHost host;
        settings.outputDirectory = folder;
        host.settings = settings;
        host.tasks = {MakeNewTask(sources + source, 2.5, 12345)};
        host.tasks[0].beginTime = 0.5;
        HostInstalled installed(&host);
        RecordingSystemActions actions;
        SystemActionsInstalled replaced(&actions);
        EXPECT_TRUE(RunConversion());
        handOffs = actions.handOffs;
        return host.tasks[0];
    }

    // ffprobe's lines "stream|codec|width|height|rate|channels" and, last, "format|duration".
    std::string Probe(const std::string& file) {
        return ::Probe(output + file, "stream=codec_name,width,height,sample_rate,channels:format=duration");
    }

    static TempFolder root;
    static const std::string sources, output;
    static bool made;
    std::vector<std::string> handOffs;
};

TempFolder RealConversion::root;
const std::string RealConversion::sources = RealConversion::root.Path();
const std::string RealConversion::output = RealConversion::root.Path() + "out put été\\";
bool RealConversion::made = false;

TEST_P(RealConversion, GivesTheFileItsDevicePlays) {
    const ConversionCase& c = GetParam();
    const ConversionTask task = Convert(c.source, c.settings);
    const std::vector<std::string> files = Words(c.files);
    EXPECT_EQ(FormatTaskStatus(task).text, " Finished ");
    // The engine's own parser, fed by the front-end through the runner, reached the range's end.
    EXPECT_NEAR(task.encodedTime, 2.0, 0.5);
    EXPECT_GT(task.outputSizeKB, 0);
    EXPECT_EQ(OutputNameShown(task, c.settings), files[0]);
    EXPECT_EQ(FilesIn(output), files) << "only the final files remain in the output folder";
    const std::string probe = Probe(files[0]);
    for (const std::string& stream : Words(c.streams))
        EXPECT_NE(probe.find(stream), std::string::npos) << probe;
    // The 2-second range, give or take a frame or an AMR block.
    EXPECT_NEAR(std::atof(probe.c_str() + probe.rfind('|') + 1), 2.0, 0.2) << probe;
    // Only a converted iPod file goes to iTunes.
    const std::vector<std::string> handedOff = {"VazoVeduz \"" + output + files[0] + "\" "};
    EXPECT_EQ(handOffs, c.settings.deviceFamily == DeviceFamily::Ipod ? handedOff : std::vector<std::string>{});
    if (c.settings.deviceFamily == DeviceFamily::Psp) {
        EXPECT_NE(Probe(files[1]).find("mjpeg|160|120"), std::string::npos) << "the thumbnail";
    }
    if (c.settings.deviceFamily == DeviceFamily::Pmp) {
        // Our own muxer's file demuxes and decodes to the end.
        const ChildRun decode =
            RunCommand(AppFolder() + "ffmpeg.exe -hide_banner -nostats -i " + Quote(output + files[0]) + " -f null -");
        EXPECT_EQ(decode.exitCode, 0u) << decode.output;
    }
}

using enum DeviceFamily;
const ConversionCase conversions[] = {
    {"IpodCustomFromAvi", "Vidéo_日本—copie.avi", IpodCustom(), "h264|320|240 aac|44100|2", "Vidéo_日本—copie.mp4"},
    {"PspMpeg4FromWmv", "clip.wmv", Settings(Psp, 2), "mpeg4|320|240 aac|48000|2", "M4V12345.MP4 M4V12345.THM"},
    {"ThreeGpAmrFromFlv", "clip.flv", Settings(ThreeGp, 0, ThreeGpType::Amr), "h263|176|144 amr_nb|8000|1", "clip.3gp"},
    {"ThreeGpAacFromVob", "clip.mpg", Settings(ThreeGp, 1, ThreeGpType::Aac), "mpeg4|176|144 aac|22050|2", "clip.3gp"},
    {"ThreeGp2From3gp", "clip.3gp", Settings(ThreeGp, 0, ThreeGpType::ThreeGp2), "mpeg4|176|144 aac|22050|1",
     "clip.3g2"},
    {"XboxFromMp4", "clip.mp4", Settings(Xbox, 0), "mpeg2video|640|480 mp2|48000|2", "clip.mpg"},
    {"PocketPcFromMov", "clip.mov", Settings(PocketPc, 0), "mpeg4|320|240 mp3|44100|2", "clip.avi"},
    {"PmpMpeg4Mp3FromAvi", "Vidéo_日本—copie.avi", Settings(Pmp, 0), "mpeg4|480|272 mp3|44100|2",
     "Vidéo_日本—copie.pmp"},
};

INSTANTIATE_TEST_SUITE_P(Conversions, RealConversion, testing::ValuesIn(conversions),
                         [](const testing::TestParamInfo<ConversionCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
