#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "player/PlayerCommands.h"

// The media player control: a child window of our own class that a dialog template holds by
// its class name. It previews a file (a still frame or a played range) and exports a range
// into an AVI or MPEG file. The decoding is ffmpeg's, run as a child process that writes raw
// frames already scaled to the control's size into a pipe; a worker thread reads them and
// hands them to the window, which paints from its frame buffer. The window's thread never
// waits on a pipe.
//
// Its events reach the parent window as sent messages: wParam is the control's id, lParam
// the address of a PlayerEvent that lives for the duration of the call.

inline constexpr char playerWindowClass[] = "MovaraPlayer";

// Registers the class in `instance` (again: succeeds). Before a dialog that holds one is made.
bool RegisterPlayerWindowClass(HINSTANCE instance);

inline constexpr UINT playerExportCompletedMessage = WM_APP + 0x701; // the export has ended
inline constexpr UINT playerExportProgressMessage = WM_APP + 0x702;  // position of total seconds exported
inline constexpr UINT playerPositionMessage = WM_APP + 0x704;        // once after every RunPlayer
// Playback goes on after that one position event: its progress, and its end (`ended`), come
// as this message, which the main window need not answer.
inline constexpr UINT playerPlaybackMessage = WM_APP + 0x705;

struct PlayerEvent {
    double position = 0.0; // seconds
    double total = 0.0;    // seconds; export progress only
    bool ended = false;    // playback message only: the played range has ended
};

// A compressor list of the control.
class PlayerCodecList {
public:
    explicit PlayerCodecList(std::vector<CodecEntry> entries = {}) : entries(std::move(entries)) {}
    short CodecCount() const { return static_cast<short>(entries.size()); }
    // Empty for an index outside the list.
    std::string CodecName(short index) const;
    const std::vector<CodecEntry>& Entries() const { return entries; }

private:
    std::vector<CodecEntry> entries;
};

class DecodeSession;
class SoundSession;
class ExportSession;

class CPlayerControl {
public:
    // The control behind a window of playerWindowClass; null for any other window, and once
    // the window is destroyed.
    static CPlayerControl* FromWindow(HWND window);

    double GetDuration(const std::string& path);
    bool OpenClip(const std::string& path, double start, double end, short play);
    bool SetClipRange(const std::string& path, double start, double end);
    bool RunPlayer();
    void PausePlayer();
    void StopPlayer();
    void CloseClip();
    bool ExportClip(const std::string& path);

    void SetColorDepth(short depth) { colorDepth = depth; }
    void SetOutputWidth(short width) { outputWidth = width; }
    void SetOutputHeight(short height) { outputHeight = height; }
    void SetOutputFormat(long format) { outputFormat = format; }
    void SetOutputFrameRate(float rate) { outputFrameRate = rate; }
    PlayerCodecList VideoCodecs();
    PlayerCodecList AudioCodecs();
    void SetVideoCodecIndex(short index) { videoCodecIndex = index; }
    void SetAudioCodecIndex(short index) { audioCodecIndex = index; }
    void SetUseVideoCodec(bool use) { useVideoCodec = use; }
    void SetUseAudioCodec(bool use) { useAudioCodec = use; }

    // State a test or a benchmark looks at.
    bool IsPlaying() const;
    // Nothing running and no event owed: nothing more will come until the next call.
    bool IsIdle() const;
    bool IsExporting() const;
    double Position() const { return shownPosition; }
    // Frames painted and frames the decoder gave up as late since the last RunPlayer.
    long long FramesShown() const { return framesShown; }
    long long FramesDropped() const;
    // The frame buffer: width x height BGRA pixels, top row first. False when it is empty.
    bool CopyFrame(std::vector<std::uint32_t>& pixels, int& width, int& height) const;
    // Child processes it is running now.
    int RunningChildren() const;

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    explicit CPlayerControl(HWND window);
    ~CPlayerControl();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    void OnPaint();
    void DoPaint(HDC dc, const RECT& client);
    void OnFrameReady(unsigned run);
    void OnDecodeEnded(unsigned run);
    void OnExportProgress(unsigned serial);
    void OnExportEnded(unsigned serial);
    void OnDestroy();

    void EndDecoding();
    void EndExport();
    // Sends the position event that run `run` still owes, if it does.
    // With `usePosition` false the event carries the position the run started at.
    void FirePosition(unsigned run, double position, bool usePosition);
    // The same from the message queue: after the caller's current call has returned.
    void PostPosition(unsigned run);
    void Notify(UINT message, const PlayerEvent& event);
    std::string Ffmpeg();

    HWND window = nullptr;
    std::string ffmpegPath;
    int dispatchDepth = 0;  // messages of this window being handled, nested
    bool destroyed = false; // the window is gone; delete once no handler runs

    // The opened clip.
    bool clipOpen = false;
    std::string clipPath;
    double clipStart = 0.0;
    double clipEnd = 0.0;
    short clipPlay = 0;
    MediaInfo clipInfo;
    double resumeAt = -1.0; // where a paused playback goes on; < 0: from the start

    // Export settings.
    short colorDepth = 24;
    short outputWidth = 320;
    short outputHeight = 240;
    long outputFormat = PlayerOutputFormat::avi;
    float outputFrameRate = 25.0f;
    short videoCodecIndex = 0;
    short audioCodecIndex = 0;
    bool useVideoCodec = false;
    bool useAudioCodec = false;

    std::unique_ptr<DecodeSession> decoding;
    std::unique_ptr<ExportSession> exporting;
    std::unique_ptr<SoundSession> sound;
    unsigned lastRun = 0;
    unsigned lastExport = 0;
    std::map<unsigned, double> owedPositions; // run → position its event will carry

    // The frame buffer the window paints from.
    std::vector<std::uint32_t> frame;
    int frameWidth = 0;
    int frameHeight = 0;
    double shownPosition = 0.0;
    long long framesShown = 0;
    long long framesDroppedBefore = 0;
};
