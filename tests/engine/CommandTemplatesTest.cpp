#include <gtest/gtest.h>

#include "tests/engine/EngineValues.h"
#include <string>
#include <vector>

#include "engine/CommandTemplates.h"
#include "engine/ConversionTask.h"

namespace {

TEST(SettingValueTables, IndicesOutsideATableGiveNothing)
{
    for (SettingTable table : {SettingTable::VideoType, SettingTable::VideoSize, SettingTable::FrameRate,
                               SettingTable::VideoQuality, SettingTable::Aspect, SettingTable::Channels,
                               SettingTable::AudioQuality, SettingTable::SampleRate, SettingTable::Volume}) {
        const int size = SettingValueTables::Size(table);
        EXPECT_GT(size, 0);
        EXPECT_EQ(SettingValueTables::Entry(table, -1), "");
        EXPECT_EQ(SettingValueTables::Entry(table, size), "");
    }
}

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
    // Other presets carry literal values; settings variables stay as written.
    settings.presetIndex = 2;
    EXPECT_EQ(Preset(command), command);
    EXPECT_EQ(Common(command), command);
}

TEST_F(TemplateTest, DerivedFileNames)
{
    const struct {
        DeviceFamily family;
        int threeGpType;
        const char* shown;
    } shown[] = {{DeviceFamily::Ipod, 0, "Holiday.mp4"},   {DeviceFamily::ThreeGp, 0, "Holiday.3gp"},
                 {DeviceFamily::ThreeGp, 1, "Holiday.3gp"}, {DeviceFamily::ThreeGp, 2, "Holiday.3g2"},
                 {DeviceFamily::Xbox, 0, "Holiday.mpg"},   {DeviceFamily::PocketPc, 0, "Holiday.avi"},
                 {DeviceFamily::Pmp, 0, "Holiday.pmp"},    {static_cast<DeviceFamily>(6), 0, ""}};
    for (const auto& c : shown) {
        settings.deviceFamily = c.family;
        settings.threeGpType = static_cast<ThreeGpType>(c.threeGpType);
        EXPECT_EQ(OutputNameShown(task, settings), c.shown) << c.family << "/" << c.threeGpType;
    }
    const std::string dir = "D:\\out\\";
    EXPECT_EQ(ThreeGpWorkingFile(dir, "a"), "D:\\out\\a_temp.3gp");
    EXPECT_EQ(ThreeGp2WorkingFile(dir, "a"), "D:\\out\\a_temp_2.3g2");
    EXPECT_EQ(ThreeGpFinalFile(dir, "a"), "D:\\out\\a.3gp");
    EXPECT_EQ(ThreeGp2FinalFile(dir, "a"), "D:\\out\\a.3g2");
    EXPECT_EQ(PmpWorkingVideo(dir, "a"), "D:\\out\\a_temp.avi");
    EXPECT_EQ(PmpWorkingAudio(dir, "a"), "D:\\out\\a_temp.mp3");
    EXPECT_EQ(PmpFinalFile(dir, "a"), "D:\\out\\a.pmp");
}

} // namespace
