#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

#include "EngineTestSupport.h"
#include "engine/FinishingActions.h"
#include "engine/PipelineFiles.h"
#include "engine/TaskStatus.h"

namespace {

TEST(FinishingActions, HandOffGetsTheWholeQuotedPath) {
    RecordingSystemActions actions;
    SystemActionsInstalled installed(&actions);
    const std::string longPath = "D:\\" + std::string(300, 'v') + "\\clip one.mp4";
    AddToITunes("D:\\Videos\\clip one.mp4");
    AddToITunes(longPath);
    EXPECT_EQ(actions.handOffs,
              (std::vector<std::string>{"VazoVeduz \"D:\\Videos\\clip one.mp4\" ", "VazoVeduz \"" + longPath + "\" "}));
    EXPECT_TRUE(actions.sessionEnds.empty());
}

TEST(FinishingActions, ShutDownByPlatformAndPrivilege) {
    const std::string refused = "Your computer cannot shutdown|Warning|16";
    const struct {
        const char* what;
        int platform;
        bool privilege;
        bool accepted;
        int privilegeRequests;
        std::vector<unsigned> sessionEnds;
        std::vector<std::string> messages;
    } cases[] = {
        {"NT", VER_PLATFORM_WIN32_NT, true, true, 1, {EWX_POWEROFF | EWX_FORCE}, {}},
        {"NT without the privilege", VER_PLATFORM_WIN32_NT, false, true, 1, {}, {refused}},
        {"NT refusing to end", VER_PLATFORM_WIN32_NT, true, false, 1, {EWX_POWEROFF | EWX_FORCE}, {refused}},
        {"9x", VER_PLATFORM_WIN32_WINDOWS, false, true, 0, {EWX_SHUTDOWN}, {}},
        {"unknown platform", 0, true, true, 0, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSystemActions actions;
        actions.platformId = c.platform;
        actions.privilegeGranted = c.privilege;
        actions.sessionEndAccepted = c.accepted;
        SystemActionsInstalled installed(&actions);
        ShutDownComputer();
        EXPECT_EQ(actions.privilegeRequests, c.privilegeRequests);
        EXPECT_EQ(actions.sessionEnds, c.sessionEnds);
        EXPECT_EQ(actions.messages, c.messages);
        EXPECT_TRUE(actions.handOffs.empty());
    }
}

TEST(FinishingActions, ReplacingTheActionsPutsThePreviousOnesBack) {
    RecordingSystemActions first;
    RecordingSystemActions second;
    SystemActions* original = ReplaceSystemActions(&first);
    EXPECT_EQ(&CurrentSystemActions(), &first);
    EXPECT_EQ(ReplaceSystemActions(&second), &first);
    EXPECT_EQ(&CurrentSystemActions(), &second);
    EXPECT_EQ(ReplaceSystemActions(original), &second);
    EXPECT_NE(&CurrentSystemActions(), &second);
    EXPECT_NE(&CurrentSystemActions(), &first);
}

// The files Stop deletes, by family, 3GP type and stage.
TEST(PipelineFiles, CancelCleanupByFamilyAndStatus) {
    using enum TaskStatus;
    const std::string d = "D:\\out\\";
    const struct {
        DeviceFamily family;
        ThreeGpType type;
        TaskStatus status;
        bool stop;
        std::vector<std::string> files;
    } cases[] = {
        {DeviceFamily::Ipod, ThreeGpType::Amr, Converting, true, {}},
        {DeviceFamily::Psp, ThreeGpType::Amr, None, true, {}},
        {DeviceFamily::Xbox, ThreeGpType::Amr, Converting, true, {}},
        {DeviceFamily::PocketPc, ThreeGpType::Amr, Converting, true, {}},
        {DeviceFamily::ThreeGp, ThreeGpType::Amr, Converting, true, {d + "v_temp.3gp"}},
        {DeviceFamily::ThreeGp, ThreeGpType::Aac, Exporting, false, {d + "v_temp.3gp", d + "v.3gp"}},
        {DeviceFamily::ThreeGp, ThreeGpType::ThreeGp2, Exporting, false, {d + "v_temp.3gp", d + "v_temp_2.3g2"}},
        {DeviceFamily::ThreeGp,
         ThreeGpType::ThreeGp2,
         Changing,
         false,
         {d + "v_temp.3gp", d + "v_temp_2.3g2", d + "v.3g2"}},
        {DeviceFamily::ThreeGp, ThreeGpType::Amr, None, false, {}},
        {DeviceFamily::ThreeGp, ThreeGpType::Amr, Canceled, false, {}},
        {DeviceFamily::Pmp, ThreeGpType::Amr, Converting, true, {d + "v_temp.mp3", d + "v_temp.avi"}},
        {DeviceFamily::Pmp, ThreeGpType::Amr, Muxing, false, {d + "v_temp.mp3", d + "v_temp.avi", d + "v.pmp"}},
        {DeviceFamily::Pmp, ThreeGpType::Amr, None, false, {d + "v_temp.mp3", d + "v_temp.avi"}},
    };
    for (const auto& c : cases) {
        OutputSettings settings;
        settings.deviceFamily = c.family;
        settings.threeGpType = c.type;
        settings.outputDirectory = d;
        ConversionTask task;
        task.outputName = "v";
        task.status = c.status;
        task.exportPath = "C:\\Movara\\v_12345.avi"; // not exported: stays
        const CancelCleanup cleanup = CancelCleanupFor(settings, task);
        EXPECT_EQ(cleanup.stopEncoder, c.stop) << c.family << " " << c.type << " " << c.status;
        EXPECT_EQ(cleanup.files, c.files) << c.family << " " << c.type << " " << c.status;

        // A task exported first also loses its export file.
        task.needsExport = true;
        std::vector<std::string> withExport = c.files;
        withExport.push_back(task.exportPath);
        EXPECT_EQ(CancelCleanupFor(settings, task).files, withExport);
    }
}

TEST(PipelineFiles, SameFileIgnoresCaseAndSpelling) {
    TempFolder folder;
    const std::string file = folder.Write("Clip.mp4", "x");
    EXPECT_TRUE(IsSameFile(file, folder.Path() + "CLIP.MP4"));
    EXPECT_TRUE(IsSameFile(file, folder.Path() + "sub\\..\\clip.mp4"));
    EXPECT_TRUE(IsSameFile("D:\\Videos\\a.mp4", "d:\\videos\\A.MP4"));
    EXPECT_FALSE(IsSameFile(file, folder.Path() + "Clip.mp4.avi"));
    EXPECT_FALSE(IsSameFile("D:\\Videos\\a.mp4", "D:\\Videos\\b.mp4"));
    EXPECT_FALSE(IsSameFile("", ""));
}

} // namespace
