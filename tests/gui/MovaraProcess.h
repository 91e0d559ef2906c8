#pragma once
// The real movara.exe started from a test, and the outside views of it that a user's tools have: its windows, their
// texts and classes, the registry values it reads and writes.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The program as laid out in the build's dist/ folder.
std::string MovaraPath();

// What was seen of the windows of a starting Movara until its main window showed.
struct WindowTimeline {
    HWND mainWindow = nullptr;
    HWND splash = nullptr;
    bool splashSeenBeforeMain = false; // the splash showed while the main window did not yet
};

// One running Movara, ended by the test or killed when the test stops half-way.
class MovaraProcess {
public:
    MovaraProcess() = default;
    MovaraProcess(const MovaraProcess&) = delete;
    MovaraProcess& operator=(const MovaraProcess&) = delete;
    ~MovaraProcess();

    // Starts movara.exe in workingFolder (null: the test's own folder).
    bool Start(const char* workingFolder = nullptr);
    bool IsRunning() const;
    DWORD ProcessId() const { return process.dwProcessId; }

    // The visible main window (the one holding the task list), or null after a bounded wait.
    HWND WaitForMainWindow() const;
    // The first visible top-level window of the process that `wanted` accepts, or null after a bounded wait.
    HWND WaitForWindow(const std::function<bool(HWND)>& wanted) const;
    // A visible window of the process with the given title, or null after a bounded wait.
    HWND WaitForWindowTitled(const char* title) const;
    // Watches the process's top-level windows from its start until the main window shows.
    WindowTimeline WatchUntilMainWindow() const;
    // The process's visible top-level windows.
    std::vector<HWND> VisibleWindows() const;

    // Returns once the program's user-interface thread has handled every message posted to it before the call: a
    // marker is posted behind them (WM_SETREDRAW to the version label, which flips its visible bit and back) and
    // waited for. False when the thread does not get there within a bounded time.
    bool WaitUntilIdle() const;
    // Waits (bounded) until the screen pixel at client point x, y of window stops changing: a fade has ended.
    void WaitForStillPixels(HWND window, int x, int y) const;
    bool WaitForExit(DWORD* exitCode) const;

private:
    bool started = false;
    PROCESS_INFORMATION process{};
};

std::string WindowTextOf(HWND window);
std::string ClassNameOf(HWND window);
// A combo box's items and selection, read across the process boundary.
std::vector<std::string> ComboItems(HWND combo);
int ComboSelection(HWND combo);
// The text of one cell of another process's list view, as it shows: LVM_GETITEMTEXT with the record and the text
// buffer placed in that process's memory (a pointer of ours would mean nothing there). Empty on failure.
std::string ListCellText(HWND list, int row, int column);

// What a user's mouse sends a window: the press and release of the left button at client point x, y.
void PostClick(HWND window, int x, int y);

// Default values of the keys under HKCU "Software\Movara".
bool ReadMovaraValue(const char* subKey, std::string* value);
void WriteMovaraValue(const char* subKey, const std::string& value);
void DeleteMovaraValue(const char* subKey);

// Keeps the program's registry values of the test account and puts them back.
class SavedMovaraValues {
public:
    void Save();
    void Restore() const;

private:
    struct Saved {
        const char* subKey;
        bool present;
        std::string value;
    };
    std::vector<Saved> values;
};

// A file in the build folder (where the screenshots go).
std::string BuildFolderPath(const char* name);
// Saves the screen's pixels inside rect as a PNG.
bool SaveScreenRectPng(const RECT& rect, const std::string& path);
