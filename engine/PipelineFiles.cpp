#include "engine/PipelineFiles.h"

#include <cmath>
#include <cstdio>

#include "engine/TaskStatus.h"

namespace {

// Commands run by each pipeline (the iPod one runs its single "Command0").
constexpr int ipodCommands = 1;
constexpr int pspCommands = 2;
constexpr int threeGpCommands = 3;
constexpr int threeGp2Commands = 5;
constexpr int singleStepCommands = 1;
constexpr int pmpCommands = 4;

// The suffix after the output name of each PipelineFile, in its order.
constexpr const char* pipelineFileSuffixes[] = {
    "_temp.3gp", "_temp_2.3g2", ".3gp", ".3g2", "_temp.avi", "_temp.mp3", ".pmp",
};

// What each family's final file name ends with; the 3GP family's and PMP's come from the table above.
constexpr const char* ipodExtension = ".mp4";
constexpr const char* pspExtension = ".MP4";
constexpr const char* xboxExtension = ".mpg";
constexpr const char* pocketPcExtension = ".avi";

} // namespace

std::string PspDeviceFileBase(int deviceFileNumber, int profileIndex) {
    // A PSP shows a video only when its file is named this way; the presets from 16 on
    // make the kind of file that takes the "MAQ" prefix.
    char name[32] = {};
    std::snprintf(name, sizeof name, profileIndex >= 16 ? "MAQ%05d" : "M4V%05d", deviceFileNumber);
    return name;
}

std::string PipelineFilePath(PipelineFile file, const std::string& outputDirectory, const std::string& outputName) {
    return outputDirectory + outputName + pipelineFileSuffixes[static_cast<int>(file)];
}

std::string OutputNameShown(const ConversionTask& task, const OutputSettings& settings) {
    const std::string& name = task.outputName;
    switch (settings.deviceFamily) {
    case DeviceFamily::Ipod: return name + ipodExtension;
    case DeviceFamily::Psp: return PspDeviceFileBase(task.deviceFileNumber, settings.profileIndex) + pspExtension;
    case DeviceFamily::ThreeGp:
        return PipelineFilePath(settings.threeGpType == ThreeGpType::ThreeGp2 ? PipelineFile::ThreeGp2Final
                                                                              : PipelineFile::ThreeGpFinal,
                                "", name);
    case DeviceFamily::Xbox: return name + xboxExtension;
    case DeviceFamily::PocketPc: return name + pocketPcExtension;
    case DeviceFamily::Pmp: return PipelineFilePath(PipelineFile::PmpFinal, "", name);
    default: return {};
    }
}

namespace {

// A file of the task's in the run's output folder.
std::string TaskFile(const OutputSettings& settings, const ConversionTask& task, PipelineFile kind) {
    return PipelineFilePath(kind, settings.outputDirectory, task.outputName);
}

} // namespace

int PipelineCommandCount(const OutputSettings& settings) {
    switch (settings.deviceFamily) {
    case DeviceFamily::Ipod: return ipodCommands;
    case DeviceFamily::Psp: return pspCommands;
    case DeviceFamily::ThreeGp:
        return settings.threeGpType == ThreeGpType::ThreeGp2 ? threeGp2Commands : threeGpCommands;
    case DeviceFamily::Xbox:
    case DeviceFamily::PocketPc: return singleStepCommands;
    case DeviceFamily::Pmp: return pmpCommands;
    default: return 0;
    }
}

std::string FinalOutputPath(const OutputSettings& settings, const ConversionTask& task) {
    return settings.outputDirectory + OutputNameShown(task, settings);
}

std::vector<std::string> WorkingFiles(const OutputSettings& settings, const ConversionTask& task) {
    using enum PipelineFile;
    const auto file = [&](PipelineFile kind) { return TaskFile(settings, task, kind); };
    switch (settings.deviceFamily) {
    case DeviceFamily::ThreeGp:
        if (settings.threeGpType == ThreeGpType::ThreeGp2) {
            return {file(ThreeGpWorking), file(ThreeGp2Working)};
        }
        return {file(ThreeGpWorking)};
    case DeviceFamily::Pmp: return {file(PmpWorkingVideo), file(PmpWorkingAudio)};
    default: return {};
    }
}

CancelCleanup CancelCleanupFor(const OutputSettings& settings, const ConversionTask& task) {
    using enum PipelineFile;
    const auto file = [&](PipelineFile kind) { return TaskFile(settings, task, kind); };
    CancelCleanup cleanup;
    switch (settings.deviceFamily) {
    case DeviceFamily::ThreeGp:
        if (task.status == TaskStatus::Converting) {
            cleanup.stopEncoder = true;
            cleanup.files = {file(ThreeGpWorking)};
        } else if (task.status == TaskStatus::Exporting) {
            cleanup.files = {file(ThreeGpWorking),
                             file(settings.threeGpType == ThreeGpType::ThreeGp2 ? ThreeGp2Working : ThreeGpFinal)};
        } else if (task.status == TaskStatus::Changing) {
            cleanup.files = {file(ThreeGpWorking), file(ThreeGp2Working), file(ThreeGp2Final)};
        }
        break;
    case DeviceFamily::Pmp:
        cleanup.files = {file(PmpWorkingAudio), file(PmpWorkingVideo)};
        if (task.status == TaskStatus::Converting) {
            cleanup.stopEncoder = true;
        } else if (task.status == TaskStatus::Muxing) {
            cleanup.files.push_back(file(PmpFinal));
        }
        break;
    default:
        // iPod, PSP, Xbox and Pocket PC write no working files: the encoder is told to quit
        // and its partial file stays.
        cleanup.stopEncoder = true;
        break;
    }
    if (task.needsExport && !task.exportPath.empty()) {
        cleanup.files.push_back(task.exportPath);
    }
    return cleanup;
}

std::vector<std::string> FilesTouchedByTask(const OutputSettings& settings, const ConversionTask& task) {
    std::vector<std::string> files = WorkingFiles(settings, task);
    files.push_back(FinalOutputPath(settings, task));
    // The 3GP clean-up deletes only the task's own type's final file, which is the final file
    // above. PSP's first step writes a thumbnail beside the video.
    if (settings.deviceFamily == DeviceFamily::Psp) {
        files.push_back(PspThumbnailPath(settings, task));
    }
    return files;
}

std::string PspThumbnailPath(const OutputSettings& settings, const ConversionTask& task) {
    std::string path = FinalOutputPath(settings, task);
    const std::string::size_type dot = path.find_last_of('.');
    return path.substr(0, dot) + ".THM";
}

std::string SelectedRangeProblem(const ConversionTask& task) {
    char text[160] = {};
    if (!std::isfinite(task.beginTime) || !std::isfinite(task.endTime)) {
        return "the selected range is too short: its begin or end is not a time";
    }
    // The commands carry the length as whole seconds of end - begin.
    if (!(task.endTime - task.beginTime >= 1.0)) {
        std::snprintf(text, sizeof(text),
                      "the selected range is too short: %.2f s to %.2f s; at least one second is needed",
                      task.beginTime, task.endTime);
        return text;
    }
    return {};
}
