#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>
#include <windows.h>

#include "EngineTestSupport.h"
#include "engine/CommandTemplates.h"
#include "engine/ConversionRun.h"
#include "engine/EncoderRunner.h"
#include "engine/Pipelines.h"
#include "engine/ProgressParsing.h"
#include "engine/SourceExport.h"
#include "engine/TaskStatus.h"

namespace {

constexpr int pspFileNumber = 12345;

// One family (and 3GP type) as the tests drive it: the steps of its test preset, the
// statuses it must show, and its working files (suffixes after the output name).
struct FamilyCase {
    const char* name;
    DeviceFamily family;
    ThreeGpType threeGpType;
    std::vector<StepPlan> steps;
    std::vector<TaskStatus> statuses;
    std::vector<std::string> working;
};

StepPlan Progress(std::vector<std::string> writes) {
    return {true, std::move(writes), ""};
}
StepPlan Hidden(std::vector<std::string> writes = {}) {
    return {false, std::move(writes), ""};
}

const std::vector<FamilyCase>& Families() {
    using enum TaskStatus;
    static const std::vector<FamilyCase> families = {
        {"Ipod", DeviceFamily::Ipod, ThreeGpType::Amr, {Progress({".mp4"})}, {Converting}, {}},
        {"Psp", DeviceFamily::Psp, ThreeGpType::Amr, {Hidden({".THM"}), Progress({".MP4"})}, {Converting}, {}},
        {"ThreeGpAmr",
         DeviceFamily::ThreeGp,
         ThreeGpType::Amr,
         {Progress({"_temp.3gp"}), Hidden({".3gp"}), Hidden()},
         {Converting, Exporting},
         {"_temp.3gp"}},
        {"ThreeGpAac",
         DeviceFamily::ThreeGp,
         ThreeGpType::Aac,
         {Progress({"_temp.3gp"}), Hidden({".3gp"}), Hidden()},
         {Converting, Exporting},
         {"_temp.3gp"}},
        {"ThreeGp2",
         DeviceFamily::ThreeGp,
         ThreeGpType::ThreeGp2,
         {Progress({"_temp.3gp"}), Hidden({"_temp_2.3g2"}), Hidden(), Hidden({".3g2"}), Hidden()},
         {Converting, Exporting, Changing},
         {"_temp.3gp", "_temp_2.3g2"}},
        {"Xbox", DeviceFamily::Xbox, ThreeGpType::Amr, {Progress({".mpg"})}, {Converting}, {}},
        {"PocketPc", DeviceFamily::PocketPc, ThreeGpType::Amr, {Progress({".avi"})}, {Converting}, {}},
        {"Pmp",
         DeviceFamily::Pmp,
         ThreeGpType::Amr,
         {Progress({"_temp.avi"}), Hidden({"_temp.mp3"}), Hidden(), Hidden({".pmp"})},
         {Converting, Muxing},
         {"_temp.avi", "_temp.mp3"}},
    };
    return families;
}

const FamilyCase& Family(const std::string& name) {
    for (const FamilyCase& family : Families()) {
        if (name == family.name) {
            return family;
        }
    }
    throw std::invalid_argument(name);
}

// Every name in the output folder that some family's conversion of "clip" writes or deletes.
const std::vector<std::string> allClipFiles = {
    "clip_temp.3gp", "clip_temp_2.3g2", "clip.3gp", "clip.3g2", "clip_temp.avi", "clip_temp.mp3",
    "clip.pmp",      "clip.mp4",        "clip.mpg", "clip.avi", "M4V12345.THM",  "M4V12345.MP4",
};

void RemoveAllFiles(const std::string& folder) {
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            DeleteFileA((folder + found.cFileName).c_str());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
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
        for (size_t i = 0; i < family.steps.size(); ++i) {
            commands.push_back(StepCommand(family.steps[i], static_cast<int>(i) + 1, trace, waitForQuit, record));
        }
        WriteProfile(commands);
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
    ConversionTask Task(const std::string& name) {
        return MakeNewTask(sources.Path() + name + ".avi", 40.0, pspFileNumber);
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
    const std::string record = work.Path() + "record.txt";
};

// Every family and 3GP type: commands in order with their roles, statuses in the order of
// the family's steps, working files gone, the final file there.
class EveryFamily : public Pipelines, public testing::WithParamInterface<FamilyCase> {};

TEST_P(EveryFamily, RunsItsStepsInOrderAndLeavesOnlyTheFinalFile) {
    const FamilyCase& family = GetParam();
    UseFamily(family);
    host.tasks = {Task("clip")};
    ConvertTask(0);

    std::vector<std::string> expectedTrace;
    for (size_t i = 0; i < family.steps.size(); ++i) {
        expectedTrace.push_back((family.steps[i].progress ? "progress clip." : "hidden clip.") + std::to_string(i + 1));
    }
    EXPECT_EQ(Trace(), expectedTrace);
    EXPECT_EQ(host.StatusSequence(0), family.statuses);
    EXPECT_TRUE(host.tasks[0].finished);
    EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text, " Finished ");
    EXPECT_TRUE(FileExists(Output(OutputNameShown(host.tasks[0], host.settings))));
    for (const std::string& suffix : family.working) {
        EXPECT_FALSE(FileExists(Output("clip" + suffix))) << suffix;
    }
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

void PrintTo(const StopCase& stop, std::ostream* out) {
    *out << stop.family << " at " << stop.status;
}

class StopAtEachStatus : public Pipelines, public testing::WithParamInterface<StopCase> {};

TEST_P(StopAtEachStatus, DeletesExactlyItsFilesAndLeavesLaterTasksAlone) {
    const StopCase& stop = GetParam();
    const FamilyCase& family = Family(stop.family);
    // The encoder waits for its "q" only when the stop is to reach it.
    UseFamily(family, stop.status == TaskStatus::Converting);
    host.tasks = {Task("clip"), Task("later")};
    // Files of an earlier run lie in the output folder: the clean-up must take exactly its own.
    for (const std::string& name : allClipFiles) {
        output.Write(name, "earlier");
    }
    // Stop as the Stop button does, from a message dispatched while the engine waits: once
    // the task shows the status (for the encoder's status, once it has reported progress).
    TestWindow window([](UINT message, WPARAM) {
        if (message == WM_APP) {
            CancelConversion();
        }
    });
    bool posted = false;
    host.onWrite = [&](int index, const ConversionTask& task) {
        if (!posted && index == 0 && task.status == stop.status &&
            (stop.status != TaskStatus::Converting || task.outputSizeKB > 0)) {
            posted = true;
            PostMessageA(window.Handle(), WM_APP, 0, 0);
        }
    };
    EXPECT_FALSE(RunConversion());
    ASSERT_TRUE(posted);

    for (const std::string& name : allClipFiles) {
        EXPECT_EQ(FileExists(Output(name)), stop.deleted.count(name) == 0) << name;
    }
    EXPECT_FALSE(host.tasks[0].finished);
    if (family.family == DeviceFamily::Ipod) {
        // The iPod task keeps its last progress line.
        EXPECT_EQ(host.tasks[0].status, TaskStatus::Converting);
        EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text.rfind("00:00:01    0.10MB", 0), 0u)
            << FormatTaskStatus(host.tasks[0]).text;
    } else {
        EXPECT_EQ(host.tasks[0].status, TaskStatus::Canceled);
        EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text, "Canceled");
    }
    if (stop.status == TaskStatus::Converting) {
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
    EXPECT_EQ(host.tasks[1].status, TaskStatus::None);
    EXPECT_FALSE(host.tasks[1].finished);
    EXPECT_TRUE(actions.handOffs.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Pipelines, StopAtEachStatus,
    testing::Values(StopCase{"Ipod", TaskStatus::Converting, 1, {}}, StopCase{"Psp", TaskStatus::Converting, 2, {}},
                    StopCase{"ThreeGpAmr", TaskStatus::Converting, 1, {"clip_temp.3gp"}},
                    StopCase{"ThreeGpAmr", TaskStatus::Exporting, 2, {"clip_temp.3gp", "clip.3gp"}},
                    StopCase{"ThreeGpAac", TaskStatus::Converting, 1, {"clip_temp.3gp"}},
                    StopCase{"ThreeGpAac", TaskStatus::Exporting, 2, {"clip_temp.3gp", "clip.3gp"}},
                    StopCase{"ThreeGp2", TaskStatus::Converting, 1, {"clip_temp.3gp"}},
                    StopCase{"ThreeGp2", TaskStatus::Exporting, 2, {"clip_temp.3gp", "clip_temp_2.3g2"}},
                    StopCase{"ThreeGp2", TaskStatus::Changing, 4, {"clip_temp.3gp", "clip_temp_2.3g2", "clip.3g2"}},
                    StopCase{"Xbox", TaskStatus::Converting, 1, {}},
                    StopCase{"PocketPc", TaskStatus::Converting, 1, {}},
                    StopCase{"Pmp", TaskStatus::Converting, 1, {"clip_temp.avi", "clip_temp.mp3"}},
                    StopCase{"Pmp", TaskStatus::Muxing, 2, {"clip_temp.avi", "clip_temp.mp3", "clip.pmp"}}),
    [](const testing::TestParamInfo<StopCase>& info) {
        return std::string(info.param.family) + "Status" + std::to_string(static_cast<int>(info.param.status));
    });

TEST_F(Pipelines, StopDuringThePspThumbnailStartsNoEncoder) {
    FamilyCase psp = Family("Psp");
    psp.steps[0].extra = "--silent 600000";
    UseFamily(psp);
    host.tasks = {Task("clip")};
    TestWindow window([&](UINT message, WPARAM) {
        if (message == WM_TIMER && !cancelRequested && !FileLines(trace).empty()) {
            CancelConversion();
        }
    });
    SetTimer(window.Handle(), 1, 50, nullptr);
    ConvertTask(0);
    KillTimer(window.Handle(), 1);
    ASSERT_TRUE(cancelRequested);
    EXPECT_EQ(Trace(), std::vector<std::string>{"hidden clip.1"});
    EXPECT_EQ(host.StatusSequence(0), std::vector<TaskStatus>{TaskStatus::Canceled});
    EXPECT_FALSE(host.tasks[0].finished);
    EXPECT_FALSE(FileExists(Output("M4V12345.MP4")));
    EXPECT_FALSE(encoderInput);
}

TEST_F(Pipelines, UncheckedTasksAreSkipped) {
    UseFamily(Family("Xbox"));
    host.tasks = {Task("first"), Task("second"), Task("third")};
    host.tasks[0].checked = false;
    host.tasks[2].checked = false;
    host.tasks[2].status = TaskStatus::Canceled; // left from an earlier run
    EXPECT_TRUE(RunConversion());
    EXPECT_EQ(Trace(), std::vector<std::string>{"progress second.1"});
    EXPECT_FALSE(host.tasks[0].finished);
    EXPECT_TRUE(host.tasks[1].finished);
    EXPECT_FALSE(host.tasks[2].finished);
    // The reset before the run cleared the earlier status of every task, checked or not.
    EXPECT_EQ(host.tasks[2].status, TaskStatus::None);
    EXPECT_FALSE(FileExists(Output("first.mpg")));
    EXPECT_FALSE(FileExists(Output("third.mpg")));
}

TEST_F(Pipelines, ResetClearsProgressButKeepsTheExport) {
    ConversionTask task = Task("clip");
    task.finished = true;
    task.outputSizeKB = 10;
    task.speed = 2.0;
    task.encodedTime = 3.0;
    task.status = TaskStatus::Failed;
    task.exportPath = "C:\\clip_12345.avi";
    task.exportPercent = 50.0;
    host.tasks = {task, task};
    ResetTaskProgress();
    for (const ConversionTask& reset : host.tasks) {
        ConversionTask expected = task;
        expected.finished = false;
        expected.outputSizeKB = 0;
        expected.speed = 0.0;
        expected.encodedTime = 0.0;
        expected.status = TaskStatus::None;
        EXPECT_EQ(reset, expected);
    }
}

// A RealMedia source is exported first; the export file goes once the task is converted.
TEST_F(Pipelines, ExportFileIsDeletedAfterASuccessfulConversion) {
    UseFamily(Family("Xbox"));
    ConversionTask task = MakeNewTask(sources.Path() + "clip.rmvb", 40.0, pspFileNumber);
    ASSERT_TRUE(task.needsExport);
    host.tasks = {task};
    std::vector<int> exported;
    ReplaceSourceExport([&](int index) {
        exported.push_back(index);
        ConversionTask exporting = host.GetTask(index);
        exporting.exportPath = sources.Write("clip_12345.avi", "exported");
        exporting.status = TaskStatus::Converting;
        exporting.exportDone = true;
        host.SetTask(index, exporting);
        return true;
    });
    ConvertTask(0);
    EXPECT_EQ(exported, std::vector<int>{0});
    EXPECT_TRUE(host.tasks[0].finished);
    EXPECT_FALSE(FileExists(sources.Path() + "clip_12345.avi"));
    EXPECT_TRUE(FileExists(Output("clip.mpg")));
}

TEST_F(Pipelines, StopDuringTheExportDeletesTheExportFileAndRunsNothing) {
    UseFamily(Family("Pmp"));
    host.tasks = {MakeNewTask(sources.Path() + "clip.rm", 40.0, pspFileNumber)};
    ReplaceSourceExport([&](int index) {
        ConversionTask exporting = host.GetTask(index);
        exporting.exportPath = sources.Write("clip_20000.mpg", "partial");
        exporting.status = TaskStatus::SourceExport;
        host.SetTask(index, exporting);
        CancelConversion(); // Stop pressed while the player exports
        return false;
    });
    ConvertTask(0);
    EXPECT_FALSE(FileExists(sources.Path() + "clip_20000.mpg"));
    EXPECT_TRUE(Trace().empty());
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Canceled);
    EXPECT_FALSE(host.tasks[0].finished);
    EXPECT_EQ(Log(), "");
}

TEST_F(Pipelines, StopDuringTheEncoderDeletesTheExportFile) {
    UseFamily(Family("PocketPc"), true);
    host.tasks = {MakeNewTask(sources.Path() + "clip.rm", 40.0, pspFileNumber)};
    ReplaceSourceExport([&](int index) {
        ConversionTask exporting = host.GetTask(index);
        exporting.exportPath = sources.Write("clip_30000.avi", "exported");
        host.SetTask(index, exporting);
        return true;
    });
    host.onWrite = [](int, const ConversionTask& task) {
        if (task.outputSizeKB > 0 && !cancelRequested) {
            CancelConversion();
        }
    };
    ConvertTask(0);
    EXPECT_EQ(WaitForLine(record), "input:q\n");
    EXPECT_FALSE(FileExists(sources.Path() + "clip_30000.avi"));
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Canceled);
}

TEST_F(Pipelines, WithoutAPlayerARealMediaTaskFailsAndTheRunGoesOn) {
    UseFamily(Family("Xbox"));
    host.tasks = {MakeNewTask(sources.Path() + "clip.rm", 40.0, pspFileNumber), Task("next")};
    EXPECT_TRUE(RunConversion());
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed);
    EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text, "Failed");
    EXPECT_FALSE(host.tasks[0].finished);
    EXPECT_EQ(Trace(), std::vector<std::string>{"progress next.1"});
    EXPECT_TRUE(host.tasks[1].finished);
    const std::vector<std::string> log = FileLines(work.Path() + "log.txt");
    ASSERT_EQ(log.size(), 1u) << Log();
    EXPECT_NE(log[0].find("\"" + sources.Path() + "clip.rm\""), std::string::npos) << log[0];
    EXPECT_NE(log[0].find("RealMedia"), std::string::npos) << log[0];
}

TEST_F(Pipelines, TheEncoderEndedByTheLengthStopHasNotFailed) {
    FamilyCase xbox = Family("Xbox");
    // A two-stage task of 2 s: the encoder is told to quit at 2.00 and then exits with 5.
    xbox.steps[0].extra = "--chunk \"size=     150kB time=2.00 \" --wait-q 15000 --exit 5";
    UseFamily(xbox);
    ConversionTask task = MakeNewTask(sources.Path() + "clip.rm", 2.0, pspFileNumber);
    host.tasks = {task};
    ReplaceSourceExport([&](int index) {
        ConversionTask exporting = host.GetTask(index);
        exporting.exportPath = sources.Write("clip_40000.avi", "exported");
        host.SetTask(index, exporting);
        return true;
    });
    ConvertTask(0);
    EXPECT_TRUE(host.tasks[0].finished) << Log();
    EXPECT_EQ(Log(), "");
}

// Failures: the task shows "Failed", one line in the log names its source and the reason,
// and the next task is converted.
TEST_F(Pipelines, AHelperExitingWithAnErrorFailsOnlyItsTask) {
    FamilyCase threeGp = Family("ThreeGpAmr");
    threeGp.steps[1].extra = "--exit 3 --exit-if $TITLE bad";
    UseFamily(threeGp);
    host.tasks = {Task("bad"), Task("good")};
    EXPECT_TRUE(RunConversion());
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed);
    EXPECT_FALSE(host.tasks[0].finished);
    EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text, "Failed");
    EXPECT_EQ(host.StatusSequence(0),
              (std::vector<TaskStatus>{TaskStatus::Converting, TaskStatus::Exporting, TaskStatus::Failed}));
    EXPECT_EQ(Trace(), (std::vector<std::string>{"progress bad.1", "hidden bad.2", "progress good.1", "hidden good.2",
                                                 "hidden good.3"}));
    EXPECT_FALSE(FileExists(Output("bad_temp.3gp")));
    EXPECT_TRUE(host.tasks[1].finished);
    const std::vector<std::string> log = FileLines(work.Path() + "log.txt");
    ASSERT_EQ(log.size(), 1u) << Log();
    EXPECT_NE(log[0].find("\"" + sources.Path() + "bad.avi\""), std::string::npos) << log[0];
    EXPECT_NE(log[0].find("step 2 of 3"), std::string::npos) << log[0];
    EXPECT_NE(log[0].find("exit code 3"), std::string::npos) << log[0];
}

struct FailedStep {
    const char* what;
    const char* family;
    std::string command; // the first step; the family's own steps follow
    const char* reason;
};

class PipelineFailedStep : public Pipelines, public testing::WithParamInterface<FailedStep> {};

TEST_P(PipelineFailedStep, FailsTheTaskAndLogsWhy) {
    const FailedStep& c = GetParam();
    FamilyCase family = Family(c.family);
    if (std::string(c.what) == "EncoderError")
        family.steps[0].extra = "--exit 2";
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
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed);
    EXPECT_FALSE(host.tasks[0].finished);
    EXPECT_FALSE(encoderInput);
    const std::string log = Log();
    EXPECT_NE(log.find("Conversion failed: \"" + sources.Path() + "clip.avi\": "), std::string::npos) << log;
    EXPECT_NE(log.find(c.reason), std::string::npos) << log;
    // A failed PSP thumbnail starts no encoder.
    if (std::string(c.family) == "Psp") {
        EXPECT_TRUE(Trace().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pipelines, PipelineFailedStep,
    testing::Values(FailedStep{"EncoderError", "Xbox", "", "step 1 of 1 (encoder) ended with exit code 2"},
                    FailedStep{"MissingProgram", "PocketPc", "movara_no_such_encoder.exe --end",
                               "step 1 of 1 (encoder) could not be started"},
                    FailedStep{"NoOutput", "Xbox", "", "does not exist after the last step"},
                    FailedStep{"MissingHelper", "Psp", "movara_no_such_helper.exe --end",
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
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed);
    EXPECT_FALSE(host.tasks[0].finished);
    EXPECT_TRUE(Trace().empty());
    EXPECT_NE(Log().find(c.reason), std::string::npos) << Log();
    EXPECT_TRUE(actions.handOffs.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Pipelines, PipelineUnrunnablePreset,
    testing::Values(UnrunnablePreset{"ShortPmp", "Pmp", 3, 0, 0, "has no command 4"},
                    UnrunnablePreset{"ShortThreeGp2", "ThreeGp2", 4, 0, 0, "has no command 5"},
                    UnrunnablePreset{"ShortPsp", "Psp", 1, 0, 0, "has no command 2"},
                    UnrunnablePreset{"NothingSelected", "Xbox", 1, -1, 0, "no preset is selected"},
                    UnrunnablePreset{"NoSuchPreset", "PocketPc", 1, 1, 0, "has no command 1"},
                    UnrunnablePreset{"NoSuchIpodPreset", "Ipod", 1, 0, 2, "iPod preset 2 has no \"Command0\""}),
    [](const testing::TestParamInfo<UnrunnablePreset>& info) { return std::string(info.param.what); });

struct SourceAsOutput {
    const char* family;
    ThreeGpType threeGpType;
    const char* sourceName; // in the output folder
    const char* outputName;
};

class PipelineSourceAsOutput : public Pipelines, public testing::WithParamInterface<SourceAsOutput> {};

TEST_P(PipelineSourceAsOutput, IsRefusedAndTheSourceKept) {
    const SourceAsOutput& c = GetParam();
    UseFamily(Family(c.family));
    const std::string source = output.Write(c.sourceName, "the user's video");
    ConversionTask task = MakeNewTask(source, 40.0, pspFileNumber);
    task.outputName = c.outputName;
    host.tasks = {task};
    ConvertTask(0);
    EXPECT_EQ(ReadWholeFile(source), "the user's video");
    EXPECT_TRUE(Trace().empty());
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed);
    EXPECT_NE(Log().find("is the source itself"), std::string::npos) << Log();
}

// The 3GP2 clean-up may delete the 3GP2 working file: a source by that name is refused too.
INSTANTIATE_TEST_SUITE_P(Pipelines, PipelineSourceAsOutput,
                         testing::Values(SourceAsOutput{"Ipod", ThreeGpType::Amr, "CLIP.MP4", "clip"},
                                         SourceAsOutput{"ThreeGpAmr", ThreeGpType::Amr, "clip.3gp", "clip"},
                                         SourceAsOutput{"Pmp", ThreeGpType::Amr, "Clip.pmp", "clip"},
                                         SourceAsOutput{"Psp", ThreeGpType::Amr, "m4v12345.mp4", "anything"},
                                         SourceAsOutput{"ThreeGp2", ThreeGpType::ThreeGp2, "clip_temp_2.3g2", "clip"}),
                         [](const testing::TestParamInfo<SourceAsOutput>& info) {
                             return std::string(info.param.family);
                         });

TEST_F(Pipelines, NoHandOffWhenTheComputerIsToBeShutDown) {
    UseFamily(Family("Ipod"));
    host.shutDown = true;
    host.tasks = {Task("clip")};
    ConvertTask(0);
    EXPECT_TRUE(host.tasks[0].finished);
    EXPECT_TRUE(actions.handOffs.empty());
}

} // namespace
