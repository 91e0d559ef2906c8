#include <gtest/gtest.h>

#include "tests/engine/EngineValues.h"
#include <optional>
#include <string>

#include "engine/ConversionTask.h"
#include "engine/ProgressParsing.h"
#include "engine/TaskStatus.h"

namespace {

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
        {"size=     12", std::nullopt, std::nullopt},
        {"size=     12k", 12, std::nullopt},
        {"time=1.2", std::nullopt, std::nullopt},
        {"time=123.45 ", std::nullopt, 123.4},
        // ffmpeg's own clock format reads as its first digits only.
        {"time=00:01:02.50", std::nullopt, 0.0},
        // Of two whole matches of a key the last counts; the size is cut after eight characters.
        {"size=       1kB size=       2kB", 2, std::nullopt},
        {"size=123456789kB", 12345678, std::nullopt},
        // Not finite: left as absent rather than poisoning the task's arithmetic.
        {"time=1e999", std::nullopt, std::nullopt},
        // The front-end's last two lines in one read: the newer one; of a newer line cut short, its whole fields.
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

TEST(ProgressParsing, ChunkUpdatesOnlyTheFieldsItCarries) {
    ConversionTask task;
    task.endTime = 40.0;
    EXPECT_FALSE(ApplyProgressChunk(task, "size=    1234kB time=10.00 bitrate", 5000));
    // Nothing found: everything stays; size only: time and speed stay.
    EXPECT_FALSE(ApplyProgressChunk(task, "Press [q] to stop", 9000));
    ApplyProgressChunk(task, "size=    2000kB time=1", 9000);
    EXPECT_EQ(task.outputSizeKB, 2000);
    EXPECT_DOUBLE_EQ(task.encodedTime, 10.0);
    EXPECT_DOUBLE_EQ(task.speed, 2.0);
    // A chunk in the very millisecond the task started: no speed rather than a division by 0.
    ApplyProgressChunk(task, "time=12.00 ", 0);
    EXPECT_DOUBLE_EQ(task.speed, 0.0);
    // The elapsed time is an unsigned millisecond count, the whole 32-bit range of it.
    ApplyProgressChunk(task, "time=40.00 ", 4000000000u);
    EXPECT_DOUBLE_EQ(task.speed, 40.0 * 1000.0 / 4000000000.0);
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
        {true, 0.0, 0, "size=     100kB time=4.99 ", false},
        // The exported range starts at 0: the length counts, not the task's end.
        {true, 10.0, 0, "size=     100kB time=5.00 ", true},
        // No output yet: the encoder has not really started; the size of an earlier chunk counts.
        {true, 0.0, 100, "size=       0kB time=6.00 ", false},
        {true, 0.0, 100, "time=6.00 ", true},
        {true, 0.0, 0, "time=6.00 ", false},
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

TEST(ProgressParsing, ExportProgressEstimatesTheRemainingTime) {
    const struct {
        double position, total;
        unsigned elapsedMs;
        double percent, remaining;
    } cases[] = {
        {30.0, 100.0, 10000, 30.0, 70.0 / 3.0},
        // Up to 20 seconds done, or no time passed, the estimate is simply what is left.
        {20.0, 100.0, 5000, 20.0, 80.0},
        {30.0, 100.0, 0, 30.0, 70.0},
        // A total of 0 shows 0 % and nothing left; a position past the end stays at 100 %.
        {30.0, 0.0, 1000, 0.0, 0.0},
        {150.0, 100.0, 1000, 100.0, 0.0},
    };
    for (const auto& c : cases) {
        ConversionTask task;
        ApplyExportProgress(task, c.position, c.total, c.elapsedMs);
        EXPECT_DOUBLE_EQ(task.exportPercent, c.percent) << c.position << "/" << c.total;
        EXPECT_DOUBLE_EQ(task.exportRemaining, c.remaining) << c.position << "/" << c.total;
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
        {StatusTask(false, Exporting, 40, 10), "Exporting", none},
        {StatusTask(false, Changing, 40, 10), "Changeing", none},
        {StatusTask(false, AddingToITunes, 40, 10), "Adding to iTunes", none},
        {StatusTask(false, Muxing, 40, 10), "Muxing to PMP files", none},
        {StatusTask(true, Canceled, 40, 10), "Canceled", none},
        {StatusTask(true, Failed, 40, 10), "Failed", none},
        // A one-stage task has no export to show; unknown codes show nothing.
        {StatusTask(false, SourceExport, 40, 10), "", none},
        {StatusTask(false, static_cast<TaskStatus>(7), 40, 10), "", none},
        // Nothing encoded or nothing written yet: empty.
        {StatusTask(false, Converting, 40, 0), "", none},
        {StatusTask(false, Converting, 40, 10, 0), "", none},
        // A task without length shows 0 %.
        {StatusTask(false, Converting, 0, 10, 100, 1), "00:00:10    0.10MB    1.00Frames/s      %0 ", bar(0)},
        // Rounded to the nearest percent; 99 and above show full.
        {StatusTask(false, Converting, 40, 19.9), "00:00:19    0.50MB    0.50Frames/s      %50 ", bar(50)},
        {StatusTask(false, Converting, 200, 196.9), "00:03:16    0.50MB    0.50Frames/s      %98 ", bar(98)},
        {StatusTask(false, Converting, 200, 197), "00:03:17    0.50MB    0.50Frames/s      %100 ", bar(100)},
        {StatusTask(false, Converting, 4000, 3725.9, 10240, 12.346), "01:02:05    10.00MB    12.35Frames/s      %93 ",
         bar(93)},
        // Far past the end (a wrong length) still shows full rather than overflowing.
        {StatusTask(false, Converting, 1, 1e12, 1, 1), nullptr, bar(100)},
        // Two-stage task: the encoding is the second half of the bar.
        {StatusTask(true, Converting, 100, 40, 2048, 1.5), "00:00:40    2.00MB    1.50Frames/s      %70 ", bar(70)},
        // Its export is the first half, and the time left adds half the clip's length (50 s) for the encoding.
        {StatusTask(true, SourceExport, 100, 0), " 15.00%    Remain Time:00:01:10", StatusBar{100, 15, 0x1C1E9A}},
        // Finished wins over every status.
        {StatusTask(true, SourceExport, 100, 0, 1, 1, true), " Finished ", none},
        {StatusTask(false, Converting, 40, 10, 1, 1, true), " Finished ", none},
        {StatusTask(false, Failed, 40, 10, 1, 1, true), " Finished ", none},
    };
    for (const auto& c : cases) {
        const TaskStatusDisplay shown = FormatTaskStatus(c.task);
        EXPECT_EQ(shown.text, c.text ? c.text : shown.text) << c.task.status << " " << c.task.encodedTime;
        EXPECT_EQ(shown.bar, c.bar) << c.task.status << " " << c.task.encodedTime;
    }
}

} // namespace
