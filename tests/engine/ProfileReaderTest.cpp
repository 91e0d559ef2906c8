#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "EngineTestSupport.h"
#include "engine/DeviceProfiles.h"
#include "engine/ProfileReader.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// Each test works in a folder of its own, made current, so that ".\x.ini" resolves there as in the work folder.
class ProfileReaderTest : public testing::Test {
protected:
    void SetUp() override { SetCurrentDirectoryA(folder.Path().c_str()); }

    Entries ReadEntries(const std::string& section) {
        std::vector<std::string> keys{"stale"};
        std::vector<std::string> values{"stale", "stale"};
        const int count = reader.GetSectionEntries(section, keys, values);
        EXPECT_EQ(count, static_cast<int>(keys.size()));
        EXPECT_EQ(keys.size(), values.size());
        Entries entries;
        for (size_t i = 0; i < keys.size() && i < values.size(); ++i)
            entries.emplace_back(keys[i], values[i]);
        return entries;
    }

    TempFolder folder; // removed after the guard has left it
    CurrentDirectoryGuard directoryGuard;
    ProfileReader reader;
};

TEST_F(ProfileReaderTest, ValuesSectionsEntriesAndTheFileThatIsNone) {
    const std::string longer = std::string(1023, 'l') + "tail";
    folder.Write("a.ini", "[Info]\nDescription=one#two\n[Bare]\n[p]\nTitle=  padded  \nlonger=" + longer +
                              "\n[q]\nTitle=Preset\nno equals here\ncmd=a=b \"c\"\n=only value\nempty=\n");
    folder.Write("empty.ini", "");
    CreateDirectoryA("dir.ini", nullptr);
    EXPECT_TRUE(reader.SetFile(".\\a.ini"));
    EXPECT_EQ(reader.GetValue("Info", "Description"), "one#two");
    EXPECT_EQ(reader.GetValue("p", "Title"), "padded");
    EXPECT_EQ(reader.GetValue("p", "longer"), longer.substr(0, 1023)); // cut at 1023 characters
    EXPECT_EQ(reader.GetValue("Info", "Missing") + reader.GetValue("Missing", "Title"), "");
    EXPECT_TRUE(reader.HasSection("Info"));
    EXPECT_FALSE(reader.HasSection("Bare") || reader.HasSection("Missing"));
    std::vector<std::string> names{"stale", "stale", "stale", "stale", "stale"};
    EXPECT_EQ(reader.GetSectionNames(names), 4);
    EXPECT_EQ(names, (std::vector<std::string>{"Info", "Bare", "p", "q"}));
    // Entries split at the first equals sign.
    EXPECT_EQ(
        ReadEntries("q"),
        (Entries{
            {"Title", "Preset"}, {"", "no equals here"}, {"cmd", "a=b \"c\""}, {"", "only value"}, {"empty", ""}}));
    EXPECT_EQ(ReadEntries("Missing"), (Entries{{"", ""}}));
    EXPECT_EQ(ReadEntries("Bare"), (Entries{{"", ""}}));
    for (const char* file : {".\\missing.ini", ".\\empty.ini", ".\\dir.ini"}) {
        EXPECT_EQ(reader.SetFile(file), file == std::string(".\\empty.ini"));
        EXPECT_EQ(reader.File(), file);
        EXPECT_FALSE(reader.HasSection("Info"));
        EXPECT_EQ(reader.GetSectionNames(names), 1) << file;
        EXPECT_EQ(names, std::vector<std::string>{""}) << file;
        EXPECT_EQ(ReadEntries("p"), (Entries{{"", ""}}));
    }
    RemoveDirectoryA("dir.ini");
}

// Lists beyond the 65535 bytes the system fills: only whole section names and whole lines, no piece of the next one.
TEST_F(ProfileReaderTest, ListsBeyondTheBufferKeepOnlyWholeItems) {
    std::string content = "[s]\nTitle=t\n";
    for (int i = 0; i < 100; ++i) // 100 lines of about 1010 bytes
        content += "Command" + std::to_string(i) + "=" + std::string(1000, static_cast<char>('a' + i % 26)) + "\n";
    std::vector<std::string> all{"s"};
    for (int i = 0; i < 9000; ++i) { // 9000 names of 9 characters and a terminator: 90000 bytes
        char name[16] = {};
        std::snprintf(name, sizeof name, "name%05d", i);
        all.push_back(name);
        content += "[" + all.back() + "]\nk=v\n";
    }
    folder.Write("big.ini", content);
    reader.SetFile(".\\big.ini");
    const Entries entries = ReadEntries("s");
    ASSERT_EQ(entries.size(), 65u); // "Title=t" and 64 whole commands
    for (size_t i = 1; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].first, "Command" + std::to_string(i - 1));
        EXPECT_EQ(entries[i].second, std::string(1000, static_cast<char>('a' + (i - 1) % 26)));
    }
    // "s" and 6553 whole names fit in 65535 bytes with the list's closing terminator.
    std::vector<std::string> names;
    EXPECT_EQ(reader.GetSectionNames(names), 6554);
    ASSERT_LE(names.size(), all.size());
    EXPECT_TRUE(std::equal(names.begin(), names.end(), all.begin()));
}

TEST_F(ProfileReaderTest, PresetCommandsAreReadByPositionAndIpodCommandsByName) {
    folder.Write("psp.ini", "[Info]\nDescription=d\nDefaultProfile=1\n"
                            "[First]\nTitle=one\nCommand1=prepare\nCommand2=encode\nExtra=ignored\n"
                            "[Renamed]\nTitle=two\nStepA=first\nWhatever=second\n[Short]\nTitle=three\nCommand2=\n");
    folder.Write("ipod.ini", "[Info]\nDefaultProfile=0\n[profile1]\nTitle=b\nCommand0=second\n"
                             "[profile0]\nTitle=a\nCommand0=first\n[profile2]\nTitle=c\nCommand0=\n"
                             "[profile3]\nCommand0=" +
                                 std::string(1100, 'x') + "\n");
    // Too few commands, an empty one, nothing selected, no such preset, the title, no such file: none.
    const struct {
        int preset, command;
        std::optional<std::string> expected;
    } cases[] = {{0, 1, "prepare"},    {0, 2, "encode"},      {1, 2, "second"},     {1, 3, std::nullopt},
                 {2, 1, std::nullopt}, {-1, 1, std::nullopt}, {3, 1, std::nullopt}, {0, 0, std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(ReadPresetCommand(".\\psp.ini", c.preset, c.command), c.expected) << c.preset << "/" << c.command;
    EXPECT_EQ(ReadPresetCommand(".\\missing.ini", 0, 1), std::nullopt);
    // iPod presets by section name; an empty command, one cut at 1023 characters or a missing one is none.
    EXPECT_EQ(ReadIpodCommand(".\\ipod.ini", 0), "first");
    EXPECT_EQ(ReadIpodCommand(".\\ipod.ini", 1), "second");
    for (int preset : {2, 3, 4, -1})
        EXPECT_EQ(ReadIpodCommand(".\\ipod.ini", preset), std::nullopt) << preset;
}

} // namespace
