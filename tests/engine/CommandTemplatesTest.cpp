#include <climits>
#include <gtest/gtest.h>
#include <limits>

#include "tests/engine/EngineValues.h"
#include <string>
#include <vector>

#include "engine/CommandTemplates.h"
#include "engine/ConversionTask.h"
#include "engine/PipelineFiles.h"
#include "engine/TimeText.h"

namespace {

TEST(CommandTemplates, OptionTextsAndTimestamp)
{
    EXPECT_EQ(StartOptionText(3725.9), " -ss 01:02:05");
    EXPECT_EQ(LengthOptionText(10.6, 20.2), " -t 00:00:09"); // the length before truncation
    EXPECT_EQ(LengthOptionText(0.0, 360000.0), " -t 100:00:00");
    EXPECT_EQ(FormatTimestamp(2024, 3, 7, 9, 5, 1), "2024-03-07 09:05:01");
}

TEST(CommandTemplates, ReplaceAllTakesEveryOccurrenceOnce)
{
    std::string text = "$A and $A, $AB";
    ReplaceAll(text, "$A", "x$Ay");
    EXPECT_EQ(text, "x$Ay and x$Ay, x$AyB");
}

class TemplateTest : public testing::Test {
protected:
    TemplateTest()
    {
        task = MakeNewTask("C:\\in\\Holiday.avi", 20.2, 12345);
        task.beginTime = 10.6;
        settings.outputDirectory = "D:\\out\\";
    }
    std::string Common(const std::string& text) { return ExpandCommandTemplate(text, task, settings, "TS"); }
    std::string Preset(const std::string& text) { return ExpandPresetTemplate(text, task, settings, "TS"); }

    ConversionTask task;
    OutputSettings settings;
};

TEST_F(TemplateTest, CommonVariables)
{
    settings.deviceFamily = DeviceFamily::Xbox;
    EXPECT_EQ(Common("x -i \"$INPUT_FILE\" -ss $START -t $LENGTH -title \"$TITLE\" $TIMESTAMP "
                     "\"$OUTPUT_DIR$OUTPUT_FILE.mpg\" \"$OUTPUT_DIR$OUTPUT_FILE_temp.avi\" $VCODEC"),
              "x -i \"C:\\in\\Holiday.avi\" -ss 00:00:10 -t 00:00:09 -title \"Holiday\" TS "
              "\"D:\\out\\Holiday.mpg\" \"D:\\out\\Holiday_temp.avi\" $VCODEC");
    task.beginTime = 3725.9;
    task.endTime = 3725.9;
    EXPECT_EQ(Common("$START/$LENGTH"), "01:02:05/00:00:00");
}

TEST_F(TemplateTest, ReplacementOrderAppliesLaterVariablesToEarlierValues)
{
    task.sourcePath = "C:\\in\\$TITLE.avi";
    task.title = "T $OUTPUT_DIR";
    settings.outputDirectory = "D:\\$TITLE\\";
    EXPECT_EQ(Common("$INPUT_FILE|$TITLE|$OUTPUT_DIR"), "C:\\in\\T D:\\$TITLE\\.avi|T D:\\$TITLE\\|D:\\$TITLE\\");
    EXPECT_EQ(Preset("$INPUT_FILE|$TITLE|$OUTPUT_DIR"), "C:\\in\\T D:\\$TITLE\\.avi|T D:\\$TITLE\\|D:\\$TITLE\\");
}

TEST_F(TemplateTest, ExportedSourceHasNoTimeOptions)
{
    task.needsExport = true;
    task.exportPath = "C:\\app\\Holiday_export.avi";
    EXPECT_EQ(Common("-i \"$INPUT_FILE\"|$START|$LENGTH|"), "-i \"C:\\app\\Holiday_export.avi\"| | |");
    EXPECT_EQ(Preset("-i \"$INPUT_FILE\"$START$LENGTH -y"), "-i \"C:\\app\\Holiday_export.avi\"   -y");
}

TEST_F(TemplateTest, PspFileNameDependsOnThePreset)
{
    settings.deviceFamily = DeviceFamily::Psp;
    settings.profileIndex = 15;
    EXPECT_EQ(Common("$OUTPUT_FILE.MP4"), "M4V12345.MP4");
    EXPECT_EQ(OutputNameShown(task, settings), "M4V12345.MP4");
    settings.profileIndex = 16;
    EXPECT_EQ(Common("$OUTPUT_FILE.MP4"), "MAQ12345.MP4");
    EXPECT_EQ(OutputNameShown(task, settings), "MAQ12345.MP4");
    EXPECT_EQ(PspDeviceFileBase(42, 0), "M4V00042");
    settings.deviceFamily = static_cast<DeviceFamily>(6);
    EXPECT_EQ(OutputNameShown(task, settings), "");
    // The iPod builder always uses the output name.
    EXPECT_EQ(Preset("$OUTPUT_FILE"), "Holiday");
}

TEST_F(TemplateTest, PresetCommandTakesOptionFormsOfTheTimes)
{
    task.beginTime = 3725.9;
    task.endTime = 3735.5;
    EXPECT_EQ(Preset("-i \"$INPUT_FILE\"$START$LENGTH -y"), "-i \"C:\\in\\Holiday.avi\" -ss 01:02:05 -t 00:00:09 -y");
}

TEST_F(TemplateTest, CustomPresetSubstitutesEverySetting)
{
    const std::string command = "$VCODEC -s $SIZE $FRAMERATE -b $VIDEOBITRATE -aspect $ASPECT -ac $CHANNEL "
                                "-ab $AUDIOBITRATE $AUDIOSAMPLE -vol $VOLUME -s $SIZE";
    settings = {.presetIndex = 0, .videoType = 0, .videoSize = 7, .frameRate = 3, .videoQuality = 9, .aspect = 1,
                .audioQuality = 5, .channels = 0, .sampleRate = 2, .volume = 7, .outputDirectory = ""};
    EXPECT_EQ(Preset(command), "-vcodec xvid -s 400x192 -r 29.97 -b 1500 -aspect 16:9 -ac 1 -ab 128 -ar 44100 "
                               "-vol 1024 -s 400x192");
    // "Same As Input File" takes the option away and leaves the blanks around it.
    settings.frameRate = 0;
    settings.sampleRate = 0;
    EXPECT_EQ(Preset("-s $SIZE $FRAMERATE -b|-ab $AUDIOBITRATE $AUDIOSAMPLE -vol"), "-s 400x192  -b|-ab 128  -vol");
    // Audio Quality's last two items read "96 kbps" and "128 kbps" and give just that.
    settings.audioQuality = 4;
    EXPECT_EQ(Preset("-ab $AUDIOBITRATE"), "-ab 96");
    // An index outside a table (a combo without selection) gives nothing.
    settings.volume = 8;
    EXPECT_EQ(Preset("-vol $VOLUME|"), "-vol |");
    // Other presets carry literal values; settings variables stay as written.
    settings.presetIndex = 2;
    EXPECT_EQ(Preset(command), command);
    EXPECT_EQ(Common(command), command);
}

TEST(TimeText, TruncatesTowardZeroWithUnboundedHours)
{
    const struct {
        double seconds;
        const char* text;
    } cases[] = {
        {0.0, "00:00:00"},
        {3725.9, "01:02:05"},
        {59.999, "00:00:59"},
        {86399.0, "23:59:59"},
        {360000.0, "100:00:00"},
        {-0.4, "00:00:00"},
        {-5.0, "00:00:00"},
        {std::numeric_limits<double>::quiet_NaN(), "00:00:00"},
        {1e300, "596523:14:07"},
        {std::numeric_limits<double>::infinity(), "596523:14:07"},
        {-std::numeric_limits<double>::infinity(), "00:00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTimeText(c.seconds), c.text) << c.seconds;
    }
}

TEST(TimeText, FormatHmsSharesOneBuffer)
{
    EXPECT_STREQ(FormatHms(3725), "01:02:05");
    EXPECT_STREQ(FormatHms(360000), "100:00:00");
    EXPECT_STREQ(FormatHms(-1), "00:00:00");
    EXPECT_STREQ(FormatHms(INT_MAX), "596523:14:07");
    const char* first = FormatHms(1);
    FormatHms(2);
    EXPECT_STREQ(first, "00:00:02");
}

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
