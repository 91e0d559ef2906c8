#include "engine/Pipelines.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

#include "engine/EncoderRunner.h"
#include "engine/EngineGlobals.h"
#include "engine/EngineHost.h"
#include "engine/ErrorLog.h"
#include "engine/FileIdentity.h"
#include "engine/FinishingActions.h"
#include "engine/PipelineFiles.h"
#include "engine/ProfileReader.h"
#include "engine/SourceExport.h"
#include "engine/TaskCommands.h"
#include "engine/TaskProgress.h"
#include "engine/TaskStatus.h"

namespace {

enum class Role { Progress, Hidden };

// The files the last Stop deleted. A program that still held one open kept it then; once the
// interrupted pipeline has returned, its programs have ended and the files go for good.
std::vector<std::string> cancelDeletedFiles;

bool HasCurrentTask() {
    return mainWindow != nullptr && currentTaskIndex >= 0 && currentTaskIndex < mainWindow->TaskCount();
}

ConversionTask CurrentTask() {
    return mainWindow->GetTask(currentTaskIndex);
}

const OutputSettings& RunSettings() {
    return mainWindow->RunSettings();
}

// Deletes a file of the conversion by name; whatever happens, never the task's own source.
void DeleteTaskFile(const std::string& path) {
    if (path.empty() || (HasCurrentTask() && IsSameFile(path, CurrentTask().sourcePath))) {
        return;
    }
    DeleteFileA(path.c_str());
}

void DeleteTaskFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        DeleteTaskFile(path);
    }
}

void FailTask(const std::string& reason) {
    const std::string line = "Conversion failed: \"" + CurrentTask().sourcePath + "\": " + reason + "\n";
    AppendToLog(line.c_str());
    SetTaskStatus(TaskStatus::Failed);
}

// The pipeline's look at the stop request: shows "Canceled" and tells the pipeline to end.
bool CheckStopped() {
    if (!cancelRequested) {
        return false;
    }
    SetTaskStatus(TaskStatus::Canceled);
    return true;
}

std::string StepFailure(int step, int steps, Role role, const RunResult& result) {
    char text[160] = {};
    const char* what = role == Role::Progress ? "encoder" : "helper";
    if (!result.started) {
        std::snprintf(text, sizeof(text), "step %d of %d (%s) could not be started", step, steps, what);
    } else if (!result.ended) {
        std::snprintf(text, sizeof(text), "step %d of %d (%s) did not end", step, steps, what);
    } else {
        std::snprintf(text, sizeof(text), "step %d of %d (%s) ended with exit code %lu", step, steps, what,
                      result.exitCode);
    }
    // The encoder's own "error:" line says why; a helper run hidden has no output to read.
    if (!result.errorLine.empty()) {
        return std::string(text) + ": " + result.errorLine;
    }
    return text;
}

// The expanded commands of one pipeline run, read before anything runs: a preset that lacks
// one fails the task at once rather than halfway.
class StepCommands {
public:
    // Reads the `count` commands of the run's preset from the family's profile file. Empty,
    // after failing the task, when one is missing.
    static std::optional<StepCommands> ReadPreset(int count) {
        SetCurrentDirectoryA(workDirectory);
        const OutputSettings& settings = RunSettings();
        const std::string file = ProfileFilePath(ProfileFileIndex(settings.deviceFamily, settings.threeGpType));
        if (settings.profileIndex < 0) {
            FailTask("no preset is selected");
            return std::nullopt;
        }
        StepCommands commands;
        for (int c = 1; c <= count; ++c) {
            const std::optional<std::string> command = ReadPresetCommand(file, settings.profileIndex, c);
            if (!command) {
                FailTask("preset " + std::to_string(static_cast<long long>(settings.profileIndex) + 1) + " of " + file + " has no command " +
                         std::to_string(c) + " (its pipeline runs " + std::to_string(count) + ")");
                return std::nullopt;
            }
            commands.lines.push_back(ExpandTemplate(*command, currentTaskIndex));
        }
        return commands;
    }

    static StepCommands Single(std::string command) {
        StepCommands commands;
        commands.lines.push_back(std::move(command));
        return commands;
    }

    // Runs command `step` (counted from 1) in its role. No program starts once a stop is
    // requested: the next check shows it. False, after failing the task, when the step
    // failed; its working files go with it.
    bool Run(int step, Role role) const {
        if (cancelRequested) {
            return true;
        }
        const std::string& command = lines.at(static_cast<size_t>(step - 1));
        const RunResult result = role == Role::Progress ? RunWithProgress(command.c_str()) : RunHidden(command.c_str());
        if (!result.Failed() || cancelRequested) {
            return true;
        }
        if (role == Role::Progress) {
            StopEncoder();
        }
        FailTask(StepFailure(step, static_cast<int>(lines.size()), role, result));
        return false;
    }

private:
    std::vector<std::string> lines;
};

// The end of every pipeline but iPod's: a stop that came during the last steps shows
// "Canceled"; otherwise the final file must be there.
bool FinishPipeline() {
    if (CheckStopped()) {
        return false;
    }
    const std::string finalFile = FinalOutputPath(RunSettings(), CurrentTask());
    if (GetFileAttributesA(finalFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        FailTask("the output file \"" + finalFile + "\" does not exist after the last step");
        return false;
    }
    return true;
}

void MarkFinished() {
    ConversionTask task = CurrentTask();
    task.finished = true;
    mainWindow->SetTask(currentTaskIndex, task);
    mainWindow->RedrawTaskStatus(currentTaskIndex);
}

// The encoder would write over the user's video, or a clean-up would delete it.
bool OutputWouldHitSource() {
    const ConversionTask task = CurrentTask();
    for (const std::string& file : FilesTouchedByTask(RunSettings(), task)) {
        if (IsSameFile(file, task.sourcePath)) {
            FailTask("the output file \"" + file + "\" is the source itself; choose another output folder");
            return true;
        }
    }
    return false;
}

// The files a task may write, as they were when it began: a failed task removes the ones it
// made and never one that was there before it. A file is told by its identity (volume and
// file index), not its name: one deleted and made anew under the same name during the task
// is the task's own; one written over in place is still the user's and stays, as the file
// system's times cannot tell which write was whose.
class TaskFilesBefore {
public:
    void Take(const std::vector<std::string>& paths) {
        files.clear();
        for (const std::string& path : paths) {
            files.push_back({path, IdentityOfFile(path)});
        }
    }

    // Deletes every file of the list that exists now and did not exist, as this very file,
    // when the task began.
    void RemoveMadeByTask() const {
        for (const Entry& entry : files) {
            const std::optional<FileIdentity> now = IdentityOfFile(entry.path);
            if (now && now != entry.before) {
                DeleteTaskFile(entry.path);
            }
        }
    }

private:
    struct Entry {
        std::string path;
        std::optional<FileIdentity> before;
    };

    std::vector<Entry> files;
};

TaskFilesBefore taskFilesBefore;

bool RunFamilyPipeline(DeviceFamily deviceFamily) {
    switch (deviceFamily) {
    case DeviceFamily::Ipod: return ConvertIpod();
    case DeviceFamily::Psp: return ConvertPsp();
    case DeviceFamily::ThreeGp: return Convert3gp();
    case DeviceFamily::Xbox:
    case DeviceFamily::PocketPc: return ConvertSingleStep();
    case DeviceFamily::Pmp: return ConvertPmp();
    default: FailTask("no device family is selected"); return false;
    }
}

} // namespace

void ResetTaskProgress() {
    if (!mainWindow) {
        return;
    }
    const int count = mainWindow->TaskCount();
    for (int i = 0; i < count; ++i) {
        ConversionTask task = mainWindow->GetTask(i);
        task.finished = false;
        task.outputSizeKB = 0;
        task.speed = 0.0;
        task.encodedTime = 0.0;
        task.status = TaskStatus::None;
        mainWindow->SetTask(i, task);
        mainWindow->RedrawTaskRow(i);
    }
}

void ConvertTask(int index) {
    currentTaskIndex = index;
    if (!HasCurrentTask()) {
        return;
    }
    taskStartTick = GetTickCount();
    cancelDeletedFiles.clear();
    if (OutputWouldHitSource()) {
        return;
    }
    // A zero length means "to the end" to the encoder: such a range is refused before
    // anything runs or is written.
    if (const std::string problem = SelectedRangeProblem(CurrentTask()); !problem.empty()) {
        FailTask(problem);
        return;
    }
    taskFilesBefore.Take(FilesTouchedByTask(RunSettings(), CurrentTask()));
    bool exported = true;
    if (CurrentTask().needsExport) {
        exported = ExportSourceThroughPlayer(index);
        // A stop during the export: the export's progress line would otherwise stay, as if
        // it were still going.
        if (cancelRequested) {
            SetTaskStatus(TaskStatus::Canceled);
        }
    }
    bool converted = false;
    if (!cancelRequested) {
        if (exported) {
            converted = RunFamilyPipeline(RunSettings().deviceFamily);
        } else {
            FailTask("its RealMedia source could not be exported through the player");
        }
    }
    if (cancelRequested) {
        DeleteTaskFiles(cancelDeletedFiles);
        return;
    }
    // The export file was only for this conversion, whether it worked or not.
    const ConversionTask task = CurrentTask();
    if (task.needsExport) {
        DeleteTaskFile(task.exportPath);
    }
    if (converted) {
        MarkFinished();
    } else if (task.status == TaskStatus::Failed) {
        // Nothing half-made stays under a device's name, nor any working file.
        taskFilesBefore.RemoveMadeByTask();
    }
}

bool ConvertIpod() {
    SetCurrentDirectoryA(workDirectory);
    const std::optional<std::string> command = BuildPresetCommand(currentTaskIndex);
    if (!command) {
        FailTask("iPod preset " + std::to_string(RunSettings().presetIndex) + " has no \"Command0\" in " +
                 ProfileFilePath(ipodProfileFileIndex));
        return false;
    }
    const StepCommands steps = StepCommands::Single(*command);
    SetTaskStatus(TaskStatus::Converting);
    if (!steps.Run(1, Role::Progress)) {
        return false;
    }
    // Stopped: the last progress line stays in the status column.
    if (cancelRequested) {
        return false;
    }
    const ConversionTask task = CurrentTask();
    if (task.needsExport) {
        DeleteTaskFile(task.exportPath);
    }
    StopEncoder();
    const std::string finalFile = FinalOutputPath(RunSettings(), task);
    if (GetFileAttributesA(finalFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        FailTask("the output file \"" + finalFile + "\" does not exist after the last step");
        return false;
    }
    MarkFinished();
    if (!mainWindow->ShutDownChecked()) {
        AddToITunes(finalFile);
    }
    return true;
}

bool ConvertPsp() {
    const std::optional<StepCommands> steps = StepCommands::ReadPreset(PipelineCommandCount(RunSettings()));
    if (!steps) {
        return false;
    }
    // The thumbnail first, without a status of its own. A stop during it ends the pipeline
    // here: the encoder step must not start only to be abandoned.
    if (!steps->Run(1, Role::Hidden) || CheckStopped()) {
        return false;
    }
    SetTaskStatus(TaskStatus::Converting);
    if (!steps->Run(2, Role::Progress) || CheckStopped()) {
        return false;
    }
    StopEncoder();
    return FinishPipeline();
}

bool Convert3gp() {
    const OutputSettings& settings = RunSettings();
    const std::optional<StepCommands> steps = StepCommands::ReadPreset(PipelineCommandCount(settings));
    if (!steps) {
        return false;
    }
    const std::string& folder = settings.outputDirectory;
    const std::string name = CurrentTask().outputName;
    SetTaskStatus(TaskStatus::Converting);
    if (!steps->Run(1, Role::Progress) || CheckStopped()) {
        return false;
    }
    StopEncoder();
    SetTaskStatus(TaskStatus::Exporting);
    if (!steps->Run(2, Role::Hidden) || CheckStopped()) {
        return false;
    }
    if (!steps->Run(3, Role::Hidden)) {
        return false;
    }
    DeleteTaskFile(PipelineFilePath(PipelineFile::ThreeGpWorking, folder, name));
    if (settings.threeGpType == ThreeGpType::ThreeGp2) {
        SetTaskStatus(TaskStatus::Changing);
        if (!steps->Run(4, Role::Hidden) || CheckStopped()) {
            return false;
        }
        if (!steps->Run(5, Role::Hidden)) {
            return false;
        }
        DeleteTaskFile(PipelineFilePath(PipelineFile::ThreeGp2Working, folder, name));
    }
    return FinishPipeline();
}

bool ConvertSingleStep() {
    const std::optional<StepCommands> steps = StepCommands::ReadPreset(PipelineCommandCount(RunSettings()));
    if (!steps) {
        return false;
    }
    SetTaskStatus(TaskStatus::Converting);
    if (!steps->Run(1, Role::Progress) || CheckStopped()) {
        return false;
    }
    StopEncoder();
    return FinishPipeline();
}

bool ConvertPmp() {
    const OutputSettings& settings = RunSettings();
    const std::optional<StepCommands> steps = StepCommands::ReadPreset(PipelineCommandCount(settings));
    if (!steps) {
        return false;
    }
    const std::string& folder = settings.outputDirectory;
    const std::string name = CurrentTask().outputName;
    SetTaskStatus(TaskStatus::Converting);
    if (!steps->Run(1, Role::Progress) || CheckStopped()) {
        return false;
    }
    StopEncoder();
    SetTaskStatus(TaskStatus::Muxing);
    if (!steps->Run(2, Role::Hidden) || CheckStopped()) {
        return false;
    }
    if (!steps->Run(3, Role::Hidden)) {
        return false;
    }
    DeleteTaskFile(PipelineFilePath(PipelineFile::PmpWorkingVideo, folder, name));
    if (!steps->Run(4, Role::Hidden)) {
        return false;
    }
    DeleteTaskFile(PipelineFilePath(PipelineFile::PmpWorkingAudio, folder, name));
    return FinishPipeline();
}

void CancelConversion() {
    cancelRequested = true;
    if (!HasCurrentTask()) {
        return;
    }
    const CancelCleanup cleanup = CancelCleanupFor(RunSettings(), CurrentTask());
    // The encoder gets its "q" before its files are deleted, so that it lets go of them
    // sooner. StopEncoder does nothing while no progress run has its pipes open.
    if (cleanup.stopEncoder) {
        StopEncoder();
    }
    DeleteTaskFiles(cleanup.files);
    cancelDeletedFiles = cleanup.files;
}
