#pragma once

// The conversion of one task: a fixed sequence of program runs per device family, with the
// status shown at each step, the working files removed, and the clean-up when Stop is
// pressed. Everything works on the current task (currentTaskIndex) and on the settings the
// main window took when the run started (RunSettings()).
//
// A task that cannot be converted is failed: it is not marked finished, its status shows
// "Failed", one line naming its source and the reason goes to "log.txt", and the run goes on
// with the next task. That happens when a step cannot start, exits with a code other than 0
// or never ends; when the final file is missing after the last step; when the preset lacks a
// command its pipeline runs (or no preset is selected); when the output would overwrite the
// source; and when a RealMedia source cannot be exported.

// Clears finished, size, speed, media time and status of every task, and redraws each row.
// The export fields stay.
void ResetTaskProgress();

// Converts task `index` (made the current task): export of a RealMedia source, the family's
// pipeline, removal of the export file, and finished = 1 on success. Returns at a stop
// request without marking the task finished.
void ConvertTask(int index);

// The family pipelines. Each makes the work folder current first and returns true when the
// task was converted and its final file exists; false when it was stopped or failed.
bool ConvertIpod();
bool ConvertPsp();
bool Convert3gp();
bool ConvertSingleStep(); // Xbox and Pocket PC
bool ConvertPmp();

// The Stop action: requests the stop, tells a running encoder to quit and deletes the files
// that the current task's family and stage leave behind. Runs re-entrantly from a message
// dispatched while the engine waits; the interrupted pipeline then returns by itself.
void CancelConversion();
