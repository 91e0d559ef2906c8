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
    EXPECT_EQ(ScaleRandomDraw(5, 3, 32767), 5);
    EXPECT_EQ(ScaleRandomDraw(INT_MIN, INT_MAX, 32767), INT_MAX);
    EXPECT_EQ(ScaleRandomDraw(INT_MIN, INT_MAX, 16384), 65538);
    EXPECT_EQ(RandomInRange(-1, -2), -1);
}

// The shipped files of each family are read by the real conversions; here what names none.
TEST(DeviceProfiles, ValuesOutsideTheListsPickNoProfileFile) {
    for (const auto& [family, type] : {std::pair{2, 3}, {2, -1}, {6, 0}, {-1, 0}})
        EXPECT_EQ(ProfileFileIndex(DeviceFamily(family), ThreeGpType(type)), -1) << family << " " << type;
    EXPECT_EQ(ProfileFilePath(9) + ProfileFilePath(-1), "");
}

TEST(DeviceProfiles, NumbersReadLikeTheRuntimeWithoutOverflow) {
    const std::pair<const char*, int> cases[] = {{"  7", 7},
                                                 {"-3", -3},
                                                 {"12abc", 12},
                                                 {"abc", 0},
                                                 {"- 4", 0},
                                                 {"99999999999", INT_MAX},
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
        {1, "1", 5, 0},
        // Values that name no preset select the first one.
        {1, "0", 5, 0},
        {0, "5", 5, 0},
        {1, "6", 5, 0},
        {2, " 3x", 4, 2},
        {0, "1", 0, -1},
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

// Tasks added the way the task list adds them, each made unique among those already there. Letter case does not make
// another file name, in any script: Windows takes "ÉTÉ" and "été" for one file. Added within one second, tasks draw
// the same PSP number; at the top of the five digits the numbers go round.
TEST(UniqueTaskOutput, SameBaseNamesGetSuffixesAndTasksOfOneSecondTheirOwnPspNumbers) {
    std::vector<ConversionTask> list;
    std::vector<std::string> names;
    std::vector<int> numbers;
    for (const auto& [path, number] : {std::pair{"C:\\a\\clip.avi", 15000},
                                       {"C:\\b\\clip.wmv", 15000},
                                       {"C:\\a\\CLIP.mp4", 15000},
                                       {"C:\\a\\clip_2.avi", 15001},
                                       {"C:\\a\\été.avi", 99999},
                                       {"C:\\a\\ÉTÉ.wmv", 99999}}) {
        ConversionTask task = MakeNewTask(path, 10.0, number);
        MakeTaskOutputUnique(task, list);
        list.push_back(task);
        names.push_back(task.outputName);
        numbers.push_back(task.deviceFileNumber);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"clip", "clip_2", "CLIP_3", "clip_2_2", "été", "ÉTÉ_2"}));
    EXPECT_EQ(numbers, (std::vector<int>{15000, 15001, 15002, 15003, 99999, 10000}));
    // The title and the export's base stay the source's own; the Output column shows the new name from the start.
    EXPECT_EQ(list[1].title + list[1].exportBaseName, "clipclip");
    OutputSettings settings;
    settings.deviceFamily = DeviceFamily::Xbox;
    EXPECT_EQ(OutputNameShown(list[1], settings), "clip_2.mpg");
}

} // namespace
