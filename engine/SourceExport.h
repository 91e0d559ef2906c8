#pragma once

#include <functional>
#include <string>
#include <vector>

// The export of a RealMedia source into an intermediate file that the pipelines read instead.
// The player control does the export; the engine reaches it only through the interface
// below, which the main window's wrapper of the control implements (tests use a fake).

// Exports the source of task `taskIndex`, storing the intermediate file in the task's
// exportPath. Returns when the export is complete (true), when it could not be made (false),
// or when a stop is requested (the caller looks at cancelRequested).
using SourceExportFunction = std::function<bool(int taskIndex)>;

// Puts `exporter` in place (an empty function puts the default back) and returns the one in
// place before. The default has no player to export with: it fails every export.
SourceExportFunction ReplaceSourceExport(SourceExportFunction exporter);

// Runs the export in place for task `taskIndex`.
bool ExportSourceThroughPlayer(int taskIndex);

// What the export needs of the player control: its compressor lists, its output settings,
// the clip operations and the export itself. Its events come back to the engine through
// OnExportProgress and OnExportComplete, called by whoever receives them.
class SourceExportPlayer {
public:
    virtual std::vector<std::string> VideoCodecNames() = 0; // the compressors' names, in list order
    virtual std::vector<std::string> AudioCodecNames() = 0;
    virtual void CloseClip() = 0;
    virtual void SetOutputWidth(short width) = 0;
    virtual void SetOutputHeight(short height) = 0;
    virtual void SetColorDepth(short depth) = 0;
    virtual void SetOutputFrameRate(float rate) = 0;
    virtual void SetOutputFormat(long format) = 0;
    virtual void SetUseVideoCodec(bool use) = 0;
    virtual void SetVideoCodecIndex(short index) = 0;
    virtual void SetUseAudioCodec(bool use) = 0;
    virtual void SetAudioCodecIndex(short index) = 0;
    virtual bool OpenClip(const std::string& path, double start, double end, short play) = 0;
    virtual bool SetClipRange(const std::string& path, double start, double end) = 0;
    virtual bool ExportClip(const std::string& path) = 0;
    virtual void StopPlayer() = 0;
    // True while an export it started has not ended.
    virtual bool IsExporting() = 0;
    virtual ~SourceExportPlayer() = default;
};

// Output formats of the player's export.
inline constexpr long exportFormatMpeg = 6;
inline constexpr long exportFormatAvi = 8;

// The compressors an export uses: the last video compressor whose name holds "Microsoft
// MPEG-4 Video Codec V3", else the last holding "DivX"; the last audio compressor holding
// "MPEG Layer-3", else the last holding "PCM"; -1 for none. Names are matched case-sensitively.
struct ExportCompressors {
    int video = -1;
    int audio = -1;
    bool Avi() const { return video >= 0 && audio >= 0; }
};
ExportCompressors ChooseExportCompressors(const std::vector<std::string>& videoNames,
                                          const std::vector<std::string>& audioNames);

// Makes `player` the one the export runs through (null: the default, which fails).
void UsePlayerForSourceExport(SourceExportPlayer* player);

// The export of task `taskIndex` through `player`, as ExportSourceThroughPlayer runs it.
bool ExportThroughPlayer(SourceExportPlayer& player, int taskIndex);

// The player's event handlers; both work on the current task.
void OnExportComplete();
void OnExportProgress(double position, double total);
