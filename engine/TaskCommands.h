#pragma once

#include <optional>
#include <string>

// The commands of a task of the running conversion: the task and the run's settings come from
// the main window, the time from the clock, the iPod presets from the profile file.

// The local time as FormatTimestamp writes it.
std::string CurrentTimestamp();

// ExpandCommandTemplate for task `taskIndex` of the main window with the run's settings and
// the current time. Empty text when there is no such task.
std::string ExpandTemplate(const std::string& commandTemplate, int taskIndex);

// The iPod command of task `taskIndex`: makes the work folder current, reads "Command0" of
// the selected preset from ".\iPod_Profile.ini" and expands it. nullopt when there is no
// such task, preset or command, so that the task can be failed without running anything.
std::optional<std::string> BuildPresetCommand(int taskIndex);
