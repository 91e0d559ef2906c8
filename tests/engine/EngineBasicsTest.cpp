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

TEST(RandomInRange, ScalesTheDrawOverTheRangeAndOneBeyondWithoutOverflow) {
    EXPECT_EQ(ScaleRandomDraw(10, 20, 0), 10);
    EXPECT_EQ(ScaleRandomDraw(10, 20, 32767), 21);
    EXPECT_EQ(ScaleRandomDraw(10, 20, 16383), 15);
    EXPECT_EQ(ScaleRandomDraw(5, 3, 32767), 5);
    EXPECT_EQ(ScaleRandomDraw(0, 1000000, 32767), 1000001);
    EXPECT_EQ(ScaleRandomDraw(INT_MIN, INT_MAX, 32767), INT_MAX);
    EXPECT_EQ(ScaleRandomDraw(INT_MIN, INT_MAX, 16384), 65538);
    EXPECT_EQ(RandomInRange(-1, -2), -1);
    const int value = RandomInRange(10000, 20000);
    EXPECT_TRUE(value >= 10000 && value <= 20001) << value;
}

TEST(DeviceProfiles, FamilyPicksItsProfileFile) {
    const struct {
        int family, threeGpType, fileIndex;
    } cases[] = {{0, 2, 0},   {1, 2, 1}, {2, 0, 2}, {2, 1, 3}, {2, 2, 4},  {2, 3, -1},
                 {2, -1, -1}, {3, 0, 5}, {4, 0, 6}, {5, 0, 7}, {6, 0, -1}, {-1, 0, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(ProfileFileIndex(DeviceFamily(c.family), ThreeGpType(c.threeGpType)), c.fileIndex) << c.family;
    EXPECT_EQ(ProfileFilePath(4), ".\\3GP2_AAC_Profile.ini");
    EXPECT_EQ(ProfileFilePath(9), "");
    EXPECT_EQ(ProfileFilePath(-1), "");
}

TEST(DeviceProfiles, NumbersReadLikeTheRuntimeWithoutOverflow) {
    const std::pair<const char*, int> cases[] = {{"  7", 7},
                                                 {"\t8", 8},
                                                 {"-3", -3},
                                                 {"+5", 5},
                                                 {"12abc", 12},
                                                 {"abc", 0},
                                                 {"", 0},
                                                 {"- 4", 0},
                                                 {"99999999999", INT_MAX},
                                                 {"-99999999999", INT_MIN},
                                                 {"2147483648", INT_MAX}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ProfileTextToInt(text), value) << text;
}

TEST(DeviceProfiles, DefaultProfileIsZeroBasedOnlyForIpod) {
    const struct {
        int fileIndex;
        const char* text;
        int presetCount, listIndex;
    } cases[] = {
        {0, "2", 5, 2},
        {1, "2", 5, 1},
        {7, "5", 5, 4},
        {0, "0", 5, 0},
        {1, "1", 5, 0},
        // Values that name no preset select the first one.
        {1, "0", 5, 0},
        {1, "", 5, 0},
        {0, "5", 5, 0},
        {1, "6", 5, 0},
        {0, "-1", 3, 0},
        {2, " 3x", 4, 2},
        {0, "1", 0, -1},
        {1, "1", 0, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DefaultPresetIndex(c.fileIndex, c.text, c.presetCount), c.listIndex)
            << c.fileIndex << " '" << c.text << "' of " << c.presetCount;
}

// The process-wide folders, put back at the end.
TEST(ProgramDirectory, SplitsDriveAndFolderOffTheProgramFileAndFollowsTheRunningProgram) {
    const std::string savedProgram = programDirectory;
    WorkDirectoryOverride savedWork(workDirectory);
    EXPECT_EQ(ProgramDirectoryOf("C:\\Program Files\\Movara\\movara.exe"), "C:\\Program Files\\Movara\\");
    EXPECT_EQ(ProgramDirectoryOf("\\\\server\\share\\movara.exe"), "\\\\server\\share\\");
    EXPECT_EQ(ProgramDirectoryOf("movara.exe"), ".\\");
    EXPECT_TRUE(SetProgramDirectory("C:\\movara.exe"));
    EXPECT_STREQ(programDirectory, "C:\\");
    EXPECT_STREQ(workDirectory, "C:\\app");
    // A folder of 257 characters plus "app" leaves no room for the terminator; 256 fit.
    EXPECT_FALSE(SetProgramDirectory("C:\\" + std::string(253, 'd') + "\\movara.exe"));
    EXPECT_STREQ(workDirectory, "C:\\app");
    const std::string fits = "C:\\" + std::string(252, 'd') + "\\";
    EXPECT_TRUE(SetProgramDirectory(fits + "movara.exe"));
    EXPECT_EQ(workDirectory, fits + "app");
    EXPECT_TRUE(InitProgramDirectory());
    EXPECT_TRUE(FileExists(std::string(programDirectory) + "engine_tests.exe"));
    EXPECT_EQ(workDirectory, std::string(programDirectory) + "app");
    lstrcpynA(programDirectory, savedProgram.c_str(), pathBufferSize);
}

TEST(FinishingActions, HandOffGetsTheWholeQuotedPath) {
    RecordingSystemActions actions;
    SystemActionsInstalled installed(&actions);
    const std::string longPath = "D:\\" + std::string(300, 'v') + "\\clip one.mp4";
    AddToITunes(longPath);
    EXPECT_EQ(actions.handOffs, std::vector<std::string>{"VazoVeduz \"" + longPath + "\" "});
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

// Adds tasks the way the task list does, each made unique among those already there; their output names and
// device file numbers.
std::vector<ConversionTask> AddAll(const std::vector<ConversionTask>& added, std::vector<std::string>* names = nullptr,
                                   std::vector<int>* numbers = nullptr) {
    std::vector<ConversionTask> list;
    for (ConversionTask task : added) {
        MakeTaskOutputUnique(task, list);
        list.push_back(task);
        if (names)
            names->push_back(task.outputName);
        if (numbers)
            numbers->push_back(task.deviceFileNumber);
    }
    return list;
}

TEST(UniqueTaskOutput, SameBaseNamesGetSuffixes) {
    std::vector<std::string> names;
    const std::vector<ConversionTask> list =
        AddAll({MakeNewTask("C:\\a\\clip.avi", 10.0, 15000), MakeNewTask("C:\\b\\clip.wmv", 10.0, 15001),
                MakeNewTask("C:\\a\\CLIP.mp4", 10.0, 15002), MakeNewTask("C:\\a\\clip_2.avi", 10.0, 15003),
                MakeNewTask("C:\\a\\été.avi", 10.0, 15005), MakeNewTask("C:\\a\\ÉTÉ.wmv", 10.0, 15006)},
               &names);
    // Letter case does not make another file name, in any script: Windows takes "ÉTÉ" and "été" for one file.
    EXPECT_EQ(names, (std::vector<std::string>{"clip", "clip_2", "CLIP_3", "clip_2_2", "été", "ÉTÉ_2"}));
    // The title and the export's base stay the source's own; the Output column shows the new name from the start.
    EXPECT_EQ(list[1].title + list[1].exportBaseName, "clipclip");
    OutputSettings settings;
    settings.deviceFamily = DeviceFamily::Xbox;
    EXPECT_EQ(OutputNameShown(list[1], settings), "clip_2.mpg");
}

TEST(UniqueTaskOutput, TasksOfOneSecondGetTheirOwnPspNumbers) {
    // Added within one second, every task draws the same number; the same file added twice gets its own too. At the
    // top of the five digits the numbers go round.
    std::vector<std::string> names;
    std::vector<int> numbers;
    AddAll({MakeNewTask("C:\\a\\one.avi", 10.0, 15000), MakeNewTask("C:\\a\\one.avi", 10.0, 15000),
            MakeNewTask("C:\\a\\two.avi", 10.0, 15000), MakeNewTask("C:\\a\\three.avi", 10.0, 15001),
            MakeNewTask("C:\\x.avi", 1.0, 99999), MakeNewTask("C:\\y.avi", 1.0, 99999)},
           &names, &numbers);
    EXPECT_EQ(numbers, (std::vector<int>{15000, 15001, 15002, 15003, 99999, 10000}));
    EXPECT_EQ(names[1], "one_2");
}

} // namespace
