#include "MovaraProcess.h"

#include "framework/ProcessStart.h"
#include "resources/resource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/MessagePump.h"

#include <commctrl.h>

namespace {

// Bounds for waiting on the program: a warm start takes well under a second; these only keep a broken program from
// hanging the test.
constexpr int kWaitMs = 20000;
constexpr char kKey[] = "Software\\Movara";

bool IsMainWindow(HWND window) {
    return ClassNameOf(window) == "#32770" && GetDlgItem(window, IDC_TASK_LIST) != nullptr;
}

} // namespace

MovaraProcess::~MovaraProcess() {
    if (IsRunning())
        TerminateProcess(process.get(), 1);
}

bool MovaraProcess::Start(const char* workingFolder) {
    const std::string program = MovaraPath();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + program + "\"";
    PROCESS_INFORMATION info{};
    if (!StartProcessRetrying([&] {
            return CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  workingFolder, &startup, &info) != FALSE;
        }))
        return false;
    CloseHandle(info.hThread);
    process.reset(info.hProcess);
    processId = info.dwProcessId;
    return true;
}

bool MovaraProcess::IsRunning() const {
    return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

std::vector<HWND> MovaraProcess::VisibleWindows() const {
    std::pair<DWORD, std::vector<HWND>> search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(lParam);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->first && IsWindowVisible(window))
                s->second.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

HWND MovaraProcess::WaitForWindow(const std::function<bool(HWND)>& wanted, DWORD limitMs) const {
    HWND found = nullptr;
    PumpUntil(
        [&] {
            for (HWND window : VisibleWindows())
                found = !found && wanted(window) ? window : found;
            return found || !IsRunning();
        },
        limitMs);
    return found;
}

HWND MovaraProcess::WaitForMainWindow() const {
    return WaitForWindow(IsMainWindow);
}

bool MovaraProcess::WaitUntilIdle() const {
    HWND main = WaitForMainWindow();
    HWND label = main ? GetDlgItem(main, IDC_VERSION_LABEL) : nullptr;
    if (!label)
        return false;
    auto waitForVisibleBit = [&](bool wanted) {
        return PumpUntil(
            [&] {
                // A window that went has nothing left to handle.
                return !IsWindow(label) || ((GetWindowLongA(label, GWL_STYLE) & WS_VISIBLE) != 0) == wanted;
            },
            kWaitMs);
    };
    PostMessageA(label, WM_SETREDRAW, FALSE, 0);
    if (!waitForVisibleBit(false))
        return false;
    PostMessageA(label, WM_SETREDRAW, TRUE, 0);
    return waitForVisibleBit(true);
}

bool MovaraProcess::WaitForExit(DWORD* exitCode) const {
    return WaitForSingleObject(process.get(), kWaitMs) == WAIT_OBJECT_0 && GetExitCodeProcess(process.get(), exitCode);
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
        if (WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
            SendMessageTimeoutA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote),
                                SMTO_ABORTIFHUNG, 5000, nullptr))
            ReadProcessMemory(process, item.pszText, text, kTextSize - 1, nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}

bool ReadMovaraValue(const char* subKey, std::string* value) {
    char buffer[1024] = {};
    LONG size = sizeof buffer;
    if (RegQueryValueA(HKEY_CURRENT_USER, (std::string(kKey) + "\\" + subKey).c_str(), buffer, &size) != ERROR_SUCCESS)
        return false;
    *value = buffer;
    return true;
}

void WriteMovaraValue(const char* subKey, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key) != ERROR_SUCCESS)
        return;
    RegSetValueA(key, subKey, REG_SZ, value.c_str(), static_cast<DWORD>(value.size()));
    RegCloseKey(key);
}

void DeleteMovaraValue(const char* subKey) {
    RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kKey) + "\\" + subKey).c_str());
}

void SavedMovaraValues::Save() {
    present.clear();
    for (const char* subKey : kSubKeys)
        if (std::string value; ReadMovaraValue(subKey, &value))
            present.emplace_back(subKey, value);
}

void SavedMovaraValues::Restore() const {
    for (const char* subKey : kSubKeys)
        DeleteMovaraValue(subKey);
    for (const auto& [subKey, value] : present)
        WriteMovaraValue(subKey, value);
}

std::string MovaraPath() {
    return BuildFolder() + "dist\\movara.exe";
}
