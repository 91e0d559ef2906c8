#pragma once

#include <string>
#include <vector>

#include "engine/SourceExport.h"
#include "framework/Wnd.h"
#include "player/PlayerControl.h"

// The main window's wrapper of the media player control (control 1053 of its template): one
// method per operation of the control. Every call on a control that is gone, or was never
// attached, does nothing and gives the empty answer (0, false, an empty list). It is also
// the player the engine exports RealMedia sources through.
class CVideoEdit : public CWnd, public SourceExportPlayer {
public:
    static constexpr int controlId = 1053;

    // Attaches to the control `id` of `parent`.
    bool Attach(HWND parent, int id = controlId);

    double GetDuration(const std::string& path);
    bool OpenClip(const std::string& path, double start, double end, short play) override;
    bool SetClipRange(const std::string& path, double start, double end) override;
    bool RunPlayer();
    void PausePlayer();
    void StopPlayer() override;
    void CloseClip() override;
    bool ExportClip(const std::string& path) override;

    void SetColorDepth(short depth) override;
    void SetOutputHeight(short height) override;
    void SetOutputWidth(short width) override;
    void SetOutputFormat(long format) override;
    void SetOutputFrameRate(float rate) override;
    PlayerCodecList VideoCodecs();
    PlayerCodecList AudioCodecs();
    void SetVideoCodecIndex(short index) override;
    void SetAudioCodecIndex(short index) override;
    void SetUseVideoCodec(bool use) override;
    void SetUseAudioCodec(bool use) override;

    std::vector<std::string> VideoCodecNames() override;
    std::vector<std::string> AudioCodecNames() override;
    bool IsExporting() override;

    // The control itself; null when there is none.
    CPlayerControl* Control() const;
};
