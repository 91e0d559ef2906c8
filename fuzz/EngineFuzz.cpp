// The engine's readers of outside text: encoder output chunks and the task texts that go into
// command templates.
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"

#include "engine/CommandTemplates.h"
#include "engine/ConversionTask.h"
#include "engine/PipelineFiles.h"
#include "engine/ProgressParsing.h"

// The engine reads encoder output in chunks of at most 255 bytes, NUL-terminated. A task's
// length and state come from the front of the input, the chunks from the rest.
void Fuzz_progress_chunk(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    ConversionTask task;
    task.beginTime = input.Number<double>();
    task.endTime = input.Number<double>();
    task.needsExport = input.InRange(0, 1) == 1;
    task.status = static_cast<TaskStatus>(input.InRange(-1, 10));
    const std::uint32_t elapsedMs = input.Number<std::uint32_t>();
    const std::string_view rest = input.Rest();
    for (std::size_t at = 0; at < rest.size(); at += 255) {
        char chunk[256] = {};
        rest.copy(chunk, 255, at);
        ReadProgressFields(chunk);
        ApplyProgressChunk(task, chunk, elapsedMs);
        const int percent = EncodingPercent(task);
        FUZZ_CHECK(percent >= 0 && percent <= 100);
        const TaskStatusDisplay shown = FormatTaskStatus(task);
        if (shown.bar) {
            FUZZ_CHECK(shown.bar->position >= 0 && shown.bar->position <= shown.bar->maximum);
        }
    }
    ApplyExportProgress(task, task.encodedTime, task.endTime, elapsedMs);
    FormatTaskStatus(task);
}

// Task texts (file names, titles, output folder) are the user's: a template is expanded with
// any of them, for every family and preset.
void Fuzz_command_template(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    OutputSettings settings;
    settings.deviceFamily = static_cast<DeviceFamily>(input.InRange(-1, 6));
    settings.threeGpType = static_cast<ThreeGpType>(input.InRange(-1, 2));
    settings.profileIndex = input.InRange(-2, 40);
    settings.presetIndex = input.InRange(-1, 3);
    settings.videoType = input.InRange(-1, 12);
    settings.videoSize = input.InRange(-1, 12);
    settings.frameRate = input.InRange(-1, 12);
    settings.videoQuality = input.InRange(-1, 12);
    settings.aspect = input.InRange(-1, 12);
    settings.audioQuality = input.InRange(-1, 12);
    settings.channels = input.InRange(-1, 12);
    settings.sampleRate = input.InRange(-1, 12);
    settings.volume = input.InRange(-1, 12);
    const double begin = input.Number<double>();
    const double end = input.Number<double>();
    const int deviceFileNumber = input.Number<int>();
    const bool needsExport = input.InRange(0, 1) == 1;
    const std::string commandTemplate = input.Text('\x01');
    const std::string source = input.Text('\x01');
    settings.outputDirectory = input.Text('\x01');
    const std::string timestamp = input.Text('\x01');
    ConversionTask task = MakeNewTask(source, end, deviceFileNumber);
    task.beginTime = begin;
    task.needsExport = needsExport;
    task.title = input.Text('\x01');
    task.exportPath = input.Text('\x01');
    if (!input.Empty()) {
        task.outputName = input.Text('\x01');
    }
    ExpandCommandTemplate(commandTemplate, task, settings, timestamp);
    ExpandPresetTemplate(commandTemplate, task, settings, timestamp);
    OutputNameShown(task, settings);
    IsRealMediaPath(source);
    PipelineFilePath(PipelineFile::PmpFinal, settings.outputDirectory, task.outputName);
    CancelCleanupFor(settings, task);
    StartOptionText(begin);
    LengthOptionText(begin, end);
    PspDeviceFileBase(deviceFileNumber, settings.profileIndex);
}
