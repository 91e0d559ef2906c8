// pmpmux as the pipeline runs it: on an AVI and an MP3 that ffmpeg made, read back by ffprobe.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"

namespace {

class PmpMuxRun : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = FullPathOf("pmpmux test") + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        // The two working files of a PMP conversion, as the encoding steps leave them.
        made = MakeClip(folder + "clip_temp.avi", 3, "-c:v mpeg4 -vtag XVID", ClipContent::Picture) &&
               MakeClip(folder + "clip264_temp.avi", 3, "-c:v libx264", ClipContent::Picture) &&
               MakeClip(folder + "clip_temp.mp3", 3, "-c:a libmp3lame -b:a 128k", ClipContent::Tone);
    }

    static std::string Probe(const std::string& path) {
        return RunCommand(AppFolder() +
                          "ffprobe.exe -v error -show_entries stream=codec_name,width,height,sample_rate,channels"
                          " -of compact " +
                          Quote(path))
            .output;
    }

    static std::string folder;
    static bool made;
};

std::string PmpMuxRun::folder;
bool PmpMuxRun::made = false;

TEST_F(PmpMuxRun, Mpeg4AndH264WithMp3ReadBackByFfmpeg) {
    ASSERT_TRUE(made) << "ffmpeg could not make the test clips";
    const std::string pmpmux = AppFolder() + "pmpmux.exe";
    for (const char* video : {"clip_temp.avi", "clip264_temp.avi"}) {
        const std::string out = folder + video + ".pmp";
        DeleteFileA(out.c_str());
        const ChildRun mux = RunCommand(pmpmux + " -v " + Quote(folder + video) + " -a " +
                                        Quote(folder + "clip_temp.mp3") + " -o " + Quote(out));
        ASSERT_EQ(mux.exitCode, 0u) << mux.output;
        EXPECT_EQ(mux.output, "");
        const std::string probe = Probe(out);
        EXPECT_NE(
            probe.find(std::string("codec_name=") + (video[4] == '2' ? "h264" : "mpeg4") + "|width=320|height=240"),
            std::string::npos)
            << probe;
        EXPECT_NE(probe.find("codec_name=mp3|sample_rate=44100|channels=2"), std::string::npos) << probe;
        // Every frame decodes: 3 s at 25 fps.
        const ChildRun decode =
            RunCommand(AppFolder() + "ffmpeg.exe -hide_banner -nostats -i " + Quote(out) + " -f null -");
        EXPECT_EQ(decode.exitCode, 0u) << decode.output;
        EXPECT_NE(decode.output.find("frame=   75"), std::string::npos) << decode.output;
    }
}

TEST_F(PmpMuxRun, FailuresSayWhyAndLeaveNoFile) {
    ASSERT_TRUE(made);
    const std::string pmpmux = AppFolder() + "pmpmux.exe";
    const std::string out = folder + "failed.pmp";
    DeleteFileA(out.c_str());

    ChildRun r = RunCommand(pmpmux + " -v " + Quote(folder + "missing.avi") + " -a " + Quote(folder + "clip_temp.mp3") +
                            " -o " + Quote(out));
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.output.rfind("error: cannot open", 0), 0u) << r.output;

    // The MP3 is no AVI.
    r = RunCommand(pmpmux + " -v " + Quote(folder + "clip_temp.mp3") + " -a " + Quote(folder + "clip_temp.mp3") +
                   " -o " + Quote(out));
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_NE(r.output.find("error: the video file is not an AVI file"), std::string::npos) << r.output;
    EXPECT_FALSE(FileExists(out));

    // Never written over its own input.
    const std::string video = folder + "clip_temp.avi";
    r = RunCommand(pmpmux + " -v " + Quote(video) + " -a " + Quote(folder + "clip_temp.mp3") + " -o " + Quote(video));
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_NE(r.output.find("error: the output file is one of the input files"), std::string::npos);
    EXPECT_TRUE(FileExists(video));
    EXPECT_NE(Probe(video).find("codec_name=mpeg4"), std::string::npos) << "the input is untouched";

    r = RunCommand(pmpmux + " -x");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.output.rfind("error: unknown option -x", 0), 0u) << r.output;
}

} // namespace
