#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/ConversionTask.h"

// The arithmetic of progress: what one chunk of encoder output says, how a task's progress
// fields follow from it, and what the task list's status column shows. Plain values in and
// out; TaskProgress feeds them from the running encoder and the main window.

// What one chunk of encoder output tells. A field is empty when the chunk does not carry it
// whole: "size=" needs the 8 characters after it (13 from the match to the end of the chunk),
// "time=" at least 4 of the 5 after it (9 from the match). Of several whole matches of a key
// (two lines read at once) the last counts.
struct ProgressFields {
    std::optional<int> sizeKB;  // the 8 characters after "size=" read as a decimal integer
    std::optional<double> time; // the 5 characters after "time=" read as decimal seconds
};

// Reads the size and time fields of a chunk. Each field is read from a fixed number of
// characters, so "123.45" gives 123.4, and blanks before the size are skipped. A time that
// does not read as a finite number is treated as absent.
ProgressFields ReadProgressFields(const char* chunk);

// Media seconds encoded per second of wall-clock time; 0 when no time has passed yet.
double EncodingSpeed(double mediaSeconds, std::uint32_t elapsedMs);

// Applies one chunk to `task`: size, media time and speed, each field only when the chunk
// carries it. `elapsedMs` is the time since the task (or its export) started. True when the
// chunk shows a two-stage task's encoder at the task's length with some output written: its
// command has no length option, so the caller must stop it.
bool ApplyProgressChunk(ConversionTask& task, const char* chunk, std::uint32_t elapsedMs);

// Applies the player's export progress (seconds reached of `total`) to `task`. The remaining
// time is estimated from the rate so far once more than 20 seconds are done; before that, or
// when no time has passed, it is simply what is left (never below 0). The percentage stays
// within 0 to 100; a total of 0 or less shows 0 %.
// A position or total that is not a finite number changes nothing.
void ApplyExportProgress(ConversionTask& task, double position, double total, std::uint32_t elapsedMs);

// The progress bar drawn in a task's status cell.
struct StatusBar {
    int maximum = 0;
    int position = 0;
    std::uint32_t colour = 0; // RGB with red in the low byte

    bool operator==(const StatusBar&) const = default;
};

// A dark red, RGB(154, 30, 28).
inline constexpr std::uint32_t statusBarColour = 154u | (30u << 8) | (28u << 16);

// The text of a task's status cell and its bar, if it has one.
struct TaskStatusDisplay {
    std::string text;
    std::optional<StatusBar> bar;

    bool operator==(const TaskStatusDisplay&) const = default;
};

// What the status column shows for `task`. A finished task shows " Finished " whatever its
// status. A two-stage task (exported through the player first) shows its export as the first
// half of the bar and its encoding as the second half.
TaskStatusDisplay FormatTaskStatus(const ConversionTask& task);

// The part of the task's length the encoder has reached, in whole percent rounded to nearest;
// 99 and above show as 100, and a task without length shows 0.
int EncodingPercent(const ConversionTask& task);
