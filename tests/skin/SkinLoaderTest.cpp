// Skin loading: the registry value, the skin description's "directory" and keys, built-in bitmaps, and the fatal path
// for a bitmap file that cannot be loaded (in a child process, whose message box the test closes).
#include "skin/SkinLoader.h"
#include "skin/SkinSettings.h"

#include "SkinTestFiles.h"
#include "tests/support/Canvas.h"
#include "tests/support/Files.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SkinForTests.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// No value, or one longer than 511 characters, gives the built-in look; 511 characters are used.
TEST_F(SkinLoaderTest, RegistryValueNamesTheDescriptionUpTo511Characters) {
    LoadSkin();
    ExpectBuiltInLook();
    EXPECT_NE(skinSettings.layeredAttributesEntry, nullptr);
    ASSERT_TRUE(SkinRegistryValue::Set(std::string(511, 'x')));
    LoadSkin();
    EXPECT_EQ(std::string(skinSettings.skinFilePath), std::string(511, 'x'));
    ASSERT_TRUE(SkinRegistryValue::Set(std::string(512, 'y')));
    LoadSkin();
    ExpectBuiltInLook();
}

TEST_F(SkinLoaderTest, MissingDescriptionGivesTheBuiltInsSilently) {
    const std::string path = folder.Path() + "absent.ini";
    ASSERT_TRUE(SkinRegistryValue::Set(path));
    LoadSkin(); // a message would block here
    EXPECT_EQ(std::string(skinSettings.skinFilePath), path);
    EXPECT_STREQ(skinSettings.skinDirectory, "");
    EXPECT_EQ(SizeOf(skinSettings.backgroundBitmap), std::make_pair(372, 279));
}

TEST_F(SkinLoaderTest, DirectoryAndTitleLoadThatFileAndNothingElse) {
    folder.Write("title.bmp", BmpFileBytes(10, 7, RGB(200, 10, 30)));
    ASSERT_TRUE(SkinRegistryValue::Set(folder.Write("skin.ini", DirectoryLine() + "Title=TITLE.BMP\r\n")));
    LoadSkin();
    EXPECT_EQ(SizeOf(skinSettings.titleBitmap), std::make_pair(10, 7));
    EXPECT_EQ(BitmapPixel(skinSettings.titleBitmap, 3, 3), RGB(200, 10, 30));
    EXPECT_EQ(SizeOf(skinSettings.backgroundBitmap), std::make_pair(372, 279)) << "background stays built in";
}

struct FatalCase {
    const char* descriptionTail; // after the directory line
    const char* fileName;        // written into the folder with fileBytes, when not null
    std::string fileBytes;
    const char* reported; // the path the message names, relative to the folder
};

const FatalCase kFatalCases[] = {
    {"title=missing.bmp\n", nullptr, "", "missing.bmp"},
    {"combo_fore=Missing.BMP\n", nullptr, "", "missing.bmp"}, // a key no control uses
    {"combo_arrow=cut.bmp\n", "cut.bmp", BmpFileBytes(16, 16).substr(0, 60), "cut.bmp"},
    {"title=\n", nullptr, "", ""},
};

class SkinLoaderFatal : public SkinLoaderTest, public testing::WithParamInterface<FatalCase> {};

// The child is this same executable, running only the disabled test below.
TEST_P(SkinLoaderFatal, ShowsTheMessageClearsTheValueAndExitsWithZero) {
    const FatalCase& c = GetParam();
    if (c.fileName)
        folder.Write(c.fileName, c.fileBytes);
    ASSERT_TRUE(SkinRegistryValue::Set(folder.Write("skin.ini", DirectoryLine() + c.descriptionTail)));
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string commandLine = Quote(self) + " --gtest_also_run_disabled_tests --gtest_filter=SkinLoaderChild.*";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(
        CreateProcessA(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    CloseHandle(child.hThread);

    // The child's "Error" box: its window handle goes into the search's second half.
    std::pair<DWORD, HWND> search{child.dwProcessId, nullptr};
    auto findBox = [](HWND window, LPARAM lParam) -> BOOL {
        auto* s = reinterpret_cast<std::pair<DWORD, HWND>*>(lParam);
        DWORD owner = 0;
        char title[64] = {};
        GetWindowThreadProcessId(window, &owner);
        GetWindowTextA(window, title, sizeof title);
        s->second = owner == s->first && std::string(title) == "Error" ? window : nullptr;
        return s->second == nullptr;
    };
    PumpUntil(
        [&] {
            EnumWindows(findBox, reinterpret_cast<LPARAM>(&search));
            return search.second != nullptr || WaitForSingleObject(child.hProcess, 0) != WAIT_TIMEOUT;
        },
        15000);
    char text[1024] = {};
    if (search.second) {
        GetDlgItemTextA(search.second, 0xFFFF, text, sizeof text);
        ::SendMessageA(search.second, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(search.second, IDOK)));
    }
    const bool ended = WaitForSingleObject(child.hProcess, 15000) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(child.hProcess, 99);
    DWORD exitCode = 99;
    GetExitCodeProcess(child.hProcess, &exitCode);
    CloseHandle(child.hProcess);

    ASSERT_NE(search.second, nullptr) << "no \"Error\" box";
    EXPECT_TRUE(ended);
    EXPECT_EQ(exitCode, 0u);
    // Wine's message box may show the line break as it is or as CR LF: compare without CRs. Names reach the loader
    // lower-cased, the directory included.
    std::string shown = text;
    std::erase(shown, '\r');
    std::string directory = folder.Path();
    std::transform(directory.begin(), directory.end(), directory.begin(),
                   [](char ch) { return static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch); });
    EXPECT_EQ(shown, "Cannot load " + directory + c.reported +
                         "\nCannot initialise Movara skin, Movara will restart with original theme");
    std::string value = "not read";
    EXPECT_TRUE(SkinRegistryValue::Read(value));
    EXPECT_EQ(value, "");
    LoadSkin(); // the next start has the built-in look
    ExpectBuiltInLook();
}

INSTANTIATE_TEST_SUITE_P(SkinLoader, SkinLoaderFatal, testing::ValuesIn(kFatalCases));

// Run only as the child of the test above: it must not come back.
TEST(SkinLoaderChild, DISABLED_LoadSkin) {
    LoadSkin();
    ExitProcess(3);
}

} // namespace
