// The pipelines with the fake encoder: the steps every family runs, what Stop leaves, and the tasks that must fail
// rather than show " Finished ", with the reason in "log.txt" and no half-made file left under a device's name.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <limits>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>
#include <windows.h>

#include "EngineTestSupport.h"
#include "engine/ConversionRun.h"
#include "engine/EncoderRunner.h"
#include "engine/PipelineFiles.h"
#include "engine/Pipelines.h"
#include "engine/ProgressParsing.h"
#include "engine/SourceExport.h"
#include "engine/TaskCommands.h"
#include "engine/UniqueTaskOutput.h"

namespace {

using enum TaskStatus;
constexpr int pspFileNumber = 12345;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// One family (and 3GP type) as the tests drive it: the steps of its test preset, the statuses it must show, and
// its working files (suffixes after the output name).
struct FamilyCase {
    const char* name;
    DeviceFamily family;
    ThreeGpType threeGpType;
    std::vector<StepPlan> steps;
    std::vector<TaskStatus> statuses;
    std::vector<std::string> working;
};

StepPlan Progress(std::vector<std::string> writes) { return {true, std::move(writes), ""}; }
StepPlan Hidden(std::vector<std::string> writes = {}) { return {false, std::move(writes), ""}; }

const std::vector<FamilyCase>& Families() {
    using enum DeviceFamily;
    static const std::vector<FamilyCase> families = {
        {"Ipod", Ipod, ThreeGpType::Amr, {Progress({".mp4"})}, {Converting}, {}},
        {"Psp", Psp, ThreeGpType::Amr, {Hidden({".THM"}), Progress({".MP4"})}, {Converting}, {}},
        {"ThreeGpAmr", ThreeGp, ThreeGpType::Amr, {Progress({"_temp.3gp"}), Hidden({".3gp"}), Hidden()},
         {Converting, Exporting}, {"_temp.3gp"}},
        {"ThreeGpAac", ThreeGp, ThreeGpType::Aac, {Progress({"_temp.3gp"}), Hidden({".3gp"}), Hidden()},
         {Converting, Exporting}, {"_temp.3gp"}},
        {"ThreeGp2", ThreeGp, ThreeGpType::ThreeGp2,
         {Progress({"_temp.3gp"}), Hidden({"_temp_2.3g2"}), Hidden(), Hidden({".3g2"}), Hidden()},
         {Converting, Exporting, Changing}, {"_temp.3gp", "_temp_2.3g2"}},
        {"Xbox", Xbox, ThreeGpType::Amr, {Progress({".mpg"})}, {Converting}, {}},
        {"PocketPc", PocketPc, ThreeGpType::Amr, {Progress({".avi"})}, {Converting}, {}},
        {"Pmp", Pmp, ThreeGpType::Amr, {Progress({"_temp.avi"}), Hidden({"_temp.mp3"}), Hidden(), Hidden({".pmp"})},
         {Converting, Muxing}, {"_temp.avi", "_temp.mp3"}},
    };
    return families;
}

const FamilyCase& Family(const std::string& name) {
    for (const FamilyCase& family : Families())
        if (name == family.name)
            return family;
    throw std::invalid_argument(name);
}

// Every name in the output folder that some family's conversion of "clip" writes or deletes.
const std::vector<std::string> allClipFiles = {
    "clip_temp.3gp", "clip_temp_2.3g2", "clip.3gp", "clip.3g2", "clip_temp.avi", "clip_temp.mp3",
    "clip.pmp",      "clip.mp4",        "clip.mpg", "clip.avi", "M4V12345.THM",  "M4V12345.MP4",
};

void RemoveAllFiles(const std::string& folder) {
    for (const std::string& name : FilesIn(folder))
        DeleteFileA((folder + name).c_str());
}

class Pipelines : public testing::Test {
protected:
    void SetUp() override {
        SetCurrentDirectoryA(work.Path().c_str());
        cancelRequested = false;
        currentTaskIndex = 0;
        host.settings.outputDirectory = output.Path();
        host.settings.profileIndex = 0;
        host.settings.presetIndex = 0;
    }
    void TearDown() override {
        StopEncoder();
        cancelRequested = false;
        ReplaceSourceExport({});
        RemoveAllFiles(output.Path());
        RemoveAllFiles(sources.Path());
        SetCurrentDirectoryA(sources.Path().c_str());
        RemoveAllFiles(work.Path());
    }

    // Selects the family and writes its profile, every step built from `family.steps`.
    void UseFamily(const FamilyCase& family, bool waitForQuit = false) {
        host.settings.deviceFamily = family.family;
        host.settings.threeGpType = family.threeGpType;
        std::vector<std::string> commands;
        for (size_t i = 0; i < family.steps.size(); ++i)
            commands.push_back(StepCommand(family.steps[i], static_cast<int>(i) + 1, trace, waitForQuit, record));
        WriteProfile(commands);
    }

    // The family with `extra` fake encoder options for step `step` (counted from 1).
    void UseFamily(const char* name, int step, const std::string& extra) {
        FamilyCase family = Family(name);
        family.steps.at(static_cast<size_t>(step - 1)).extra = extra;
        UseFamily(family);
    }

    // Writes the profile file of the selected family with exactly these commands.
    void WriteProfile(const std::vector<std::string>& commands) {
        const std::string file =
            ProfileFilePath(ProfileFileIndex(host.settings.deviceFamily, host.settings.threeGpType));
        const std::string name = file.substr(file.find_last_of('\\') + 1);
        work.Write(name, host.settings.deviceFamily == DeviceFamily::Ipod ? IpodProfile(commands.at(0))
                                                                          : PresetProfile(commands));
    }

    // A checked task for the source "<name>.avi" in the sources folder.
    ConversionTask Task(const std::string& name, double begin = 0.0, double end = 40.0) {
        ConversionTask task = MakeNewTask(sources.Path() + name + ".avi", end, pspFileNumber);
        task.beginTime = begin;
        return task;
    }

    // A RealMedia task whose export, run in place of the player, writes `exportName` and answers `exported`; with
    // `stop`, Stop is pressed while it exports.
    void ExportingTask(const std::string& exportName, bool exported = true, bool stop = false, double length = 40.0) {
        host.tasks = {MakeNewTask(sources.Path() + "clip.rm", length, pspFileNumber)};
        ReplaceSourceExport([=, this](int index) {
            ConversionTask exporting = host.GetTask(index);
            exporting.exportPath = sources.Write(exportName, "exported");
            exporting.status = stop ? SourceExport : Converting;
            exporting.exportDone = exported;
            host.SetTask(index, exporting);
            if (stop)
                CancelConversion();
            return exported;
        });
    }

    std::string Output(const std::string& name) const { return output.Path() + name; }
    std::vector<std::string> Trace() const { return FileLines(trace); }
    std::string Log() const { return ReadWholeFile(work.Path() + "log.txt"); }
    std::vector<std::string> LogLines() const { return FileLines(work.Path() + "log.txt"); }

    void ExpectFailed(const std::string& reason) {
        EXPECT_EQ(host.tasks[0].status, Failed);
        EXPECT_FALSE(host.tasks[0].finished);
        EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text, "Failed");
        EXPECT_NE(Log().find(reason), std::string::npos) << Log();
        EXPECT_TRUE(actions.handOffs.empty());
    }

    TempFolder work;
    TempFolder output;
    TempFolder sources;
    CurrentDirectoryGuard directoryGuard;
    WorkDirectoryOverride workOverride{work.Path()};
    RecordingHost host;
    HostInstalled installed{&host};
    RecordingSystemActions actions;
    SystemActionsInstalled actionsInstalled{&actions};
    const std::string trace = work.Path() + "trace.txt";
    const std::string record = work.Path() + "record.txt";
};

// Every family and 3GP type: commands in order with their roles, statuses in the order of the family's steps,
// working files gone, the final file there.
class EveryFamily : public Pipelines, public testing::WithParamInterface<FamilyCase> {};

TEST_P(EveryFamily, RunsItsStepsInOrderAndLeavesOnlyTheFinalFile) {
    const FamilyCase& family = GetParam();
    UseFamily(family);
    host.tasks = {Task("clip")};
    ConvertTask(0);

    std::vector<std::string> expectedTrace;
    for (size_t i = 0; i < family.steps.size(); ++i)
        expectedTrace.push_back((family.steps[i].progress ? "progress clip." : "hidden clip.") + std::to_string(i + 1));
    EXPECT_EQ(Trace(), expectedTrace);
    EXPECT_EQ(host.StatusSequence(0), family.statuses);
    EXPECT_TRUE(host.tasks[0].finished);
    EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text, " Finished ");
    EXPECT_TRUE(FileExists(Output(OutputNameShown(host.tasks[0], host.settings))));
    for (const std::string& suffix : family.working)
        EXPECT_FALSE(FileExists(Output("clip" + suffix))) << suffix;
    EXPECT_EQ(Log(), "");
    EXPECT_FALSE(encoderInput);
    // Only a converted iPod file goes to iTunes, with its full path.
    const std::vector<std::string> expectedHandOffs =
        family.family == DeviceFamily::Ipod ? std::vector<std::string>{"VazoVeduz \"" + Output("clip.mp4") + "\" "}
                                            : std::vector<std::string>{};
    EXPECT_EQ(actions.handOffs, expectedHandOffs);
}

INSTANTIATE_TEST_SUITE_P(Pipelines, EveryFamily, testing::ValuesIn(Families()),
                         [](const testing::TestParamInfo<FamilyCase>& info) { return info.param.name; });

// A stop at one status of one family, and the files its clean-up deletes.
struct StopCase {
    const char* family;
    TaskStatus status;
    int stepRunning; // the step during which the stop arrives
    std::set<std::string> deleted;
};

class StopAtEachStatus : public Pipelines, public testing::WithParamInterface<StopCase> {};

TEST_P(StopAtEachStatus, DeletesExactlyItsFilesAndLeavesLaterTasksAlone) {
    const StopCase& stop = GetParam();
    const FamilyCase& family = Family(stop.family);
    // The encoder waits for its "q" only when the stop is to reach it.
    UseFamily(family, stop.status == Converting);
    host.tasks = {Task("clip"), Task("later")};
    // Files of an earlier run lie in the output folder: the clean-up must take exactly its own.
    for (const std::string& name : allClipFiles)
        output.Write(name, "earlier");
    // Stop as the Stop button does, from a message dispatched while the engine waits: once the task shows the
    // status (for the encoder's status, once it has reported progress).
    TestWindow window([](UINT message, WPARAM) {
        if (message == WM_APP)
            CancelConversion();
    });
    bool posted = false;
    host.onWrite = [&](int index, const ConversionTask& task) {
        if (!posted && index == 0 && task.status == stop.status &&
            (stop.status != Converting || task.outputSizeKB > 0)) {
            posted = true;
            PostMessageA(window.Handle(), WM_APP, 0, 0);
        }
    };
    EXPECT_FALSE(RunConversion());
    ASSERT_TRUE(posted);

    for (const std::string& name : allClipFiles)
        EXPECT_EQ(FileExists(Output(name)), stop.deleted.count(name) == 0) << name;
    EXPECT_FALSE(host.tasks[0].finished);
    if (family.family == DeviceFamily::Ipod) {
        // The iPod task keeps its last progress line.
        EXPECT_EQ(host.tasks[0].status, Converting);
        EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text.rfind("00:00:01    0.10MB", 0), 0u);
    } else {
        EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text, "Canceled");
    }
    if (stop.status == Converting) {
        EXPECT_EQ(WaitForLine(record), "input:q\n");
    }
    // No step after the interrupted one started, and nothing of the later task ran.
    for (const std::string& line : Trace()) {
        EXPECT_EQ(line.find("later."), std::string::npos) << line;
        EXPECT_LE(std::stoi(line.substr(line.rfind('.') + 1)), stop.stepRunning) << line;
    }
    const auto laterWrites =
        std::count_if(host.writes.begin(), host.writes.end(), [](const auto& write) { return write.first == 1; });
    EXPECT_EQ(laterWrites, 1); // the reset before the run, nothing after
    EXPECT_EQ(host.tasks[1].status, None);
    EXPECT_TRUE(actions.handOffs.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Pipelines, StopAtEachStatus,
    testing::Values(StopCase{"Ipod", Converting, 1, {}}, StopCase{"Psp", Converting, 2, {}},
                    StopCase{"ThreeGpAmr", Converting, 1, {"clip_temp.3gp"}},
                    StopCase{"ThreeGpAmr", Exporting, 2, {"clip_temp.3gp", "clip.3gp"}},
                    StopCase{"ThreeGpAac", Converting, 1, {"clip_temp.3gp"}},
                    StopCase{"ThreeGpAac", Exporting, 2, {"clip_temp.3gp", "clip.3gp"}},
                    StopCase{"ThreeGp2", Converting, 1, {"clip_temp.3gp"}},
                    StopCase{"ThreeGp2", Exporting, 2, {"clip_temp.3gp", "clip_temp_2.3g2"}},
                    StopCase{"ThreeGp2", Changing, 4, {"clip_temp.3gp", "clip_temp_2.3g2", "clip.3g2"}},
                    StopCase{"Xbox", Converting, 1, {}}, StopCase{"PocketPc", Converting, 1, {}},
                    StopCase{"Pmp", Converting, 1, {"clip_temp.avi", "clip_temp.mp3"}},
                    StopCase{"Pmp", Muxing, 2, {"clip_temp.avi", "clip_temp.mp3", "clip.pmp"}}),
    [](const testing::TestParamInfo<StopCase>& info) {
        return std::string(info.param.family) + "Status" + std::to_string(static_cast<int>(info.param.status));
    });

TEST_F(Pipelines, StopDuringThePspThumbnailStartsNoEncoder) {
    UseFamily("Psp", 1, "--silent 600000");
    host.tasks = {Task("clip")};
    TestWindow window([&](UINT message, WPARAM) {
        if (message == WM_TIMER && !cancelRequested && !FileLines(trace).empty())
            CancelConversion();
    });
    SetTimer(window.Handle(), 1, 50, nullptr);
    ConvertTask(0);
    KillTimer(window.Handle(), 1);
    ASSERT_TRUE(cancelRequested);
    EXPECT_EQ(Trace(), std::vector<std::string>{"hidden clip.1"});
    EXPECT_EQ(host.StatusSequence(0), std::vector<TaskStatus>{Canceled});
    EXPECT_FALSE(FileExists(Output("M4V12345.MP4")));
    EXPECT_FALSE(encoderInput);
}

TEST_F(Pipelines, TheRunResetsEveryTaskAndSkipsUncheckedOnes) {
    UseFamily(Family("Xbox"));
    host.tasks = {Task("first"), Task("second"), Task("third")};
    host.tasks[0].checked = false;
    // Left from an earlier run: cleared, the export fields kept.
    ConversionTask kept;
    kept.exportPath = "C:\\clip_12345.avi";
    kept.exportPercent = 50.0;
    host.tasks[2] = kept;
    host.tasks[2].status = Canceled;
    host.tasks[2].finished = true;
    host.tasks[2].outputSizeKB = 10;
    host.tasks[2].speed = host.tasks[2].encodedTime = 2.0;
    EXPECT_TRUE(RunConversion());
    EXPECT_EQ(Trace(), std::vector<std::string>{"progress second.1"});
    EXPECT_FALSE(host.tasks[0].finished);
    EXPECT_TRUE(host.tasks[1].finished);
    EXPECT_EQ(host.tasks[2], kept);
    EXPECT_FALSE(FileExists(Output("first.mpg")));
}

// A RealMedia source is exported first; the export file goes once the task is converted or stopped.
TEST_F(Pipelines, ExportFileIsDeletedAfterASuccessfulConversion) {
    UseFamily(Family("Xbox"));
    ExportingTask("clip_12345.avi");
    ConvertTask(0);
    EXPECT_TRUE(host.tasks[0].finished);
    EXPECT_FALSE(FileExists(sources.Path() + "clip_12345.avi"));
    EXPECT_TRUE(FileExists(Output("clip.mpg")));
}

TEST_F(Pipelines, StopDuringTheExportDeletesTheExportFileAndRunsNothing) {
    UseFamily(Family("Pmp"));
    ExportingTask("clip_20000.mpg", false, true);
    ConvertTask(0);
    EXPECT_FALSE(FileExists(sources.Path() + "clip_20000.mpg"));
    EXPECT_TRUE(Trace().empty());
    EXPECT_EQ(host.tasks[0].status, Canceled);
    EXPECT_EQ(Log(), "");
}

TEST_F(Pipelines, StopDuringTheEncoderDeletesTheExportFile) {
    UseFamily(Family("PocketPc"), true);
    ExportingTask("clip_30000.avi");
    host.onWrite = [](int, const ConversionTask& task) {
        if (task.outputSizeKB > 0 && !cancelRequested)
            CancelConversion();
    };
    ConvertTask(0);
    EXPECT_EQ(WaitForLine(record), "input:q\n");
    EXPECT_FALSE(FileExists(sources.Path() + "clip_30000.avi"));
    EXPECT_EQ(host.tasks[0].status, Canceled);
}

TEST_F(Pipelines, TheEncoderEndedByTheLengthStopHasNotFailed) {
    // A two-stage task of 2 s: the encoder is told to quit at 2.00 and then exits with 5.
    UseFamily("Xbox", 1, "--chunk \"size=     150kB time=2.00 \" --wait-q 15000 --exit 5");
    ExportingTask("clip_40000.avi", true, false, 2.0);
    ConvertTask(0);
    EXPECT_TRUE(host.tasks[0].finished) << Log();
    EXPECT_EQ(Log(), "");
}

TEST_F(Pipelines, WithoutAPlayerARealMediaTaskFailsAndTheRunGoesOn) {
    UseFamily(Family("Xbox"));
    host.tasks = {MakeNewTask(sources.Path() + "clip.rm", 40.0, pspFileNumber), Task("next")};
    EXPECT_TRUE(RunConversion());
    ExpectFailed("RealMedia");
    EXPECT_EQ(Trace(), std::vector<std::string>{"progress next.1"});
    EXPECT_TRUE(host.tasks[1].finished);
    const std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 1u) << Log();
    EXPECT_NE(log[0].find("\"" + sources.Path() + "clip.rm\""), std::string::npos) << log[0];
}

// Failures: the task shows "Failed", one line in the log names its source and the reason, and the next task is
// converted.
TEST_F(Pipelines, AHelperExitingWithAnErrorFailsOnlyItsTask) {
    UseFamily("ThreeGpAmr", 2, "--exit 3 --exit-if $TITLE bad");
    host.tasks = {Task("bad"), Task("good")};
    EXPECT_TRUE(RunConversion());
    EXPECT_EQ(host.StatusSequence(0), (std::vector<TaskStatus>{Converting, Exporting, Failed}));
    EXPECT_EQ(Trace(), (std::vector<std::string>{"progress bad.1", "hidden bad.2", "progress good.1", "hidden good.2",
                                                 "hidden good.3"}));
    EXPECT_FALSE(FileExists(Output("bad_temp.3gp")));
    EXPECT_TRUE(host.tasks[1].finished);
    const std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 1u) << Log();
    EXPECT_EQ(log[0],
              "Conversion failed: \"" + sources.Path() + "bad.avi\": step 2 of 3 (helper) ended with exit code 3");
}

struct FailedStep {
    const char* what;
    const char* family;
    std::string command; // in place of the first step; the family's own steps follow
    std::string extra;   // for the family's own first step
    const char* reason;
};

class PipelineFailedStep : public Pipelines, public testing::WithParamInterface<FailedStep> {};

TEST_P(PipelineFailedStep, FailsTheTaskAndLogsWhy) {
    const FailedStep& c = GetParam();
    FamilyCase family = Family(c.family);
    family.steps[0].extra = c.extra;
    if (std::string(c.what) == "NoOutput")
        family.steps[0].writes.clear();
    UseFamily(family);
    if (!c.command.empty()) {
        std::vector<std::string> commands = {c.command};
        for (size_t i = 1; i < family.steps.size(); ++i)
            commands.push_back(StepCommand(family.steps[i], static_cast<int>(i) + 1, trace, false, record));
        WriteProfile(commands);
    }
    host.tasks = {Task("clip")};
    ConvertTask(0);
    ExpectFailed(c.reason);
    EXPECT_NE(Log().find("Conversion failed: \"" + sources.Path() + "clip.avi\": "), std::string::npos);
    EXPECT_FALSE(encoderInput);
    // A failed PSP thumbnail starts no encoder.
    if (std::string(c.family) == "Psp") {
        EXPECT_TRUE(Trace().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pipelines, PipelineFailedStep,
    testing::Values(
        FailedStep{"EncoderError", "Xbox", "", "--exit 2", "step 1 of 1 (encoder) ended with exit code 2"},
        FailedStep{"EncoderReason", "Xbox", "",
                   "--chunk \"size=     100kB time=1.00 \\n\" --chunk \"error: No space left on device\\n\" --exit 1",
                   "step 1 of 1 (encoder) ended with exit code 1: No space left on device\r\n"},
        FailedStep{"MissingProgram", "PocketPc", "movara_no_such_encoder.exe --end", "",
                   "step 1 of 1 (encoder) could not be started"},
        FailedStep{"NoOutput", "Xbox", "", "", "does not exist after the last step"},
        FailedStep{"MissingHelper", "Psp", "movara_no_such_helper.exe --end", "",
                   "step 1 of 2 (helper) could not be started"}),
    [](const testing::TestParamInfo<FailedStep>& info) { return std::string(info.param.what); });

struct UnrunnablePreset {
    const char* what;
    const char* family;
    int commands; // how many of the family's commands the preset holds
    int profileIndex;
    int presetIndex;
    const char* reason;
};

class PipelineUnrunnablePreset : public Pipelines, public testing::WithParamInterface<UnrunnablePreset> {};

TEST_P(PipelineUnrunnablePreset, FailsWithoutRunningAnything) {
    const UnrunnablePreset& c = GetParam();
    FamilyCase family = Family(c.family);
    family.steps.resize(static_cast<size_t>(c.commands));
    UseFamily(family);
    host.settings.profileIndex = c.profileIndex;
    host.settings.presetIndex = c.presetIndex;
    host.tasks = {Task("clip")};
    ConvertTask(0);
    ExpectFailed(c.reason);
    EXPECT_TRUE(Trace().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Pipelines, PipelineUnrunnablePreset,
    testing::Values(UnrunnablePreset{"ShortPmp", "Pmp", 3, 0, 0, "has no command 4"},
                    UnrunnablePreset{"ShortThreeGp2", "ThreeGp2", 4, 0, 0, "has no command 5"},
                    UnrunnablePreset{"ShortPsp", "Psp", 1, 0, 0, "has no command 2"},
                    UnrunnablePreset{"NothingSelected", "Xbox", 1, -1, 0, "no preset is selected"},
                    UnrunnablePreset{"NoSuchPreset", "PocketPc", 1, 1, 0, "has no command 1"},
                    UnrunnablePreset{"HugePresetIndex", "Xbox", 1, INT_MAX, 0, "preset 2147483648 of"},
                    UnrunnablePreset{"NoSuchIpodPreset", "Ipod", 1, 0, 2, "iPod preset 2 has no \"Command0\""}),
    [](const testing::TestParamInfo<UnrunnablePreset>& info) { return std::string(info.param.what); });

// A range the commands cannot carry (they take whole seconds, and a length of 0 means "to the end") fails before
// anything runs.
struct BadRange {
    const char* what;
    const char* family;
    double begin, end;
};

class PipelineBadRange : public Pipelines, public testing::WithParamInterface<BadRange> {};

TEST_P(PipelineBadRange, FailsBeforeAnythingRuns) {
    UseFamily(Family(GetParam().family));
    host.tasks = {Task("clip", GetParam().begin, GetParam().end)};
    ConvertTask(0);
    ExpectFailed("the selected range is too short");
    EXPECT_TRUE(Trace().empty());
}

INSTANTIATE_TEST_SUITE_P(Pipelines, PipelineBadRange,
                         testing::Values(BadRange{"EndAtBegin", "Xbox", 5.0, 5.0},
                                         BadRange{"EndBeforeBegin", "Pmp", 8.0, 3.0},
                                         BadRange{"BeginNotANumber", "Ipod", nan, 10.0},
                                         BadRange{"EndNotANumber", "Xbox", 0.0, nan},
                                         BadRange{"UnderASecond", "Xbox", 1.5, 2.4},
                                         BadRange{"Endless", "Psp", 0.0, std::numeric_limits<double>::infinity()}),
                         [](const testing::TestParamInfo<BadRange>& info) { return std::string(info.param.what); });

TEST_F(Pipelines, OneSecondIsLongEnough) {
    UseFamily(Family("Xbox"));
    host.tasks = {Task("clip", 1.5, 2.5)};
    ConvertTask(0);
    EXPECT_TRUE(host.tasks[0].finished);
}

// A failed task removes what it wrote (a device file, working files, PSP's thumbnail), never what was there before.
struct FailedWrites {
    const char* family;
    int failingStep;
    std::vector<std::string> before; // files of that name there before the task
    std::vector<std::string> gone;
};

class PipelineFailedWrites : public Pipelines, public testing::WithParamInterface<FailedWrites> {};

TEST_P(PipelineFailedWrites, RemovesTheFilesItMadeAndNoOthers) {
    const FailedWrites& c = GetParam();
    FamilyCase family = Family(c.family);
    // The failing step writes its files, then fails (a full disk, say).
    family.steps.at(static_cast<size_t>(c.failingStep - 1)).extra = "--exit 1";
    UseFamily(family);
    for (const std::string& name : c.before)
        output.Write(name, "the user's own file");
    host.tasks = {Task("clip")};
    ConvertTask(0);
    EXPECT_EQ(host.tasks[0].status, Failed);
    for (const std::string& name : c.gone)
        EXPECT_FALSE(FileExists(Output(name))) << name;
    for (const std::string& name : c.before)
        EXPECT_TRUE(FileExists(Output(name))) << name;
}

INSTANTIATE_TEST_SUITE_P(Pipelines, PipelineFailedWrites,
                         testing::Values(FailedWrites{"Xbox", 1, {}, {"clip.mpg"}},
                                         FailedWrites{"Pmp", 4, {}, {"clip.pmp", "clip_temp.avi", "clip_temp.mp3"}},
                                         FailedWrites{"Psp", 2, {}, {"M4V12345.THM", "M4V12345.MP4"}},
                                         FailedWrites{"Xbox", 1, {"clip.mpg"}, {}},
                                         FailedWrites{"Pmp", 1, {"clip_temp.mp3"}, {"clip_temp.avi"}}));

// An output that would be the source itself is refused, the source kept; a 3GP of the other type beside the source
// is no collision.
struct SourceBesideOutput {
    const char* family;
    const char* sourceName; // in the output folder
    const char* outputName;
    bool refused;
};

class PipelineSourceBesideOutput : public Pipelines, public testing::WithParamInterface<SourceBesideOutput> {};

TEST_P(PipelineSourceBesideOutput, RefusesOnlyTheSourceItself) {
    const SourceBesideOutput& c = GetParam();
    UseFamily(Family(c.family));
    const std::string source = output.Write(c.sourceName, "the user's video");
    ConversionTask task = MakeNewTask(source, 40.0, pspFileNumber);
    task.outputName = c.outputName;
    host.tasks = {task};
    ConvertTask(0);
    EXPECT_EQ(ReadWholeFile(source), "the user's video");
    if (c.refused) {
        ExpectFailed("is the source itself");
        EXPECT_TRUE(Trace().empty());
    } else {
        EXPECT_TRUE(host.tasks[0].finished) << Log();
    }
}

// The 3GP2 clean-up may delete the 3GP2 working file: a source by that name is refused too.
INSTANTIATE_TEST_SUITE_P(Pipelines, PipelineSourceBesideOutput,
                         testing::Values(SourceBesideOutput{"Ipod", "CLIP.MP4", "clip", true},
                                         SourceBesideOutput{"ThreeGpAmr", "clip.3gp", "clip", true},
                                         SourceBesideOutput{"Pmp", "Clip.pmp", "clip", true},
                                         SourceBesideOutput{"Psp", "m4v12345.mp4", "anything", true},
                                         SourceBesideOutput{"ThreeGp2", "clip_temp_2.3g2", "clip", true},
                                         SourceBesideOutput{"ThreeGp2", "clip.3gp", "clip", false},
                                         SourceBesideOutput{"ThreeGpAmr", "clip.3g2", "clip", false},
                                         SourceBesideOutput{"ThreeGpAac", "clip.3g2", "clip", false}));

TEST_F(Pipelines, TheHandOffIsSkippedForAShutDownAndLoggedOverItsLimit) {
    UseFamily(Family("Ipod"));
    host.shutDown = true;
    host.tasks = {Task("clip")};
    ConvertTask(0);
    EXPECT_TRUE(host.tasks[0].finished);
    EXPECT_TRUE(actions.handOffs.empty());

    host.shutDown = false;
    actions.handOffOutcome = SystemActions::WaitOutcome::TimedOut;
    ConvertTask(0);
    EXPECT_TRUE(host.tasks[0].finished);
    EXPECT_EQ(actions.handOffLimits, std::vector<unsigned long>{60000});
    EXPECT_EQ(Log(), "The hand-off of \"" + Output("clip.mp4") + "\" to iTunes did not end within 60 s and was "
                                                                  "stopped\r\n");
}

// Two tasks that once wrote one file (the same base name, PSP numbers drawn in one second) both keep their outputs,
// each written by its own task's step.
TEST_F(Pipelines, TasksMadeUniqueKeepTheirOwnOutputs) {
    std::vector<ConversionTask> added = {Task("clip"), MakeNewTask(sources.Path() + "clip.wmv", 40.0, pspFileNumber)};
    for (ConversionTask& task : added) {
        MakeTaskOutputUnique(task, host.tasks);
        host.tasks.push_back(task);
    }
    const auto writesSource = [](const std::string& extension) {
        return FakeCommand("--log \"$OUTPUT_DIR$OUTPUT_FILE" + extension + "\" --source \"$INPUT_FILE\" --end");
    };
    const std::pair<DeviceFamily, std::vector<std::string>> runs[] = {
        {DeviceFamily::PocketPc, {writesSource(".avi")}},
        {DeviceFamily::Psp, {FakeCommand("--end"), writesSource(".MP4")}},
    };
    for (const auto& [family, commands] : runs) {
        host.settings.deviceFamily = family;
        WriteProfile(commands);
        EXPECT_TRUE(RunConversion());
        for (const ConversionTask& task : host.tasks) {
            EXPECT_TRUE(task.finished);
            EXPECT_NE(ReadWholeFile(Output(OutputNameShown(task, host.settings))).find(task.sourcePath),
                      std::string::npos)
                << family << " " << OutputNameShown(task, host.settings);
        }
    }
}

// The builders that take the task from the main window and, for iPod, the preset from the profile file.
TEST_F(Pipelines, TaskCommandsReadTheIndexedTaskAndTheSelectedPreset) {
    host.tasks = {Task("first", 0.0, 30.0), Task("second", 0.0, 60.0)};
    host.settings.deviceFamily = DeviceFamily::Pmp;
    EXPECT_EQ(ExpandTemplate("$INPUT_FILE $LENGTH $OUTPUT_DIR$OUTPUT_FILE", 1),
              sources.Path() + "second.avi 00:01:00 " + Output("second"));
    std::string shape = ExpandTemplate("$TIMESTAMP", 0);
    std::replace_if(shape.begin(), shape.end(), [](char c) { return c >= '0' && c <= '9'; }, 'd');
    EXPECT_EQ(shape, "dddd-dd-dd dd:dd:dd");
    EXPECT_EQ(ExpandTemplate("$INPUT_FILE", 2), "");
    EXPECT_EQ(ExpandTemplate("$INPUT_FILE", -1), "");

    work.Write("iPod_Profile.ini", "[Info]\r\nDefaultProfile=0\r\n"
                                   "[profile0]\r\nTitle=Custom\r\nCommand0=enc$START$LENGTH -s $SIZE\r\n"
                                   "[profile1]\r\nTitle=Fixed\r\nCommand0=enc -s $SIZE \"$OUTPUT_FILE\"\r\n");
    SetCurrentDirectoryA(sources.Path().c_str());
    EXPECT_EQ(BuildPresetCommand(0), "enc -ss 00:00:00 -t 00:00:30 -s 320x240");
    EXPECT_EQ(FullPathOf(".") + "\\", work.Path()) << "the work folder is made current";
    host.settings.presetIndex = 1;
    EXPECT_EQ(BuildPresetCommand(1), "enc -s $SIZE \"second\"");
    for (int preset : {2, -1}) {
        host.settings.presetIndex = preset;
        EXPECT_EQ(BuildPresetCommand(1), std::nullopt) << preset;
    }
    host.settings.presetIndex = 0;
    EXPECT_EQ(BuildPresetCommand(2), std::nullopt);
}

} // namespace
