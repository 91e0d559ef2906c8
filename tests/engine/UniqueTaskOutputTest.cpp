// No output of a run replaces another's: tasks added to the list get their own PSP number
// and output name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "tests/support/Files.h"
#include "engine/CommandTemplates.h"
#include "engine/ConversionRun.h"
#include "engine/EncoderRunner.h"
#include "engine/UniqueTaskOutput.h"

namespace {

// Adds tasks the way the task list does: each made unique among those already there.
std::vector<ConversionTask> AddAll(const std::vector<ConversionTask>& added) {
    std::vector<ConversionTask> list;
    for (ConversionTask task : added) {
        MakeTaskOutputUnique(task, list);
        list.push_back(task);
    }
    return list;
}

TEST(UniqueTaskOutput, SameBaseNamesGetSuffixes) {
    const std::vector<ConversionTask> list =
        AddAll({MakeNewTask("C:\\a\\clip.avi", 10.0, 15000), MakeNewTask("C:\\b\\clip.wmv", 10.0, 15001),
                MakeNewTask("C:\\a\\CLIP.mp4", 10.0, 15002), MakeNewTask("C:\\a\\clip_2.avi", 10.0, 15003),
                MakeNewTask("C:\\a\\other.avi", 10.0, 15004), MakeNewTask("C:\\a\\été.avi", 10.0, 15005),
                MakeNewTask("C:\\a\\ÉTÉ.wmv", 10.0, 15006)});
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[0].outputName, "clip");
    EXPECT_EQ(list[1].outputName, "clip_2");
    EXPECT_EQ(list[2].outputName, "CLIP_3"); // letter case does not make another file name
    EXPECT_EQ(list[3].outputName, "clip_2_2");
    EXPECT_EQ(list[4].outputName, "other");
    EXPECT_EQ(list[6].outputName, "ÉTÉ_2"); // nor in any other script: Windows takes "ÉTÉ" and "été" for one file
    // The title and the export's base stay the source's own.
    EXPECT_EQ(list[1].title, "clip");
    EXPECT_EQ(list[1].exportBaseName, "clip");
    // The Output column shows the new name from the start.
    OutputSettings settings;
    settings.deviceFamily = DeviceFamily::Xbox;
    EXPECT_EQ(OutputNameShown(list[1], settings), "clip_2.mpg");
}

TEST(UniqueTaskOutput, TasksOfOneSecondGetTheirOwnPspNumbers) {
    // Added within one second, every task draws the same number.
    const int drawn = NewDeviceFileNumber();
    const std::vector<ConversionTask> list =
        AddAll({MakeNewTask("C:\\a\\one.avi", 10.0, drawn), MakeNewTask("C:\\a\\one.avi", 10.0, drawn),
                MakeNewTask("C:\\a\\two.avi", 10.0, drawn), MakeNewTask("C:\\a\\three.avi", 10.0, drawn + 1)});
    EXPECT_EQ(list[0].deviceFileNumber, drawn);
    EXPECT_EQ(list[1].deviceFileNumber, drawn + 1);
    EXPECT_EQ(list[2].deviceFileNumber, drawn + 2);
    EXPECT_EQ(list[3].deviceFileNumber, drawn + 3);
    // The same file added twice: its own number and name too.
    EXPECT_EQ(list[1].outputName, "one_2");
    // At the top of the five digits the numbers go round.
    const std::vector<ConversionTask> top =
        AddAll({MakeNewTask("C:\\x.avi", 1.0, 99999), MakeNewTask("C:\\y.avi", 1.0, 99999)});
    EXPECT_EQ(top[1].deviceFileNumber, 10000);
    OutputSettings psp;
    psp.deviceFamily = DeviceFamily::Psp;
    EXPECT_NE(OutputNameShown(list[0], psp), OutputNameShown(list[1], psp));
}

// A run of two tasks that would have written one file: both outputs are there, each written
// by its own task's step.
class UniqueOutputsRun : public testing::Test {
protected:
    void SetUp() override {
        SetCurrentDirectoryA(work.Path().c_str());
        cancelRequested = false;
        host.settings.outputDirectory = output.Path();
        host.settings.profileIndex = 0;
    }

    void RunFamily(DeviceFamily family, const std::vector<std::string>& commands) {
        host.settings.deviceFamily = family;
        const std::string file = ProfileFilePath(ProfileFileIndex(family, ThreeGpType::Amr));
        work.Write(file.substr(file.find_last_of('\\') + 1), PresetProfile(commands));
        EXPECT_TRUE(RunConversion());
    }

    TempFolder work;
    TempFolder output;
    CurrentDirectoryGuard directoryGuard;
    WorkDirectoryOverride workOverride{work.Path()};
    PipelineHost host;
    HostInstalled installed{&host};
    RecordingSystemActions actions;
    SystemActionsInstalled actionsInstalled{&actions};
};

TEST_F(UniqueOutputsRun, SameBaseNameAndSameSecondBothKeepTheirOutputs) {
    // Each step writes its task's source path into the output: the file tells whose it is.
    const std::string writeSource = "--log \"$OUTPUT_DIR$OUTPUT_FILE";
    host.tasks = AddAll({MakeNewTask("C:\\a\\clip.avi", 10.0, 15000), MakeNewTask("C:\\b\\clip.wmv", 10.0, 15000)});
    RunFamily(DeviceFamily::PocketPc, {FakeCommand(writeSource + ".avi\" --source \"$INPUT_FILE\" --end")});
    EXPECT_TRUE(host.tasks[0].finished);
    EXPECT_TRUE(host.tasks[1].finished);
    EXPECT_NE(ReadWholeFile(output.Path() + "clip.avi").find("C:\\a\\clip.avi"), std::string::npos);
    EXPECT_NE(ReadWholeFile(output.Path() + "clip_2.avi").find("C:\\b\\clip.wmv"), std::string::npos);

    RunFamily(DeviceFamily::Psp, {FakeCommand("--end"), FakeCommand(writeSource + ".MP4\" --source \"$INPUT_FILE\" --end")});
    EXPECT_TRUE(host.tasks[0].finished);
    EXPECT_TRUE(host.tasks[1].finished);
    EXPECT_NE(ReadWholeFile(output.Path() + "M4V15000.MP4").find("C:\\a\\clip.avi"), std::string::npos);
    EXPECT_NE(ReadWholeFile(output.Path() + "M4V15001.MP4").find("C:\\b\\clip.wmv"), std::string::npos);
    for (const char* name : {"clip.avi", "clip_2.avi", "M4V15000.MP4", "M4V15001.MP4"}) {
        DeleteFileA((output.Path() + name).c_str());
    }
}

} // namespace
