#include "engine/PipelineFiles.h"

#include <cmath>
#include <cstdio>
#include <windows.h>

#include "engine/CommandTemplates.h"
#include "engine/TaskStatus.h"
#include "framework/UniqueHandle.h"

namespace {

// Commands run by each pipeline (the iPod one runs its single "Command0").
constexpr int ipodCommands = 1;
constexpr int pspCommands = 2;
constexpr int threeGpCommands = 3;
constexpr int threeGp2Commands = 5;
constexpr int singleStepCommands = 1;
constexpr int pmpCommands = 4;

std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 4] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof(full), full, nullptr);
    return length > 0 && length < sizeof(full) ? std::string(full, length) : path;
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
    const std::string& folder = settings.outputDirectory;
    const std::string& name = task.outputName;
    switch (settings.deviceFamily) {
    case DeviceFamily::ThreeGp:
        if (settings.threeGpType == ThreeGpType::ThreeGp2) {
            return {ThreeGpWorkingFile(folder, name), ThreeGp2WorkingFile(folder, name)};
        }
        return {ThreeGpWorkingFile(folder, name)};
    case DeviceFamily::Pmp: return {PmpWorkingVideo(folder, name), PmpWorkingAudio(folder, name)};
    default: return {};
    }
}

CancelCleanup CancelCleanupFor(const OutputSettings& settings, const ConversionTask& task) {
    const std::string& folder = settings.outputDirectory;
    const std::string& name = task.outputName;
    CancelCleanup cleanup;
    switch (settings.deviceFamily) {
    case DeviceFamily::ThreeGp:
        if (task.status == TaskStatus::Converting) {
            cleanup.stopEncoder = true;
            cleanup.files = {ThreeGpWorkingFile(folder, name)};
        } else if (task.status == TaskStatus::Exporting) {
            cleanup.files = {ThreeGpWorkingFile(folder, name), settings.threeGpType == ThreeGpType::ThreeGp2
                                                                   ? ThreeGp2WorkingFile(folder, name)
                                                                   : ThreeGpFinalFile(folder, name)};
        } else if (task.status == TaskStatus::Changing) {
            cleanup.files = {ThreeGpWorkingFile(folder, name), ThreeGp2WorkingFile(folder, name),
                             ThreeGp2FinalFile(folder, name)};
        }
        break;
    case DeviceFamily::Pmp:
        cleanup.files = {PmpWorkingAudio(folder, name), PmpWorkingVideo(folder, name)};
        if (task.status == TaskStatus::Converting) {
            cleanup.stopEncoder = true;
        } else if (task.status == TaskStatus::Muxing) {
            cleanup.files.push_back(PmpFinalFile(folder, name));
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

bool IsSameFile(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) {
        return false;
    }
    const std::string firstFull = FullPath(first);
    const std::string secondFull = FullPath(second);
    if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, firstFull.c_str(), -1, secondFull.c_str(), -1) ==
        CSTR_EQUAL) {
        return true;
    }
    const std::optional<FileIdentity> firstIdentity = IdentityOfFile(firstFull);
    return firstIdentity && firstIdentity == IdentityOfFile(secondFull);
}

std::optional<FileIdentity> IdentityOfFile(const std::string& path) {
    const UniqueHandle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!file || !GetFileInformationByHandle(file.get(), &info)) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}
