#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/ConversionTask.h"
#include "engine/DeviceProfiles.h"

// The files a conversion makes and removes, worked out from the run's settings and a task.
// Plain values: the pipelines act on them.

// How many preset commands the family's pipeline runs: iPod 1 (its "Command0"), PSP 2,
// 3GP 3 (3GP2 5), Xbox and Pocket PC 1, PMP 4; 0 for a family out of range.
int PipelineCommandCount(const OutputSettings& settings);

// The device file the task's conversion ends with: the output folder followed by the output
// name the task list shows.
std::string FinalOutputPath(const OutputSettings& settings, const ConversionTask& task);

// The PSP thumbnail beside the task's video: its name with ".THM" in place of ".MP4".
std::string PspThumbnailPath(const OutputSettings& settings, const ConversionTask& task);

// The intermediate files of the family's pipeline, which must not outlive it.
std::vector<std::string> WorkingFiles(const OutputSettings& settings, const ConversionTask& task);

// What Stop does for the current task: whether the running encoder is told to quit, and the
// files to delete, by the family and the stage (status) the task is in. A task whose source
// was exported first also loses its export file.
struct CancelCleanup {
    bool stopEncoder = false;
    std::vector<std::string> files;
};
CancelCleanup CancelCleanupFor(const OutputSettings& settings, const ConversionTask& task);

// Every file in the output folder that converting the task writes or may delete: the final
// file, the working files (and PSP's thumbnail), and what the clean-up names for the task's
// own type; nothing else.
std::vector<std::string> FilesTouchedByTask(const OutputSettings& settings, const ConversionTask& task);

// What tells one existing file from another however a path spells it (short names, other drive
// letters for the same folder): its volume and file index.
struct FileIdentity {
    unsigned long volume = 0;
    unsigned long indexHigh = 0;
    unsigned long indexLow = 0;
    bool operator==(const FileIdentity&) const = default;
};
// The identity of the file or folder at `path`; nullopt when there is none or it cannot be read.
std::optional<FileIdentity> IdentityOfFile(const std::string& path);

// True when the two paths name the same file: equal as full paths, ignoring letter case as
// the file system does, or, when both exist, the very same file reached two ways.
bool IsSameFile(const std::string& first, const std::string& second);

// Why the task's selected range cannot be converted, or empty text when it can. The commands
// get the range in whole seconds, and a length of 0 means "to the end" to the encoder: a range
// of under one second (end at or before begin included), or a time that is not a finite
// number, would convert the rest of the clip instead.
std::string SelectedRangeProblem(const ConversionTask& task);
