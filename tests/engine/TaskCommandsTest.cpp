#include <gtest/gtest.h>
#include <string>

#include "EngineTestSupport.h"
#include "engine/CommandTemplates.h"
#include "engine/EngineGlobals.h"

namespace {

// The builders that read the task from the main window and, for iPod, the profile file.
class HostedTemplateTest : public testing::Test {
protected:
    HostedTemplateTest()
    {
        host.tasks = {MakeNewTask("C:\\in\\first.avi", 30.0, 10001), MakeNewTask("C:\\in\\second.avi", 60.0, 10002)};
        host.settings.outputDirectory = "D:\\out\\";
    }

    TempFolder folder; // removed after the guard has left it
    CurrentDirectoryGuard directoryGuard;
    FakeHost host;
    HostInstalled installed{&host};
    WorkDirectoryOverride work{folder.Path()};
};

TEST_F(HostedTemplateTest, ExpandTemplateUsesTheIndexedTask)
{
    host.settings.deviceFamily = DeviceFamily::Pmp;
    EXPECT_EQ(ExpandTemplate("$INPUT_FILE $LENGTH $OUTPUT_DIR$OUTPUT_FILE", 1),
              "C:\\in\\second.avi 00:01:00 D:\\out\\second");
    std::string shape = ExpandTemplate("$TIMESTAMP", 0);
    for (char& c : shape) {
        c = c >= '0' && c <= '9' ? 'd' : c;
    }
    EXPECT_EQ(shape, "dddd-dd-dd dd:dd:dd");
    EXPECT_EQ(ExpandTemplate("$INPUT_FILE", 2), "");
    EXPECT_EQ(ExpandTemplate("$INPUT_FILE", -1), "");
}

TEST_F(HostedTemplateTest, BuildPresetCommandReadsTheSelectedPreset)
{
    folder.Write("iPod_Profile.ini",
                 "[Info]\r\nDefaultProfile=0\r\n"
                 "[profile0]\r\nTitle=Custom\r\nCommand0=enc -i \"$INPUT_FILE\"$START$LENGTH -s $SIZE\r\n"
                 "[profile1]\r\nTitle=Fixed\r\nCommand0=enc -s 320x240 -s $SIZE \"$OUTPUT_FILE\"\r\n");
    host.settings.presetIndex = 0;
    EXPECT_EQ(BuildPresetCommand(0), "enc -i \"C:\\in\\first.avi\" -ss 00:00:00 -t 00:00:30 -s 320x240");
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(std::string(current) + "\\", folder.Path());
    host.settings.presetIndex = 1;
    EXPECT_EQ(BuildPresetCommand(1), "enc -s 320x240 -s $SIZE \"second\"");
    host.settings.presetIndex = 2;
    EXPECT_EQ(BuildPresetCommand(1), std::nullopt);
    host.settings.presetIndex = -1;
    EXPECT_EQ(BuildPresetCommand(1), std::nullopt);
    host.settings.presetIndex = 0;
    EXPECT_EQ(BuildPresetCommand(2), std::nullopt);
}

} // namespace
