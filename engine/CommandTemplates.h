#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/ConversionTask.h"
#include "engine/DeviceProfiles.h"
#include "engine/SettingValueTables.h"

// Command templates are encoder command lines with $-variables for the task's files, time
// range and title, the output folder and, for the custom iPod preset, the settings combos.

// Replaces every occurrence of `variable` in `text`, left to right. Inserted text is not
// searched again by the same call, so a value containing its own variable cannot loop.
void ReplaceAll(std::string& text, std::string_view variable, std::string_view value);

// " -ss hh:mm:ss" for `beginTime`, leading space included.
std::string StartOptionText(double beginTime);

// " -t hh:mm:ss" for the length endTime - beginTime, taken before truncation.
std::string LengthOptionText(double beginTime, double endTime);

// Local date and time as "%d-%02d-%02d %02d:%02d:%02d" (year, month 1-12, day, hour 0-23,
// minute, second).
std::string FormatTimestamp(int year, int month, int day, int hour, int minute, int second);
// The local time so; defined with the builders below that need the system in TaskCommands.cpp.
std::string CurrentTimestamp();

// "M4V%05d" with the device file number, or "MAQ%05d" for presets 16 and up: the base of
// the file names a PSP lists.
std::string PspDeviceFileBase(int deviceFileNumber, int profileIndex);

// Replaces the common variables of a template used by every family but iPod ($INPUT_FILE,
// $START, $LENGTH, $TITLE, $TIMESTAMP, $OUTPUT_DIR, $OUTPUT_FILE, in that order; each step
// works on what the earlier ones produced). $START and $LENGTH become bare "hh:mm:ss" times;
// $OUTPUT_FILE is the PSP device file base for the PSP family, the output name otherwise.
// A task whose source is exported first reads the export file, and its $START and $LENGTH
// become one space each: the export already cut it to its range.
std::string ExpandCommandTemplate(const std::string& commandTemplate, const ConversionTask& task,
                                  const OutputSettings& settings, const std::string& timestamp);

// Replaces the variables of an iPod preset's "Command0": the common ones, with $START and
// $LENGTH as " -ss"/" -t" options (one space each for an exported source) and $OUTPUT_FILE
// always the output name; then, for the custom preset 0 only, the settings variables
// ($VCODEC, $SIZE, $FRAMERATE, $VIDEOBITRATE, $ASPECT, $CHANNEL, $AUDIOBITRATE, $AUDIOSAMPLE,
// $VOLUME). Other presets keep any settings variable as written: their commands carry
// literal option values.
std::string ExpandPresetTemplate(const std::string& commandTemplate, const ConversionTask& task,
                                 const OutputSettings& settings, const std::string& timestamp);

// ExpandCommandTemplate for task `taskIndex` of the main window with the run's settings and
// the current time. Empty text when there is no such task.
std::string ExpandTemplate(const std::string& commandTemplate, int taskIndex);

// The iPod command of task `taskIndex`: makes the work folder current, reads "Command0" of
// the selected preset from ".\iPod_Profile.ini" and expands it. nullopt when there is no
// such task, preset or command, so that the task can be failed without running anything.
std::optional<std::string> BuildPresetCommand(int taskIndex);

// The output file name the task list shows for `task` under `settings`' device family,
// 3GP type and preset; empty text for a family out of range.
std::string OutputNameShown(const ConversionTask& task, const OutputSettings& settings);

// Working and final files of the pipelines, in the output folder. The folder ends in "\",
// so the name follows it directly.
std::string ThreeGpWorkingFile(const std::string& outputDirectory, const std::string& outputName);
std::string ThreeGp2WorkingFile(const std::string& outputDirectory, const std::string& outputName);
std::string ThreeGpFinalFile(const std::string& outputDirectory, const std::string& outputName);
std::string ThreeGp2FinalFile(const std::string& outputDirectory, const std::string& outputName);
std::string PmpWorkingVideo(const std::string& outputDirectory, const std::string& outputName);
std::string PmpWorkingAudio(const std::string& outputDirectory, const std::string& outputName);
std::string PmpFinalFile(const std::string& outputDirectory, const std::string& outputName);
