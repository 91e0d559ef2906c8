// Tasks that must fail rather than show " Finished ", and what a failure leaves behind: no
// half-made file under a device's name, the user's own files untouched, and the reason in
// "log.txt".
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>
#include <windows.h>

#include "EngineTestSupport.h"
#include "tests/support/Files.h"
#include "engine/CommandTemplates.h"
#include "engine/ConversionRun.h"
#include "engine/EncoderRunner.h"
#include "engine/FinishingActions.h"
#include "engine/Pipelines.h"
#include "engine/ProfileReader.h"
#include "engine/ProgressParsing.h"
#include "engine/TaskStatus.h"
#include "engine/UniqueTaskOutput.h"

namespace {

class TaskFailure : public testing::Test {
protected:
    void SetUp() override {
        SetCurrentDirectoryA(work.Path().c_str());
        cancelRequested = false;
        currentTaskIndex = 0;
        host.settings.outputDirectory = output.Path();
        host.settings.profileIndex = 0;
    }
    void TearDown() override {
        StopEncoder();
        cancelRequested = false;
    }

    // The family's profile with these fake encoder commands (arguments only), in order.
    void UseFamily(DeviceFamily family, const std::vector<std::string>& steps,
                   ThreeGpType threeGpType = ThreeGpType::Amr) {
        host.settings.deviceFamily = family;
        host.settings.threeGpType = threeGpType;
        std::vector<std::string> commands;
        for (size_t i = 0; i < steps.size(); ++i) {
            commands.push_back(FakeCommand("--trace \"" + trace + "\" --tag $TITLE." + std::to_string(i + 1) + " " +
                                           steps[i] + " --end"));
        }
        const std::string file = ProfileFilePath(ProfileFileIndex(family, threeGpType));
        work.Write(file.substr(file.find_last_of('\\') + 1),
                   family == DeviceFamily::Ipod ? IpodProfile(commands.at(0)) : PresetProfile(commands));
    }

    static std::string Writes(const std::string& suffix) { return "--write \"$OUTPUT_DIR$OUTPUT_FILE" + suffix + "\""; }

    ConversionTask Task(const std::string& name, double begin = 0.0, double end = 40.0) {
        ConversionTask task = MakeNewTask(sources.Path() + name + ".avi", end, 12345);
        task.beginTime = begin;
        return task;
    }

    std::string Output(const std::string& name) const { return output.Path() + name; }
    std::vector<std::string> Trace() const { return FileLines(trace); }
    std::string Log() const { return ReadWholeFile(work.Path() + "log.txt"); }

    TempFolder work;
    TempFolder output;
    TempFolder sources;
    CurrentDirectoryGuard directoryGuard;
    WorkDirectoryOverride workOverride{work.Path()};
    PipelineHost host;
    HostInstalled installed{&host};
    RecordingSystemActions actions;
    SystemActionsInstalled actionsInstalled{&actions};
    const std::string trace = work.Path() + "trace.txt";
};

TEST_F(TaskFailure, ARangeTooShortFailsBeforeAnythingRuns) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* what;
        DeviceFamily family;
        double begin, end;
    } cases[] = {
        {"end at begin", DeviceFamily::Xbox, 5.0, 5.0},
        {"end before begin", DeviceFamily::Pmp, 8.0, 3.0},
        {"begin not a number", DeviceFamily::Ipod, nan, 10.0},
        {"end not a number", DeviceFamily::Xbox, 0.0, nan},
        {"under a second", DeviceFamily::Xbox, 1.5, 2.4},
        {"endless", DeviceFamily::Psp, 0.0, std::numeric_limits<double>::infinity()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA((work.Path() + "log.txt").c_str());
        DeleteFileA(trace.c_str());
        const std::vector<std::string> steps =
            c.family == DeviceFamily::Pmp   ? std::vector<std::string>{Writes("_temp.avi"), "", "", Writes(".pmp")}
            : c.family == DeviceFamily::Psp ? std::vector<std::string>{Writes(".THM"), Writes(".MP4")}
            : c.family == DeviceFamily::Ipod ? std::vector<std::string>{Writes(".mp4")}
                                             : std::vector<std::string>{Writes(".mpg")};
        UseFamily(c.family, steps);
        host.tasks = {Task("clip", c.begin, c.end)};
        ConvertTask(0);
        EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed);
        EXPECT_FALSE(host.tasks[0].finished);
        EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text, "Failed");
        EXPECT_TRUE(Trace().empty()) << "nothing runs";
        EXPECT_NE(Log().find("the selected range is too short"), std::string::npos) << Log();
        EXPECT_TRUE(actions.handOffs.empty());
    }
    // One second is enough.
    UseFamily(DeviceFamily::Xbox, {Writes(".mpg")});
    host.tasks = {Task("clip", 1.5, 2.5)};
    ConvertTask(0);
    EXPECT_TRUE(host.tasks[0].finished);
}

TEST_F(TaskFailure, AFailedTaskRemovesTheFilesItMadeAndNoOthers) {
    // The encoder writes its file, then fails (a full disk, say).
    UseFamily(DeviceFamily::Xbox, {Writes(".mpg") + " --exit 1"});
    host.tasks = {Task("clip")};
    ConvertTask(0);
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed);
    EXPECT_FALSE(FileExists(Output("clip.mpg")));

    // The muxer writes the device file and fails: it goes, with both working files.
    UseFamily(DeviceFamily::Pmp, {Writes("_temp.avi"), Writes("_temp.mp3"), Writes(".pmp") + " --exit 1", ""});
    host.tasks = {Task("clip")};
    ConvertTask(0);
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed);
    for (const char* name : {"clip.pmp", "clip_temp.avi", "clip_temp.mp3"}) {
        EXPECT_FALSE(FileExists(Output(name))) << name;
    }

    // PSP: the thumbnail is the task's too.
    UseFamily(DeviceFamily::Psp, {Writes(".THM"), Writes(".MP4") + " --exit 1"});
    host.tasks = {Task("clip")};
    ConvertTask(0);
    EXPECT_FALSE(FileExists(Output("M4V12345.THM")));
    EXPECT_FALSE(FileExists(Output("M4V12345.MP4")));

    // Files of that name that were there before the task began are the user's: they stay.
    const std::string earlier = output.Write("clip.mpg", "an earlier conversion");
    const std::string earlierTemp = output.Write("clip_temp.avi", "the user's own file");
    UseFamily(DeviceFamily::Xbox, {"--exit 1"});
    host.tasks = {Task("clip")};
    ConvertTask(0);
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed);
    EXPECT_EQ(ReadWholeFile(earlier), "an earlier conversion");
    UseFamily(DeviceFamily::Pmp, {"--exit 1", "", "", ""});
    host.tasks = {Task("clip")};
    ConvertTask(0);
    EXPECT_EQ(ReadWholeFile(earlierTemp), "the user's own file");
}

TEST_F(TaskFailure, TheLogRecordCarriesTheEncodersReason) {
    UseFamily(DeviceFamily::Xbox,
              {"--chunk \"size=     100kB time=1.00 \\n\" --chunk \"error: No space left on device\\n\" --exit 1"});
    host.tasks = {Task("clip")};
    ConvertTask(0);
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed);
    const std::vector<std::string> log = FileLines(work.Path() + "log.txt");
    ASSERT_EQ(log.size(), 1u) << Log();
    EXPECT_EQ(log[0], "Conversion failed: \"" + sources.Path() +
                          "clip.avi\": step 1 of 1 (encoder) ended with exit code 1: No space left on device");
}

TEST(LastErrorLine, TakesTheLastWholeErrorLine) {
    EXPECT_EQ(LastErrorLine(""), "");
    EXPECT_EQ(LastErrorLine("size=       1kB time=1.00\r\n"), "");
    EXPECT_EQ(LastErrorLine("error: first\r\nsize= 1kB\r\nerror: second\r\n"), "second");
    EXPECT_EQ(LastErrorLine("error: whole\nerror: still being writ"), "whole");
    EXPECT_EQ(LastErrorLine("no error: here\nerror: \n"), "");
}

TEST_F(TaskFailure, A3gpOfTheOtherTypeBesideTheSourceIsNoCollision) {
    const struct {
        const char* source;
        ThreeGpType threeGpType;
        std::vector<std::string> steps;
        const char* final;
    } cases[] = {
        {"clip.3gp",
         ThreeGpType::ThreeGp2,
         {Writes("_temp.3gp"), Writes("_temp_2.3g2"), "", Writes(".3g2"), ""},
         "clip.3g2"},
        {"clip.3g2", ThreeGpType::Amr, {Writes("_temp.3gp"), Writes(".3gp"), ""}, "clip.3gp"},
        {"clip.3g2", ThreeGpType::Aac, {Writes("_temp.3gp"), Writes(".3gp"), ""}, "clip.3gp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const std::string source = output.Write(c.source, "the user's video");
        UseFamily(DeviceFamily::ThreeGp, c.steps, c.threeGpType);
        host.tasks = {MakeNewTask(source, 40.0, 12345)};
        ConvertTask(0);
        EXPECT_TRUE(host.tasks[0].finished) << Log();
        EXPECT_EQ(ReadWholeFile(source), "the user's video");
        EXPECT_TRUE(FileExists(Output(c.final)));
        DeleteFileA(Output(c.final).c_str());
    }
}

TEST_F(TaskFailure, AfterTheLengthStopTheRunnerWaitsForTheEncoderToFinish) {
    // A two-stage task at its length: the engine sends "q"; this encoder takes 6 s to finish
    // its file, longer than the runner used to wait.
    ConversionTask task = Task("clip", 0.0, 1.0);
    task.needsExport = true;
    host.tasks = {task};
    const std::string record = work.Path() + "finished.txt";
    const RunResult result = RunWithProgress(
        FakeCommand("--chunk \"size=     100kB time=2.00 \" --wait-q 20000 --finish 6000 --record \"" + record + "\"")
            .c_str());
    EXPECT_TRUE(result.stopped);
    EXPECT_FALSE(result.Failed());
    // The encoder has ended: what it does last (writing its record) is already done.
    EXPECT_EQ(ReadWholeFile(record), "input:q\n");
}

// Hand-off actions that report the limit exceeded.
class SlowHandOffActions : public RecordingSystemActions {
public:
    unsigned long limitAsked = 0;
    WaitOutcome RunAndWaitLimited(const std::string& commandLine, unsigned long limitMs) override {
        handOffs.push_back(commandLine);
        limitAsked = limitMs;
        return WaitOutcome::TimedOut;
    }
};

TEST_F(TaskFailure, AHandOffOverItsLimitIsLoggedAndTheTaskStaysFinished) {
    SlowHandOffActions slow;
    SystemActionsInstalled slowInstalled{&slow};
    UseFamily(DeviceFamily::Ipod, {Writes(".mp4")});
    host.tasks = {Task("clip")};
    ConvertTask(0);
    EXPECT_TRUE(host.tasks[0].finished);
    ASSERT_EQ(slow.handOffs.size(), 1u);
    EXPECT_EQ(slow.limitAsked, 60000u);
    EXPECT_EQ(Log(), "The hand-off of \"" + Output("clip.mp4") + "\" to iTunes did not end within 60 s and was "
                                                                  "stopped\r\n");
}

TEST(HandOffWait, DispatchesMessagesAndStopsTheProgramAtTheLimit) {
    ASSERT_EQ(ReplaceSystemActions(nullptr), nullptr) << "the real actions are in place";
    int dispatched = 0;
    TestWindow window([&](UINT message, WPARAM) {
        if (message == WM_APP + 7) {
            ++dispatched;
        }
    });
    PostMessageA(window.Handle(), WM_APP + 7, 0, 0);
    TempFolder folder;
    const std::string record = folder.Path() + "record.txt";
    // Without the limit it would wait 20 s for a "q" that never comes, then write its record.
    EXPECT_EQ(CurrentSystemActions().RunAndWaitLimited(FakeCommand("--wait-q 20000 --record \"" + record + "\""), 300),
              SystemActions::WaitOutcome::TimedOut);
    EXPECT_EQ(dispatched, 1) << "the window was served while waiting";
    EXPECT_FALSE(FileExists(record)) << "the program was stopped";
    EXPECT_EQ(CurrentSystemActions().RunAndWaitLimited(FakeCommand("--record \"" + record + "\""), 20000),
              SystemActions::WaitOutcome::Ended);
    EXPECT_EQ(ReadWholeFile(record), "input:\n");
    EXPECT_EQ(CurrentSystemActions().RunAndWaitLimited("movara_no_such_program.exe", 1000),
              SystemActions::WaitOutcome::NotStarted);
    DeleteFileA(record.c_str());
}

TEST_F(TaskFailure, AHugePresetIndexIsNoSuchCommand) {
    UseFamily(DeviceFamily::Xbox, {Writes(".mpg")});
    EXPECT_FALSE(ReadPresetCommand(".\\Xbox_Profile.ini", INT_MAX, 1));
    EXPECT_FALSE(ReadPresetCommand(".\\Xbox_Profile.ini", INT_MAX - 1, 1));
    host.settings.profileIndex = INT_MAX;
    host.tasks = {Task("clip")};
    ConvertTask(0);
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed);
    EXPECT_NE(Log().find("preset 2147483648 of"), std::string::npos) << Log();
}

TEST(ExportProgress, APositionOrTotalThatIsNoNumberChangesNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    ConversionTask task;
    task.needsExport = true;
    task.status = TaskStatus::SourceExport;
    task.endTime = 40.0;
    ApplyExportProgress(task, 10.0, 40.0, 1000);
    const ConversionTask before = task;
    for (const auto& [position, total] : {std::pair{nan, 40.0}, {10.0, nan}, {inf, 40.0}, {10.0, inf}, {nan, nan}}) {
        ApplyExportProgress(task, position, total, 2000);
        EXPECT_EQ(task, before) << position << " of " << total;
    }
    const std::string text = FormatTaskStatus(task).text;
    EXPECT_EQ(text.find("nan"), std::string::npos) << text;
    EXPECT_EQ(text.substr(0, 7), " 12.50%");
}

TEST(CrashingProgram, EndsAtOnceInsteadOfWaitingOnADialog) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::string command = FakeCommand("--crash");
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &startup, &process));
    // Ended within the wait: a crash dialog would hold it until the test's own time limit.
    const DWORD waited = WaitForSingleObject(process.hProcess, 30000);
    if (waited != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_NE(code, 0u);
    EXPECT_NE(code, STILL_ACTIVE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

} // namespace
