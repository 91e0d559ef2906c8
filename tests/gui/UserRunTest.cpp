// A user's whole conversion, done to the real movara.exe from outside as a user's hands would do it: the Add button
// and the clip's path typed into the system's open dialog, a range dragged on the slider, a device tab clicked and a
// preset chosen, the output folder stored where the program reads it, Start; then the task's " Finished ", the end
// message, and ffprobe reading what was written.
#include "MovaraProcess.h"

#include "resources/resource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Screenshot.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

// The source: a few seconds of test picture and tone at a small size, so that the runs stay short. The user drags
// the begin thumb a quarter along the track and the end thumb to three quarters; the thumbs are 13 pixels wide.
constexpr double kClipSeconds = 6.0;
constexpr double kBeginFraction = 0.25;
constexpr double kEndFraction = 0.75;
constexpr int kThumbWidth = 13;
// The bound on waiting for a run: only a broken program reaches it.
constexpr DWORD kRunLimitMs = 120000;
// The file name field of the system's open dialog.
constexpr int kFileNameCombo = 0x47c;

struct UserRun {
    const char* name;
    int tab;             // the device tab clicked
    int threeGpType;     // the 3GP type combo's item; -1 on the other tabs
    const char* profile; // the family's profile file in app\, whose DefaultProfile is preselected
    int preset;          // the preset combo's item (iPod) or the preset list's entry: never the preselected one
    const char* video;   // ffprobe's "codec|width|height" of the output's picture
    const char* audio;   // and the codec of its sound
    const char* extension;
};

const UserRun userRuns[] = {
    {"iPod", 0, -1, "iPod_Profile.ini", 3, "mpeg4|320|240", "aac", ".mp4"},
    {"PSP", 1, -1, "PSP_Profile.ini", 16, "h264|320|240", "aac", ".MP4"},
    {"Phone3gpAmr", 2, 0, "3GP_AMR_Profile.ini", 3, "mpeg4|176|144", "amr_nb", ".3gp"},
    {"Phone3gpAac", 2, 1, "3GP_AAC_Profile.ini", 0, "h263|176|144", "aac", ".3gp"},
    {"Phone3gp2Aac", 2, 2, "3GP2_AAC_Profile.ini", 1, "h263|176|144", "aac", ".3g2"},
    {"Xbox", 3, -1, "Xbox_Profile.ini", 4, "mpeg2video|352|240", "mp2", ".mpg"},
    {"PocketPc", 4, -1, "PPC_Profile.ini", 1, "mpeg4|240|180", "mp3", ".avi"},
    {"Pmp", 5, -1, "PMP_Profile.ini", 4, "h264|480|272", "aac", ".pmp"},
};

class UserConverts : public ::testing::TestWithParam<UserRun> {
protected:
    static void SetUpTestSuite() {
        sources = std::make_unique<TempFolder>();
        made = MakeClip(sources->Path() + "clip.avi", kClipSeconds, "-s 160x120 -c:v mpeg4 -c:a libmp3lame");
    }
    static void TearDownTestSuite() { sources.reset(); }

    void SetUp() override {
        ASSERT_TRUE(made) << "ffmpeg could not make the clips";
        saved.Save();
        DeleteMovaraValue("SkinIni");
        WriteMovaraValue("destination", output.Path());
        ASSERT_TRUE(movara.Start());
        ASSERT_NE(window = movara.WaitForMainWindow(), nullptr);
        list = GetDlgItem(window, IDC_TASK_LIST);
    }
    void TearDown() override {
        DWORD exitCode = 99;
        if (window && PostMessageA(window, WM_CLOSE, 0, 0)) {
            EXPECT_TRUE(movara.WaitForExit(&exitCode));
        }
        saved.Restore();
    }

    void Press(int id, HWND dialog = nullptr) {
        PostMessageA(GetDlgItem(dialog ? dialog : window, id), BM_CLICK, 0, 0);
    }
    int TaskCount() { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

    // The Add button, then the path typed into the open dialog's file name field and Open pressed.
    void AddThroughOpenDialog(const std::string& path) {
        const int before = TaskCount();
        Press(IDC_ADD_VIDEO);
        HWND open = movara.WaitForWindow([&](HWND w) { return w != window && GetWindow(w, GW_OWNER) == window; });
        ASSERT_NE(open, nullptr) << "the open dialog shows";
        // The field is an edit inside a combo (inside an extended combo where the dialog has one).
        HWND field = nullptr;
        EnumChildWindows(
            open,
            [](HWND child, LPARAM found) -> BOOL {
                const bool isField = GetDlgCtrlID(child) == kFileNameCombo && ClassNameOf(child) == "Edit";
                *reinterpret_cast<HWND*>(found) = isField ? child : *reinterpret_cast<HWND*>(found);
                return !isField;
            },
            reinterpret_cast<LPARAM>(&field));
        ASSERT_NE(field, nullptr) << "the open dialog has a file name field";
        for (unsigned char c : path)
            PostMessageA(field, WM_CHAR, c, 1);
        Press(IDOK, open);
        ASSERT_TRUE(PumpUntil([&] { return TaskCount() == before + 1; })) << path;
    }

    // A press at `from` on control id, four moves with the button down, the release at `to`.
    void Drag(int id, POINT from, POINT to) {
        HWND control = GetDlgItem(window, id);
        PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        for (int step = 1; step <= 4; ++step)
            PostMessageA(control, WM_MOUSEMOVE, MK_LBUTTON,
                         MAKELPARAM(from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4));
        PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        ASSERT_TRUE(movara.WaitUntilIdle());
    }
    // The middle of a slider thumb at a fraction of the track.
    POINT Thumb(bool endThumb, double fraction) {
        RECT client = {};
        GetClientRect(GetDlgItem(window, IDC_RANGE_SLIDER), &client);
        const int track = client.right - 2 * kThumbWidth;
        return {(endThumb ? kThumbWidth : 0) + kThumbWidth / 2 + static_cast<int>(track * fraction + 0.5),
                client.bottom / 2};
    }

    // The arrow keys a user presses on a combo or the preset list, `steps` down (or up when negative).
    void StepKeys(int id, int steps) {
        for (int i = 0; i < std::abs(steps); ++i)
            PostMessageA(GetDlgItem(window, id), WM_KEYDOWN, steps > 0 ? VK_DOWN : VK_UP, 1);
        ASSERT_TRUE(movara.WaitUntilIdle());
    }
    int Selection(int combo) { return static_cast<int>(SendMessageA(GetDlgItem(window, combo), CB_GETCURSEL, 0, 0)); }

    // Waits for the end message of the run and closes it: the rows then tell how each task ended. The message's text
    // stays with the skinned label that draws it (the platform's copy keeps the template's empty text).
    void WaitForRunEnd() {
        HWND box =
            movara.WaitForWindow([&](HWND w) { return w != window && GetDlgItem(w, IDC_MSG_TEXT); }, kRunLimitMs);
        ASSERT_NE(box, nullptr) << "the end of the run is told";
        Press(IDOK, box);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(box); })) << "the box closes";
        EXPECT_TRUE(movara.WaitUntilIdle());
        for (int row = 0; row < TaskCount(); ++row)
            EXPECT_EQ(ListCellText(list, row, 5), " Finished ") << "row " << row << "; log.txt ends:\n" << LogTail();
    }

    // Why a task failed is in the program's log, which every test's run appends to: its last lines say.
    static std::string LogTail() {
        const std::string log = ReadWholeFile(AppFolder() + "log.txt");
        return log.substr(log.size() > 2000 ? log.size() - 2000 : 0);
    }

    static std::unique_ptr<TempFolder> sources;
    static bool made;
    SavedMovaraValues saved;
    TempFolder output;
    MovaraProcess movara;
    HWND window = nullptr;
    HWND list = nullptr;
};

std::unique_ptr<TempFolder> UserConverts::sources;
bool UserConverts::made = false;

TEST_P(UserConverts, TrimmedClipWithTheChosenPreset) {
    const UserRun& run = GetParam();
    AddThroughOpenDialog(sources->Path() + "clip.avi");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(ListCellText(list, 0, 1), "clip.avi");
    Drag(IDC_RANGE_SLIDER, Thumb(false, 0.0), Thumb(false, kBeginFraction));
    Drag(IDC_RANGE_SLIDER, Thumb(true, 1.0), Thumb(true, kEndFraction));
    // The task took the dragged times: 1.5 s and 4.5 s of the 6 s clip.
    EXPECT_EQ(ListCellText(list, 0, 2), "00:00:01");
    EXPECT_EQ(ListCellText(list, 0, 3), "00:00:04");

    RECT tabs = {};
    GetClientRect(GetDlgItem(window, IDC_DEVICE_TABS), &tabs);
    const POINT tab = {tabs.right * run.tab / 6 + tabs.right / 12, tabs.bottom / 2};
    Drag(IDC_DEVICE_TABS, tab, tab);
    // The combos' selections are read back; the preset list keeps its items to itself: the steps count from the
    // entry it preselects.
    const int combo = run.tab == 0 ? IDC_PRESET : IDC_3GP_TYPE;
    if (run.tab == 0 || run.threeGpType >= 0) {
        const int wanted = run.tab == 0 ? run.preset : run.threeGpType;
        StepKeys(combo, wanted - Selection(combo));
        EXPECT_EQ(Selection(combo), wanted);
    }
    if (run.tab != 0)
        StepKeys(IDC_PROFILE_LIST, run.preset + 1 -
                                       static_cast<int>(GetPrivateProfileIntA("Info", "DefaultProfile", 0,
                                                                              (AppFolder() + run.profile).c_str())));
    ASSERT_FALSE(HasFatalFailure());
    const std::string name = ListCellText(list, 0, 4);
    EXPECT_TRUE(name.ends_with(run.extension)) << name;

    Press(IDC_START);
    WaitForRunEnd();
    ASSERT_FALSE(HasFatalFailure());
    if (run.tab == 0) { // a picture for a person; where the message box stood waits for its repaint
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_TRUE(SaveWindowPng(window, BuildFolder() + "main_window_finished.png"));
    }
    const std::string probe = Probe(output.Path() + name, "stream=codec_name,width,height:format=duration");
    EXPECT_NE(probe.find(std::string("stream|") + run.video), std::string::npos) << probe;
    EXPECT_NE(probe.find(std::string("stream|") + run.audio), std::string::npos) << probe;
    EXPECT_NEAR(ProbedDuration(probe), (kEndFraction - kBeginFraction) * kClipSeconds, 0.5) << probe;
}

INSTANTIATE_TEST_SUITE_P(EveryTab, UserConverts, ::testing::ValuesIn(userRuns),
                         [](const ::testing::TestParamInfo<UserRun>& info) { return std::string(info.param.name); });

} // namespace
