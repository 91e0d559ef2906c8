// pmpmux as the pipeline runs it: on an AVI and an MP3 that ffmpeg made, read back by ffprobe.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"

namespace {

// The working files of a PMP conversion as the encoding steps leave them, in a folder whose name has a non-ASCII
// letter.
class PmpMuxRun : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = FullPathOf("pmpmux été") + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        made = MakeClip(folder + "clip_temp.avi", 3, "-c:v mpeg4 -vtag XVID", ClipContent::Picture) &&
               MakeClip(folder + "clip264_temp.avi", 3, "-c:v libx264", ClipContent::Picture) &&
               MakeClip(folder + "clip_temp.mp3", 3, "-c:a libmp3lame -b:a 128k", ClipContent::Tone);
    }

    void SetUp() override { ASSERT_TRUE(made) << "ffmpeg could not make the test clips"; }

    static ChildRun Mux(const std::string& video, const std::string& audio, const std::string& out) {
        return RunCommand(AppFolder() + "pmpmux.exe -v " + Quote(video) + " -a " + Quote(audio) + " -o " + Quote(out));
    }

    static std::string Probe(const std::string& path) {
        return RunCommand(AppFolder() +
                          "ffprobe.exe -v error -show_entries "
                          "stream=codec_name,width,height,sample_rate,channels -of compact " +
                          Quote(path))
            .output;
    }

    static inline std::string folder;
    static inline bool made = false;
};

TEST_F(PmpMuxRun, Mpeg4AndH264WithMp3ReadBackByFfmpeg) {
    for (const std::string codec : {"mpeg4", "h264"}) {
        const std::string out = folder + codec + ".pmp";
        DeleteFileA(out.c_str());
        const ChildRun mux =
            Mux(folder + (codec == "h264" ? "clip264_temp.avi" : "clip_temp.avi"), folder + "clip_temp.mp3", out);
        ASSERT_EQ(mux.exitCode, 0u) << mux.output;
        EXPECT_EQ(mux.output, "");
        const std::string probe = Probe(out);
        EXPECT_NE(probe.find("codec_name=" + codec + "|width=320|height=240"), std::string::npos) << probe;
        EXPECT_NE(probe.find("codec_name=mp3|sample_rate=44100|channels=2"), std::string::npos) << probe;
        // Every frame decodes: 3 s at 25 fps.
        const ChildRun decode =
            RunCommand(AppFolder() + "ffmpeg.exe -hide_banner -nostats -i " + Quote(out) + " -f null -");
        EXPECT_EQ(decode.exitCode, 0u) << decode.output;
        EXPECT_NE(decode.output.find("frame=   75"), std::string::npos) << decode.output;
    }
}

// Each failure says why in one line, leaves no output, and never writes over an input, whatever the letter case of
// its name (the file system takes "ÉTÉ" for "été").
TEST_F(PmpMuxRun, FailuresSayWhyAndLeaveNoFile) {
    const std::string video = folder + "clip_temp.avi", audio = folder + "clip_temp.mp3", out = folder + "failed.pmp";
    const std::string videoBytes = ReadWholeFile(video);
    const struct {
        std::string arguments;
        const char* error;
    } cases[] = {
        {"-v " + Quote(folder + "missing.avi") + " -a " + Quote(audio) + " -o " + Quote(out), "error: cannot open"},
        {"-v " + Quote(audio) + " -a " + Quote(audio) + " -o " + Quote(out),
         "error: the video file is not an AVI file"},
        {"-v " + Quote(video) + " -a " + Quote(audio) + " -o " + Quote(video),
         "error: the output file is one of the input files"},
        {"-v " + Quote(video) + " -a " + Quote(audio) + " -o " + Quote(FullPathOf("PMPMUX ÉTÉ\\CLIP_TEMP.AVI")),
         "error: the output file is one of the input files"},
        {"-x", "error: unknown option -x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ChildRun run = RunCommand(AppFolder() + "pmpmux.exe " + c.arguments);
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_EQ(run.output.rfind(c.error, 0), 0u) << run.output;
        EXPECT_FALSE(FileExists(out));
        EXPECT_TRUE(ReadWholeFile(video) == videoBytes) << "the input is untouched";
    }
}

} // namespace
