#pragma once

#include <vector>

#include "engine/ConversionTask.h"

// Two tasks of one run must never write the same file: the second would replace the first's
// output and both would show " Finished ". The number in PSP device file names is drawn from
// a seed of the current second, so two tasks added within one second (or the same file added
// twice) draw the same one; and two sources with the same base name (clip.avi, clip.wmv) give
// the same output name in every family.

// Makes the new `task` unique among `tasksInList` (the tasks already in the list, which keep
// theirs) before the task list adds it:
// - deviceFileNumber: when another task has it, the next number up that none has (so the PSP
//   names "M4V%05d"/"MAQ%05d" differ);
// - outputName: when another task has it (letter case ignored, as in file names), the name
//   with "_2", "_3", ... appended, the first that none has. The title and the export base name
//   stay as they were; the Output column shows the new name from the start.
void MakeTaskOutputUnique(ConversionTask& task, const std::vector<ConversionTask>& tasksInList);
