// The main window made in this process, where its objects can be asked what the outside cannot see, driven with the
// messages a user's clicks send: the task list, the output settings panel, the preview's slider hand-off and real
// conversion runs started and stopped with its buttons.
#include "controls/SkComboBox.h"
#include "controls/SkLabel.h"
#include "controls/SkListBox.h"
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

// Everything the engine would do beyond the program, noted instead: no test shuts the machine down or starts a
// hand-off. Put in place before the window, so that the window's own actions pass through to it.
struct NotedSystemActions : SystemActions {
    std::vector<unsigned long> limitedWaits; // the limit of each wait for a hand-off
    int unlimitedWaits = 0;
    std::vector<unsigned> sessionEnds;
    bool RunAndWait(const std::string&) override {
        ++unlimitedWaits;
        return true;
    }
    WaitOutcome RunAndWaitLimited(const std::string&, unsigned long limitMs) override {
        limitedWaits.push_back(limitMs);
        return WaitOutcome::Ended;
    }
    int PlatformId() override { return VER_PLATFORM_WIN32_NT; }
    bool EnableShutdownPrivilege() override { return true; }
    bool EndSession(unsigned flags) override {
        sessionEnds.push_back(flags);
        return true;
    }
    void ShowMessage(const std::string&, const std::string&, unsigned) override {}
};

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
        previousActions = ReplaceSystemActions(&actions);
        ASSERT_TRUE(dialog.Create(nullptr));
        window = dialog.GetSafeHwnd();
        list = dialog.GetDlgItem(IDC_TASK_LIST);
    }
    void TearDown() override {
        dialog.DestroyWindow();
        ReplaceSystemActions(previousActions);
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
    // Sets what the test changes of a task.
    void Change(int item, const std::function<void(ConversionTask&)>& change) {
        ConversionTask task = dialog.GetTask(item);
        change(task);
        dialog.SetTask(item, task);
    }
    void Check(int item, bool checked) {
        Change(item, [&](ConversionTask& task) { task.checked = checked; });
    }
    CSkComboBox& Combo(int id) { return *static_cast<CSkComboBox*>(CWnd::FromHandle(dialog.GetDlgItem(id))); }
    // A user's pick in a combo: the selection and its posted notification.
    void Pick(int id, int item) {
        Combo(id).PickItem(item);
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
    NotedSystemActions actions;
    SystemActions* previousActions = nullptr;
    TempFolder sources;
    TempFolder output;
    CurrentDirectoryGuard directory;
    CConverterDlg dialog;
    HWND window = nullptr;
    HWND list = nullptr;
};

TEST_F(TaskListWindow, StartsAsTheEnginesHostOnTheDefaultsAndItsActionsGoWithIt) {
    EXPECT_EQ(mainWindow, static_cast<ConverterHost*>(&dialog));
    EXPECT_NE(dynamic_cast<SkinnedSystemActions*>(&CurrentSystemActions()), nullptr) << "engine messages skinned";
    // The panel stands on the engine's defaults with the iPod file's preselected preset, read from the work folder.
    OutputSettings expected;
    const std::string ipod = AppFolder() + "iPod_Profile.ini";
    expected.presetIndex = static_cast<int>(GetPrivateProfileIntA("Info", "DefaultProfile", -1, ipod.c_str()));
    expected.outputDirectory = output.Path();
    EXPECT_EQ(dialog.ReadOutputSettings(), expected);
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(std::string(current) + "\\", std::string(workDirectory) + "\\");
    dialog.DestroyWindow();
    EXPECT_EQ(&CurrentSystemActions(), &actions);
}

// Files the player cannot read still make tasks; a name in any script shows in the list as it is, drawn through the
// wide functions (the picture is left for a person: build/list_utf8_names.png).
TEST_F(TaskListWindow, AddingFillsEveryFieldAndEveryColumn) {
    const std::string avi = sources.Write("charm.avi", "not a video");
    const std::string names[] = {"Vidéo ü 日本 — copie.avi", "Vide\xCC\x81o 😀.avi"};
    Add(sources.Write("a.b.rmvb", "not a video"));
    Add(avi);
    Add(avi); // the same file twice: two tasks that must not write one file
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
    const ConversionTask first = dialog.GetTask(0);
    EXPECT_EQ(first.title + first.exportBaseName + first.outputName, "a.ba.ba.b");
    EXPECT_EQ(first.needsExport, 1);
    EXPECT_EQ(dialog.GetTask(1).needsExport, 0);
    EXPECT_NE(dialog.GetTask(1).outputName, dialog.GetTask(2).outputName);
    EXPECT_NE(dialog.GetTask(1).deviceFileNumber, dialog.GetTask(2).deviceFileNumber);
    EXPECT_EQ(dialog.GetCurrentIndex(), 2);
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0), 2);

    Change(0, [](ConversionTask& task) {
        task.beginTime = 3725.9;
        task.endTime = 3726.0;
        task.checked = 0;
    });
    Change(1, [](ConversionTask& task) { task.finished = 1; });
    EXPECT_TRUE(Cell(0, 0).hasCheckBox);
    EXPECT_EQ(Cell(0, 0).checkState, 0);
    EXPECT_EQ(Cell(1, 0).checkState, 0x400);
    EXPECT_EQ(Cell(0, 1).text, "a.b.rmvb");
    EXPECT_EQ(Cell(0, 2).text, "01:02:05");
    EXPECT_EQ(Cell(0, 3).text, "01:02:06");
    EXPECT_EQ(Cell(0, 4).text, "a.b.mp4") << "the iPod tab's name";
    EXPECT_EQ(Status(1), " Finished ");
    for (int item = 3; item < 5; ++item) {
        Add(sources.Write(names[item - 3], "not a video"));
        EXPECT_EQ(Cell(item, 1).text, names[item - 3]);
    }
    dialog.ShowWindow(SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    PumpPending(window);
    EXPECT_TRUE(SaveWindowPng(window, BuildFolder() + "list_utf8_names.png"));
}

TEST_F(TaskListWindow, RemovingFollowsTheRulesOfTheSelection) {
    const std::string clip = sources.Write("clip.avi", "x");
    for (int i = 0; i < 3; ++i)
        Add(clip);
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, -1);
    Press(IDC_REMOVE_VIDEO);
    EXPECT_EQ(dialog.TaskCount(), 3) << "nothing selected: nothing removed";
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, 2);
    Press(IDC_REMOVE_VIDEO);
    WaitForPlayer();
    ASSERT_EQ(dialog.TaskCount(), 2);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(dialog.GetCurrentIndex(), 1) << "the last row removed: the new last row is selected";

    // A check box click toggles the task and leaves the selection where it was.
    CellHit hit{0, 0, false, true};
    SendMessageA(window, kCellClickMessage, reinterpret_cast<WPARAM>(list), reinterpret_cast<LPARAM>(&hit));
    EXPECT_EQ(dialog.GetTask(0).checked, 0);
    EXPECT_EQ(dialog.GetCurrentIndex(), 1);
    // A right click on another row selects it like a left click.
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, 0);
    NMITEMACTIVATE click = {};
    click.hdr = {list, IDC_TASK_LIST, static_cast<UINT>(NM_RCLICK)};
    click.iItem = 0;
    SendMessageA(window, WM_NOTIFY, IDC_TASK_LIST, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(dialog.GetCurrentIndex(), 0);
    WaitForPlayer();

    // Whatever was chosen, removing everything returns the panel to the iPod tab with its defaults.
    ClickTab(1);
    EXPECT_EQ(dialog.ReadOutputSettings().deviceFamily, DeviceFamily::Psp);
    Press(IDC_REMOVE_ALL);
    EXPECT_EQ(dialog.TaskCount(), 0);
    EXPECT_EQ(dialog.GetCurrentIndex(), -1);
    EXPECT_EQ(dialog.ReadOutputSettings().deviceFamily, DeviceFamily::Ipod);
    EXPECT_EQ(dialog.ReadOutputSettings().presetIndex, 0);
    EXPECT_FALSE(Shows(IDC_PLAYER));
    EXPECT_TRUE(Shows(IDC_PREVIEW_PICTURE));
}

// A preset sets the panel's combos; a choice made by hand afterwards keeps the rest and runs as the custom preset.
TEST_F(TaskListWindow, PresetsAndHandMadeChoices) {
    // Every settings combo away from preset 3, so that each of its five values shows as a change.
    const int settings[] = {IDC_VIDEO_TYPE,    IDC_VIDEO_SIZE, IDC_FRAME_RATE,  IDC_VIDEO_QUALITY, IDC_ASPECT,
                            IDC_AUDIO_QUALITY, IDC_CHANNELS,   IDC_SAMPLE_RATE, IDC_VOLUME};
    const int start[] = {1, 0, 1, 0, 1, 0, 0, 1, 0};
    for (size_t i = 0; i < std::size(settings); ++i)
        Pick(settings[i], start[i]);
    EXPECT_EQ(Combo(IDC_PRESET).GetCurSel(), 0) << "a hand-made choice runs as the custom preset";
    Pick(IDC_PRESET, 3);
    int changed = 0;
    for (size_t i = 0; i < std::size(settings); ++i)
        changed += Combo(settings[i]).GetCurSel() != start[i];
    EXPECT_EQ(changed, 5);
    const OutputSettings preset3 = dialog.ReadOutputSettings();
    EXPECT_EQ(preset3.presetIndex, 3);
    // A later Volume change keeps the five values and returns the preset combo to 0.
    Pick(IDC_VOLUME, 4);
    OutputSettings after = dialog.ReadOutputSettings();
    EXPECT_EQ(after.presetIndex, 0);
    EXPECT_EQ(after.volume, 4);
    after.presetIndex = 3;
    after.volume = preset3.volume;
    EXPECT_EQ(after, preset3);
}

// A profile of another program folder with presets but no "Info" leaves the panel as it was.
TEST_F(TaskListWindow, AProfileWithoutInfoLeavesThePanelAsItWas) {
    ClickTab(3);
    const auto& presets = *static_cast<CSkListBox*>(CWnd::FromHandle(dialog.GetDlgItem(IDC_PROFILE_LIST)));
    const auto& description = *static_cast<CSkLabel*>(CWnd::FromHandle(dialog.GetDlgItem(IDC_DESCRIPTION)));
    const int count = presets.GetCount();
    const std::string text = description.GetText();
    ASSERT_GT(count, 0);
    CreateDirectoryA((sources.Path() + "app").c_str(), nullptr);
    const std::string broken = sources.Write("app\\PSP_Profile.ini", "[profile1]\nTitle=Broken\n");
    ASSERT_TRUE(SetProgramDirectory(sources.Path() + "movara.exe"));
    ClickTab(1);
    SetProgramDirectory(MovaraPath());
    DeleteFileA(broken.c_str());
    RemoveDirectoryA((sources.Path() + "app").c_str());
    EXPECT_EQ(dialog.ReadOutputSettings().deviceFamily, DeviceFamily::Psp);
    EXPECT_EQ(presets.GetCount(), count);
    EXPECT_EQ(description.GetText(), text);
}

TEST_F(TaskListWindow, SliderHandsItsTimesToTheSelectedTask) {
    Add(Clip(6));
    const ConversionTask added = dialog.GetTask(0);
    EXPECT_NEAR(added.endTime, 6.0, 0.2) << "the player's length";
    EXPECT_EQ(added.beginTime, 0.0) << "the window's own slider changes touch no task";
    auto* slider = static_cast<CRangeSlider*>(CWnd::FromHandle(dialog.GetDlgItem(IDC_RANGE_SLIDER)));
    ASSERT_NE(slider, nullptr);
    // A drag: each step changes the begin time and its cell; the preview waits for the release.
    for (int begin : {1, 2, 3}) {
        slider->SetSelection(begin, 5.0);
        SendMessageA(window, RANGE_CHANGED, 0, 0);
        EXPECT_EQ(dialog.GetTask(0).beginTime, begin);
        EXPECT_EQ(Cell(0, 2).text, "00:00:0" + std::to_string(begin));
        EXPECT_FALSE(dialog.IsPlayerBusy()) << "no frame during the drag";
    }
    EXPECT_EQ(dialog.GetTask(0).endTime, 5.0);
    SendMessageA(window, RANGE_CHANGED, 0, 1);
    EXPECT_TRUE(dialog.IsPlayerBusy()) << "the frame at the new begin is on its way";
    WaitForPlayer();
    // Play, and a second press while the first is outstanding is dropped.
    Press(IDC_PLAY_PREVIEW);
    EXPECT_TRUE(dialog.IsPreviewPlaying());
    Press(IDC_PLAY_PREVIEW);
    Press(IDC_STOP_PREVIEW);
    EXPECT_FALSE(dialog.IsPreviewPlaying());
    WaitForPlayer();
}

TEST_F(TaskListWindow, StartRefusesWithoutWorkAndWithoutAFolder) {
    EXPECT_EQ(PressAnswering(IDC_START), "|") << "no tasks: no message";
    Add(sources.Write("clip.avi", "x"));
    Check(0, false);
    EXPECT_EQ(PressAnswering(IDC_START), "|") << "nothing checked: no message";
    Check(0, true);
    // Each folder refused with a clear message before anything runs: empty, too long for the output files, and one
    // whose parent is missing (only the last level is made).
    const std::pair<std::string, const char*> refused[] = {{"", "Please set the output directory firstly"},
                                                           {output.Path() + std::string(230, 'x'), "too long"},
                                                           {output.Path() + "missing\\deeper", "cannot be created"}};
    for (const auto& [folder, message] : refused) {
        SetOutputFolder(folder);
        const std::string shown = PressAnswering(IDC_START);
        EXPECT_NE(shown.find(message), std::string::npos) << shown;
    }
    EXPECT_FALSE(FileExists(output.Path() + "missing"));
    EXPECT_EQ(dialog.GetTask(0).status, TaskStatus::None);
    EXPECT_FALSE(dialog.IsConverting());
}

TEST_F(TaskListWindow, ClipsThePlayerCannotReadAreAddedAndFailTheirRun) {
    // A 250-byte path, and a RealMedia name whose export through the player fails as well.
    const std::string name = std::string(250 - sources.Path().size() - 4, 'n');
    ASSERT_EQ(sources.Write(name + ".avi", "not a video").size(), 250u);
    Add(sources.Path() + name + ".avi");
    Add(sources.Write("a.b.rmvb", "not a video"));
    ASSERT_EQ(dialog.TaskCount(), 2);
    EXPECT_EQ(Cell(0, 1).text, name + ".avi");
    EXPECT_EQ(dialog.GetTask(0).endTime, 0.0) << "the length the player gives a file it cannot read";
    const std::string shown = PressAnswering(IDC_START);
    EXPECT_NE(shown.find("2 of 2 failed"), std::string::npos) << shown;
    EXPECT_EQ(Status(0), "Failed");
    EXPECT_EQ(Status(1), "Failed");
    EXPECT_EQ(FilesIn(output.Path()), std::vector<std::string>{}) << "no empty output file is left";
}

TEST_F(TaskListWindow, DroppedFilesAreAddedInOrderWithoutFoldersAndUnreadableFiles) {
    const std::string first = sources.Write("first.avi", "x");
    const std::string second = sources.Write("second.avi", "x");
    const std::string locked = sources.Write("locked.avi", "x");
    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DropFiles(window, {first, sources.Path(), sources.Path() + "missing.avi", locked, second});
    CloseHandle(hold);
    WaitForPlayer();
    ASSERT_EQ(dialog.TaskCount(), 2);
    EXPECT_EQ(dialog.GetTask(0).sourcePath, first);
    EXPECT_EQ(dialog.GetTask(1).sourcePath, second);
    EXPECT_EQ(GetWindowLongA(dialog.GetDlgItem(IDC_PLAYER), GWL_STYLE) & WS_VISIBLE, WS_VISIBLE) << "as the Add button";
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

// Real runs through the engine and ffmpeg: the checked task converted into the made folder, the buttons swapped
// meanwhile, the iPod hand-off waited for with its limit; with the shut-down box ticked the machine is powered off
// instead of the message and the hand-off.
TEST_F(TaskListWindow, RunsConvertTheCheckedTasksAndEndWithTheHandOffOrTheShutDown) {
    Add(Clip(2));
    Add(Clip(2));
    Check(0, false);
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
    EXPECT_EQ(actions.limitedWaits, std::vector<unsigned long>{handOffLimitMs});
    EXPECT_EQ(actions.unlimitedWaits, 0);

    Click(dialog.GetDlgItem(IDC_SHUTDOWN_CHECK), 5, 5);
    EXPECT_EQ(PressAnswering(IDC_START), "|") << "no message when the machine goes down";
    EXPECT_EQ(dialog.GetTask(1).finished, 1);
    EXPECT_EQ(actions.sessionEnds, std::vector<unsigned>{EWX_POWEROFF | EWX_FORCE});
    EXPECT_EQ(actions.limitedWaits.size(), 1u) << "no hand-off before a shut-down";
}

} // namespace
