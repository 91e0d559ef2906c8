// pmpmux and VazoVeduz as the pipelines run them, on files of the test's own.
#include <gtest/gtest.h>

#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"

namespace {

// Each failure says why in one line, leaves no output, and never writes over an input, whatever the letter case of
// its name (the file system takes "ÉTÉ" for "été"). The output is checked before anything is read.
TEST(PmpMuxRun, FailuresSayWhyAndLeaveNoFile) {
    const TempFolder temp;
    const std::string video = temp.Write("clip été.avi", "RIFF, but no AVI"), audio = temp.Write("clip.mp3", "ID3");
    const std::string out = temp.Path() + "failed.pmp", inputs = " -v " + Quote(video) + " -a " + Quote(audio);
    const std::pair<std::string, const char*> cases[] = {
        {"-v " + Quote(temp.Path() + "missing.avi") + " -a " + Quote(audio) + " -o " + Quote(out),
         "error: cannot open"},
        {inputs + " -o " + Quote(out), "error: the video file is not an AVI file"},
        {inputs + " -o " + Quote(video), "error: the output file is one of the input files"},
        {inputs + " -o " + Quote(temp.Path() + "CLIP ÉTÉ.AVI"), "error: the output file is one of the input files"},
        {"-x", "error: unknown option -x"},
    };
    for (const auto& [arguments, error] : cases) {
        SCOPED_TRACE(arguments);
        const ChildRun run = RunCommand(AppFolder() + "pmpmux.exe " + arguments);
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_EQ(run.output.rfind(error, 0), 0u) << run.output;
        EXPECT_FALSE(FileExists(out));
        EXPECT_EQ(ReadWholeFile(video), "RIFF, but no AVI") << "the input is untouched";
    }
}

// Without iTunes, as on every machine that has none, VazoVeduz must end quietly and say why in the work folder's
// "log.txt", after what the log already holds.
TEST(VazoVeduzRun, WithoutITunesEndsQuietlyAndLogsWhy) {
    const TempFolder temp;
    const std::string& folder = temp.Path();
    const std::string program = AppFolder() + "VazoVeduz.exe";
    const std::string log = temp.Write("log.txt", "earlier record\r\n");
    // A UTF-8 name: found and logged as it is only in the UTF-8 code page.
    const std::string video = temp.Write("clip été 日本 😀.mp4", "not really a video");

    // The command lines the engine builds (the quoted path and a trailing space), and one without a file.
    for (const std::string& arguments : {" \"" + video + "\" ", " \"" + folder + "gone.mp4\" ", std::string()}) {
        const ChildRun run = RunCommand(Quote(program) + arguments, folder);
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(run.output, "");
    }
    const std::string said = "VazoVeduz: iTunes is not installed; \"" + video + "\" was not added to iTunes\r\n";
    const std::string gone = "VazoVeduz: \"" + folder + "gone.mp4\" does not exist; nothing was added to iTunes\r\n";
    EXPECT_EQ(ReadWholeFile(log), "earlier record\r\n" + said + gone + "VazoVeduz: no file was given\r\n");
    EXPECT_TRUE(FileExists(video)) << "the video is never touched";
}

} // namespace
