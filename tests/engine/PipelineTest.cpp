// The runner and the pipelines with the fake encoder: the steps every family runs, what Stop leaves, and the tasks
// that must fail rather than show " Finished ", with the reason in "log.txt" and no half-made file left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <limits>
#include <set>
#include <string>
#include <vector>
#include <windows.h>

#include "EngineTestSupport.h"
#include "engine/ConversionRun.h"
#include "engine/EncoderRunner.h"
#include "engine/ErrorLog.h"
#include "engine/PipelineFiles.h"
#include "engine/Pipelines.h"
#include "engine/ProgressParsing.h"
#include "engine/SourceExport.h"
#include "engine/UniqueTaskOutput.h"

namespace {

using enum TaskStatus;
constexpr int pspFileNumber = 12345;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// One family (and 3GP type) as the tests drive it: the steps of its test preset, each "P" (the encoder, printing
// progress) or "H" (a hidden helper) and the suffix after "$OUTPUT_DIR$OUTPUT_FILE" of the file it writes; the
// statuses the task must show; the files left in the output folder.
struct FamilyCase {
    const char* name;
    DeviceFamily family;
    ThreeGpType threeGpType;
    std::vector<std::string> steps;
    std::vector<TaskStatus> statuses;
    std::vector<std::string> left;
};

const std::vector<FamilyCase>& Families() {
    using enum DeviceFamily;
    using enum ThreeGpType;
    static const std::vector<FamilyCase> families = {
        {"Ipod", Ipod, Amr, {"P.mp4"}, {Converting}, {"clip.mp4"}},
        {"Psp", Psp, Amr, {"H.THM", "P.MP4"}, {Converting}, {"M4V12345.MP4", "M4V12345.THM"}},
        {"ThreeGpAmr", ThreeGp, Amr, {"P_temp.3gp", "H.3gp", "H"}, {Converting, Exporting}, {"clip.3gp"}},
        {"ThreeGp2",
         ThreeGp,
         ThreeGp2,
         {"P_temp.3gp", "H_temp_2.3g2", "H", "H.3g2", "H"},
         {Converting, Exporting, Changing},
         {"clip.3g2"}},
        {"Xbox", Xbox, Amr, {"P.mpg"}, {Converting}, {"clip.mpg"}},
        {"PocketPc", PocketPc, Amr, {"P.avi"}, {Converting}, {"clip.avi"}},
        {"Pmp", Pmp, Amr, {"P_temp.avi", "H_temp.mp3", "H", "H.pmp"}, {Converting, Muxing}, {"clip.pmp"}},
    };
    return families;
}

const FamilyCase& Family(const std::string& name) {
    return *std::find_if(Families().begin(), Families().end(), [&](const FamilyCase& f) { return name == f.name; });
}

class Pipelines : public testing::Test {
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
        ReplaceSourceExport({});
    }

    // Selects the family and writes its test preset: each step a fake encoder command that traces its role with the
    // tag "$TITLE.<step>" and writes its file; the encoder prints one progress chunk and, with `waitForQuit`, then
    // waits for "q", records its input and exits with 6. `options` go to step `step` (from 1).
    void UseFamily(const char* name, bool waitForQuit = false, size_t step = 0, const std::string& options = "") {
        const FamilyCase& family = Family(name);
        host.settings.deviceFamily = family.family;
        host.settings.threeGpType = family.threeGpType;
        commands.clear();
        for (const std::string& plan : family.steps) {
            std::string arguments = "--trace " + Quote(trace) + " --tag $TITLE." + std::to_string(commands.size() + 1);
            if (plan.size() > 1)
                arguments += " --write \"$OUTPUT_DIR$OUTPUT_FILE" + plan.substr(1) + "\"";
            if (plan[0] == 'P')
                arguments += " --chunk \"size=     100kB time=1.00 \"";
            if (plan[0] == 'P' && waitForQuit) // a stopped encoder's exit code is no failure
                arguments += " --wait-q 15000 --exit 6 --record " + Quote(record);
            if (commands.size() + 1 == step)
                arguments += " " + options;
            // A closing word that is not quoted: the profile functions strip quotes that enclose a whole value.
            commands.push_back(FakeCommand(arguments + " --end"));
        }
        WriteProfile();
    }

    // Writes the profile file of the selected family with `commands` as its one preset.
    void WriteProfile() {
        const std::string file =
            ProfileFilePath(ProfileFileIndex(host.settings.deviceFamily, host.settings.threeGpType));
        std::string text = "[Info]\r\nDescription=Test presets\r\nDefaultProfile=0\r\n[profile0]\r\nTitle=Test\r\n";
        if (host.settings.deviceFamily == DeviceFamily::Ipod)
            text += "Command0=" + commands.at(0) + "\r\nVideoType=1\r\n";
        for (size_t c = 0; c < commands.size() && host.settings.deviceFamily != DeviceFamily::Ipod; ++c)
            text += "Command" + std::to_string(c + 1) + "=" + commands[c] + "\r\n";
        work.Write(file.substr(file.find_last_of('\\') + 1), text);
    }

    // A checked task for the source "<name>.avi" in the sources folder.
    ConversionTask Task(const std::string& name, double begin = 0.0, double end = 40.0) {
        ConversionTask task = MakeNewTask(sources.Path() + name + ".avi", end, pspFileNumber);
        task.beginTime = begin;
        return task;
    }

    // Makes task 0 a RealMedia task whose export, run in place of the player, writes its file; with `stop`, Stop is
    // pressed while it exports.
    void ExportingTask(const std::string& exportName, bool stop = false, double length = 40.0) {
        host.tasks[0] = MakeNewTask(sources.Path() + "clip.rm", length, pspFileNumber);
        ReplaceSourceExport([=, this](int index) {
            ConversionTask exporting = host.GetTask(index);
            exporting.exportPath = sources.Write(exportName, "exported");
            exporting.status = SourceExport;
            exporting.exportDone = !stop;
            host.SetTask(index, exporting);
            if (stop)
                CancelConversion();
            return !stop;
        });
    }

    // A fake encoder run by the runner itself, which the host acknowledges chunk by chunk.
    std::string Fake(const std::string& arguments) { return FakeCommand(arguments + host.UseAck()); }
    std::string Output(const std::string& name) const { return output.Path() + name; }
    std::vector<std::string> Trace() const { return FileLines(trace); }
    std::string Log() const { return ReadWholeFile(work.Path() + "log.txt"); }

    // Task 0 shows "Failed", and the log names its source and the reason.
    void ExpectFailed(const std::string& reason) {
        EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text, "Failed");
        EXPECT_NE(Log().find("Conversion failed: \"" + host.tasks[0].sourcePath + "\": "), std::string::npos) << Log();
        EXPECT_NE(Log().find(reason), std::string::npos) << Log();
        EXPECT_TRUE(actions.handOffs.empty());
        EXPECT_FALSE(encoderInput);
    }

    TempFolder work, output, sources;
    CurrentDirectoryGuard directoryGuard;
    WorkDirectoryOverride workOverride{work.Path()};
    FakeHost host;
    HostInstalled installed{&host};
    RecordingSystemActions actions;
    SystemActionsInstalled actionsInstalled{&actions};
    std::vector<std::string> commands;
    const std::string trace = work.Path() + "trace.txt";
    const std::string record = work.Path() + "record.txt";
};

// Every family and 3GP type on a range of one second: its steps in order with their roles and statuses, only the final
// files left. 3GP with AAC differs from AMR only in its profile file, which the real conversions read.
class EveryFamily : public Pipelines, public testing::WithParamInterface<FamilyCase> {};

TEST_P(EveryFamily, RunsItsStepsInOrderAndLeavesOnlyTheFinalFile) {
    const FamilyCase& family = GetParam();
    UseFamily(family.name);
    host.tasks = {Task("clip", 1.5, 2.5)};
    ConvertTask(0);
    std::vector<std::string> expectedTrace;
    for (size_t i = 0; i < family.steps.size(); ++i)
        expectedTrace.push_back((family.steps[i][0] == 'P' ? "progress clip." : "hidden clip.") +
                                std::to_string(i + 1));
    EXPECT_EQ(Trace(), expectedTrace);
    EXPECT_EQ(host.StatusSequence(0), family.statuses);
    EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text, " Finished ");
    EXPECT_EQ(OutputNameShown(host.tasks[0], host.settings), family.left[0]);
    EXPECT_EQ(FilesIn(output.Path()), family.left);
    EXPECT_EQ(Log(), "");
    EXPECT_FALSE(encoderInput);
    EXPECT_EQ(actions.handOffs.size(), family.family == DeviceFamily::Ipod ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Pipelines, EveryFamily, testing::ValuesIn(Families()),
                         [](const testing::TestParamInfo<FamilyCase>& info) { return info.param.name; });

// A stop at one status of one family, and the files its clean-up deletes. A RealMedia source is exported first (the
// player's tests convert one): its export file goes too, and a stop during the export runs nothing.
struct StopCase {
    const char* family;
    TaskStatus status;
    int stepRunning; // the step during which the stop arrives
    std::set<std::string> deleted;
    bool realMedia = false; // exported first: the export file goes too
    bool silent = false;    // the encoder prints nothing: the stop comes while the engine waits for its output
};

class StopAtEachStatus : public Pipelines, public testing::WithParamInterface<StopCase> {};

TEST_P(StopAtEachStatus, DeletesExactlyItsFilesAndLeavesLaterTasksAlone) {
    const StopCase& stop = GetParam();
    UseFamily(stop.family, stop.status == Converting, 1, stop.silent ? "--silent 600000" : "");
    host.tasks = {Task("clip")};
    if (stop.realMedia)
        ExportingTask("clip_12345.avi", stop.status == SourceExport);
    host.tasks.push_back(Task("later"));
    // Files of an earlier run lie in the output folder: the clean-up must take exactly its own.
    const std::vector<std::string> all = {"clip_temp.3gp", "clip_temp_2.3g2", "clip.3gp",     "clip.3g2",
                                          "clip_temp.avi", "clip_temp.mp3",   "clip.pmp",     "clip.mp4",
                                          "clip.mpg",      "clip.avi",        "M4V12345.THM", "M4V12345.MP4"};
    for (const std::string& name : all)
        output.Write(name, "earlier");
    // Stop as the Stop button does, from a message dispatched while the engine waits: once the task shows the
    // status (for the encoder's status, once it has reported progress).
    TestWindow window([](UINT message) {
        if (message == WM_APP)
            CancelConversion();
    });
    bool posted = false;
    host.onWrite = [&](int index, const ConversionTask& task) {
        if (!posted && index == 0 && task.status == stop.status &&
            (stop.status != Converting || stop.silent || task.outputSizeKB))
            posted = PostMessageA(window.Handle(), WM_APP, 0, 0);
    };
    EXPECT_FALSE(RunConversion());
    ASSERT_TRUE(posted);
    for (const std::string& name : all)
        EXPECT_EQ(FileExists(Output(name)), stop.deleted.count(name) == 0) << name;
    EXPECT_FALSE(host.tasks[0].finished);
    EXPECT_FALSE(FileExists(sources.Path() + "clip_12345.avi"));
    // The iPod task keeps its last progress line.
    EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text.substr(0, 18),
              std::string(stop.family) == "Ipod" ? "00:00:01    0.10MB" : "Canceled");
    if (stop.status == Converting) {
        EXPECT_EQ(WaitForLine(record), "input:q\n");
    }
    // No step after the interrupted one started, and nothing of the later task ran.
    for (const std::string& line : Trace()) {
        EXPECT_EQ(line.find("later."), std::string::npos) << line;
        EXPECT_LE(std::stoi(line.substr(line.rfind('.') + 1)), stop.stepRunning) << line;
    }
    EXPECT_EQ(std::count_if(host.writes.begin(), host.writes.end(), [](const auto& write) { return write.first == 1; }),
              1); // the reset before the run, nothing after
    EXPECT_EQ(host.tasks[1].status, None);
    EXPECT_TRUE(actions.handOffs.empty());
}

// 3GP with AAC runs the pipeline of 3GP with AMR; Xbox and Pocket PC run one encoder step, stopped as PSP's is.
const StopCase stops[] = {{"Ipod", Converting, 1, {}},
                          {"Psp", Converting, 2, {}},
                          {"ThreeGpAmr", Converting, 1, {"clip_temp.3gp"}},
                          {"ThreeGpAmr", Exporting, 2, {"clip_temp.3gp", "clip.3gp"}},
                          {"ThreeGp2", Changing, 4, {"clip_temp.3gp", "clip_temp_2.3g2", "clip.3g2"}},
                          {"Pmp", Converting, 1, {"clip_temp.avi", "clip_temp.mp3"}},
                          {"Pmp", Muxing, 2, {"clip_temp.avi", "clip_temp.mp3", "clip.pmp"}},
                          {"Pmp", SourceExport, 0, {"clip_temp.avi", "clip_temp.mp3"}, true},
                          {"PocketPc", Converting, 1, {}, true},
                          {"Xbox", Converting, 1, {}, false, true}};

INSTANTIATE_TEST_SUITE_P(Pipelines, StopAtEachStatus, testing::ValuesIn(stops));

// An encoder that the length stop of a two-stage task ended has not failed, whatever its exit code, and is waited for
// longer than one stopped by the user: it is finishing its file.
TEST_F(Pipelines, TheEncoderEndedByTheLengthStopHasNotFailed) {
    UseFamily("Xbox", false, 1, "--chunk \"size=     150kB time=2.00 \" --wait-q 15000 --finish 6000 --exit 5");
    host.tasks = {{}};
    ExportingTask("clip_40000.avi", false, 2.0);
    ConvertTask(0);
    EXPECT_EQ(FormatTaskStatus(host.tasks[0]).text, " Finished ") << Log();
    EXPECT_FALSE(FileExists(sources.Path() + "clip_40000.avi"));
    EXPECT_EQ(Log(), "");
}

// The run resets every task and skips unchecked ones; a helper exiting with an error fails only its task.
TEST_F(Pipelines, TheRunResetsTasksSkipsUncheckedOnesAndGoesOnAfterAFailedOne) {
    UseFamily("ThreeGpAmr", false, 2, "--exit 3 --exit-if $TITLE bad");
    host.tasks = {Task("bad"), Task("unchecked"), Task("good"), {}};
    host.tasks[1].checked = false;
    // Left from an earlier run: cleared, the export fields kept.
    ConversionTask kept;
    kept.exportPath = "C:\\clip_12345.avi";
    kept.exportPercent = 50.0;
    host.tasks[3] = kept;
    host.tasks[3].status = Canceled;
    host.tasks[3].finished = true;
    host.tasks[3].outputSizeKB = 10;
    EXPECT_TRUE(RunConversion());
    EXPECT_EQ(host.StatusSequence(0), (std::vector<TaskStatus>{Converting, Exporting, Failed}));
    EXPECT_EQ(Trace(), (std::vector<std::string>{"progress bad.1", "hidden bad.2", "progress good.1", "hidden good.2",
                                                 "hidden good.3"}));
    ExpectFailed("step 2 of 3 (helper) ended with exit code 3");
    EXPECT_FALSE(FileExists(Output("bad_temp.3gp")));
    EXPECT_FALSE(host.tasks[1].finished);
    EXPECT_TRUE(host.tasks[2].finished);
    EXPECT_EQ(host.tasks[3], kept);
}

// A task that cannot be converted as asked: a step that fails, a preset without its commands, a range the commands
// cannot carry (they take whole seconds, and a length of 0 means "to the end"), an output that would be the source.
// It leaves the output folder as it was: what it wrote (a device file, working files, PSP's thumbnail) goes, files
// that were there before stay, and so does the source.
struct Failure {
    const char* what;
    const char* family;
    const char* reason;
    std::string first = {}; // options for the failing step, or a command in place of the first one
    size_t commands = 9;    // how many of the family's commands the preset holds
    int profileIndex = 0;   // the preset selected, and the iPod's preset
    int presetIndex = 0;
    double begin = 0.0, end = 40.0;
    size_t step = 1;                      // the step that gets `first`
    std::vector<std::string> before = {}; // files in the output folder before the task
    std::string source = "clip.avi";      // in the sources folder, or after ">" in the output folder
};

Failure StepFails(const char* what, const char* family, size_t step, std::vector<std::string> before = {}) {
    return {
        .what = what, .family = family, .reason = "exit code 1", .first = "--exit 1", .step = step, .before = before};
}
Failure SourceIsOutput(const char* what, const char* family, const char* source) {
    return {.what = what, .family = family, .reason = "is the source itself", .source = std::string(">") + source};
}

class FailingTask : public Pipelines, public testing::WithParamInterface<Failure> {};

TEST_P(FailingTask, FailsLogsWhyAndLeavesTheOutputFolderAsItWas) {
    const Failure& c = GetParam();
    const bool ownCommand = c.first.find(".exe") != std::string::npos;
    UseFamily(c.family, false, ownCommand ? 0 : c.step, c.first);
    if (ownCommand)
        commands[0] = c.first;
    commands.resize(std::min(commands.size(), c.commands));
    WriteProfile();
    host.settings.profileIndex = c.profileIndex;
    host.settings.presetIndex = c.presetIndex;
    std::vector<std::string> left = c.before;
    for (const std::string& name : c.before)
        output.Write(name, "the user's own file");
    const bool beside = c.source[0] == '>';
    if (beside)
        left.push_back(c.source.substr(1));
    const std::string source = (beside ? output : sources).Write(c.source.substr(beside), "the user's video");
    host.tasks = {MakeNewTask(source, c.end, pspFileNumber)};
    host.tasks[0].beginTime = c.begin;
    host.tasks[0].outputName = "clip";
    ConvertTask(0);
    ExpectFailed(c.reason);
    EXPECT_EQ(ReadWholeFile(source), "the user's video");
    std::sort(left.begin(), left.end());
    EXPECT_EQ(FilesIn(output.Path()), left);
    // Only a failing encoder has run.
    EXPECT_EQ(Trace().empty(), ownCommand || c.first.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Pipelines, FailingTask,
    testing::Values(
        Failure{"EncoderReason", "Xbox", "step 1 of 1 (encoder) ended with exit code 1: No space left on device\r\n",
                "--chunk \"size=     100kB time=1.00 \\n\" --chunk \"error: No space left on device\\n\" --exit 1"},
        Failure{"MissingProgram", "PocketPc", "step 1 of 1 (encoder) could not be started", "no_such_encoder.exe"},
        Failure{"NoOutput", "Xbox", "does not exist after the last step", FakeCommand("--end")},
        Failure{"ShortPmp", "Pmp", "has no command 4", "", 3},
        Failure{"ShortThreeGp2", "ThreeGp2", "has no command 5", "", 4},
        Failure{"NothingSelected", "Xbox", "no preset is selected", "", 9, -1},
        Failure{"HugePresetIndex", "Xbox", "preset 2147483648 of", "", 9, INT_MAX},
        Failure{"NoSuchIpodPreset", "Ipod", "iPod preset 2 has no \"Command0\"", "", 9, 0, 2},
        Failure{"EndBeforeBegin", "Pmp", "the selected range is too short", "", 9, 0, 0, 8.0, 3.0},
        Failure{"BeginNotANumber", "Ipod", "the selected range is too short", "", 9, 0, 0, nan, 10.0},
        Failure{"UnderASecond", "Xbox", "the selected range is too short", "", 9, 0, 0, 1.5, 2.4},
        Failure{"Endless", "Psp", "the selected range is too short", "", 9, 0, 0, 0.0,
                std::numeric_limits<double>::infinity()},
        Failure{.what = "NoPlayerForRealMedia", .family = "Xbox", .reason = "RealMedia", .source = "clip.rm"},
        // The failing step has written its files (a full disk, say; the encoder's reason above wrote one too).
        StepFails("PmpMuxer", "Pmp", 4), StepFails("PspEncoder", "Psp", 2),
        StepFails("OverAFileOfTheUser", "Xbox", 1, {"clip.mpg"}),
        StepFails("BesideAWorkingFileOfTheUser", "Pmp", 1, {"clip_temp.mp3"}),
        // The 3GP2 clean-up may delete the 3GP2 working file: a source by that name is refused too.
        SourceIsOutput("IpodSource", "Ipod", "CLIP.MP4"), SourceIsOutput("ThreeGpSource", "ThreeGpAmr", "clip.3gp"),
        SourceIsOutput("PmpSource", "Pmp", "Clip.pmp"), SourceIsOutput("PspSource", "Psp", "m4v12345.mp4"),
        SourceIsOutput("ThreeGp2WorkingFileSource", "ThreeGp2", "clip_temp_2.3g2")),
    [](const testing::TestParamInfo<Failure>& info) { return std::string(info.param.what); });

// Tasks that once wrote one file (one base name, PSP numbers of one second) each get an output of their own.
TEST_F(Pipelines, TasksMadeUniqueKeepTheirOwnOutputs) {
    for (ConversionTask task : {Task("clip"), MakeNewTask(sources.Path() + "clip.wmv", 40.0, pspFileNumber)}) {
        MakeTaskOutputUnique(task, host.tasks);
        host.tasks.push_back(task);
    }
    for (const auto& [family, extension] : {std::pair{DeviceFamily::PocketPc, ".avi"}, {DeviceFamily::Psp, ".MP4"}}) {
        host.settings.deviceFamily = family;
        commands = {FakeCommand("--write \"$OUTPUT_DIR$OUTPUT_FILE" + std::string(extension) +
                                "\" --source \"$INPUT_FILE\" --end")};
        if (family == DeviceFamily::Psp)
            commands.insert(commands.begin(), FakeCommand("--end"));
        WriteProfile();
        EXPECT_TRUE(RunConversion());
        for (const ConversionTask& task : host.tasks)
            EXPECT_NE(ReadWholeFile(Output(OutputNameShown(task, host.settings))).find(task.sourcePath),
                      std::string::npos)
                << family << " " << OutputNameShown(task, host.settings);
    }
}

// The runner itself: each chunk parsed by itself, messages handled during a hand-off, the records of failed calls.
TEST_F(Pipelines, RunnerParsesEachChunkByItselfAndEndsQuietlyWithTheEncoder) {
    host.tasks = {Task("clip")};
    const RunResult result =
        RunWithProgress(Fake("--chunk \"size=     100kB time=1.00 \" --chunk \"size=     150kB "
                             "time=2.00 \" --chunk \"size=     200kB time=2\" --chunk \"time=123.45 \" "
                             "--exit 3")
                            .c_str());
    std::vector<std::pair<int, double>> seen;
    for (const auto& [index, task] : host.writes)
        seen.emplace_back(task.outputSizeKB, task.encodedTime);
    EXPECT_EQ(seen, (std::vector<std::pair<int, double>>{{100, 1.0}, {150, 2.0}, {200, 2.0}, {200, 123.4}}));
    EXPECT_EQ(host.statusRedraws, 4);
    // The end of the output (a broken pipe) is the normal end: nothing logged; the exit code tells the failure.
    EXPECT_FALSE(FileExists(work.Path() + "log.txt")) << Log();
    EXPECT_TRUE(result.started && result.ended && !result.stopped && result.Failed());
    EXPECT_EQ(result.exitCode, 3u);
    EXPECT_TRUE(encoderOutput && encoderInput);
}

// A stop without an open run closes nothing: handle values are reused at once, and a stale close would hit these.
TEST_F(Pipelines, RunnerAStopWithoutARunClosesNothing) {
    RunWithProgress(Fake("").c_str());
    StopEncoder();
    UniqueHandle first(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        second(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    StopEncoder();
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(first.get(), &flags) && GetHandleInformation(second.get(), &flags));
}

TEST_F(Pipelines, RunnerTheHandOffWaitDispatchesMessagesAndStopsTheProgramAtTheLimit) {
    SystemActionsInstalled real(nullptr);
    int dispatched = 0;
    TestWindow window([&](UINT message) { dispatched += message == WM_APP + 7; });
    PostMessageA(window.Handle(), WM_APP + 7, 0, 0);
    // Without the limit it would wait 20 s for a "q" that never comes, then write its record.
    SystemActions& actions = CurrentSystemActions();
    EXPECT_EQ(actions.RunAndWaitLimited(Fake("--wait-q 20000 --record " + Quote(record)), 300),
              SystemActions::WaitOutcome::TimedOut);
    EXPECT_EQ(dispatched, 1) << "the window was served while waiting";
    EXPECT_FALSE(FileExists(record)) << "the program was stopped";
    EXPECT_EQ(actions.RunAndWaitLimited(Fake("--record " + Quote(record)), 20000), SystemActions::WaitOutcome::Ended);
    EXPECT_EQ(ReadWholeFile(record), "input:\n");
    EXPECT_EQ(actions.RunAndWaitLimited("movara_no_such_program.exe", 1000), SystemActions::WaitOutcome::NotStarted);
}

TEST(ErrorLog, LastErrorLineAndALongMessageCutBetweenCharacters) {
    EXPECT_EQ(LastErrorLine("error: first\r\nsize= 1kB\r\nerror: second\r\nerror: still being writ"), "second");
    EXPECT_EQ(LastErrorLine("no error: here\nerror: \n"), "");
    // The record is cut at 511 bytes; a message in UTF-8 between characters: 418 bytes are left for it, 139 of three.
    const std::string header = "ERROR:   API         =   ReadFile.\n       error   code   =   109.\n       message  ";
    EXPECT_EQ(FormatApiErrorRecord("ReadFile", 109, std::string(600, 'x').c_str()).size(), 511u);
    std::string japanese;
    for (int i = 0; i < 300; ++i)
        japanese += "\xE6\x97\xA5";
    EXPECT_EQ(FormatApiErrorRecord("ReadFile", 109, japanese.c_str()).substr(header.size()),
              "       =   " + japanese.substr(0, 417));
}

} // namespace
