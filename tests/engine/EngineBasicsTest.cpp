#include <climits>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

#include "EngineTestSupport.h"
#include "engine/DeviceProfiles.h"
#include "engine/FileIdentity.h"
#include "engine/FinishingActions.h"
#include "engine/PipelineFiles.h"
#include "engine/UniqueTaskOutput.h"
#include "engine/EngineGlobals.h"
#include "engine/RandomInRange.h"

namespace {

TEST(RandomInRange, ScalesTheDrawOverTheRangeAndOneBeyond)
{
    EXPECT_EQ(ScaleRandomDraw(10, 20, 0), 10);
    EXPECT_EQ(ScaleRandomDraw(10, 20, 32767), 21);
    EXPECT_EQ(ScaleRandomDraw(10, 20, 16383), 15);
    EXPECT_EQ(ScaleRandomDraw(5, 3, 32767), 5);
    // 32767 * 1000001 does not fit in 32 bits.
    EXPECT_EQ(ScaleRandomDraw(0, 1000000, 32767), 1000001);
    EXPECT_EQ(ScaleRandomDraw(INT_MIN, INT_MAX, 0), INT_MIN);
    EXPECT_EQ(ScaleRandomDraw(INT_MIN, INT_MAX, 32767), INT_MAX);
    EXPECT_EQ(ScaleRandomDraw(INT_MIN, INT_MAX, 16384), 65538);
}

TEST(RandomInRange, StaysWithinTheBounds)
{
    EXPECT_EQ(RandomInRange(5, 3), 5);
    EXPECT_EQ(RandomInRange(-1, -2), -1);
    for (int i = 0; i < 50; ++i) {
        const int value = RandomInRange(10000, 20000);
        EXPECT_GE(value, 10000);
        EXPECT_LE(value, 20001);
        const int single = RandomInRange(7, 7);
        EXPECT_TRUE(single == 7 || single == 8) << single;
    }
}

TEST(DeviceProfiles, FamilyPicksItsProfileFile)
{
    const struct {
        int family, threeGpType, fileIndex;
    } cases[] = {{0, 2, 0}, {1, 2, 1}, {2, 0, 2}, {2, 1, 3}, {2, 2, 4}, {2, 3, -1}, {2, -1, -1},
                 {3, 0, 5}, {4, 0, 6}, {5, 0, 7}, {6, 0, -1}, {-1, 0, -1}};
    for (const auto& c : cases) {
        const DeviceFamily family = static_cast<DeviceFamily>(c.family);
        EXPECT_EQ(ProfileFileIndex(family, static_cast<ThreeGpType>(c.threeGpType)), c.fileIndex) << c.family << "/"
                                                                                                 << c.threeGpType;
    }
    EXPECT_EQ(ProfileFilePath(4), ".\\3GP2_AAC_Profile.ini");
    EXPECT_EQ(ProfileFilePath(9), "");
    EXPECT_EQ(ProfileFilePath(-1), "");
}

TEST(DeviceProfiles, NumbersReadLikeTheRuntimeWithoutOverflow)
{
    const struct {
        const char* text;
        int value;
    } cases[] = {{"42", 42},   {"  7", 7},          {"\t8", 8},  {"-3", -3},
                 {"+5", 5},    {"12abc", 12},       {"abc", 0},  {"", 0},
                 {"- 4", 0},   {"99999999999", INT_MAX}, {"-99999999999", INT_MIN}, {"2147483648", INT_MAX}};
    for (const auto& c : cases) {
        EXPECT_EQ(ProfileTextToInt(c.text), c.value) << c.text;
    }
}

TEST(DeviceProfiles, DefaultProfileIsZeroBasedOnlyForIpod)
{
    const struct {
        int fileIndex;
        const char* text;
        int presetCount, listIndex;
    } cases[] = {
        {0, "2", 5, 2}, {1, "2", 5, 1}, {7, "5", 5, 4}, {0, "0", 5, 0}, {1, "1", 5, 0},
        // Values that name no preset select the first one.
        {1, "0", 5, 0}, {1, "", 5, 0}, {0, "5", 5, 0}, {1, "6", 5, 0}, {0, "-1", 3, 0}, {2, " 3x", 4, 2},
        {0, "1", 0, -1}, {1, "1", 0, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultPresetIndex(c.fileIndex, c.text, c.presetCount), c.listIndex)
            << c.fileIndex << " '" << c.text << "' of " << c.presetCount;
    }
}

// The tests change the process-wide folders; each puts them back.
class ProgramDirectory : public testing::Test {
protected:
    void SetUp() override { saved = {programDirectory, workDirectory}; }
    void TearDown() override
    {
        lstrcpynA(programDirectory, saved.first.c_str(), pathBufferSize);
        lstrcpynA(workDirectory, saved.second.c_str(), pathBufferSize);
    }
    std::pair<std::string, std::string> saved;
};

TEST_F(ProgramDirectory, SplitsDriveAndFolderOffTheProgramFile)
{
    EXPECT_EQ(ProgramDirectoryOf("C:\\Program Files\\Movara\\movara.exe"), "C:\\Program Files\\Movara\\");
    EXPECT_EQ(ProgramDirectoryOf("\\\\server\\share\\movara.exe"), "\\\\server\\share\\");
    EXPECT_EQ(ProgramDirectoryOf("movara.exe"), ".\\");
    ASSERT_TRUE(SetProgramDirectory("C:\\movara.exe"));
    EXPECT_STREQ(programDirectory, "C:\\");
    EXPECT_STREQ(workDirectory, "C:\\app");
    // A folder of 257 characters plus "app" leaves no room for the terminator; 256 fit.
    EXPECT_FALSE(SetProgramDirectory("C:\\" + std::string(253, 'd') + "\\movara.exe"));
    EXPECT_STREQ(workDirectory, "C:\\app");
    const std::string fits = "C:\\" + std::string(252, 'd') + "\\";
    EXPECT_TRUE(SetProgramDirectory(fits + "movara.exe"));
    EXPECT_EQ(workDirectory, fits + "app");
}

TEST_F(ProgramDirectory, FollowsTheRunningProgram)
{
    ASSERT_TRUE(InitProgramDirectory());
    const std::string folder = programDirectory;
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_EQ(workDirectory, folder + "app");
    EXPECT_NE(GetFileAttributesA((folder + "engine_tests.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(FinishingActions, HandOffGetsTheWholeQuotedPath) {
    RecordingSystemActions actions;
    SystemActionsInstalled installed(&actions);
    const std::string longPath = "D:\\" + std::string(300, 'v') + "\\clip one.mp4";
    AddToITunes("D:\\Videos\\clip one.mp4");
    AddToITunes(longPath);
    EXPECT_EQ(actions.handOffs,
              (std::vector<std::string>{"VazoVeduz \"D:\\Videos\\clip one.mp4\" ", "VazoVeduz \"" + longPath + "\" "}));
    EXPECT_TRUE(actions.sessionEnds.empty());
}

TEST(FinishingActions, ShutDownByPlatformAndPrivilege) {
    const std::string refused = "Your computer cannot shutdown|Warning|16";
    const struct {
        const char* what;
        int platform;
        bool privilege;
        bool accepted;
        int privilegeRequests;
        std::vector<unsigned> sessionEnds;
        std::vector<std::string> messages;
    } cases[] = {
        {"NT", VER_PLATFORM_WIN32_NT, true, true, 1, {EWX_POWEROFF | EWX_FORCE}, {}},
        {"NT without the privilege", VER_PLATFORM_WIN32_NT, false, true, 1, {}, {refused}},
        {"NT refusing to end", VER_PLATFORM_WIN32_NT, true, false, 1, {EWX_POWEROFF | EWX_FORCE}, {refused}},
        {"9x", VER_PLATFORM_WIN32_WINDOWS, false, true, 0, {EWX_SHUTDOWN}, {}},
        {"unknown platform", 0, true, true, 0, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSystemActions actions;
        actions.platformId = c.platform;
        actions.privilegeGranted = c.privilege;
        actions.sessionEndAccepted = c.accepted;
        SystemActionsInstalled installed(&actions);
        ShutDownComputer();
        EXPECT_EQ(actions.privilegeRequests, c.privilegeRequests);
        EXPECT_EQ(actions.sessionEnds, c.sessionEnds);
        EXPECT_EQ(actions.messages, c.messages);
        EXPECT_TRUE(actions.handOffs.empty());
    }
}

TEST(FileIdentity, SameFileIgnoresCaseAndSpelling) {
    TempFolder folder;
    const std::string file = folder.Write("Clip.mp4", "x");
    EXPECT_TRUE(IsSameFile(file, folder.Path() + "CLIP.MP4"));
    EXPECT_TRUE(IsSameFile(file, folder.Path() + "sub\\..\\clip.mp4"));
    EXPECT_TRUE(IsSameFile("D:\\Videos\\a.mp4", "d:\\videos\\A.MP4"));
    EXPECT_FALSE(IsSameFile(file, folder.Path() + "Clip.mp4.avi"));
    EXPECT_FALSE(IsSameFile("D:\\Videos\\a.mp4", "D:\\Videos\\b.mp4"));
    EXPECT_FALSE(IsSameFile("", ""));
}

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

} // namespace
