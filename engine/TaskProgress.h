#pragma once

#include <windows.h>

#include "engine/TaskStatus.h"

// Progress of the current task (currentTaskIndex) as the running encoder and the player's
// export report it, written back through the main window and redrawn at once.

// Tick count (milliseconds since boot) when the current task started; the export of a
// RealMedia source takes it again when the export starts.
extern DWORD taskStartTick;

// Reads one chunk of encoder output into the current task (size, media time, speed), stops
// the encoder of a two-stage task that has reached its length, writes the task back and
// redraws its status cell, also when the chunk carried nothing.
void ParseProgressChunk(const char* chunk);

// Stores `status` in the current task and redraws its status cell.
void SetTaskStatus(TaskStatus status);

// The player's export progress, in seconds reached of `total`, for the current task.
void UpdateExportProgress(double position, double total);
