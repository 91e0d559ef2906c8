#pragma once

#include <string>
#include <vector>

#include "engine/ConversionTask.h"
#include "engine/DeviceProfiles.h"

// The names of the files a conversion makes and removes, worked out from the run's settings and
// a task, and what Stop deletes. Plain values: the pipelines act on them.

// "M4V%05d" with the device file number, or "MAQ%05d" for presets 16 and up: the base of
// the file names a PSP lists.
std::string PspDeviceFileBase(int deviceFileNumber, int profileIndex);

// The output file name the task list shows for `task` under `settings`' device family,
// 3GP type and preset; empty text for a family out of range.
std::string OutputNameShown(const ConversionTask& task, const OutputSettings& settings);

// The working and final files of the 3GP and PMP pipelines. A profile whose commands write
// intermediate files must name them so for the clean-up to find them.
enum class PipelineFile {
    ThreeGpWorking,  // "<name>_temp.3gp"
    ThreeGp2Working, // "<name>_temp_2.3g2"
    ThreeGpFinal,    // "<name>.3gp"
    ThreeGp2Final,   // "<name>.3g2"
    PmpWorkingVideo, // "<name>_temp.avi"
    PmpWorkingAudio, // "<name>_temp.mp3"
    PmpFinal,        // "<name>.pmp"
};

// The file in the output folder: the folder (ending in "\") directly followed by the name.
std::string PipelineFilePath(PipelineFile file, const std::string& outputDirectory, const std::string& outputName);

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

// Why the task's selected range cannot be converted, or empty text when it can. The commands
// get the range in whole seconds, and a length of 0 means "to the end" to the encoder: a range
// of under one second (end at or before begin included), or a time that is not a finite
// number, would convert the rest of the clip instead.
std::string SelectedRangeProblem(const ConversionTask& task);
