#pragma once

#include <string>
#include <string_view>

#include "engine/ConversionTask.h"
#include "engine/DeviceProfiles.h"
#include "engine/SettingValueTables.h"

// Command templates are encoder command lines with $-variables for the task's files, time
// range and title, the output folder and, for the custom iPod preset, the settings combos.
// Expansion only: values in, text out. TaskCommands.h takes the task, the settings and the
// time from the running program.

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
