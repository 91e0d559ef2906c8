// pmpmux as the pipeline runs it: on an AVI and an MP3 that ffmpeg made, read back by ffprobe.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/helpers/RunCommand.h"

namespace {

class PmpMuxRun : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "movara pmpmux test\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        // The two working files of a PMP conversion, as the encoding steps leave them.
        const std::string ffmpeg = appFolder + "ffmpeg.exe -hide_banner -loglevel error -y ";
        made = RunCommand(ffmpeg + "-f lavfi -i testsrc=size=320x240:rate=25:duration=3 -c:v mpeg4 -vtag XVID -an " +
                   Quote(folder + "clip_temp.avi")).exitCode == 0 &&
               RunCommand(ffmpeg + "-f lavfi -i testsrc=size=320x240:rate=25:duration=3 -c:v libx264 -an " +
                   Quote(folder + "clip264_temp.avi")).exitCode == 0 &&
               RunCommand(ffmpeg + "-f lavfi -i sine=frequency=440:duration=3 -ac 2 -ar 44100 -c:a libmp3lame -b:a 128k " +
                   Quote(folder + "clip_temp.mp3")).exitCode == 0;
    }

    static std::string Probe(const std::string& path)
    {
        return RunCommand(appFolder + "ffprobe.exe -v error -show_entries stream=codec_name,width,height,sample_rate,channels"
                               " -of compact " + Quote(path)).output;
    }

    static std::string folder;
    static bool made;
};

std::string PmpMuxRun::folder;
bool PmpMuxRun::made = false;

TEST_F(PmpMuxRun, Mpeg4AndH264WithMp3ReadBackByFfmpeg)
{
    ASSERT_TRUE(made) << "ffmpeg could not make the test clips";
    const std::string pmpmux = appFolder + "pmpmux.exe";
    for (const char* video : {"clip_temp.avi", "clip264_temp.avi"}) {
        const std::string out = folder + video + ".pmp";
        DeleteFileA(out.c_str());
        const RunResult mux =
            RunCommand(pmpmux + " -v " + Quote(folder + video) + " -a " + Quote(folder + "clip_temp.mp3") + " -o " + Quote(out));
        ASSERT_EQ(mux.exitCode, 0u) << mux.output;
        EXPECT_EQ(mux.output, "");
        const std::string probe = Probe(out);
        EXPECT_NE(probe.find(std::string("codec_name=") + (video[4] == '2' ? "h264" : "mpeg4") + "|width=320|height=240"),
                  std::string::npos)
            << probe;
        EXPECT_NE(probe.find("codec_name=mp3|sample_rate=44100|channels=2"), std::string::npos) << probe;
        // Every frame decodes: 3 s at 25 fps.
        const RunResult decode = RunCommand(appFolder + "ffmpeg.exe -hide_banner -nostats -i " + Quote(out) + " -f null -");
        EXPECT_EQ(decode.exitCode, 0u) << decode.output;
        EXPECT_NE(decode.output.find("frame=   75"), std::string::npos) << decode.output;
    }
}

TEST_F(PmpMuxRun, FailuresSayWhyAndLeaveNoFile)
{
    ASSERT_TRUE(made);
    const std::string pmpmux = appFolder + "pmpmux.exe";
    const std::string out = folder + "failed.pmp";
    DeleteFileA(out.c_str());

    RunResult r = RunCommand(pmpmux + " -v " + Quote(folder + "missing.avi") + " -a " + Quote(folder + "clip_temp.mp3") +
                      " -o " + Quote(out));
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.output.rfind("error: cannot open", 0), 0u) << r.output;

    // The MP3 is no AVI.
    r = RunCommand(pmpmux + " -v " + Quote(folder + "clip_temp.mp3") + " -a " + Quote(folder + "clip_temp.mp3") + " -o " +
            Quote(out));
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_NE(r.output.find("error: the video file is not an AVI file"), std::string::npos) << r.output;
    EXPECT_FALSE(PathExists(out));

    // Never written over its own input.
    const std::string video = folder + "clip_temp.avi";
    r = RunCommand(pmpmux + " -v " + Quote(video) + " -a " + Quote(folder + "clip_temp.mp3") + " -o " + Quote(video));
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_NE(r.output.find("error: the output file is one of the input files"), std::string::npos);
    EXPECT_TRUE(PathExists(video));
    EXPECT_NE(Probe(video).find("codec_name=mpeg4"), std::string::npos) << "the input is untouched";

    r = RunCommand(pmpmux + " -x");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.output.rfind("error: unknown option -x", 0), 0u) << r.output;
}

} // namespace
