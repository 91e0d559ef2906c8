// Two tasks of one run that would once have written one file: sources with the same base name,
// and PSP tasks added within the same second. Converted for real, both outputs exist, each
// as long as its own source.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/CommandTemplates.h"
#include "engine/ConversionRun.h"
#include "engine/ConversionTask.h"
#include "engine/EngineGlobals.h"
#include "engine/UniqueTaskOutput.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"

namespace {

class UniqueOutputConversion : public testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        const std::string root = std::string(temp) + "movara unique outputs\\";
        sources = root + "sources\\";
        output = root + "out\\";
        for (const std::string& folder : {root, sources, sources + "other\\", output})
            CreateDirectoryA(folder.c_str(), nullptr);
        work = FullPathOf(AppFolder());
        if (!work.empty() && work.back() == '\\')
            work.pop_back();
    }

    // A clip of `seconds` made by ffmpeg.
    std::string Clip(const std::string& path, int seconds)
    {
        EXPECT_TRUE(MakeClip(path, seconds, "-shortest -c:v mpeg4 -c:a aac")) << path;
        return path;
    }

    // Adds the tasks as the task list does, each made unique among those before it, and
    // converts them all in one run.
    std::vector<ConversionTask> ConvertAll(const std::vector<ConversionTask>& added, OutputSettings settings)
    {
        CurrentDirectoryGuard directory;
        WorkDirectoryOverride workFolder(work);
        FakeHost host;
        settings.outputDirectory = output;
        host.settings = settings;
        for (ConversionTask task : added) {
            MakeTaskOutputUnique(task, host.tasks);
            host.tasks.push_back(task);
        }
        HostInstalled installed(&host);
        RecordingSystemActions actions;
        SystemActionsInstalled replaced(&actions);
        EXPECT_TRUE(RunConversion());
        return host.tasks;
    }

    double Duration(const std::string& file)
    {
        return std::atof(RunCommand(AppFolder() + "ffprobe.exe -v error -show_entries format=duration -of "
                                                "default=nw=1:nk=1 " + Quote(output + file)).output.c_str());
    }

    std::string sources, output, work;
};

TEST_F(UniqueOutputConversion, SameBaseNameGivesTwoOutputs)
{
    const std::string first = Clip(sources + "clip.avi", 2);
    const std::string second = Clip(sources + "other\\clip.mp4", 4);
    OutputSettings pocketPc;
    pocketPc.deviceFamily = DeviceFamily::PocketPc;
    pocketPc.profileIndex = 0;
    const std::vector<ConversionTask> tasks =
        ConvertAll({MakeNewTask(first, 2.0), MakeNewTask(second, 4.0)}, pocketPc);
    ASSERT_EQ(tasks.size(), 2u);
    EXPECT_EQ(OutputNameShown(tasks[0], pocketPc), "clip.avi");
    EXPECT_EQ(OutputNameShown(tasks[1], pocketPc), "clip_2.avi");
    EXPECT_TRUE(tasks[0].finished);
    EXPECT_TRUE(tasks[1].finished);
    EXPECT_NEAR(Duration("clip.avi"), 2.0, 0.3);
    EXPECT_NEAR(Duration("clip_2.avi"), 4.0, 0.3);
    DeleteFileA((output + "clip.avi").c_str());
    DeleteFileA((output + "clip_2.avi").c_str());
}

TEST_F(UniqueOutputConversion, PspTasksAddedInOneSecondGiveTwoOutputs)
{
    const std::string first = Clip(sources + "first.avi", 2);
    const std::string second = Clip(sources + "second.avi", 4);
    // Added within one second, both draw the same device file number.
    const int drawn = NewDeviceFileNumber();
    OutputSettings psp;
    psp.deviceFamily = DeviceFamily::Psp;
    psp.profileIndex = 0;
    const std::vector<ConversionTask> tasks =
        ConvertAll({MakeNewTask(first, 2.0, drawn), MakeNewTask(second, 4.0, drawn)}, psp);
    ASSERT_EQ(tasks.size(), 2u);
    const std::string firstName = OutputNameShown(tasks[0], psp);
    const std::string secondName = OutputNameShown(tasks[1], psp);
    EXPECT_NE(firstName, secondName);
    EXPECT_TRUE(tasks[0].finished);
    EXPECT_TRUE(tasks[1].finished);
    EXPECT_NEAR(Duration(firstName), 2.0, 0.3);
    EXPECT_NEAR(Duration(secondName), 4.0, 0.3);
    for (const std::string& name : {firstName, secondName}) {
        DeleteFileA((output + name).c_str());
        DeleteFileA((output + name.substr(0, name.size() - 4) + ".THM").c_str());
    }
}

} // namespace
