// VazoVeduz without iTunes, as on every machine that has none: it must end quietly and say why
// in the work folder's "log.txt", after what the log already holds.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/helpers/RunCommand.h"

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(VazoVeduzRun, WithoutITunesEndsQuietlyAndLogsWhy)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "movara handoff test\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    char here[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, here);
    const std::string program = std::string(here) + "\\" + appFolder + "VazoVeduz.exe";
    const std::string log = folder + "log.txt";
    const std::string video = folder + "clip one.mp4";
    std::ofstream(log, std::ios::binary) << "earlier record\r\n";
    std::ofstream(video, std::ios::binary) << "not really a video";

    // The command line the engine builds: the quoted path and a trailing space.
    RunResult run = RunCommand(Quote(program) + " \"" + video + "\" ", folder.c_str());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, "");
    run = RunCommand(Quote(program) + " \"" + folder + "gone.mp4\" ", folder.c_str());
    EXPECT_EQ(run.exitCode, 0u);
    run = RunCommand(Quote(program), folder.c_str());
    EXPECT_EQ(run.exitCode, 0u);

    EXPECT_EQ(ReadAll(log), "earlier record\r\n"
                            "VazoVeduz: iTunes is not installed; \"" + video + "\" was not added to iTunes\r\n"
                            "VazoVeduz: \"" + folder + "gone.mp4\" does not exist; nothing was added to iTunes\r\n"
                            "VazoVeduz: no file was given\r\n");
    EXPECT_TRUE(PathExists(video)) << "the video is never touched";
}

} // namespace
