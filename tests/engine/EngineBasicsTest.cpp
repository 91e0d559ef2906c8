#include <climits>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <utility>
#include <windows.h>

#include "engine/DeviceProfiles.h"
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
        EXPECT_EQ(ProfileFileIndex(static_cast<DeviceFamily>(c.family), static_cast<ThreeGpType>(c.threeGpType)), c.fileIndex) << c.family << "/" << c.threeGpType;
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

} // namespace
