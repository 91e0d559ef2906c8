// A user's whole conversion, done to the real movara.exe from outside as a user's hands would do it: the Add button
// and the clip's path typed into the system's open dialog, a range dragged on the slider, a device tab clicked and a
// preset chosen, the output folder stored where the program reads it, Start; then the task's " Finished ", the end
// message, and ffprobe reading what was written. Also the pictures of the window during and after a run.
#include "MovaraProcess.h"

#include "resources/resource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// The source: a few seconds of test picture and tone at a small size, so that the runs stay short.
constexpr double kClipSeconds = 6.0;
// The range a user drags to: the begin thumb a quarter along the track, the end thumb three quarters.
constexpr double kBeginFraction = 0.25;
constexpr double kEndFraction = 0.75;
// The slider's thumbs are 13 pixels wide; the track between them is what the values map onto.
constexpr int kThumbWidth = 13;
// Bounds on waiting for the program: only a broken program reaches them.
constexpr DWORD kRunLimitMs = 120000;
constexpr DWORD kStepLimitMs = 20000;
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

// The percentage at the end of a converting task's status text ("...  %42 "), or -1.
int PercentShown(const std::string& status) {
    const size_t sign = status.rfind('%');
    return sign == std::string::npos ? -1 : std::atoi(status.c_str() + sign + 1);
}

class UserSession : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sources = std::make_unique<TempFolder>();
        clip = sources->Path() + "clip.avi";
        longClip = sources->Path() + "long clip.avi";
        made = MakeClip(clip, kClipSeconds, "-s 160x120 -c:v mpeg4 -c:a libmp3lame") &&
               MakeClip(longClip, 20, "-s 160x120 -c:v mpeg4 -c:a libmp3lame");
    }
    static void TearDownTestSuite() { sources.reset(); }

    void SetUp() override {
        ASSERT_TRUE(made) << "ffmpeg could not make the clips";
        saved.Save();
        DeleteMovaraValue("SkinIni");
        WriteMovaraValue("destination", output.Path());
        ASSERT_TRUE(movara.Start());
        window = movara.WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        list = GetDlgItem(window, IDC_TASK_LIST);
    }
    void TearDown() override {
        if (window && movara.IsRunning()) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            DWORD exitCode = 99;
            EXPECT_TRUE(movara.WaitForExit(&exitCode));
        }
        saved.Restore();
    }

    void Press(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }
    int TaskCount() { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

    // The Add button, then the path typed into the open dialog's file name field and Open pressed.
    void AddThroughOpenDialog(const std::string& path) {
        const int before = TaskCount();
        Press(GetDlgItem(window, IDC_ADD_VIDEO));
        HWND open = movara.WaitForWindow(
            [&](HWND w) { return w != window && ClassNameOf(w) == "#32770" && GetWindow(w, GW_OWNER) == window; });
        ASSERT_NE(open, nullptr) << "the open dialog shows";
        // The field is an edit inside a combo (inside an extended combo where the dialog has one).
        HWND field = nullptr;
        EnumChildWindows(open, [](HWND child, LPARAM found) -> BOOL {
            if (GetDlgCtrlID(child) != kFileNameCombo || ClassNameOf(child) != "Edit")
                return TRUE;
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        }, reinterpret_cast<LPARAM>(&field));
        ASSERT_NE(field, nullptr) << "the open dialog has a file name field";
        for (unsigned char c : path)
            PostMessageA(field, WM_CHAR, c, 1);
        Press(GetDlgItem(open, IDOK));
        ASSERT_TRUE(PumpUntil([&] { return TaskCount() == before + 1; }, kStepLimitMs)) << path;
    }

    // A press on a thumb's middle, four moves with the button down, the release.
    void DragThumb(bool endThumb, double fromFraction, double toFraction) {
        HWND slider = GetDlgItem(window, IDC_RANGE_SLIDER);
        RECT client = {};
        GetClientRect(slider, &client);
        const int track = client.right - 2 * kThumbWidth;
        const auto middle = [&](double fraction) {
            return (endThumb ? kThumbWidth : 0) + kThumbWidth / 2 + static_cast<int>(track * fraction + 0.5);
        };
        const int from = middle(fromFraction);
        const int to = middle(toFraction);
        const int y = client.bottom / 2;
        PostMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from, y));
        for (int step = 1; step <= 4; ++step)
            PostMessageA(slider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from + (to - from) * step / 4, y));
        PostMessageA(slider, WM_LBUTTONUP, 0, MAKELPARAM(to, y));
        ASSERT_TRUE(movara.WaitUntilIdle());
    }

    void ClickTab(int tab) {
        HWND bar = GetDlgItem(window, IDC_DEVICE_TABS);
        RECT client = {};
        GetClientRect(bar, &client);
        PostClick(bar, client.right * tab / 6 + client.right / 12, client.bottom / 2);
        ASSERT_TRUE(movara.WaitUntilIdle());
    }

    // Down or Up on a closed combo picks the next or previous item, as a user's arrow keys do.
    void ChooseComboItem(int id, int item) {
        HWND combo = GetDlgItem(window, id);
        for (int step = 0; step < 20 && ComboSelection(combo) != item; ++step) {
            PostMessageA(combo, WM_KEYDOWN, ComboSelection(combo) < item ? VK_DOWN : VK_UP, 1);
            ASSERT_TRUE(movara.WaitUntilIdle());
        }
        ASSERT_EQ(ComboSelection(combo), item);
    }

    // The preset list keeps its items to itself: steps with the arrow keys from the entry it preselects.
    void ChooseListEntry(const char* profile, int entry) {
        const int preselected =
            GetPrivateProfileIntA("Info", "DefaultProfile", 0, (AppFolder() + profile).c_str()) - 1;
        const int steps = entry - preselected;
        for (int i = 0; i < std::abs(steps); ++i)
            PostMessageA(GetDlgItem(window, IDC_PROFILE_LIST), WM_KEYDOWN, steps > 0 ? VK_DOWN : VK_UP, 1);
        ASSERT_TRUE(movara.WaitUntilIdle());
    }

    // Waits for the end message of the run and closes it: the rows then tell how each task ended. The message's text
    // stays with the skinned label that draws it (the platform's copy keeps the template's empty text).
    void WaitForRunEnd() {
        HWND box = nullptr;
        PumpUntil([&] {
            for (HWND w : movara.VisibleWindows())
                box = w != window && GetDlgItem(w, IDC_MSG_TEXT) ? w : box;
            return box != nullptr;
        }, kRunLimitMs);
        ASSERT_NE(box, nullptr) << "the end of the run is told";
        Press(GetDlgItem(box, IDOK));
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(box); }, kStepLimitMs)) << "the box closes";
        EXPECT_TRUE(movara.WaitUntilIdle());
        for (int row = 0; row < TaskCount(); ++row)
            EXPECT_EQ(ListCellText(list, row, 5), " Finished ") << "row " << row;
    }

    void SaveWindowPicture(const char* name) {
        // Where the message box stood waits for its repaint, which comes after every posted message.
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT rect = {};
        GetWindowRect(window, &rect);
        const std::string path = BuildFolderPath(name);
        EXPECT_TRUE(SaveScreenRectPng(rect, path)) << path;
        std::printf("saved %s\n", path.c_str());
    }

    static std::unique_ptr<TempFolder> sources;
    static std::string clip;
    static std::string longClip;
    static bool made;

    SavedMovaraValues saved;
    TempFolder output;
    MovaraProcess movara;
    HWND window = nullptr;
    HWND list = nullptr;
};

std::unique_ptr<TempFolder> UserSession::sources;
std::string UserSession::clip;
std::string UserSession::longClip;
bool UserSession::made = false;

class UserConverts : public UserSession, public ::testing::WithParamInterface<UserRun> {};

TEST_P(UserConverts, TrimmedClipWithTheChosenPreset) {
    const UserRun& run = GetParam();
    AddThroughOpenDialog(clip);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(ListCellText(list, 0, 1), "clip.avi");
    DragThumb(false, 0.0, kBeginFraction);
    DragThumb(true, 1.0, kEndFraction);
    // The task took the dragged times: 1.5 s and 4.5 s of the 6 s clip.
    EXPECT_EQ(ListCellText(list, 0, 2), "00:00:01");
    EXPECT_EQ(ListCellText(list, 0, 3), "00:00:04");

    ClickTab(run.tab);
    if (run.threeGpType >= 0)
        ChooseComboItem(IDC_3GP_TYPE, run.threeGpType);
    if (run.tab == 0)
        ChooseComboItem(IDC_PRESET, run.preset);
    else
        ChooseListEntry(run.profile, run.preset);
    ASSERT_FALSE(HasFatalFailure());
    const std::string name = ListCellText(list, 0, 4);
    ASSERT_GT(name.size(), std::string(run.extension).size());
    EXPECT_EQ(name.substr(name.size() - std::string(run.extension).size()), run.extension) << name;

    Press(GetDlgItem(window, IDC_START));
    WaitForRunEnd();
    ASSERT_FALSE(HasFatalFailure());

    const std::string probe = RunCommand(Quote(AppFolder() + "ffprobe.exe") +
                                         " -v error -show_entries stream=codec_name,width,height:format=duration"
                                         " -of compact=nk=1 " + Quote(output.Path() + name)).output;
    EXPECT_NE(probe.find(std::string("stream|") + run.video), std::string::npos) << probe;
    EXPECT_NE(probe.find(std::string("stream|") + run.audio), std::string::npos) << probe;
    const size_t format = probe.find("format|");
    ASSERT_NE(format, std::string::npos) << probe;
    EXPECT_NEAR(std::atof(probe.c_str() + format + 7), (kEndFraction - kBeginFraction) * kClipSeconds, 0.5) << probe;
}

INSTANTIATE_TEST_SUITE_P(EveryTab, UserConverts, ::testing::ValuesIn(userRuns),
                         [](const ::testing::TestParamInfo<UserRun>& info) { return std::string(info.param.name); });

TEST_F(UserSession, PicturesDuringAndAfterARun) {
    AddThroughOpenDialog(longClip);
    AddThroughOpenDialog(clip);
    ASSERT_FALSE(HasFatalFailure());
    Press(GetDlgItem(window, IDC_START));
    // The first task converting, its bar part-way.
    ASSERT_TRUE(PumpUntil([&] {
        const int percent = PercentShown(ListCellText(list, 0, 5));
        return percent >= 10 && percent <= 80;
    }, kRunLimitMs)) << ListCellText(list, 0, 5);
    SaveWindowPicture("main_window_converting.png");
    WaitForRunEnd();
    SaveWindowPicture("main_window_finished.png");
}

} // namespace
