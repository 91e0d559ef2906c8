// Skin loading: the registry value, the skin description's "directory" and keys, built-in bitmaps, and the fatal path
// for a bitmap file that cannot be loaded (in a child process, whose message box the test closes).
#include "skin/SkinLoader.h"
#include "skin/SkinSettings.h"

#include "SkinTestFiles.h"
#include "tests/support/Canvas.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tests/support/SkinForTests.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

namespace {

class SkinLoaderTest : public testing::Test {
protected:
    void SetUp() override { skinSettings = SkinSettings(); }
    void TearDown() override { skinSettings = saved; }
    // The directory line of a description whose bitmaps are in folder, without the final separator as users write it.
    std::string DirectoryLine() const {
        return "Directory=" + folder.Path().substr(0, folder.Path().size() - 1) + "\n";
    }

    SkinRegistryValue registry; // restores the value the machine had
    TempFolder folder;
    SkinSettings saved = skinSettings;
};

std::pair<int, int> SizeOf(HBITMAP bitmap) {
    const SIZE size = BitmapSize(bitmap);
    return {size.cx, size.cy};
}

// The first and the last bitmaps loaded, at the sizes of their built-in resources, and no description named.
void ExpectBuiltInLook() {
    EXPECT_STREQ(skinSettings.skinFilePath, "");
    EXPECT_EQ(SizeOf(skinSettings.comboSkin.faceBitmap), std::make_pair(1, 18));
    EXPECT_EQ(SizeOf(skinSettings.backgroundBitmap), std::make_pair(372, 279));
}

// No value, or one longer than 511 characters, gives the built-in look; 511 characters are used; a description that
// does not exist gives the built-ins silently (a message would block here).
TEST_F(SkinLoaderTest, RegistryValueNamesTheDescriptionAndItsKeysTheirFiles) {
    LoadSkin();
    ExpectBuiltInLook();
    ASSERT_TRUE(SkinRegistryValue::Set(std::string(512, 'y')));
    LoadSkin();
    ExpectBuiltInLook();
    const std::string path = folder.Path() + std::string(511 - folder.Path().size(), 'x');
    ASSERT_TRUE(SkinRegistryValue::Set(path));
    LoadSkin();
    EXPECT_EQ(std::string(skinSettings.skinFilePath), path);
    EXPECT_STREQ(skinSettings.skinDirectory, "");
    EXPECT_EQ(SizeOf(skinSettings.backgroundBitmap), std::make_pair(372, 279));
    // A description's directory and key load that file, and nothing else.
    folder.Write("title.bmp", BmpFileBytes(10, 7, RGB(200, 10, 30)));
    ASSERT_TRUE(SkinRegistryValue::Set(folder.Write("skin.ini", DirectoryLine() + "Title=TITLE.BMP\r\n")));
    LoadSkin();
    EXPECT_EQ(SizeOf(skinSettings.titleBitmap), std::make_pair(10, 7));
    EXPECT_EQ(BitmapPixel(skinSettings.titleBitmap, 3, 3), RGB(200, 10, 30));
    EXPECT_EQ(SizeOf(skinSettings.backgroundBitmap), std::make_pair(372, 279)) << "background stays built in";
}

struct FatalCase {
    const char* descriptionTail; // after the directory line
    std::string fileBytes;       // written as cut.bmp when not empty
    const char* reported;        // the path the message names, relative to the folder
};

class SkinLoaderFatal : public SkinLoaderTest, public testing::WithParamInterface<FatalCase> {};

// The child is this same executable, running only the disabled test below, which prints the box it shows. Names reach
// the loader lower-cased, the directory included.
TEST_P(SkinLoaderFatal, ShowsTheMessageClearsTheValueAndExitsWithZero) {
    const FatalCase& c = GetParam();
    if (!c.fileBytes.empty())
        folder.Write("cut.bmp", c.fileBytes);
    ASSERT_TRUE(SkinRegistryValue::Set(folder.Write("skin.ini", DirectoryLine() + c.descriptionTail)));
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    const ChildRun run = RunCommand(Quote(self) + " --gtest_also_run_disabled_tests --gtest_filter=SkinLoaderChild.*");
    ASSERT_TRUE(run.started) << run.startError;
    EXPECT_EQ(run.exitCode, 0u);
    std::string directory = folder.Path();
    CharLowerA(directory.data());
    const std::string box = "[Error] Cannot load " + directory + c.reported +
                            "\nCannot initialise Movara skin, Movara will restart with original theme[end]";
    std::string output = run.output; // the box's line break, and the printed one, may come as CR LF
    std::erase(output, '\r');
    EXPECT_NE(output.find(box), std::string::npos) << output;
    std::string value = "not read";
    EXPECT_TRUE(SkinRegistryValue::Read(value));
    EXPECT_EQ(value, "");
    LoadSkin(); // the next start has the built-in look
    ExpectBuiltInLook();
}

// A missing file under a key no control uses, and a bitmap file cut short.
INSTANTIATE_TEST_SUITE_P(SkinLoader, SkinLoaderFatal,
                         testing::Values(FatalCase{"combo_fore=Missing.BMP\n", "", "missing.bmp"},
                                         FatalCase{"combo_arrow=cut.bmp\n", BmpFileBytes(16, 16).substr(0, 60),
                                                   "cut.bmp"}));

// Run only as the child of the test above: LoadSkin must not come back. Each message box this thread shows is
// printed as "[title] text[end]" and closed with OK.
TEST(SkinLoaderChild, DISABLED_LoadSkin) {
    auto closeBox = [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_INITDIALOG) {
            char title[64] = {};
            char text[1024] = {};
            GetWindowTextA(call->hwnd, title, sizeof title);
            GetDlgItemTextA(call->hwnd, 0xFFFF, text, sizeof text);
            std::printf("[%s] %s[end]\n", title, text);
            std::fflush(stdout);
            PostMessageA(call->hwnd, WM_COMMAND, IDOK, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    };
    SetWindowsHookExA(WH_CALLWNDPROCRET, closeBox, nullptr, GetCurrentThreadId());
    LoadSkin();
    ExitProcess(3);
}

} // namespace
