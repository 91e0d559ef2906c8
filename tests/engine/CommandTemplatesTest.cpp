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

class TemplateTest : public testing::Test {
protected:
    TemplateTest() {
        task = MakeNewTask("C:\\in\\Holiday.avi", 20.2, 12345);
        task.beginTime = 10.6;
        settings.outputDirectory = "D:\\out\\";
    }
    std::string Common(const std::string& text) { return ExpandCommandTemplate(text, task, settings, "TS"); }
    std::string Preset(const std::string& text) { return ExpandPresetTemplate(text, task, settings, "TS"); }

    ConversionTask task;
    OutputSettings settings;
};

TEST_F(TemplateTest, CommonVariablesTheirTimesAndAnExportedSource) {
    settings.deviceFamily = DeviceFamily::Xbox;
    // The length is taken before truncation: 9.6 s shows as 9.
    EXPECT_EQ(Common("x -i \"$INPUT_FILE\" -ss $START -t $LENGTH -title \"$TITLE\" $TIMESTAMP "
                     "\"$OUTPUT_DIR$OUTPUT_FILE_temp.avi\" $VCODEC"),
              "x -i \"C:\\in\\Holiday.avi\" -ss 00:00:10 -t 00:00:09 -title \"Holiday\" TS "
              "\"D:\\out\\Holiday_temp.avi\" $VCODEC");
    EXPECT_EQ(Preset("-i \"$INPUT_FILE\"$START$LENGTH -y"), "-i \"C:\\in\\Holiday.avi\" -ss 00:00:10 -t 00:00:09 -y");
    task.beginTime = 3725.9;
    task.endTime = 3725.9;
    EXPECT_EQ(Common("$START/$LENGTH"), "01:02:05/00:00:00");
    EXPECT_EQ(LengthOptionText(0.0, 360000.0), " -t 100:00:00");
    EXPECT_EQ(FormatTimestamp(2024, 3, 7, 9, 5, 1), "2024-03-07 09:05:01");
    std::string text = "$A and $A, $AB";
    ReplaceAll(text, "$A", "x$Ay");
    EXPECT_EQ(text, "x$Ay and x$Ay, x$AyB");
    // An exported source has no time options.
    task.needsExport = true;
    task.exportPath = "C:\\app\\Holiday_export.avi";
    EXPECT_EQ(Common("-i \"$INPUT_FILE\"|$START|$LENGTH|"), "-i \"C:\\app\\Holiday_export.avi\"| | |");
    EXPECT_EQ(Preset("-i \"$INPUT_FILE\"$START$LENGTH -y"), "-i \"C:\\app\\Holiday_export.avi\"   -y");
}

TEST_F(TemplateTest, ReplacementOrderAppliesLaterVariablesToEarlierValues) {
    task.sourcePath = "C:\\in\\$TITLE.avi";
    task.title = "T $OUTPUT_DIR";
    settings.outputDirectory = "D:\\$TITLE\\";
    EXPECT_EQ(Common("$INPUT_FILE|$TITLE|$OUTPUT_DIR"), "C:\\in\\T D:\\$TITLE\\.avi|T D:\\$TITLE\\|D:\\$TITLE\\");
    EXPECT_EQ(Preset("$INPUT_FILE|$TITLE|$OUTPUT_DIR"), "C:\\in\\T D:\\$TITLE\\.avi|T D:\\$TITLE\\|D:\\$TITLE\\");
}

TEST_F(TemplateTest, PspFileNameDependsOnThePreset) {
    settings.deviceFamily = DeviceFamily::Psp;
    settings.profileIndex = 15;
    EXPECT_EQ(Common("$OUTPUT_FILE.MP4") + OutputNameShown(task, settings), "M4V12345.MP4M4V12345.MP4");
    settings.profileIndex = 16;
    EXPECT_EQ(Common("$OUTPUT_FILE.MP4") + OutputNameShown(task, settings), "MAQ12345.MP4MAQ12345.MP4");
    EXPECT_EQ(PspDeviceFileBase(42, 0), "M4V00042");
    // The iPod builder always uses the output name; a family that is none has no output.
    EXPECT_EQ(Preset("$OUTPUT_FILE"), "Holiday");
    settings.deviceFamily = static_cast<DeviceFamily>(6);
    EXPECT_EQ(OutputNameShown(task, settings), "");
}

TEST_F(TemplateTest, CustomPresetSubstitutesEverySetting) {
    const std::string command = "$VCODEC -s $SIZE $FRAMERATE -b $VIDEOBITRATE -aspect $ASPECT -ac $CHANNEL "
                                "-ab $AUDIOBITRATE $AUDIOSAMPLE -vol $VOLUME -s $SIZE";
    settings = {.presetIndex = 0,
                .videoType = 0,
                .videoSize = 7,
                .frameRate = 3,
                .videoQuality = 9,
                .aspect = 1,
                .audioQuality = 5,
                .channels = 0,
                .sampleRate = 2,
                .volume = 7,
                .outputDirectory = ""};
    EXPECT_EQ(Preset(command), "-vcodec xvid -s 400x192 -r 29.97 -b 1500 -aspect 16:9 -ac 1 -ab 128 -ar 44100 "
                               "-vol 1024 -s 400x192");
    // "Same As Input File" takes the option away and leaves the blanks around it.
    settings.frameRate = 0;
    settings.sampleRate = 0;
    EXPECT_EQ(Preset("-s $SIZE $FRAMERATE -b|-ab $AUDIOBITRATE $AUDIOSAMPLE -vol"), "-s 400x192  -b|-ab 128  -vol");
    // Audio Quality's last two items read "96 kbps" and "128 kbps" and give just that; an index outside a table (a
    // combo without selection) gives nothing.
    settings.audioQuality = 4;
    settings.volume = 8;
    EXPECT_EQ(Preset("-ab $AUDIOBITRATE -vol $VOLUME|"), "-ab 96 -vol |");
    // Other presets carry literal values; settings variables stay as written.
    settings.presetIndex = 2;
    EXPECT_EQ(Preset(command), command);
    EXPECT_EQ(Common(command), command);
}

TEST(TimeText, TruncatesTowardZeroWithUnboundedHours) {
    const std::pair<double, const char*> cases[] = {{3725.9, "01:02:05"},
                                                    {360000.0, "100:00:00"},
                                                    {-0.4, "00:00:00"},
                                                    {std::numeric_limits<double>::quiet_NaN(), "00:00:00"},
                                                    {std::numeric_limits<double>::infinity(), "596523:14:07"},
                                                    {-std::numeric_limits<double>::infinity(), "00:00:00"}};
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(FormatTimeText(seconds), text) << seconds;
    EXPECT_STREQ(FormatHms(INT_MAX), "596523:14:07");
}

TEST(ConversionTask, BaseNameAndRealMediaFromPath) {
    const struct {
        const char* path;
        const char* baseName;
        bool realMedia;
    } cases[] = {
        {"C:\\Videos\\a.b.rmvb", "a.b", true},
        {"C:\\Videos\\charm.avi", "charm", false}, // "rm" before the last dot
                                                   // does not count
        {"C:\\Videos\\MOVIE.RMVB", "MOVIE", true}, // file names ignore case
        {"C:\\Videos\\x.farm", "x", true},         // anywhere after the last dot
        {"C:\\old.rmvb\\movie", "movie", false},   // dots in folder names are no extension
        {"D:\\mixed/sub\\x.y.wmv", "x.y", false},
        {"C:\\Videos\\trailing.", "trailing", false},
        {"", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TaskBaseName(c.path), c.baseName) << c.path;
        EXPECT_EQ(IsRealMediaPath(c.path), c.realMedia) << c.path;
    }
}

} // namespace
