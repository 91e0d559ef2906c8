#pragma once
// A parent window for the player control that records the control's events, the decoders this process still runs,
// and the clips users queue.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "player/PlayerControl.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tests/support/MessagePump.h"

struct PlayerEvents {
    std::vector<double> positions;        // once after every RunPlayer
    std::vector<PlayerEvent> playback;    // playback progress and its end
    std::vector<PlayerEvent> progress;    // export progress
    std::vector<PlayerEvent> completions; // export ends
    std::function<void(double)> onPosition;
    std::function<void(const PlayerEvent&)> onProgress;
    std::function<void()> onCompleted;
};

class PlayerWindow {
public:
    explicit PlayerWindow(int width = 320, int height = 240) {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        RegisterPlayerWindowClass(instance);
        WNDCLASSEXA parentClass = {};
        parentClass.cbSize = sizeof parentClass;
        parentClass.lpfnWndProc = &PlayerWindow::ParentProc;
        parentClass.hInstance = instance;
        parentClass.lpszClassName = "MovaraPlayerTestParent";
        RegisterClassExA(&parentClass);
        parent = CreateWindowExA(0, "MovaraPlayerTestParent", "Player", WS_POPUP | WS_VISIBLE, 0, 0, width + 20,
                                 height + 20, nullptr, nullptr, instance, nullptr);
        SetWindowLongPtrA(parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&events));
        player = CreateWindowExA(0, playerWindowClass, "", WS_CHILD | WS_VISIBLE, 10, 10, width, height, parent,
                                 reinterpret_cast<HMENU>(INT_PTR{1053}), instance, nullptr);
    }
    ~PlayerWindow() {
        if (IsWindow(parent))
            DestroyWindow(parent);
    }
    PlayerWindow(const PlayerWindow&) = delete;
    PlayerWindow& operator=(const PlayerWindow&) = delete;

    CPlayerControl* Control() const { return CPlayerControl::FromWindow(player); }

    // Waits until the control has nothing running and owes no event, then dispatches what is left in the queue.
    bool Settle(DWORD limitMs = 30000) {
        const bool idle = PumpUntil([&] { return Control() == nullptr || Control()->IsIdle(); }, limitMs);
        PumpPending();
        return idle;
    }

    HWND parent = nullptr;
    HWND player = nullptr;
    PlayerEvents events;

private:
    static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* events = reinterpret_cast<PlayerEvents*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!events || !lParam)
            return DefWindowProcA(window, message, wParam, lParam);
        const PlayerEvent& event = *reinterpret_cast<const PlayerEvent*>(lParam);
        switch (message) {
        case playerPositionMessage:
            events->positions.push_back(event.position);
            if (events->onPosition)
                events->onPosition(event.position);
            return 0;
        case playerPlaybackMessage: events->playback.push_back(event); return 0;
        case playerExportProgressMessage:
            events->progress.push_back(event);
            if (events->onProgress)
                events->onProgress(event);
            return 0;
        case playerExportCompletedMessage:
            events->completions.push_back(event);
            if (events->onCompleted)
                events->onCompleted();
            return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
        }
    }
};

// ffmpeg and ffprobe processes this process started that still run.
inline int ChildDecoders() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        count += entry.th32ParentProcessID == GetCurrentProcessId() &&
                 (lstrcmpiA(entry.szExeFile, "ffmpeg.exe") == 0 || lstrcmpiA(entry.szExeFile, "ffprobe.exe") == 0);
    CloseHandle(snapshot);
    return count;
}

// A folder of its own under the temporary folder, with a blank in its name.
inline std::string PlayerTempFolder(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "movara player " + name + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// The player finds ffmpeg in app\ beside the program, else on the PATH; a test program lives elsewhere.
inline void PutShippedProgramsOnPath() {
    const std::string app = AppFolder().substr(0, AppFolder().size() - 1);
    char path[32767] = {};
    GetEnvironmentVariableA("PATH", path, sizeof(path));
    if (std::string(path).find(app) == std::string::npos)
        SetEnvironmentVariableA("PATH", (app + ";" + path).c_str());
}

// One clip of each source kind users queue, RealMedia (ffmpeg's own "rm" muxer) last: name and ffmpeg options.
struct ClipKind {
    std::string name;
    std::string options;
};
inline const ClipKind sampleClipKinds[] = {
    {"clip.avi", "-c:v mpeg4 -c:a libmp3lame"},
    {"clip.mpg", "-c:v mpeg2video -c:a mp2 -f vob"},
    {"clip.wmv", "-c:v wmv2 -c:a wmav2"},
    {"clip.mov", "-c:v libx264 -pix_fmt yuv420p -c:a aac"},
    {"clip.flv", "-c:v flv1 -c:a libmp3lame"},
    {"clip.3gp", "-c:v h263 -s 176x144 -c:a aac -ar 22050 -ac 1"},
    {"clip.mp4", "-c:v libx264 -pix_fmt yuv420p -c:a aac"},
    {"clip.rm", "-c:v rv20 -c:a ac3 -b:a 64k -f rm"},
};
inline const ClipKind& realMediaKind = sampleClipKinds[7];
