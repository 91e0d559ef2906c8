// Skin loading: the registry value, the skin description's "directory" and keys, built-in bitmaps, fixed values,
// and the fatal path for a bitmap file that cannot be loaded (in a child process, whose message box the test closes).
#include "skin/SkinLoader.h"
#include "skin/SkinSettings.h"

#include "SkinTestSupport.h"

#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class SkinLoaderTest : public testing::Test {
protected:
    void SetUp() override {
        saved = skinSettings;
        skinSettings = SkinSettings();
    }
    void TearDown() override { skinSettings = saved; }

    SkinRegistryValue registry; // restores the value the machine had
    TempFolder folder;
    SkinSettings saved;
};

void ExpectSize(HBITMAP bitmap, int width, int height, const char* what) {
    const SIZE size = BitmapSize(bitmap);
    EXPECT_EQ(size.cx, width) << what;
    EXPECT_EQ(size.cy, height) << what;
}

// The first and the last bitmaps loaded, and the two bars', at the sizes of their built-in resources.
void ExpectBuiltInLook(const SkinSettings& s) {
    ExpectSize(s.comboSkin.faceBitmap, 1, 18, "combo_back");
    ExpectSize(s.vScrollSkin.endCapBitmap, 16, 16, "columnvert_bottom");
    ExpectSize(s.hScrollSkin.thumbBitmap, 67, 16, "columnhorz_thumb");
    ExpectSize(s.backgroundBitmap, 372, 279, "background");
}

TEST_F(SkinLoaderTest, NoRegistryValueGivesTheBuiltInLook) {
    LoadSkin();
    EXPECT_STREQ(skinSettings.skinFilePath, "");
    ExpectBuiltInLook(skinSettings);
    EXPECT_NE(skinSettings.layeredAttributesEntry, nullptr);
}

TEST_F(SkinLoaderTest, MissingDescriptionGivesTheBuiltInsSilently) {
    const std::string path = folder.Path() + "absent.ini";
    ASSERT_TRUE(SkinRegistryValue::Set(path));
    LoadSkin(); // a message would block here
    EXPECT_EQ(std::string(skinSettings.skinFilePath), path);
    EXPECT_STREQ(skinSettings.skinDirectory, "");
    ExpectBuiltInLook(skinSettings);
}

TEST_F(SkinLoaderTest, DirectoryAndTitleLoadThatFileAndNothingElse) {
    WriteBmp(folder, "title.bmp", 10, 7, RGB(200, 10, 30));
    std::string dir = folder.Path();
    dir.pop_back(); // "directory" without the final separator, as a user writes it
    const std::string ini = folder.Write("skin.ini", "Directory=" + dir + "\r\nTitle=TITLE.BMP\r\n");
    ASSERT_TRUE(SkinRegistryValue::Set(ini));
    LoadSkin();
    EXPECT_EQ(BitmapSize(skinSettings.titleBitmap).cx, 10);
    EXPECT_EQ(BitmapSize(skinSettings.titleBitmap).cy, 7);
    EXPECT_EQ(BitmapPixel(skinSettings.titleBitmap, 3, 3), RGB(200, 10, 30));
    ExpectSize(skinSettings.backgroundBitmap, 372, 279, "background stays built in");
    ExpectSize(skinSettings.comboSkin.faceBitmap, 1, 18, "combo_back stays built in");
}

TEST_F(SkinLoaderTest, RegistryValueOf511CharactersIsUsedAndOf512Ignored) {
    const std::string longest(511, 'x');
    ASSERT_TRUE(SkinRegistryValue::Set(longest));
    LoadSkin();
    EXPECT_EQ(std::string(skinSettings.skinFilePath), longest);

    ASSERT_TRUE(SkinRegistryValue::Set(std::string(512, 'y')));
    LoadSkin();
    EXPECT_STREQ(skinSettings.skinFilePath, "");
    ExpectBuiltInLook(skinSettings);
}

// The fatal path runs in a child: this same executable, running only the disabled test below.

struct FatalCase {
    const char* name;
    const char* descriptionTail; // after the directory line
    const char* fileName;        // written into the folder with fileBytes, when not null
    std::string fileBytes;
    const char* reported;        // the path the message names, relative to the folder
};

void PrintTo(const FatalCase& c, std::ostream* out) {
    *out << c.name;
}

class SkinLoaderFatal : public SkinLoaderTest, public testing::WithParamInterface<FatalCase> {};

struct ErrorBoxSearch {
    DWORD processId = 0;
    HWND box = nullptr;
};

BOOL CALLBACK FindErrorBox(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<ErrorBoxSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    if (owner == search->processId && std::string(title) == "Error") {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

TEST_P(SkinLoaderFatal, ShowsTheMessageClearsTheValueAndExitsWithZero) {
    const FatalCase& c = GetParam();
    std::string dir = folder.Path();
    dir.pop_back();
    if (c.fileName)
        folder.Write(c.fileName, c.fileBytes);
    const std::string ini = folder.Write("skin.ini", "directory=" + dir + "\n" + c.descriptionTail);
    ASSERT_TRUE(SkinRegistryValue::Set(ini));

    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string commandLine = std::string("\"") + self +
                              "\" --gtest_also_run_disabled_tests --gtest_filter=SkinLoaderChild.DISABLED_LoadSkin";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(CreateProcessA(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &child));
    CloseHandle(child.hThread);

    ErrorBoxSearch search{child.dwProcessId, nullptr};
    PumpUntil([&] {
        EnumWindows(FindErrorBox, reinterpret_cast<LPARAM>(&search));
        return search.box != nullptr || WaitForSingleObject(child.hProcess, 0) != WAIT_TIMEOUT;
    }, 15000);
    std::string message;
    if (search.box) {
        char text[1024] = {};
        GetDlgItemTextA(search.box, 0xFFFF, text, sizeof text);
        message = text;
        ::SendMessageA(search.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(search.box, IDOK)));
    }
    const bool ended = WaitForSingleObject(child.hProcess, 15000) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(child.hProcess, 99);
    DWORD exitCode = 99;
    GetExitCodeProcess(child.hProcess, &exitCode);
    CloseHandle(child.hProcess);

    ASSERT_NE(search.box, nullptr) << c.name << ": no \"Error\" box";
    EXPECT_TRUE(ended);
    EXPECT_EQ(exitCode, 0u) << c.name;
    // Wine's message box may show the line break as it is or as CR LF: compare without CRs.
    std::string shown;
    for (char ch : message)
        if (ch != '\r')
            shown.push_back(ch);
    // Names reach the loader lower-cased, the directory included.
    std::string lowerDir = dir;
    for (char& ch : lowerDir)
        ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    EXPECT_EQ(shown, "Cannot load " + lowerDir + "\\" + c.reported +
                         "\nCannot initialise Movara skin, Movara will restart with original theme")
        << c.name;

    std::string value = "not read";
    EXPECT_TRUE(SkinRegistryValue::Read(value));
    EXPECT_EQ(value, "");

    // The next start has the built-in look.
    LoadSkin();
    EXPECT_STREQ(skinSettings.skinFilePath, "");
    ExpectBuiltInLook(skinSettings);
}

const FatalCase kFatalCases[] = {
    {"missing title", "title=missing.bmp\n", nullptr, "", "missing.bmp"},
    {"unused combo_fore", "combo_fore=Missing.BMP\n", nullptr, "", "missing.bmp"},
    {"truncated bitmap", "combo_arrow=cut.bmp\n", "cut.bmp", BmpFileBytes(16, 16, RGB(1, 2, 3)).substr(0, 60),
     "cut.bmp"},
    {"empty value", "title=\n", nullptr, "", ""},
};

INSTANTIATE_TEST_SUITE_P(SkinLoader, SkinLoaderFatal, testing::ValuesIn(kFatalCases),
                         [](const testing::TestParamInfo<FatalCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

// Run only as the child of the test above: it must not come back.
TEST(SkinLoaderChild, DISABLED_LoadSkin) {
    LoadSkin();
    ExitProcess(3);
}

} // namespace
