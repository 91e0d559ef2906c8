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

// Each test works in a folder of its own, made current, so that relative ".\x.ini" paths
// resolve there as they do in the work folder.
class ProfileReaderTest : public testing::Test {
protected:
    void SetUp() override { SetCurrentDirectoryA(folder.Path().c_str()); }

    Entries ReadEntries(const std::string& section)
    {
        std::vector<std::string> keys{"stale"};
        std::vector<std::string> values{"stale", "stale"};
        const int count = reader.GetSectionEntries(section, keys, values);
        EXPECT_EQ(count, static_cast<int>(keys.size()));
        EXPECT_EQ(keys.size(), values.size());
        Entries entries;
        for (size_t i = 0; i < keys.size() && i < values.size(); ++i) {
            entries.emplace_back(keys[i], values[i]);
        }
        return entries;
    }

    TempFolder folder; // removed after the guard has left it
    CurrentDirectoryGuard directoryGuard;
    ProfileReader reader;
};

TEST_F(ProfileReaderTest, SetFileTellsWhetherAFileIsThere)
{
    folder.Write("a.ini", "[Info]\r\nk=v\r\n");
    CreateDirectoryA("dir.ini", nullptr);
    EXPECT_TRUE(reader.SetFile(".\\a.ini"));
    EXPECT_FALSE(reader.SetFile(".\\missing.ini"));
    EXPECT_FALSE(reader.SetFile(".\\dir.ini"));
    EXPECT_EQ(reader.File(), ".\\dir.ini");
    RemoveDirectoryA("dir.ini");
}

TEST_F(ProfileReaderTest, ValuesAndSectionsOfASmallFile)
{
    folder.Write("a.ini", "[Info]\nDescription=one#two\nDefaultProfile=2\n[Bare]\n[p]\nTitle=  padded  \n");
    reader.SetFile(".\\a.ini");
    EXPECT_EQ(reader.GetValue("Info", "Description"), "one#two");
    EXPECT_EQ(ProfileTextToInt(reader.GetValue("Info", "DefaultProfile")), 2);
    EXPECT_EQ(reader.GetValue("p", "Title"), "padded");
    EXPECT_EQ(reader.GetValue("Info", "Missing"), "");
    EXPECT_EQ(reader.GetValue("Missing", "Title"), "");
    EXPECT_TRUE(reader.HasSection("Info"));
    EXPECT_FALSE(reader.HasSection("Bare"));
    EXPECT_FALSE(reader.HasSection("Missing"));
    reader.SetFile(".\\missing.ini");
    EXPECT_FALSE(reader.HasSection("Info"));
}

TEST_F(ProfileReaderTest, ValueIsCutAt1023Characters)
{
    const std::string exact(1023, 'e');
    const std::string longer = std::string(1023, 'l') + "tail";
    folder.Write("a.ini", "[s]\nexact=" + exact + "\nlonger=" + longer + "\n");
    reader.SetFile(".\\a.ini");
    EXPECT_EQ(reader.GetValue("s", "exact"), exact);
    EXPECT_EQ(reader.GetValue("s", "longer"), longer.substr(0, 1023));
}

TEST_F(ProfileReaderTest, SectionNamesInFileOrder)
{
    folder.Write("a.ini", "[Info]\nk=1\n[zeta]\nk=2\n[alpha]\nk=3\n");
    folder.Write("empty.ini", "");
    std::vector<std::string> names{"stale", "stale", "stale", "stale"};
    reader.SetFile(".\\a.ini");
    EXPECT_EQ(reader.GetSectionNames(names), 3);
    EXPECT_EQ(names, (std::vector<std::string>{"Info", "zeta", "alpha"}));
    for (const char* file : {".\\missing.ini", ".\\empty.ini"}) {
        reader.SetFile(file);
        EXPECT_EQ(reader.GetSectionNames(names), 1) << file;
        EXPECT_EQ(names, std::vector<std::string>{""}) << file;
    }
}

TEST_F(ProfileReaderTest, SectionNamesBeyondTheBufferAreLeftOut)
{
    std::string content;
    std::vector<std::string> all;
    for (int i = 0; i < 9000; ++i) { // 9000 names of 9 characters and a terminator: 90000 bytes
        char name[16] = {};
        std::snprintf(name, sizeof name, "name%05d", i);
        all.push_back(name);
        content += "[" + all.back() + "]\nk=v\n";
    }
    folder.Write("big.ini", content);
    reader.SetFile(".\\big.ini");
    std::vector<std::string> names;
    const int count = reader.GetSectionNames(names);
    // 6553 whole names fit in 65535 bytes with the list's closing terminator; no piece of
    // the next one is taken for a name.
    EXPECT_EQ(count, 6553);
    ASSERT_LE(names.size(), all.size());
    EXPECT_TRUE(std::equal(names.begin(), names.end(), all.begin()));
}

TEST_F(ProfileReaderTest, EntriesSplitAtTheFirstEquals)
{
    folder.Write("a.ini", "[p]\nTitle=Preset\nno equals here\ncmd=a=b \"c\"\n=only value\nempty=\n[Bare]\n");
    EXPECT_TRUE(reader.SetFile(".\\a.ini"));
    EXPECT_EQ(ReadEntries("p"), (Entries{{"Title", "Preset"},
                                         {"", "no equals here"},
                                         {"cmd", "a=b \"c\""},
                                         {"", "only value"},
                                         {"empty", ""}}));
    EXPECT_EQ(ReadEntries("Missing"), (Entries{{"", ""}}));
    EXPECT_EQ(ReadEntries("Bare"), (Entries{{"", ""}}));
    reader.SetFile(".\\missing.ini");
    EXPECT_EQ(ReadEntries("p"), (Entries{{"", ""}}));
}

TEST_F(ProfileReaderTest, SectionBeyondTheBufferKeepsOnlyWholeLines)
{
    std::string content = "[s]\nTitle=t\n";
    for (int i = 0; i < 100; ++i) { // 100 lines of about 1010 bytes: more than 65535
        content += "Command" + std::to_string(i) + "=" + std::string(1000, static_cast<char>('a' + i % 26)) + "\n";
    }
    folder.Write("big.ini", content);
    reader.SetFile(".\\big.ini");
    const Entries entries = ReadEntries("s");
    ASSERT_EQ(entries.size(), 65u); // "Title=t" and 64 whole commands
    for (size_t i = 1; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].first, "Command" + std::to_string(i - 1));
        EXPECT_EQ(entries[i].second, std::string(1000, static_cast<char>('a' + (i - 1) % 26)));
    }
}

TEST_F(ProfileReaderTest, PresetCommandsAreReadByPosition)
{
    folder.Write("psp.ini", "[Info]\nDescription=d\nDefaultProfile=1\n"
                            "[First]\nTitle=one\nCommand1=prepare\nCommand2=encode\nExtra=ignored\n"
                            "[Renamed]\nTitle=two\nStepA=first\nWhatever=second\n"
                            "[Short]\nTitle=three\nCommand1=only\nCommand2=\n");
    EXPECT_EQ(ReadPresetCommand(".\\psp.ini", 0, 1), "prepare");
    EXPECT_EQ(ReadPresetCommand(".\\psp.ini", 0, 2), "encode");
    EXPECT_EQ(ReadPresetCommand(".\\psp.ini", 1, 1), "first");
    EXPECT_EQ(ReadPresetCommand(".\\psp.ini", 1, 2), "second");
    EXPECT_EQ(ReadPresetCommand(".\\psp.ini", 1, 3), std::nullopt);  // too few commands
    EXPECT_EQ(ReadPresetCommand(".\\psp.ini", 2, 1), "only");
    EXPECT_EQ(ReadPresetCommand(".\\psp.ini", 2, 2), std::nullopt);  // empty command
    EXPECT_EQ(ReadPresetCommand(".\\psp.ini", -1, 1), std::nullopt); // nothing selected
    EXPECT_EQ(ReadPresetCommand(".\\psp.ini", 3, 1), std::nullopt);  // no such preset
    EXPECT_EQ(ReadPresetCommand(".\\psp.ini", 0, 0), std::nullopt);  // the title is no command
    EXPECT_EQ(ReadPresetCommand(".\\missing.ini", 0, 1), std::nullopt);
    // The working lists hold what the last reading put there.
    EXPECT_EQ(profileSectionNames, (std::vector<std::string>{""}));
}

TEST_F(ProfileReaderTest, IpodCommandIsReadByName)
{
    folder.Write("ipod.ini", "[Info]\nDefaultProfile=0\n[profile1]\nTitle=b\nCommand0=second\n"
                             "[profile0]\nTitle=a\nCommand0=first\n[profile2]\nTitle=c\nCommand0=\n"
                             "[profile3]\nCommand0=" + std::string(1100, 'x') + "\n");
    EXPECT_EQ(IpodPresetSection(12), "profile12");
    EXPECT_EQ(ReadIpodCommand(".\\ipod.ini", 0), "first");
    EXPECT_EQ(ReadIpodCommand(".\\ipod.ini", 1), "second");
    EXPECT_EQ(ReadIpodCommand(".\\ipod.ini", 2), std::nullopt); // empty
    EXPECT_EQ(ReadIpodCommand(".\\ipod.ini", 3), std::nullopt); // cut at 1023 characters
    EXPECT_EQ(ReadIpodCommand(".\\ipod.ini", 4), std::nullopt); // missing
    EXPECT_EQ(ReadIpodCommand(".\\ipod.ini", -1), std::nullopt);
}

} // namespace
