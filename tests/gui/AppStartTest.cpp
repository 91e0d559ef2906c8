// Starts the real movara.exe, as laid out in dist/, and drives its main window from outside.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "resources/resource.h"

namespace {

constexpr char programPath[] = "..\\..\\dist\\movara.exe";

struct WindowSearch {
    DWORD processId = 0;
    HWND found = nullptr;
};

BOOL CALLBACK FindProcessWindow(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char className[64] = {};
    GetClassNameA(hwnd, className, sizeof(className));
    if (owner == search->processId && IsWindowVisible(hwnd) && std::string(className) == "#32770") {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// One running Movara, ended by the test or killed when the test fails half-way.
class RunningMovara {
public:
    RunningMovara()
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        std::string commandLine = programPath;
        started = CreateProcessA(programPath, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process) != FALSE;
        if (started)
            CloseHandle(process.hThread);
    }
    ~RunningMovara()
    {
        if (!started)
            return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
    }

    HWND WaitForMainWindow() const
    {
        WindowSearch search{process.dwProcessId, nullptr};
        for (int i = 0; i < 400 && search.found == nullptr; ++i) {
            EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
            if (search.found == nullptr)
                Sleep(50);
        }
        return search.found;
    }

    bool WaitForExit(DWORD* exitCode) const
    {
        if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
            return false;
        GetExitCodeProcess(process.hProcess, exitCode);
        return true;
    }

    bool started = false;
    PROCESS_INFORMATION process{};
};

TEST(MovaraStart, ShowsTheMainWindowAtTheTopLeftAndEndsOnTheCloseButton)
{
    RunningMovara movara;
    ASSERT_TRUE(movara.started) << "cannot start " << programPath << ", error " << GetLastError();
    HWND window = movara.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right - rect.left, 825);
    EXPECT_EQ(rect.bottom - rect.top, 550);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE((style & WS_CAPTION) == WS_CAPTION) << "the main window has no caption";
    char title[64] = {};
    GetWindowTextA(window, title, sizeof(title));
    EXPECT_STREQ(title, "Movara");

    HWND closeButton = GetDlgItem(window, IDC_CLOSE_BUTTON);
    ASSERT_NE(closeButton, nullptr);
    EXPECT_TRUE(IsWindowVisible(closeButton));
    RECT buttonRect{};
    GetWindowRect(closeButton, &buttonRect);
    // Placed in pixels at its spot in the top right corner, whatever the template's units gave.
    EXPECT_EQ(buttonRect.left, 785);
    EXPECT_EQ(buttonRect.top, 8);
    EXPECT_EQ(buttonRect.right - buttonRect.left, 18);
    EXPECT_EQ(buttonRect.bottom - buttonRect.top, 18);
    // What a click on the button makes it send to its parent.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_CLOSE_BUTTON, BN_CLICKED), reinterpret_cast<LPARAM>(closeButton));
    DWORD exitCode = 99;
    ASSERT_TRUE(movara.WaitForExit(&exitCode)) << "Movara did not end after its close button";
    EXPECT_EQ(exitCode, 0u);
}

TEST(MovaraStart, EndsWhenTheWindowIsClosed)
{
    RunningMovara movara;
    ASSERT_TRUE(movara.started);
    HWND window = movara.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(movara.WaitForExit(&exitCode)) << "Movara did not end after WM_CLOSE";
    EXPECT_EQ(exitCode, 0u);
}

TEST(MovaraStart, CarriesItsDialogTemplateAndIcon)
{
    HMODULE image = LoadLibraryExA(programPath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    EXPECT_NE(FindResourceA(image, MAKEINTRESOURCEA(IDD_MOVARA_DIALOG), MAKEINTRESOURCEA(5) /* RT_DIALOG */), nullptr);
    EXPECT_NE(FindResourceA(image, MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */),
              nullptr);

    // The template's font is Tahoma 8: the DIALOGEX header carries it after the caption.
    HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(IDD_MOVARA_DIALOG), MAKEINTRESOURCEA(5));
    ASSERT_NE(found, nullptr);
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(image, found)));
    ASSERT_NE(words, nullptr);
    ASSERT_EQ(words[1], 0xFFFF) << "an extended dialog template";
    const auto* header = reinterpret_cast<const BYTE*>(words);
    const DWORD style = *reinterpret_cast<const DWORD*>(header + 12);
    EXPECT_TRUE(style & DS_SETFONT);
    EXPECT_FALSE((style & WS_CAPTION) == WS_CAPTION);
    // Skip the fixed header (26 bytes), then menu, class and caption, each an ordinal or a string.
    const auto* p = reinterpret_cast<const WORD*>(header + 26);
    for (int field = 0; field < 3; ++field) {
        if (*p == 0xFFFF)
            p += 2;
        else {
            while (*p != 0)
                ++p;
            ++p;
        }
    }
    EXPECT_EQ(p[0], 8) << "point size";
    p += 3; // point size, weight, italic and charset
    std::string face;
    for (; *p != 0; ++p)
        face.push_back(static_cast<char>(*p));
    EXPECT_EQ(face, "Tahoma");
    FreeLibrary(image);
}

} // namespace
