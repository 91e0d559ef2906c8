#pragma once
// The real movara.exe started from a test, and the outside views of it that a user's tools have: its windows, their
// texts and classes, the registry values it reads and writes.

#include "framework/UniqueHandle.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The program as laid out in the build's dist/ folder.
std::string MovaraPath();

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

    // The first visible top-level window of the process that `wanted` accepts, or null after limitMs.
    HWND WaitForWindow(const std::function<bool(HWND)>& wanted, DWORD limitMs = 20000) const;
    // The visible main window (the one holding the task list), or null after a bounded wait.
    HWND WaitForMainWindow() const;
    // The process's visible top-level windows.
    std::vector<HWND> VisibleWindows() const;

    // Returns once the program's user-interface thread has handled every message posted to it before the call: a
    // marker is posted behind them (WM_SETREDRAW to the version label, which flips its visible bit and back) and
    // waited for. False when the thread does not get there within a bounded time.
    bool WaitUntilIdle() const;
    bool WaitForExit(DWORD* exitCode) const;

private:
    UniqueHandle process;
    DWORD processId = 0;
};

std::string WindowTextOf(HWND window);
std::string ClassNameOf(HWND window);
// The text of one cell of another process's list view, as it shows: LVM_GETITEMTEXT with the record and the text
// buffer placed in that process's memory (a pointer of ours would mean nothing there). Empty on failure.
std::string ListCellText(HWND list, int row, int column);

// Default values of the keys under HKCU "Software\Movara".
bool ReadMovaraValue(const char* subKey, std::string* value);
void WriteMovaraValue(const char* subKey, const std::string& value);
void DeleteMovaraValue(const char* subKey);

// Keeps the program's registry values of the test account and puts them back.
class SavedMovaraValues {
public:
    static constexpr const char* kSubKeys[] = {"SkinIni", "Version", "destination", "fileno"};
    void Save();
    void Restore() const;

private:
    std::vector<std::pair<const char*, std::string>> present; // the values there were
};
