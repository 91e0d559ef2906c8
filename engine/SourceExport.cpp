#include "engine/SourceExport.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <utility>

#include "engine/EncoderRunner.h"
#include "engine/EngineGlobals.h"
#include "engine/EngineHost.h"
#include "engine/RandomInRange.h"
#include "engine/TaskProgress.h"
#include "engine/TaskStatus.h"

namespace {

// How long the wait for the player's events sleeps at most between looks at the task: the
// events themselves wake it at once.
constexpr DWORD exportWaitSliceMs = 250;

SourceExportFunction& Exporter() {
    static SourceExportFunction exporter;
    return exporter;
}

SourceExportPlayer* exportPlayer = nullptr;

int LastIndexContaining(const std::vector<std::string>& names, const char* text) {
    int found = -1;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i].find(text) != std::string::npos)
            found = static_cast<int>(i);
    }
    return found;
}

bool HasTask(int index) {
    return mainWindow != nullptr && index >= 0 && index < mainWindow->TaskCount();
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string IntermediateName(const std::string& baseName, bool avi) {
    char name[pathBufferSize * 2] = {};
    std::snprintf(name, sizeof(name), avi ? "%s_%d.avi" : "%s_%d.mpg", baseName.c_str(), RandomInRange(10000, 50000));
    return std::string(programDirectory) + name;
}

} // namespace

SourceExportFunction ReplaceSourceExport(SourceExportFunction exporter) {
    return std::exchange(Exporter(), std::move(exporter));
}

bool ExportSourceThroughPlayer(int taskIndex) {
    const SourceExportFunction& exporter = Exporter();
    // Without a player there is nothing that can read RealMedia: the caller fails the task.
    return exporter ? exporter(taskIndex) : false;
}

ExportCompressors ChooseExportCompressors(const std::vector<std::string>& videoNames,
                                          const std::vector<std::string>& audioNames) {
    ExportCompressors chosen;
    chosen.video = LastIndexContaining(videoNames, "Microsoft MPEG-4 Video Codec V3");
    if (chosen.video < 0)
        chosen.video = LastIndexContaining(videoNames, "DivX");
    chosen.audio = LastIndexContaining(audioNames, "MPEG Layer-3");
    if (chosen.audio < 0)
        chosen.audio = LastIndexContaining(audioNames, "PCM");
    return chosen;
}

void UsePlayerForSourceExport(SourceExportPlayer* player) {
    exportPlayer = player;
    if (player != nullptr)
        ReplaceSourceExport([player](int taskIndex) { return ExportThroughPlayer(*player, taskIndex); });
    else
        ReplaceSourceExport({});
}

bool ExportThroughPlayer(SourceExportPlayer& player, int taskIndex) {
    if (!HasTask(taskIndex))
        return false;
    const ExportCompressors compressors = ChooseExportCompressors(player.VideoCodecNames(), player.AudioCodecNames());
    const bool avi = compressors.Avi();
    player.CloseClip();
    player.SetOutputWidth(320);
    player.SetOutputHeight(240);
    player.SetColorDepth(24);
    if (avi) {
        player.SetOutputFrameRate(25.0f);
        player.SetOutputFormat(exportFormatAvi);
        player.SetUseVideoCodec(true);
        player.SetVideoCodecIndex(static_cast<short>(compressors.video));
        player.SetUseAudioCodec(true);
        player.SetAudioCodecIndex(static_cast<short>(compressors.audio));
    } else {
        player.SetOutputFrameRate(23.976f);
        player.SetOutputFormat(exportFormatMpeg);
    }
    ConversionTask task = mainWindow->GetTask(taskIndex);
    player.OpenClip(task.sourcePath, task.beginTime, task.endTime, 0);
    player.SetClipRange(task.sourcePath, task.beginTime, task.endTime);

    const std::string path = IntermediateName(task.exportBaseName, avi);
    task.exportPath = path;
    task.status = TaskStatus::SourceExport;
    task.exportDone = false;
    mainWindow->SetTask(taskIndex, task);
    mainWindow->RedrawTaskStatus(taskIndex);

    DeleteFileA(path.c_str());
    taskStartTick = GetTickCount();
    if (!player.ExportClip(path)) {
        DeleteFileA(path.c_str());
        return false;
    }
    // The player's events arrive as messages: wait for them rather than spin, with a look at
    // the task and the stop request after every batch.
    bool quitPending = false;
    for (;;) {
        if (cancelRequested || quitPending)
            break;
        if (mainWindow->GetTask(taskIndex).exportDone)
            break;
        // A player that is no longer exporting and never said it completed (its window was
        // destroyed, say) would otherwise be waited for forever.
        if (!player.IsExporting())
            break;
        quitPending = !PumpMessages();
        if (!quitPending && !mainWindow->GetTask(taskIndex).exportDone && !cancelRequested)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, exportWaitSliceMs, QS_ALLINPUT);
    }
    const bool completed = HasTask(taskIndex) && mainWindow->GetTask(taskIndex).exportDone;
    if (cancelRequested || quitPending || !completed || !FileExists(path)) {
        // Stopped, or ended without a file to convert: nothing of it is left behind.
        player.StopPlayer();
        DeleteFileA(path.c_str());
        return false;
    }
    return true;
}

void OnExportComplete() {
    if (exportPlayer != nullptr)
        exportPlayer->StopPlayer();
    if (!HasTask(currentTaskIndex))
        return;
    ConversionTask task = mainWindow->GetTask(currentTaskIndex);
    task.exportDone = true;
    task.status = TaskStatus::Converting;
    mainWindow->SetTask(currentTaskIndex, task);
    mainWindow->RedrawTaskStatus(currentTaskIndex);
}

void OnExportProgress(double position, double total) {
    // A total of nothing would divide by zero: such an event only keeps the messages moving.
    if (std::isfinite(position) && std::isfinite(total) && total > 0.0)
        UpdateExportProgress(position, total);
    PumpMessages();
    if (cancelRequested) {
        if (exportPlayer != nullptr)
            exportPlayer->StopPlayer();
        if (HasTask(currentTaskIndex))
            DeleteFileA(mainWindow->GetTask(currentTaskIndex).exportPath.c_str());
    }
}
