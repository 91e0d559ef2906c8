// The main window made in this process, where its objects can be asked what the outside cannot see, driven with the
// messages a user's clicks send: the task list, the output settings panel, the preview's slider hand-off and real
// conversion runs started and stopped with its buttons.
#include "controls/SkComboBox.h"
#include "engine/EngineGlobals.h"
#include "engine/FinishingActions.h"
#include "engine/SystemActions.h"
#include "engine/TaskStatus.h"
#include "gui/ConverterDlg.h"
#include "gui/MessageDlg.h"
#include "gui/SkinnedSystemActions.h"
#include "player/PlayerControl.h"
#include "skin/SkinLoader.h"

#include "MovaraProcess.h"
#include "resources/resource.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Screenshot.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <functional>

namespace {

// Runs a check on every tick of a thread timer while the test waits inside a modal loop (a run, a message box): the
// loops dispatch the timer as they would dispatch a user's clicks.
std::function<void()> onTick;
void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (onTick)
        onTick();
}

// The visible message box of this thread, or null.
CMessageDlg* ShownMessageBox() {
    CMessageDlg* found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lParam) -> BOOL {
            auto* box = dynamic_cast<CMessageDlg*>(CWnd::FromHandle(window));
            if (IsWindowVisible(window) && box)
                *reinterpret_cast<CMessageDlg**>(lParam) = box;
            return !IsWindowVisible(window) || !box;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Drops paths on the window as a file manager does: a WM_DROPFILES carrying a DROPFILES block, which the window frees.
void DropFiles(HWND window, const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths)
        size += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    char* at = reinterpret_cast<char*>(drop + 1);
    for (const std::string& path : paths)
        at = std::strcpy(at, path.c_str()) + path.size() + 1;
    GlobalUnlock(memory);
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

class TaskListWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        RegisterPlayerWindowClass(GetModuleHandleA(nullptr));
        LoadSkin();
    }
    void SetUp() override {
        saved.Save();
        WriteMovaraValue("destination", output.Path());
        ASSERT_TRUE(SetProgramDirectory(MovaraPath()));
        ASSERT_TRUE(dialog.Create(nullptr));
        window = dialog.GetSafeHwnd();
        list = dialog.GetDlgItem(IDC_TASK_LIST);
    }
    void TearDown() override {
        dialog.DestroyWindow();
        saved.Restore();
    }

    void Press(int id) {
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(dialog.GetDlgItem(id)));
    }
    void Click(HWND control, int x, int y) {
        SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        PumpPending(window);
    }
    void ClickTab(int tab) {
        RECT r;
        GetClientRect(dialog.GetDlgItem(IDC_DEVICE_TABS), &r);
        Click(dialog.GetDlgItem(IDC_DEVICE_TABS), r.right * tab / 6 + r.right / 12, 5);
    }
    // The cell as the list draws it.
    CellFormat Cell(int item, int subItem) {
        CellFormat format;
        format.item = item;
        format.subItem = subItem;
        SendMessageA(window, kCellFormatMessage, reinterpret_cast<WPARAM>(list), reinterpret_cast<LPARAM>(&format));
        return format;
    }
    std::string Status(int item) { return Cell(item, 5).text; }
    void Check(int item, bool checked) {
        ConversionTask task = dialog.GetTask(item);
        task.checked = checked;
        dialog.SetTask(item, task);
    }
    // A user's pick in a combo: the selection and its posted notification.
    void Pick(int id, int item) {
        static_cast<CSkComboBox*>(CWnd::FromHandle(dialog.GetDlgItem(id)))->PickItem(item);
        PumpPending(window);
    }
    bool Shows(int id) { return IsWindowVisible(dialog.GetDlgItem(id)) != FALSE; }
    // Waits for the preview's still frame so that the next request is not dropped.
    void WaitForPlayer() {
        EXPECT_TRUE(PumpUntil([&] { return !dialog.IsPlayerBusy(); }, 30000, window));
    }
    void Add(const std::string& path) {
        dialog.AddVideoFile(path);
        WaitForPlayer();
    }
    // Presses id and answers every message box that shows meanwhile; returns the caption and text of the first ("|"
    // for none). duringRun runs on each tick of the wait, inside the run's or the box's own message loop.
    std::string PressAnswering(int id, const std::function<void()>& duringRun = {}) {
        std::string shown = "|";
        onTick = [&] {
            if (duringRun)
                duringRun();
            if (CMessageDlg* box = ShownMessageBox()) {
                if (shown == "|")
                    shown = box->GetCaptionLabel().GetText() + "|" + box->GetTextLabel().GetText();
                PostMessageA(box->GetSafeHwnd(), WM_COMMAND, IDOK, 0);
            }
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, OnTick);
        Press(id);
        KillTimer(nullptr, timer);
        onTick = nullptr;
        return shown;
    }
    void SetOutputFolder(const std::string& folder) {
        static_cast<CSkEditField*>(CWnd::FromHandle(dialog.GetDlgItem(IDC_OUTPUT_DIRECTORY)))->SetText(folder.c_str());
    }
    // A real clip of the given length, made once per length for the whole suite.
    static std::string Clip(int seconds) {
        static TempFolder clips;
        const std::string path = clips.Path() + "clip" + std::to_string(seconds) + ".avi";
        if (!FileExists(path)) {
            EXPECT_TRUE(MakeClip(path, seconds, "-c:v mpeg4 -c:a pcm_s16le"));
        }
        return path;
    }

    SavedMovaraValues saved;
    // Everything the engine would do beyond the program, noted instead: no test shuts the machine down or starts a
    // hand-off. Put in place before the window, so that the window's own actions pass through to it.
    struct : RecordingSystemActions {
        std::vector<unsigned> sessionEnds;
        int PlatformId() override { return VER_PLATFORM_WIN32_NT; }
        bool EnableShutdownPrivilege() override { return true; }
        bool EndSession(unsigned flags) override {
            sessionEnds.push_back(flags);
            return true;
        }
    } actions;
    SystemActionsInstalled installed{&actions};
    TempFolder sources;
    TempFolder output;
    CurrentDirectoryGuard directory;
    CConverterDlg dialog;
    HWND window = nullptr;
    HWND list = nullptr;
};

// Files the player cannot read still make tasks; a name in any script shows in the list as it is, drawn through the
// wide functions (the picture is left for a person: build/list_utf8_names.png). The window is the engine's host with
// skinned messages while it lives.
TEST_F(TaskListWindow, AddingAndRemovingTasksFollowTheRulesOfNamesAndSelection) {
    EXPECT_EQ(mainWindow, static_cast<ConverterHost*>(&dialog));
    EXPECT_NE(dynamic_cast<SkinnedSystemActions*>(&CurrentSystemActions()), nullptr);
    const std::string avi = sources.Write("charm.avi", "not a video");
    Add(sources.Write("a.b.rmvb", "not a video"));
    Add(avi);
    Add(avi); // the same file twice: two tasks that must not write one file
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(dialog.GetTask(0).title + dialog.GetTask(0).outputName, "a.ba.b");
    EXPECT_EQ(dialog.GetTask(0).needsExport, 1);
    EXPECT_NE(dialog.GetTask(1).outputName, dialog.GetTask(2).outputName);
    EXPECT_NE(dialog.GetTask(1).deviceFileNumber, dialog.GetTask(2).deviceFileNumber);
    EXPECT_EQ(dialog.GetCurrentIndex(), 2);
    Check(0, false);
    EXPECT_EQ(Cell(0, 0).checkState, 0);
    EXPECT_EQ(Cell(0, 4).text, "a.b.mp4") << "the iPod tab's name";
    for (const std::string name : {"Vidéo ü 日本 — copie.avi", "Vide\xCC\x81o 😀.avi"}) {
        Add(sources.Write(name, "not a video"));
        EXPECT_EQ(Cell(dialog.TaskCount() - 1, 1).text, name);
    }
    dialog.ShowWindow(SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    PumpPending(window);
    EXPECT_TRUE(SaveWindowPng(window, BuildFolder() + "list_utf8_names.png"));

    // A check box click toggles the task and leaves the selection where it was.
    CellHit hit{0, 0, false, true};
    SendMessageA(window, kCellClickMessage, reinterpret_cast<WPARAM>(list), reinterpret_cast<LPARAM>(&hit));
    EXPECT_EQ(dialog.GetTask(0).checked, 1);
    EXPECT_EQ(dialog.GetCurrentIndex(), 4);
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, -1);
    Press(IDC_REMOVE_VIDEO);
    EXPECT_EQ(dialog.TaskCount(), 5) << "nothing selected: nothing removed";
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, 4);
    Press(IDC_REMOVE_VIDEO);
    WaitForPlayer();
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(dialog.GetCurrentIndex(), 3) << "the last row removed: the new last row is selected";
    // Whatever was chosen, removing everything returns the panel to the iPod tab with its defaults.
    ClickTab(1);
    Press(IDC_REMOVE_ALL);
    EXPECT_EQ(dialog.TaskCount(), 0);
    EXPECT_EQ(dialog.ReadOutputSettings().deviceFamily, DeviceFamily::Ipod);
    EXPECT_EQ(dialog.ReadOutputSettings().presetIndex, 0);
    EXPECT_FALSE(Shows(IDC_PLAYER));
    dialog.DestroyWindow();
    EXPECT_EQ(&CurrentSystemActions(), &actions);
}

// Dropped paths are added in order without folders, missing and unreadable files; what the player cannot read (a
// 250-byte path, and a RealMedia name whose export through the player fails as well) fails its run.
TEST_F(TaskListWindow, DroppedFilesTheListTakesAndClipsThePlayerCannotReadFailTheirRun) {
    const std::string first = sources.Write(std::string(250 - sources.Path().size() - 4, 'n') + ".avi", "not a video");
    ASSERT_EQ(first.size(), 250u);
    const std::string second = sources.Write("a.b.rmvb", "not a video");
    const std::string locked = sources.Write("locked.avi", "x");
    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DropFiles(window, {first, sources.Path(), sources.Path() + "missing.avi", locked, second});
    CloseHandle(hold);
    WaitForPlayer();
    ASSERT_EQ(dialog.TaskCount(), 2);
    EXPECT_EQ(dialog.GetTask(0).sourcePath, first);
    EXPECT_EQ(dialog.GetTask(1).sourcePath, second);
    EXPECT_TRUE(Shows(IDC_PLAYER)) << "as the Add button";
    EXPECT_EQ(dialog.GetTask(0).endTime, 0.0) << "the length the player gives a file it cannot read";
    const std::string shown = PressAnswering(IDC_START);
    EXPECT_NE(shown.find("2 of 2 failed"), std::string::npos) << shown;
    EXPECT_EQ(Status(0), "Failed");
    EXPECT_EQ(Status(1), "Failed");
    EXPECT_EQ(FilesIn(output.Path()), std::vector<std::string>{}) << "no empty output file is left";
}

// Stop pressed twice, then the window closed, each while a 3GP encode runs: the run stops, the working file goes, the
// source stays as it was, the rest of the list is untouched, and files dropped meanwhile are not added.
TEST_F(TaskListWindow, StopTwiceAndClosingTheWindowEndARunAndCleanUp) {
    const std::string clip = Clip(40);
    const std::string before = ReadWholeFile(clip);
    Add(clip);
    Add(clip);
    ClickTab(2);
    Pick(IDC_3GP_TYPE, 1);
    const auto encoding = [&] {
        return dialog.IsConverting() && dialog.GetTask(0).status == TaskStatus::Converting &&
               !FilesIn(output.Path()).empty();
    };
    bool stopped = false;
    std::string shown = PressAnswering(IDC_START, [&] {
        if (stopped || !encoding())
            return;
        stopped = true;
        DropFiles(window, {sources.Write("dropped.avi", "x")});
        Press(IDC_STOP);
        Press(IDC_STOP);
    });
    ASSERT_TRUE(stopped);
    EXPECT_NE(shown.find("Converting Stopped"), std::string::npos) << shown;
    EXPECT_EQ(dialog.TaskCount(), 2) << "nothing is added during a run";
    EXPECT_EQ(Status(0), "Canceled");
    EXPECT_EQ(Status(1), "");
    EXPECT_EQ(dialog.GetTask(1).encodedTime, 0);
    EXPECT_EQ(FilesIn(output.Path()), std::vector<std::string>{}) << "the working file is deleted";

    bool closed = false;
    shown = PressAnswering(IDC_START, [&] {
        if (!closed && encoding()) {
            closed = true;
            Press(IDC_CLOSE_BUTTON);
        }
    });
    ASSERT_TRUE(closed);
    EXPECT_EQ(shown, "|") << "no message once the window is gone";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(dialog.IsConverting());
    EXPECT_EQ(dialog.GetTask(1).status, TaskStatus::None) << "the run ended with the task it was on";
    EXPECT_EQ(FilesIn(output.Path()), std::vector<std::string>{});
    EXPECT_EQ(ReadWholeFile(clip), before) << "the source is untouched";
}

// Start refuses without work and, with a clear message before anything runs, without a usable folder: empty, too
// long for the output files, or one whose parent is missing (only the last level is made). Then real runs through the
// engine and ffmpeg: the checked task converted into the made folder, the buttons swapped meanwhile, the iPod hand-off
// waited for with its limit; with the shut-down box ticked the machine is powered off instead of the message and the
// hand-off.
TEST_F(TaskListWindow, StartRefusesWithoutWorkOrFolderAndRunsEndWithTheHandOffOrTheShutDown) {
    EXPECT_EQ(PressAnswering(IDC_START), "|") << "no tasks: no message";
    Add(Clip(2));
    Add(Clip(2));
    Check(0, false);
    Check(1, false);
    EXPECT_EQ(PressAnswering(IDC_START), "|") << "nothing checked: no message";
    Check(1, true);
    const std::pair<std::string, const char*> refused[] = {{"", "Please set the output directory firstly"},
                                                           {output.Path() + std::string(230, 'x'), "too long"},
                                                           {output.Path() + "missing\\deeper", "cannot be created"}};
    for (const auto& [folder, message] : refused) {
        SetOutputFolder(folder);
        const std::string shown = PressAnswering(IDC_START);
        EXPECT_NE(shown.find(message), std::string::npos) << shown;
    }
    EXPECT_FALSE(FileExists(output.Path() + "missing"));
    EXPECT_EQ(dialog.GetTask(1).status, TaskStatus::None);
    const std::string folder = output.Path() + "made"; // the last level of a folder that went away is made again
    SetOutputFolder(folder);
    bool stopShownDuringRun = false;
    EXPECT_NE(PressAnswering(IDC_START,
                             [&] {
                                 if (dialog.IsConverting())
                                     stopShownDuringRun = Shows(IDC_STOP) && !Shows(IDC_START) &&
                                                          !IsWindowEnabled(dialog.GetDlgItem(IDC_DEVICE_TABS));
                             })
                  .find("  Converting Finished  "),
              std::string::npos);
    EXPECT_TRUE(stopShownDuringRun);
    EXPECT_EQ(dialog.GetTask(0).finished, 0) << "unchecked: untouched";
    EXPECT_EQ(Status(0), "");
    EXPECT_EQ(Status(1), " Finished ");
    EXPECT_GT(FileSize(folder + "\\" + dialog.GetTask(1).outputName + ".mp4"), 0);
    EXPECT_TRUE(Shows(IDC_START));
    EXPECT_FALSE(Shows(IDC_STOP));
    EXPECT_TRUE(IsWindowEnabled(dialog.GetDlgItem(IDC_DEVICE_TABS)));
    EXPECT_EQ(actions.handOffLimits, std::vector<unsigned long>{handOffLimitMs});
    EXPECT_EQ(actions.handOffs.size(), 1u) << "the iPod hand-off waits with its limit";

    Click(dialog.GetDlgItem(IDC_SHUTDOWN_CHECK), 5, 5);
    EXPECT_EQ(PressAnswering(IDC_START), "|") << "no message when the machine goes down";
    EXPECT_EQ(dialog.GetTask(1).finished, 1);
    EXPECT_EQ(actions.sessionEnds, std::vector<unsigned>{EWX_POWEROFF | EWX_FORCE});
    EXPECT_EQ(actions.handOffs.size(), 1u) << "no hand-off before a shut-down";
}

} // namespace
