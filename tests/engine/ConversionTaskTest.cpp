#include <gtest/gtest.h>

#include "engine/ConversionTask.h"

namespace {

struct PathCase {
    const char* path;
    const char* baseName;
    int needsExport;
};

TEST(ConversionTask, BaseNameAndRealMediaFromPath)
{
    const PathCase cases[] = {
        {"C:\\Videos\\clip.avi", "clip", 0},
        {"C:\\Videos\\a.b.rmvb", "a.b", 1},
        {"C:\\Videos\\charm.avi", "charm", 0},   // "rm" before the last dot does not count
        {"C:\\Videos\\movie.rm", "movie", 1},
        {"C:\\Videos\\MOVIE.RMVB", "MOVIE", 1},  // file names ignore case
        {"C:\\Videos\\x.farm", "x", 1},          // anywhere after the last dot
        {"C:\\old.rmvb\\movie", "movie", 0},   // dots in folder names are no extension
        {"C:\\my.folder\\movie.mpg", "movie", 0},
        {"D:/films/trip.rmvb", "trip", 1},
        {"D:\\mixed/sub\\x.y.wmv", "x.y", 0},
        {"clip.avi", "clip", 0},
        {"C:\\Videos\\noext", "noext", 0},
        {"C:\\Videos\\trailing.", "trailing", 0},
        {"C:\\Videos\\.rm", "", 1},
        {"", "", 0},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(TaskBaseName(c.path), c.baseName) << c.path;
        EXPECT_EQ(IsRealMediaPath(c.path), c.needsExport == 1) << c.path;
    }
}

TEST(ConversionTask, NewTaskHasTheInitialValuesAndNothingElse)
{
    ConversionTask expected;
    expected.sourcePath = "E:\\in\\a.b.rmvb";
    expected.outputName = "a.b";
    expected.endTime = 93.5;
    expected.title = "a.b";
    expected.exportBaseName = "a.b";
    expected.checked = true;
    expected.deviceFileNumber = 12345;
    expected.needsExport = true;
    EXPECT_EQ(MakeNewTask("E:\\in\\a.b.rmvb", 93.5, 12345), expected);
}

TEST(ConversionTask, NewTaskDrawsItsDeviceFileNumberFromBothRanges)
{
    for (int i = 0; i < 20; ++i) {
        const ConversionTask task = MakeNewTask("C:\\v\\clip.avi", 10.0);
        EXPECT_GE(task.deviceFileNumber, 10000);
        EXPECT_LE(task.deviceFileNumber, 20001 + 1001);
        EXPECT_FALSE(task.needsExport);
        EXPECT_TRUE(task.checked);
    }
}

} // namespace
