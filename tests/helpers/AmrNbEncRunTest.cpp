// amrnbenc as the 3GP pipeline runs it: 8000 Hz mono PCM in, AMR-NB out, read back by ffprobe.
#include <gtest/gtest.h>

#include "tests/helpers/RunCommand.h"

namespace {

class AmrNbEncRun : public testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "movara amr test\\";
        CreateDirectoryA(folder.c_str(), nullptr);
    }

    std::string MakeWav(const std::string& name, const std::string& format)
    {
        const std::string path = folder + name;
        const RunResult made = RunCommand(appFolder + "ffmpeg.exe -v error -y -f lavfi -i sine=frequency=300:duration=2 " +
                                          format + " " + Quote(path));
        return made.exitCode == 0 ? path : std::string();
    }

    std::string folder;
};

TEST_F(AmrNbEncRun, EncodesTwoSecondsAtEveryModeBoundary)
{
    const std::string wav = MakeWav("speech.wav", "-ar 8000 -ac 1 -c:a pcm_s16le");
    ASSERT_FALSE(wav.empty());
    // Bit rate → the AMR mode's first frame byte (mode << 3 | 4) and the frame size in bytes.
    struct Case {
        const char* bitrate;
        int header;
        int frameBytes;
    };
    for (const Case c : {Case{"12200", 0x3C, 32}, Case{"12199", 0x34, 27}, Case{"4750", 0x04, 13}, Case{"1", 0x04, 13}}) {
        const std::string amr = folder + "speech.amr";
        DeleteFileA(amr.c_str());
        const RunResult run = RunCommand(appFolder + "amrnbenc.exe -b " + c.bitrate + " " + Quote(wav) + " " + Quote(amr));
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        EXPECT_EQ(run.output, "");
        const RunResult probe = RunCommand(appFolder + "ffprobe.exe -v error -show_entries "
                                                       "stream=codec_name,sample_rate,channels -of compact " + Quote(amr));
        EXPECT_NE(probe.output.find("codec_name=amr_nb|sample_rate=8000|channels=1"), std::string::npos) << probe.output;
        // "#!AMR\n", then 100 frames of 20 ms, each of the same mode.
        HANDLE file = CreateFileA(amr.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        unsigned char head[7] = {};
        DWORD got = 0;
        ReadFile(file, head, sizeof(head), &got, nullptr);
        const DWORD size = GetFileSize(file, nullptr);
        CloseHandle(file);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(head), 6), "#!AMR\n");
        EXPECT_EQ(head[6], c.header) << c.bitrate;
        EXPECT_EQ(size, 6u + 100u * c.frameBytes) << c.bitrate;
    }
}

TEST_F(AmrNbEncRun, RefusesWhatItCannotEncode)
{
    const std::string stereo = MakeWav("stereo.wav", "-ar 44100 -ac 2 -c:a pcm_s16le");
    ASSERT_FALSE(stereo.empty());
    const std::string amr = folder + "refused.amr";
    DeleteFileA(amr.c_str());
    RunResult run = RunCommand(appFolder + "amrnbenc.exe " + Quote(stereo) + " " + Quote(amr));
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.output.find("error: the WAV file must be 8000 Hz mono 16-bit PCM"), std::string::npos) << run.output;
    EXPECT_FALSE(PathExists(amr));

    run = RunCommand(appFolder + "amrnbenc.exe " + Quote(folder + "missing.wav") + " " + Quote(amr));
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.output.rfind("error: cannot open", 0), 0u) << run.output;

    run = RunCommand(appFolder + "amrnbenc.exe only-one-argument");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.output.rfind("error: use:", 0), 0u) << run.output;
}

} // namespace
