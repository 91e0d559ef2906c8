// VazoVeduz without iTunes, as on every machine that has none: it must end quietly and say why
// in the work folder's "log.txt", after what the log already holds.
#include <gtest/gtest.h>

#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"

namespace {

TEST(VazoVeduzRun, WithoutITunesEndsQuietlyAndLogsWhy) {
    const TempFolder temp;
    const std::string& folder = temp.Path();
    const std::string program = AppFolder() + "VazoVeduz.exe";
    const std::string log = temp.Write("log.txt", "earlier record\r\n");
    // A UTF-8 name: found and logged as it is only in the UTF-8 code page.
    const std::string video = temp.Write("clip été 日本 😀.mp4", "not really a video");

    // The command line the engine builds: the quoted path and a trailing space.
    ChildRun run = RunCommand(Quote(program) + " \"" + video + "\" ", folder);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, "");
    run = RunCommand(Quote(program) + " \"" + folder + "gone.mp4\" ", folder);
    EXPECT_EQ(run.exitCode, 0u);
    run = RunCommand(Quote(program), folder);
    EXPECT_EQ(run.exitCode, 0u);

    EXPECT_EQ(ReadWholeFile(log), "earlier record\r\n"
                                  "VazoVeduz: iTunes is not installed; \"" +
                                      video +
                                      "\" was not added to iTunes\r\n"
                                      "VazoVeduz: \"" +
                                      folder +
                                      "gone.mp4\" does not exist; nothing was added to iTunes\r\n"
                                      "VazoVeduz: no file was given\r\n");
    EXPECT_TRUE(FileExists(video)) << "the video is never touched";
}

} // namespace
