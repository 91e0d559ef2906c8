// The main window made in this process, where its objects can be asked what the outside cannot see, driven with the
// messages a user's clicks send: the task list, the output settings panel, the preview's slider hand-off and real
// conversion runs started and stopped with its buttons.
#include "gui/ConverterDlg.h"
#include "gui/MainWindowLogic.h"
#include "gui/MessageDlg.h"
#include "gui/SkinnedSystemActions.h"

#include "skin/SkinLoader.h"

#include "player/PlayerControl.h"

#include "controls/SkComboBox.h"
#include "controls/SkLabel.h"
#include "controls/SkListBox.h"
#include "controls/SkTabBar.h"

#include "engine/EngineGlobals.h"
#include "engine/TaskStatus.h"
#include "engine/FinishingActions.h"
#include "engine/SystemActions.h"

#include "MovaraProcess.h"
#include "resources/resource.h"
#include "tests/support/Canvas.h"
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

// Runs a check on every tick of a thread timer while the test waits inside a modal loop (a run, a message box):
// the loops dispatch the timer as a user's clicks would be dispatched.
std::function<void()>* activeTick = nullptr;
void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (activeTick)
        (*activeTick)();
}
class TickWatcher {
public:
    explicit TickWatcher(std::function<void()> tick) : action(std::move(tick)) {
        activeTick = &action;
        timer = SetTimer(nullptr, 0, 20, OnTick);
    }
    ~TickWatcher() {
        KillTimer(nullptr, timer);
        activeTick = nullptr;
    }

private:
    std::function<void()> action;
    UINT_PTR timer = 0;
};

// The texts of a visible message box of this thread other than `except`, joined; empty when none shows.
struct ShownBox {
    HWND box = nullptr;
    std::string texts;
};
ShownBox FindMessageBox(HWND except) {
    ShownBox found;
    std::pair<HWND, ShownBox*> context{except, &found};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lParam) -> BOOL {
            auto* c = reinterpret_cast<std::pair<HWND, ShownBox*>*>(lParam);
            if (window == c->first || !IsWindowVisible(window))
                return TRUE;
            auto* box = dynamic_cast<CMessageDlg*>(CWnd::FromHandle(window));
            if (!box)
                return TRUE;
            c->second->box = window;
            c->second->texts = box->GetCaptionLabel().GetText() + "|" + box->GetTextLabel().GetText();
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&context));
    return found;
}

// Everything the engine would do beyond the program, noted instead: no test shuts the machine down or starts a
// hand-off. Put in place before the window, so that the window's own actions pass through to it.
struct NotedSystemActions : SystemActions {
    std::vector<unsigned long> limitedWaits; // the limit of each wait for a hand-off
    int unlimitedWaits = 0;
    std::vector<unsigned> sessionEnds;
    bool RunAndWait(const std::string&) override { return ++unlimitedWaits > 0; }
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

// The files in a folder (names only).
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return names;
}

// Drops paths on the window as a file manager does: a WM_DROPFILES carrying a DROPFILES block, which the window
// frees.
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
    CellFormat Cell(int item, int subItem) {
        CellFormat format;
        format.item = item;
        format.subItem = subItem;
        EXPECT_EQ(SendMessageA(window, kCellFormatMessage, reinterpret_cast<WPARAM>(list),
                               reinterpret_cast<LPARAM>(&format)),
                  0);
        return format;
    }
    int SelectionMark() { return static_cast<int>(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0)); }
    CSkComboBox& Combo(int id) { return *static_cast<CSkComboBox*>(CWnd::FromHandle(dialog.GetDlgItem(id))); }
    // A user's pick in a combo: the selection and its posted notification.
    void Pick(int id, int item) {
        Combo(id).PickItem(item);
        PumpPending(window);
    }
    void ClickTab(int tab) {
        HWND bar = dialog.GetDlgItem(IDC_DEVICE_TABS);
        RECT r;
        GetClientRect(bar, &r);
        const int x = r.right * tab / 6 + r.right / 12;
        SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
        SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
        PumpPending(window);
    }
    // Waits for the preview's still frame so that the next request is not dropped.
    void WaitForPlayer() { EXPECT_TRUE(PumpUntil([&] { return !dialog.IsPlayerBusy(); }, 30000, window)); }
    void Add(const std::string& path) {
        dialog.AddVideoFile(path);
        WaitForPlayer();
    }
    // Presses id and answers every message box that shows meanwhile; returns the texts of the first ("" for none).
    // duringRun runs on each tick of the wait, inside the run's or the box's own message loop.
    std::string PressAnswering(int id, const std::function<void()>& duringRun = {}) {
        std::string shown;
        TickWatcher watcher([&] {
            if (duringRun)
                duringRun();
            const ShownBox box = FindMessageBox(window);
            if (box.box && shown.empty())
                shown = box.texts;
            if (box.box)
                PostMessageA(box.box, WM_COMMAND, IDOK, 0);
        });
        Press(id);
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

TEST_F(TaskListWindow, StartsAsTheEnginesHostWithEveryControlSkinnedAndTheResetPanel) {
    EXPECT_EQ(mainWindow, static_cast<ConverterHost*>(&dialog));
    EXPECT_NE(dynamic_cast<SkinnedSystemActions*>(&CurrentSystemActions()), nullptr) << "engine messages skinned";
    int count = 0;
    const ControlPlace* places = MainWindowPlaces(&count);
    for (int i = 0; i < count; ++i)
        EXPECT_NE(CWnd::FromHandle(dialog.GetDlgItem(places[i].id)), nullptr) << places[i].id;
    std::string columns;
    for (int i = 0; i < 6; ++i) {
        char heading[32] = {};
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = heading;
        column.cchTextMax = sizeof heading;
        SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        columns += std::string(heading) + ":" + std::to_string(column.fmt & LVCFMT_JUSTIFYMASK) + ":" +
                   std::to_string(column.cx) + "|";
    }
    EXPECT_EQ(columns, ":2:20|Source:0:178|Begin Time:2:80|End Time:2:80|Output:0:178|Progress:0:250|");
    const DWORD on = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
    EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & (on | LVS_EX_GRIDLINES), on);
    const LONG styles = LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
    EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & styles, styles);
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "Tahoma");
    char about[64] = {};
    GetMenuStringA(GetSystemMenu(window, FALSE), 16, about, sizeof about, MF_BYCOMMAND);
    EXPECT_STREQ(about, "&About Movara...");

    // The panel stands on the engine's defaults with the iPod file's preselected preset, read from the work folder.
    OutputSettings expected;
    const std::string ipod = AppFolder() + "iPod_Profile.ini";
    expected.presetIndex = static_cast<int>(GetPrivateProfileIntA("Info", "DefaultProfile", -1, ipod.c_str()));
    expected.outputDirectory = output.Path();
    EXPECT_EQ(dialog.ReadOutputSettings(), expected);
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(std::string(current) + "\\", std::string(workDirectory) + "\\");
    HWND check = dialog.GetDlgItem(IDC_SHUTDOWN_CHECK);
    SendMessageA(check, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(check, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(dialog.ShutDownChecked()) << "a click ticks the box";

    // The body comes from the bitmap, its corner the cut-away green.
    Canvas canvas(CConverterDlg::windowWidth, CConverterDlg::windowHeight);
    EXPECT_TRUE(SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.hdc()), 0));
    HBITMAP body = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_WINDOW_BODY),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    for (POINT p : {POINT{412, 20}, POINT{100, 500}, POINT{800, 540}})
        EXPECT_EQ(canvas.Pixel(p.x, p.y), BitmapPixel(body, p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(0, 255, 0));
    DeleteObject(body);

    dialog.DestroyWindow();
    EXPECT_EQ(&CurrentSystemActions(), &actions) << "the window's actions go with it";
}

TEST_F(TaskListWindow, AddingFillsEveryFieldAndEveryColumn) {
    // Files the player cannot read still make tasks.
    const std::string avi = sources.Write("charm.avi", "not a video");
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
    EXPECT_EQ(SelectionMark(), 2);

    ConversionTask timed = dialog.GetTask(0);
    timed.beginTime = 3725.9;
    timed.endTime = 3726.0;
    timed.checked = 0;
    dialog.SetTask(0, timed);
    EXPECT_TRUE(Cell(0, 0).hasCheckBox);
    EXPECT_EQ(Cell(0, 0).checkState, 0);
    EXPECT_EQ(Cell(1, 0).checkState, 0x400);
    EXPECT_EQ(Cell(0, 1).text, "a.b.rmvb");
    EXPECT_EQ(Cell(0, 2).text, "01:02:05");
    EXPECT_EQ(Cell(0, 3).text, "01:02:06");
    EXPECT_EQ(Cell(0, 4).text, "a.b.mp4") << "the iPod tab's name";
    EXPECT_EQ(Cell(1, 5).selectedBackColour, 0x60001Eu);
    ConversionTask done = dialog.GetTask(1);
    done.finished = 1;
    dialog.SetTask(1, done);
    EXPECT_EQ(Cell(1, 5).text, " Finished ");
}

// A name in any script shows in the task list as it is: the cell's text is the name's own bytes, drawn through the
// wide functions. The picture is left for a person: build/list_utf8_names.png.
TEST_F(TaskListWindow, TheTaskListShowsUtf8NamesAsTheyAre) {
    const std::string names[] = {"Vidéo ü 日本 — copie.avi", "Vide\xCC\x81o 😀.avi"};
    for (const std::string& name : names)
        Add(sources.Write(name, "not a video"));
    for (int item = 0; item < 2; ++item)
        EXPECT_EQ(Cell(item, 1).text, names[item]);
    dialog.ShowWindow(SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    PumpPending(window);
    const std::string shot = BuildFolderPath("list_utf8_names.png");
    EXPECT_TRUE(SaveWindowPng(window, shot)) << shot;
}

TEST_F(TaskListWindow, RemovingFollowsTheRulesOfTheSelection) {
    const std::string clip = sources.Write("clip.avi", "x");
    Add(clip);
    Add(clip);
    Add(clip);
    // Nothing selected: Remove does nothing.
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, -1);
    Press(IDC_REMOVE_VIDEO);
    EXPECT_EQ(dialog.TaskCount(), 3);
    // The last row removed: the new last row is selected.
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, 2);
    Press(IDC_REMOVE_VIDEO);
    WaitForPlayer();
    ASSERT_EQ(dialog.TaskCount(), 2);
    EXPECT_EQ(SelectionMark(), 1);
    EXPECT_EQ(dialog.GetCurrentIndex(), 1);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);

    // A check box click toggles the task and leaves the selection where it was; a second click toggles it back.
    CellHit hit;
    hit.item = 0;
    hit.subItem = 0;
    hit.onCheckBox = true;
    SendMessageA(window, kCellClickMessage, reinterpret_cast<WPARAM>(list), reinterpret_cast<LPARAM>(&hit));
    EXPECT_EQ(dialog.GetTask(0).checked, 0);
    EXPECT_EQ(dialog.GetCurrentIndex(), 1);
    SendMessageA(window, kCellClickMessage, reinterpret_cast<WPARAM>(list), reinterpret_cast<LPARAM>(&hit));
    EXPECT_EQ(dialog.GetTask(0).checked, 1);

    // A right click on another row selects it like a left click.
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, 0);
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = IDC_TASK_LIST;
    click.hdr.code = NM_RCLICK;
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
    EXPECT_FALSE(IsWindowVisible(dialog.GetDlgItem(IDC_PLAYER)));
    EXPECT_TRUE(IsWindowVisible(dialog.GetDlgItem(IDC_PREVIEW_PICTURE)));
}

TEST_F(TaskListWindow, PresetsAndHandMadeChoices) {
    // Start every settings combo away from preset 3 so that each of its five values shows as a change.
    const int settings[] = {IDC_VIDEO_TYPE, IDC_VIDEO_SIZE, IDC_FRAME_RATE, IDC_VIDEO_QUALITY, IDC_ASPECT,
                            IDC_AUDIO_QUALITY, IDC_CHANNELS, IDC_SAMPLE_RATE, IDC_VOLUME};
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
    EXPECT_EQ(preset3.videoType, 0);
    EXPECT_EQ(preset3.videoSize, 3);
    EXPECT_EQ(preset3.videoQuality, 8);
    EXPECT_EQ(preset3.channels, 1);
    EXPECT_EQ(preset3.audioQuality, 5);
    EXPECT_EQ(preset3.presetIndex, 3);
    // A later Volume change keeps the five values and returns the preset combo to 0.
    Pick(IDC_VOLUME, 4);
    OutputSettings after = dialog.ReadOutputSettings();
    EXPECT_EQ(after.presetIndex, 0);
    EXPECT_EQ(after.volume, 4);
    after.presetIndex = 3;
    after.volume = preset3.volume;
    EXPECT_EQ(after, preset3);

    // The 3GP2 type turns every output name to ".3g2".
    const std::string clip = sources.Write("clip.avi", "x");
    Add(clip);
    Add(clip);
    ClickTab(2);
    EXPECT_TRUE(IsWindowVisible(dialog.GetDlgItem(IDC_3GP_TYPE)));
    EXPECT_FALSE(IsWindowVisible(dialog.GetDlgItem(IDC_PRESET)));
    EXPECT_EQ(Cell(0, 4).text.substr(Cell(0, 4).text.size() - 4), ".3gp");
    Pick(IDC_3GP_TYPE, 2);
    for (int row = 0; row < 2; ++row) {
        const std::string name = Cell(row, 4).text;
        ASSERT_GE(name.size(), 4u);
        EXPECT_EQ(name.substr(name.size() - 4), ".3g2") << name;
    }
}

TEST_F(TaskListWindow, SliderHandsItsTimesToTheSelectedTask) {
    const std::string clip = sources.Path() + "clip.avi";
    ASSERT_TRUE(MakeClip(clip, 6, "-c:v mpeg4 -c:a pcm_s16le"));
    Add(clip);
    const ConversionTask added = dialog.GetTask(0);
    EXPECT_NEAR(added.endTime, 6.0, 0.2) << "the player's length";
    EXPECT_EQ(added.beginTime, 0.0) << "the window's own slider changes touch no task";
    auto* slider = static_cast<CRangeSlider*>(CWnd::FromHandle(dialog.GetDlgItem(IDC_RANGE_SLIDER)));
    ASSERT_NE(slider, nullptr);
    // A drag: each step changes the begin time and its cell; the preview waits for the release.
    for (double begin : {1.0, 2.0, 3.0}) {
        slider->SetSelection(begin, 5.0);
        SendMessageA(window, RANGE_CHANGED, 0, 0);
        EXPECT_EQ(dialog.GetTask(0).beginTime, begin);
        EXPECT_EQ(Cell(0, 2).text, "00:00:0" + std::to_string(static_cast<int>(begin)));
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
    EXPECT_EQ(PressAnswering(IDC_START), "") << "no tasks: no message";
    Add(sources.Write("clip.avi", "x"));
    ConversionTask task = dialog.GetTask(0);
    task.checked = 0;
    dialog.SetTask(0, task);
    EXPECT_EQ(PressAnswering(IDC_START), "") << "nothing checked: no message";
    task.checked = 1;
    dialog.SetTask(0, task);
    // Each folder refused with a clear message before anything runs: empty, too long for the output files, and one
    // whose parent is missing (only the last level is made).
    const struct {
        std::string folder;
        const char* message;
    } refused[] = {{"", "Please set the output directory firstly"},
                   {output.Path() + std::string(230, 'x'), "too long"},
                   {output.Path() + "missing\\deeper", "cannot be created"}};
    for (const auto& r : refused) {
        SetOutputFolder(r.folder);
        const std::string shown = PressAnswering(IDC_START);
        EXPECT_NE(shown.find(r.message), std::string::npos) << shown;
    }
    EXPECT_FALSE(FileExists(output.Path() + "missing"));
    EXPECT_EQ(dialog.GetTask(0).status, TaskStatus::None);
    EXPECT_FALSE(dialog.IsConverting());
}

TEST_F(TaskListWindow, ClipsThePlayerCannotReadAreAddedAndFailTheirRun) {
    // A 250-character path, and a RealMedia name whose export through the player fails as well.
    const std::string name = std::string(250 - sources.Path().size() - 4, 'n');
    const std::string longPath = sources.Write(name + ".avi", "not a video");
    ASSERT_EQ(longPath.size(), 250u);
    Add(longPath);
    Add(sources.Write("a.b.rmvb", "not a video"));
    ASSERT_EQ(dialog.TaskCount(), 2);
    EXPECT_EQ(dialog.GetTask(0).title, name);
    EXPECT_EQ(Cell(0, 1).text, name + ".avi");
    EXPECT_EQ(dialog.GetTask(0).endTime, 0.0) << "the length the player gives a file it cannot read";
    const std::string shown = PressAnswering(IDC_START);
    EXPECT_NE(shown.find("2 of 2 failed"), std::string::npos) << shown;
    EXPECT_EQ(Cell(0, 5).text, "Failed");
    EXPECT_EQ(Cell(1, 5).text, "Failed");
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

TEST_F(TaskListWindow, AProfileWithoutInfoLeavesThePanelAsItWas) {
    ClickTab(3);
    const auto& presets = *static_cast<CSkListBox*>(CWnd::FromHandle(dialog.GetDlgItem(IDC_PROFILE_LIST)));
    const auto& description = *static_cast<CSkLabel*>(CWnd::FromHandle(dialog.GetDlgItem(IDC_DESCRIPTION)));
    const int count = presets.GetCount();
    const std::string text = description.GetText();
    ASSERT_GT(count, 0);
    // The PSP profile of another program folder has presets but no "Info".
    const std::string app = sources.Path() + "app";
    CreateDirectoryA(app.c_str(), nullptr);
    const std::string broken = sources.Write("app\\PSP_Profile.ini", "[profile1]\nTitle=Broken\n");
    ASSERT_TRUE(SetProgramDirectory(sources.Path() + "movara.exe"));
    ClickTab(1);
    SetProgramDirectory(MovaraPath());
    DeleteFileA(broken.c_str());
    RemoveDirectoryA(app.c_str());
    EXPECT_EQ(dialog.ReadOutputSettings().deviceFamily, DeviceFamily::Psp);
    EXPECT_EQ(presets.GetCount(), count);
    EXPECT_EQ(description.GetText(), text);
}

// Stop pressed twice, then the window closed, each while a 3GP encode runs: the run stops, the working file goes, the
// source stays as it was, and files dropped meanwhile are not added.
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
    EXPECT_EQ(Cell(0, 5).text, "Canceled");
    EXPECT_EQ(Cell(1, 5).text, "");
    EXPECT_EQ(FilesIn(output.Path()), std::vector<std::string>{}) << "the working file is deleted";

    bool closed = false;
    shown = PressAnswering(IDC_START, [&] {
        if (!closed && encoding()) {
            closed = true;
            Press(IDC_CLOSE_BUTTON);
        }
    });
    ASSERT_TRUE(closed);
    EXPECT_EQ(shown, "") << "no message once the window is gone";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(dialog.IsConverting());
    EXPECT_EQ(dialog.GetTask(1).status, TaskStatus::None) << "the run ended with the task it was on";
    EXPECT_EQ(FilesIn(output.Path()), std::vector<std::string>{});
    EXPECT_EQ(ReadWholeFile(clip), before) << "the source is untouched";
}

// The end of a run through the system actions: the iPod hand-off waits with its limit; with the shut-down box ticked
// the machine is powered off instead of the message and the hand-off.
TEST_F(TaskListWindow, ARunEndsWithTheHandOffOrTheShutDown) {
    Add(Clip(2));
    EXPECT_NE(PressAnswering(IDC_START).find("  Converting Finished  "), std::string::npos);
    EXPECT_EQ(dialog.GetTask(0).finished, 1);
    EXPECT_EQ(actions.limitedWaits, std::vector<unsigned long>{handOffLimitMs});
    EXPECT_EQ(actions.unlimitedWaits, 0);
    HWND check = dialog.GetDlgItem(IDC_SHUTDOWN_CHECK);
    SendMessageA(check, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(check, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(PressAnswering(IDC_START), "") << "no message when the machine goes down";
    EXPECT_EQ(dialog.GetTask(0).finished, 1);
    EXPECT_EQ(actions.sessionEnds, std::vector<unsigned>{EWX_POWEROFF | EWX_FORCE});
    EXPECT_EQ(actions.limitedWaits.size(), 1u) << "no hand-off before a shut-down";
}

// Real runs through the engine and ffmpeg, started and stopped with the window's buttons.
TEST_F(TaskListWindow, RunsConvertTheCheckedTasksAndStopLeavesTheRest) {
    const std::string clip = sources.Path() + "clip.avi";
    ASSERT_TRUE(MakeClip(clip, 2, "-c:v mpeg4 -c:a pcm_s16le"));
    Add(clip);
    Add(clip);
    ConversionTask first = dialog.GetTask(0);
    first.checked = 0;
    dialog.SetTask(0, first);
    // The last level of a folder that went away is made again.
    const std::string folder = output.Path() + "made";
    SetOutputFolder(folder);
    bool stopShownDuringRun = false;
    std::string shown = PressAnswering(IDC_START, [&] {
        if (dialog.IsConverting())
            stopShownDuringRun = IsWindowVisible(dialog.GetDlgItem(IDC_STOP)) &&
                                 !IsWindowVisible(dialog.GetDlgItem(IDC_START)) &&
                                 !IsWindowEnabled(dialog.GetDlgItem(IDC_DEVICE_TABS));
    });
    EXPECT_TRUE(stopShownDuringRun);
    EXPECT_NE(shown.find("  Converting Finished  "), std::string::npos) << shown;
    EXPECT_EQ(dialog.GetTask(0).finished, 0) << "unchecked: untouched";
    EXPECT_EQ(Cell(0, 5).text, "");
    EXPECT_EQ(dialog.GetTask(1).finished, 1);
    EXPECT_EQ(Cell(1, 5).text, " Finished ");
    EXPECT_GT(FileSize(folder + "\\" + dialog.GetTask(1).outputName + ".mp4"), 0);
    EXPECT_TRUE(IsWindowVisible(dialog.GetDlgItem(IDC_START)));
    EXPECT_FALSE(IsWindowVisible(dialog.GetDlgItem(IDC_STOP)));
    EXPECT_TRUE(IsWindowEnabled(dialog.GetDlgItem(IDC_DEVICE_TABS)));

    // Three checked tasks, Stop pressed twice during the second: the third stays untouched, and the message says
    // the run was stopped.
    Add(clip);
    first.checked = 1;
    dialog.SetTask(0, first);
    shown = PressAnswering(IDC_START, [&] {
        if (dialog.IsConverting() && currentTaskIndex == 1) {
            Press(IDC_STOP);
            Press(IDC_STOP);
        }
    });
    EXPECT_NE(shown.find("Converting Stopped"), std::string::npos) << shown;
    EXPECT_EQ(dialog.GetTask(0).finished, 1);
    EXPECT_EQ(dialog.GetTask(1).finished, 0);
    EXPECT_EQ(dialog.GetTask(2), [&] {
        ConversionTask untouched = dialog.GetTask(2);
        untouched.status = TaskStatus::None;
        untouched.finished = 0;
        untouched.encodedTime = 0;
        untouched.outputSizeKB = 0;
        return untouched;
    }()) << "the third task has no progress";
    EXPECT_EQ(Cell(2, 5).text, "");
    EXPECT_FALSE(dialog.IsConverting());
}

} // namespace
