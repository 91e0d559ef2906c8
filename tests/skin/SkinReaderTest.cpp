// The skin description reader: entries, separators, lower case, the first "=", first occurrence wins, limits.
#include "skin/SkinReader.h"

#include "SkinTestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace std::string_literals;

struct LookupCase {
    const char* name;
    std::string content;
    std::string key;
    bool found;
    std::string value;
};

const LookupCase kLookupCases[] = {
    {"first wins, lower-cased", "TITLE=X.BMP\r\ntitle=y.bmp\r\n", "title", true, "x.bmp"},
    {"blanks around = belong to key", "background = bg.bmp\n", "background", false, ""},
    {"split at the first =", "title=a=b.bmp\n", "title", true, "a=b.bmp"},
    {"empty value is found", "title=\n", "title", true, ""},
    {"UTF-8 BOM is a separator", "\xEF\xBB\xBFtitle=t.bmp\r\n", "title", true, "t.bmp"},
    {"UTF-16 never matches", "\xFF\xFEt\0i\0t\0l\0e\0=\0t\0.\0b\0m\0p\0\r\0\n\0"s, "title", false, ""},
    {"0x80 and above split the entry", "title=caf\xE9.bmp\n", "title", true, "caf"},
    {"last line without a line break", "edit_back=e.bmp\ntitle=t.bmp", "title", true, "t.bmp"},
    {"a run without = is no entry", "title\n[skin]\n; note\ntitle=t.bmp\n", "title", true, "t.bmp"},
    {"DEL belongs to the entry", "title=a\177b\n", "title", true, "a\177b"},
    {"directory with backslashes", "directory=C:\\Skins\\Blue\n", "directory", true, "c:\\skins\\blue"},
    {"binary bytes around an entry", "\x00\xFF\x10title=t.bmp\x00\x81"s, "title", true, "t.bmp"},
    {"key of 63 characters fits", std::string(63, 'k') + "=v\n", std::string(63, 'k'), true, "v"},
    {"key of 64 characters is skipped, later entries still read", std::string(64, 'k') + "=v\ntitle=t\n", "title", true,
     "t"},
    {"value of 511 characters fits", "title=" + std::string(511, 'a') + "\n", "title", true, std::string(511, 'a')},
    {"value of 512 characters is skipped", "title=" + std::string(512, 'a') + "\ntitle=short\n", "title", true,
     "short"},
    {"an over-long run leaves no tail entry", std::string(2000, 'x') + "title=tail\n", "title", false, ""},
};

TEST(SkinReader, FindsWhatTheFileSays) {
    for (const LookupCase& c : kLookupCases) {
        const TempFile file(c.content);
        char value[kSkinValueSize] = "untouched";
        EXPECT_EQ(LookupSkinValue(file.Path().c_str(), c.key.c_str(), value, sizeof value), c.found) << c.name;
        EXPECT_EQ(std::string(value), c.value) << c.name;
    }
}

// No path leaves the value as it was; a missing file empties it; a value is cut to the caller's buffer, no further.
TEST(SkinReader, PathAndBufferEdges) {
    char value[kSkinValueSize] = "keep";
    EXPECT_FALSE(LookupSkinValue("", "title", value, sizeof value));
    EXPECT_FALSE(LookupSkinValue(nullptr, "title", value, sizeof value));
    EXPECT_STREQ(value, "keep");
    const TempFile file("title=abcdefghij\n");
    EXPECT_FALSE(LookupSkinValue((file.Path() + ".absent").c_str(), "title", value, sizeof value));
    EXPECT_STREQ(value, "");
    char buffer[12] = {};
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_TRUE(LookupSkinValue(file.Path().c_str(), "title", buffer, 6));
    EXPECT_STREQ(buffer, "abcde");
    EXPECT_EQ(buffer[6], '#');
}

} // namespace
