#include "MovaraProcess.h"

#include "resources/resource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Screenshot.h"

#include <commctrl.h>

#include <memory>

namespace {

// Bounds for waiting on the program: a warm start takes well under a second; these only keep a broken program from
// hanging the test.
constexpr int kWindowWaitMs = 20000;
constexpr DWORD kExitWaitMs = 20000;
constexpr int kIdleWaitMs = 10000;

struct Search {
    DWORD processId = 0;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window))
        search->windows.push_back(window);
    return TRUE;
}

bool IsMainWindow(HWND window) {
    return ClassNameOf(window) == "#32770" && GetDlgItem(window, IDC_TASK_LIST) != nullptr;
}

bool IsSplash(HWND window) {
    return ClassNameOf(window) == "#32770" && GetDlgItem(window, IDC_SPLASH_PICTURE) != nullptr &&
           GetDlgItem(window, IDC_TASK_LIST) == nullptr;
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

} // namespace

MovaraProcess::~MovaraProcess() {
    if (!started)
        return;
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
}

bool MovaraProcess::Start(const char* workingFolder) {
    const std::string program = MovaraPath();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + program + "\"";
    started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, workingFolder,
                             &startup, &process) != FALSE;
    if (started)
        CloseHandle(process.hThread);
    return started;
}

bool MovaraProcess::IsRunning() const {
    return started && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> MovaraProcess::VisibleWindows() const {
    Search search{process.dwProcessId, {}};
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

HWND MovaraProcess::WaitForWindow(const std::function<bool(HWND)>& wanted) const {
    HWND found = nullptr;
    PumpUntil([&] {
        for (HWND window : VisibleWindows())
            if (wanted(window)) {
                found = window;
                return true;
            }
        return !IsRunning();
    }, kWindowWaitMs);
    return found;
}

HWND MovaraProcess::WaitForMainWindow() const {
    return WaitForWindow([](HWND window) { return IsMainWindow(window); });
}

HWND MovaraProcess::WaitForWindowTitled(const char* title) const {
    return WaitForWindow([title](HWND window) { return WindowTextOf(window) == title; });
}

WindowTimeline MovaraProcess::WatchUntilMainWindow() const {
    WindowTimeline timeline;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(kWindowWaitMs) && IsRunning()) {
        bool mainShown = false;
        HWND splashShown = nullptr;
        for (HWND window : VisibleWindows()) {
            if (IsMainWindow(window)) {
                mainShown = true;
                timeline.mainWindow = window;
            } else if (IsSplash(window)) {
                splashShown = window;
            }
        }
        if (splashShown) {
            timeline.splash = splashShown;
            if (!mainShown)
                timeline.splashSeenBeforeMain = true;
        }
        if (mainShown)
            break;
        Sleep(1);
    }
    return timeline;
}

bool MovaraProcess::WaitUntilIdle() const {
    HWND main = WaitForMainWindow();
    HWND label = main ? GetDlgItem(main, IDC_VERSION_LABEL) : nullptr;
    if (!label)
        return false;
    auto waitForVisibleBit = [&](bool wanted) {
        return PumpUntil([&] {
            // A window that went has nothing left to handle.
            return !IsWindow(label) || ((GetWindowLongA(label, GWL_STYLE) & WS_VISIBLE) != 0) == wanted;
        }, kIdleWaitMs);
    };
    PostMessageA(label, WM_SETREDRAW, FALSE, 0);
    if (!waitForVisibleBit(false))
        return false;
    PostMessageA(label, WM_SETREDRAW, TRUE, 0);
    return waitForVisibleBit(true);
}

void MovaraProcess::WaitForStillPixels(HWND window, int x, int y) const {
    POINT point{x, y};
    ClientToScreen(window, &point);
    COLORREF last = ScreenPixel(point.x, point.y);
    int still = 0;
    for (int waited = 0; waited < kWindowWaitMs && still < 8; waited += 100) {
        Sleep(100);
        const COLORREF now = ScreenPixel(point.x, point.y);
        still = now == last ? still + 1 : 0;
        last = now;
    }
}

bool MovaraProcess::WaitForExit(DWORD* exitCode) const {
    if (WaitForSingleObject(process.hProcess, kExitWaitMs) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process.hProcess, exitCode);
    return true;
}

std::string WindowTextOf(HWND window) {
    char text[1024] = {};
    // WM_GETTEXT rather than GetWindowText: across processes only the message reaches a window that answers it
    // itself.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

std::string ClassNameOf(HWND window) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<std::string> ComboItems(HWND combo) {
    // The wide messages: across processes the system hands an item's text over in its wide form.
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring wide(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
        char narrow[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
        items.push_back(narrow);
    }
    return items;
}

int ComboSelection(HWND combo) {
    return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

std::string ListCellText(HWND list, int row, int column) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return {};
    constexpr SIZE_T kTextSize = 1024;
    auto* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + kTextSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    char text[kTextSize] = {};
    if (remote) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iSubItem = column;
        item.pszText = remote + sizeof item;
        item.cchTextMax = kTextSize;
        DWORD_PTR length = 0;
        if (WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
            SendMessageTimeoutA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote),
                                SMTO_ABORTIFHUNG, 5000, &length))
            ReadProcessMemory(process, item.pszText, text, kTextSize - 1, nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}

void PostClick(HWND window, int x, int y) {
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

bool ReadMovaraValue(const char* subKey, std::string* value) {
    char buffer[1024] = {};
    LONG size = sizeof buffer;
    const std::string key = std::string("Software\\Movara\\") + subKey;
    if (RegQueryValueA(HKEY_CURRENT_USER, key.c_str(), buffer, &size) != ERROR_SUCCESS)
        return false;
    *value = buffer;
    return true;
}

void WriteMovaraValue(const char* subKey, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Movara", &key) != ERROR_SUCCESS)
        return;
    RegSetValueA(key, subKey, REG_SZ, value.c_str(), static_cast<DWORD>(value.size()));
    RegCloseKey(key);
}

void DeleteMovaraValue(const char* subKey) {
    const std::string key = std::string("Software\\Movara\\") + subKey;
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

void SavedMovaraValues::Save() {
    values.clear();
    for (const char* subKey : {"SkinIni", "Version", "destination", "fileno"}) {
        Saved saved{subKey, false, {}};
        saved.present = ReadMovaraValue(subKey, &saved.value);
        values.push_back(saved);
    }
}

void SavedMovaraValues::Restore() const {
    for (const Saved& saved : values) {
        if (saved.present)
            WriteMovaraValue(saved.subKey, saved.value);
        else
            DeleteMovaraValue(saved.subKey);
    }
}

std::string MovaraPath() {
    return BuildFolder() + "dist\\movara.exe";
}

std::string BuildFolderPath(const char* name) {
    return BuildFolder() + name;
}

bool SaveScreenRectPng(const RECT& rect, const std::string& path) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP shot = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteFileA(path.c_str());
    const bool saved = SaveBitmapPng(shot, path);
    DeleteObject(shot);
    return saved;
}
