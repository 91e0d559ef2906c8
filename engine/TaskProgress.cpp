#include "engine/TaskProgress.h"

#include "engine/EncoderRunner.h"
#include "engine/EngineGlobals.h"
#include "engine/EngineHost.h"
#include "engine/ProgressParsing.h"

DWORD taskStartTick = 0;

namespace {

// Without a main window or with an index outside the list there is no current task; the
// reports are then dropped instead of reaching into a task that does not exist.
bool HasCurrentTask() {
    return mainWindow && currentTaskIndex >= 0 && currentTaskIndex < mainWindow->TaskCount();
}

// Milliseconds since taskStartTick; unsigned, so the tick counter's wrap after 49.7 days
// still gives the right difference.
DWORD ElapsedSinceTaskStart() {
    return GetTickCount() - taskStartTick;
}

void StoreCurrentTask(const ConversionTask& task) {
    mainWindow->SetTask(currentTaskIndex, task);
    mainWindow->RedrawTaskStatus(currentTaskIndex);
}

} // namespace

void ParseProgressChunk(const char* chunk) {
    const DWORD elapsed = ElapsedSinceTaskStart();
    if (!HasCurrentTask()) {
        return;
    }
    ConversionTask task = mainWindow->GetTask(currentTaskIndex);
    if (ApplyProgressChunk(task, chunk, elapsed)) {
        // The read loop notices the closed pipe and ends quietly; the pipeline's own stop
        // afterwards finds nothing open.
        StopEncoder();
    }
    StoreCurrentTask(task);
}

void SetTaskStatus(TaskStatus status) {
    if (!HasCurrentTask()) {
        return;
    }
    ConversionTask task = mainWindow->GetTask(currentTaskIndex);
    task.status = status;
    StoreCurrentTask(task);
}

void UpdateExportProgress(double position, double total) {
    const DWORD elapsed = ElapsedSinceTaskStart();
    if (!HasCurrentTask()) {
        return;
    }
    ConversionTask task = mainWindow->GetTask(currentTaskIndex);
    ApplyExportProgress(task, position, total, elapsed);
    StoreCurrentTask(task);
}
