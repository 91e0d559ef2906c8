// amrnbenc as the 3GP pipeline runs it: 8000 Hz mono PCM in, AMR-NB out.
#include <gtest/gtest.h>

#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"

namespace {

ChildRun AmrNbEnc(const std::string& arguments) {
    return RunCommand(AppFolder() + "amrnbenc.exe " + arguments);
}

// A bit rate picks the highest mode at or below it, the lowest for less: "#!AMR\n", then 100 frames of 20 ms, each
// starting with the mode's byte (mode << 3 | 4) and of its size.
TEST(AmrNbEncRun, EncodesTwoSecondsAtEveryModeBoundary) {
    const TempFolder temp;
    const std::string wav = temp.Path() + "speech.wav", amr = temp.Path() + "speech.amr";
    ASSERT_TRUE(MakeClip(wav, 2, "-ar 8000 -ac 1 -c:a pcm_s16le", ClipContent::Tone));
    const struct {
        const char* bitrate;
        unsigned char header;
        std::size_t frameBytes;
    } cases[] = {{"12200", 0x3C, 32}, {"12199", 0x34, 27}, {"7950", 0x2C, 21}, {"4750", 0x04, 13}, {"1", 0x04, 13}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bitrate);
        DeleteFileA(amr.c_str());
        const ChildRun run = AmrNbEnc("-b " + std::string(c.bitrate) + " " + Quote(wav) + " " + Quote(amr));
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        EXPECT_EQ(run.output, "");
        const std::string bytes = ReadWholeFile(amr);
        ASSERT_EQ(bytes.size(), 6u + 100u * c.frameBytes);
        EXPECT_EQ(bytes.substr(0, 6), "#!AMR\n");
        EXPECT_EQ(static_cast<unsigned char>(bytes[6]), c.header);
    }
}

TEST(AmrNbEncRun, RefusesWhatItCannotEncode) {
    const TempFolder temp;
    const std::string stereo = temp.Path() + "stereo.wav", amr = Quote(temp.Path() + "refused.amr");
    ASSERT_TRUE(MakeClip(stereo, 2, "-ar 44100 -ac 2 -c:a pcm_s16le", ClipContent::Tone));
    const std::pair<std::string, const char*> cases[] = {
        {Quote(stereo) + " " + amr, "error: the WAV file must be 8000 Hz mono 16-bit PCM"},
        {Quote(temp.Path() + "missing.wav") + " " + amr, "error: cannot open"},
        {"only-one-argument", "error: use:"},
    };
    for (const auto& [arguments, error] : cases) {
        const ChildRun run = AmrNbEnc(arguments);
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_EQ(run.output.rfind(error, 0), 0u) << run.output;
        EXPECT_FALSE(FileExists(temp.Path() + "refused.amr"));
    }
}

} // namespace
