#include "engine/CommandTemplates.h"

#include <cstdio>

#include "engine/PipelineFiles.h"
#include "engine/TimeText.h"

namespace {

// A task whose source is exported first has already been cut to its range by the export,
// so its commands get neither a start nor a length: both variables become one space.
constexpr std::string_view noTimeOption = " ";

std::string InputFile(const ConversionTask& task)
{
    return task.needsExport ? task.exportPath : task.sourcePath;
}

// The last four common variables are the same for both kinds of template.
void ReplaceTitleToOutput(std::string& command, const ConversionTask& task, const OutputSettings& settings,
                          const std::string& timestamp, const std::string& outputFile)
{
    ReplaceAll(command, "$TITLE", task.title);
    ReplaceAll(command, "$TIMESTAMP", timestamp);
    ReplaceAll(command, "$OUTPUT_DIR", settings.outputDirectory);
    ReplaceAll(command, "$OUTPUT_FILE", outputFile);
}

void ReplaceSettings(std::string& command, const OutputSettings& settings)
{
    ReplaceAll(command, "$VCODEC", SettingValueTables::Entry(SettingTable::VideoType, settings.videoType));
    ReplaceAll(command, "$SIZE", SettingValueTables::Entry(SettingTable::VideoSize, settings.videoSize));
    ReplaceAll(command, "$FRAMERATE", SettingValueTables::Entry(SettingTable::FrameRate, settings.frameRate));
    ReplaceAll(command, "$VIDEOBITRATE",
               SettingValueTables::Entry(SettingTable::VideoQuality, settings.videoQuality));
    ReplaceAll(command, "$ASPECT", SettingValueTables::Entry(SettingTable::Aspect, settings.aspect));
    ReplaceAll(command, "$CHANNEL", SettingValueTables::Entry(SettingTable::Channels, settings.channels));
    ReplaceAll(command, "$AUDIOBITRATE",
               SettingValueTables::Entry(SettingTable::AudioQuality, settings.audioQuality));
    ReplaceAll(command, "$AUDIOSAMPLE", SettingValueTables::Entry(SettingTable::SampleRate, settings.sampleRate));
    ReplaceAll(command, "$VOLUME", SettingValueTables::Entry(SettingTable::Volume, settings.volume));
}

} // namespace

void ReplaceAll(std::string& text, std::string_view variable, std::string_view value)
{
    if (variable.empty()) {
        return;
    }
    std::string::size_type position = text.find(variable);
    while (position != std::string::npos) {
        text.replace(position, variable.size(), value);
        position = text.find(variable, position + value.size());
    }
}

std::string StartOptionText(double beginTime)
{
    return " -ss " + FormatTimeText(beginTime);
}

std::string LengthOptionText(double beginTime, double endTime)
{
    return " -t " + FormatTimeText(endTime - beginTime);
}

std::string FormatTimestamp(int year, int month, int day, int hour, int minute, int second)
{
    char text[64] = {};
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    return text;
}

std::string ExpandCommandTemplate(const std::string& commandTemplate, const ConversionTask& task,
                                  const OutputSettings& settings, const std::string& timestamp)
{
    std::string command = commandTemplate;
    ReplaceAll(command, "$INPUT_FILE", InputFile(task));
    if (task.needsExport) {
        ReplaceAll(command, "$START", noTimeOption);
        ReplaceAll(command, "$LENGTH", noTimeOption);
    } else {
        ReplaceAll(command, "$START", FormatTimeText(task.beginTime));
        ReplaceAll(command, "$LENGTH", FormatTimeText(task.endTime - task.beginTime));
    }
    const std::string outputFile = settings.deviceFamily == DeviceFamily::Psp
                                       ? PspDeviceFileBase(task.deviceFileNumber, settings.profileIndex)
                                       : task.outputName;
    ReplaceTitleToOutput(command, task, settings, timestamp, outputFile);
    return command;
}

std::string ExpandPresetTemplate(const std::string& commandTemplate, const ConversionTask& task,
                                 const OutputSettings& settings, const std::string& timestamp)
{
    std::string command = commandTemplate;
    ReplaceAll(command, "$INPUT_FILE", InputFile(task));
    if (task.needsExport) {
        ReplaceAll(command, "$START", noTimeOption);
        ReplaceAll(command, "$LENGTH", noTimeOption);
    } else {
        ReplaceAll(command, "$START", StartOptionText(task.beginTime));
        ReplaceAll(command, "$LENGTH", LengthOptionText(task.beginTime, task.endTime));
    }
    ReplaceTitleToOutput(command, task, settings, timestamp, task.outputName);
    if (settings.presetIndex == 0) {
        ReplaceSettings(command, settings);
    }
    return command;
}
