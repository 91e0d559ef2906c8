// The engine's window-free logic: command templates, time texts, task names, progress parsing and the status column.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "engine/CommandTemplates.h"
#include "engine/ConversionTask.h"
#include "engine/ProgressParsing.h"
#include "engine/TaskStatus.h"
#include "engine/TimeText.h"
#include "tests/engine/EngineValues.h"

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
    std::string text = "$A and $A, $AB";
    ReplaceAll(text, "$A", "x$Ay");
    EXPECT_EQ(text, "x$Ay and x$Ay, x$AyB");
    // An exported source has no time options.
    task.needsExport = true;
    task.exportPath = "C:\\app\\Holiday_export.avi";
    EXPECT_EQ(Common("-i \"$INPUT_FILE\"|$START|$LENGTH|"), "-i \"C:\\app\\Holiday_export.avi\"| | |");
    EXPECT_EQ(Preset("-i \"$INPUT_FILE\"$START$LENGTH -y"), "-i \"C:\\app\\Holiday_export.avi\"   -y");
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
}

// A RealMedia source has "rm" after the last dot of its name, in any letter case.
TEST(ConversionTask, BaseNameAndRealMediaFromPath) {
    const struct {
        const char* path;
        const char* baseName;
        bool realMedia;
    } cases[] = {{"C:\\Videos\\a.b.rmvb", "a.b", true},
                 {"C:\\Videos\\charm.avi", "charm", false},
                 {"C:\\Videos\\MOVIE.RMVB", "MOVIE", true},
                 {"C:\\Videos\\x.farm", "x", true},
                 {"C:\\old.rmvb\\movie", "movie", false},
                 {"D:\\mixed/sub\\x.y.wmv", "x.y", false},
                 {"", "", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(TaskBaseName(c.path), c.baseName) << c.path;
        EXPECT_EQ(IsRealMediaPath(c.path), c.realMedia) << c.path;
    }
}

TEST(ProgressParsing, ReadsSizeAndTimeFromFixedWidthFields) {
    const struct {
        const char* chunk;
        std::optional<int> sizeKB;
        std::optional<double> time;
    } cases[] = {
        {"size=    1234kB time=10.00 bitrate= 968.2kbits/s", 1234, 10.0},
        // Cut two characters after "time=": too short for the time, the size still counts.
        {"size=    1234kB time=10", 1234, std::nullopt},
        // "size=" needs 13 characters from the match, "time=" 9; five characters of the time are read.
        {"size=     12k", 12, std::nullopt},
        {"time=123.45 ", std::nullopt, 123.4},
        // ffmpeg's own clock format reads as its first digits only.
        {"time=00:01:02.50", std::nullopt, 0.0},
        // Not finite: left as absent rather than poisoning the task's arithmetic.
        {"time=1e999", std::nullopt, std::nullopt},
        // The front-end's last two lines in one read: the newer one (of two matches of a key the last counts); of a
        // newer line cut short, its whole fields.
        {"size=     100kB time=2.00\r\nsize=     200kB time=4.00\r\n", 200, 4.0},
        {"size=     100kB time=2.00\r\nsize=     200kB time=4", 200, 2.0},
        {nullptr, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        const ProgressFields fields = ReadProgressFields(c.chunk);
        const char* shown = c.chunk ? c.chunk : "(null)";
        EXPECT_EQ(fields.sizeKB, c.sizeKB) << shown;
        EXPECT_EQ(fields.time.has_value(), c.time.has_value()) << shown;
        EXPECT_DOUBLE_EQ(fields.time.value_or(0.0), c.time.value_or(0.0)) << shown;
    }
}

TEST(ProgressParsing, TwoStageTaskStopsAtItsLengthOnceOutputExists) {
    const struct {
        bool needsExport;
        double beginTime;
        int sizeBefore;
        const char* chunk;
        bool stop;
    } cases[] = {
        {true, 0.0, 0, "size=     100kB time=5.00 ", true},
        // The exported range starts at 0: the length counts, not the task's end.
        {true, 10.0, 0, "size=     100kB time=5.00 ", true},
        // No output yet: the encoder has not really started; the size of an earlier chunk counts.
        {true, 0.0, 100, "size=       0kB time=6.00 ", false},
        {true, 0.0, 100, "time=6.00 ", true},
        // No time in the chunk, or a one-stage task (its command carries the length): no stop.
        {true, 0.0, 100, "size=     100kB", false},
        {false, 0.0, 100, "size=     100kB time=6.00 ", false},
    };
    for (const auto& c : cases) {
        ConversionTask task;
        task.needsExport = c.needsExport;
        task.beginTime = c.beginTime;
        task.endTime = c.beginTime + 5.0;
        task.outputSizeKB = c.sizeBefore;
        EXPECT_EQ(ApplyProgressChunk(task, c.chunk, 1000), c.stop) << c.chunk << " from " << c.beginTime;
    }
}

ConversionTask StatusTask(bool needsExport, TaskStatus status, double endTime, double encodedTime, int sizeKB = 512,
                          double speed = 0.5, bool finished = false) {
    ConversionTask task;
    task.finished = finished;
    task.exportPercent = 30.0;
    task.exportRemaining = 20.6;
    task.needsExport = needsExport;
    task.status = status;
    task.endTime = endTime;
    task.encodedTime = encodedTime;
    task.outputSizeKB = sizeKB;
    task.speed = speed;
    return task;
}

TEST(ProgressParsing, StatusColumnShowsEveryStatus) {
    using enum TaskStatus;
    const std::optional<StatusBar> none;
    auto bar = [](int position) { return std::optional<StatusBar>(StatusBar{100, position, statusBarColour}); };
    const struct {
        ConversionTask task;
        const char* text;
        std::optional<StatusBar> bar;
    } cases[] = {
        {StatusTask(false, None, 40, 10), "", none},
        {StatusTask(false, Changing, 40, 10), "Changeing", none}, // as the list has always shown it
        // Nothing encoded yet: empty.
        {StatusTask(false, Converting, 40, 0), "", none},
        // A task without length shows 0 %.
        {StatusTask(false, Converting, 0, 10, 100, 1), "00:00:10    0.10MB    1.00Frames/s      %0 ", bar(0)},
        // Rounded to the nearest percent.
        {StatusTask(false, Converting, 40, 19.9), "00:00:19    0.50MB    0.50Frames/s      %50 ", bar(50)},
        {StatusTask(false, Converting, 4000, 3725.9, 10240, 12.346), "01:02:05    10.00MB    12.35Frames/s      %93 ",
         bar(93)},
        // Far past the end (a wrong length) still shows full rather than overflowing.
        {StatusTask(false, Converting, 1, 1e12, 1, 1), nullptr, bar(100)},
        // Two-stage task: the encoding is the second half of the bar.
        {StatusTask(true, Converting, 100, 40, 2048, 1.5), "00:00:40    2.00MB    1.50Frames/s      %70 ", bar(70)},
        // Its export is the first half, and the time left adds half the clip's length (50 s) for the encoding.
        {StatusTask(true, SourceExport, 100, 0), " 15.00%    Remain Time:00:01:10", StatusBar{100, 15, 0x1C1E9A}},
        // Finished wins over every status, the export's included.
        {StatusTask(true, SourceExport, 100, 0, 1, 1, true), " Finished ", none},
    };
    for (const auto& c : cases) {
        const TaskStatusDisplay shown = FormatTaskStatus(c.task);
        EXPECT_EQ(shown.text, c.text ? c.text : shown.text) << c.task.status << " " << c.task.encodedTime;
        EXPECT_EQ(shown.bar, c.bar) << c.task.status << " " << c.task.encodedTime;
    }
}

} // namespace
