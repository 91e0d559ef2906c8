// amrnbenc as the 3GP pipeline runs it: 8000 Hz mono PCM in, AMR-NB out, read back by ffprobe.
#include <gtest/gtest.h>

#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"

namespace {

class AmrNbEncRun : public testing::Test {
protected:
    std::string MakeWav(const std::string& name, const std::string& format) {
        const std::string path = folder + name;
        return MakeClip(path, 2, format, ClipContent::Tone) ? path : std::string();
    }

    TempFolder temp;
    const std::string& folder = temp.Path();
};

TEST_F(AmrNbEncRun, EncodesTwoSecondsAtEveryModeBoundary) {
    const std::string wav = MakeWav("speech.wav", "-ar 8000 -ac 1 -c:a pcm_s16le");
    ASSERT_FALSE(wav.empty());
    // Bit rate → the AMR mode's first frame byte (mode << 3 | 4) and the frame size in bytes.
    struct Case {
        const char* bitrate;
        int header;
        int frameBytes;
    };
    for (const Case c :
         {Case{"12200", 0x3C, 32}, Case{"12199", 0x34, 27}, Case{"4750", 0x04, 13}, Case{"1", 0x04, 13}}) {
        const std::string amr = folder + "speech.amr";
        DeleteFileA(amr.c_str());
        const ChildRun run =
            RunCommand(AppFolder() + "amrnbenc.exe -b " + c.bitrate + " " + Quote(wav) + " " + Quote(amr));
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        EXPECT_EQ(run.output, "");
        const ChildRun probe = RunCommand(AppFolder() +
                                          "ffprobe.exe -v error -show_entries "
                                          "stream=codec_name,sample_rate,channels -of compact " +
                                          Quote(amr));
        EXPECT_NE(probe.output.find("codec_name=amr_nb|sample_rate=8000|channels=1"), std::string::npos)
            << probe.output;
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

TEST_F(AmrNbEncRun, RefusesWhatItCannotEncode) {
    const std::string stereo = MakeWav("stereo.wav", "-ar 44100 -ac 2 -c:a pcm_s16le");
    ASSERT_FALSE(stereo.empty());
    const std::string amr = folder + "refused.amr";
    DeleteFileA(amr.c_str());
    ChildRun run = RunCommand(AppFolder() + "amrnbenc.exe " + Quote(stereo) + " " + Quote(amr));
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.output.find("error: the WAV file must be 8000 Hz mono 16-bit PCM"), std::string::npos) << run.output;
    EXPECT_FALSE(FileExists(amr));

    run = RunCommand(AppFolder() + "amrnbenc.exe " + Quote(folder + "missing.wav") + " " + Quote(amr));
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.output.rfind("error: cannot open", 0), 0u) << run.output;

    run = RunCommand(AppFolder() + "amrnbenc.exe only-one-argument");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.output.rfind("error: use:", 0), 0u) << run.output;
}

} // namespace
