// The runner with the fake encoder: progress chunks, Stop and the length stop sending "q", hidden helpers waited for
// while messages are handled, the hand-off's time limit, and the records of failed system calls in "log.txt".
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

#include "EngineTestSupport.h"
#include "engine/EncoderRunner.h"
#include "engine/ErrorLog.h"
#include "engine/TaskProgress.h"

namespace {

const char* const chunks = "--chunk \"size=     100kB time=1.00 \" --chunk \"size=     150kB time=2.00 \"";

// Each test runs in a fresh folder (the engine's log goes to the current directory) with one task on a fake main
// window, which acknowledges every task it is given to the fake encoder: each chunk arrives by itself.
class EncoderRunner : public testing::Test {
protected:
    void SetUp() override {
        SetCurrentDirectoryA(folder.Path().c_str());
        host.tasks.resize(1);
        host.tasks[0].endTime = 40.0;
        currentTaskIndex = 0;
        cancelRequested = false;
        taskStartTick = GetTickCount();
    }
    void TearDown() override {
        StopEncoder();
        cancelRequested = false;
    }

    std::string Path(const std::string& name) const { return folder.Path() + name; }
    // The fake encoder's command: each "@name" in `arguments` becomes the quoted path of that file in the folder.
    std::string Fake(std::string arguments) {
        for (size_t at; (at = arguments.find('@')) != std::string::npos;) {
            const size_t end = std::min(arguments.find(' ', at), arguments.size());
            arguments.replace(at, end - at, Quote(Path(arguments.substr(at + 1, end - at - 1))));
        }
        return FakeCommand(arguments + ack);
    }
    // Whether the fake encoder has written its process id: it is surely running.
    bool Started() const { return ReadWholeFile(Path("pid")).find('\n') != std::string::npos; }
    std::string Stats() const { return WaitForLine(Path("stats")); }

    TempFolder folder;
    CurrentDirectoryGuard directoryGuard;
    FakeHost host;
    HostInstalled installed{&host};
    const std::string ack = host.UseAck();
};

TEST_F(EncoderRunner, ParsesEachChunkByItselfAndEndsQuietlyWithTheEncoder) {
    const RunResult result = RunWithProgress(
        Fake(std::string(chunks) + " --chunk \"size=     200kB time=2\" --chunk \"time=123.45 \" --exit 3").c_str());
    const std::pair<int, double> expected[] = {{100, 1.0}, {150, 2.0}, {200, 2.0}, {200, 123.4}};
    ASSERT_EQ(host.writes.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(host.writes[i].second.outputSizeKB, expected[i].first) << i;
        EXPECT_DOUBLE_EQ(host.writes[i].second.encodedTime, expected[i].second) << i;
    }
    EXPECT_EQ(host.statusRedraws, 4);
    // The end of the output (a broken pipe) is the normal end: nothing logged; the exit code tells the failure.
    EXPECT_FALSE(FileExists("log.txt")) << ReadWholeFile("log.txt");
    EXPECT_TRUE(result.started && result.ended && !result.stopped && result.Failed());
    EXPECT_EQ(result.exitCode, 3u);
    EXPECT_TRUE(encoderOutput && encoderInput);
}

TEST_F(EncoderRunner, ResultsTellHowEachRunEnded) {
    const struct {
        bool hidden;
        std::string command;
        unsigned long exitCode;
    } runs[] = {{false, Fake(""), 0},
                {false, "movara_no_such_encoder.exe", 0},
                {true, Fake("--exit 4"), 4},
                {true, "movara_no_such_helper.exe", 0}};
    for (const auto& run : runs) {
        const bool exists = run.command.find("no_such") == std::string::npos;
        const RunResult result = run.hidden ? RunHidden(run.command.c_str()) : RunWithProgress(run.command.c_str());
        StopEncoder();
        EXPECT_TRUE(result.started == exists && result.ended == exists && !result.stopped) << run.command;
        EXPECT_EQ(result.exitCode, run.exitCode) << run.command;
        EXPECT_EQ(result.Failed(), !exists || run.exitCode != 0) << run.command;
    }
    EXPECT_TRUE(host.writes.empty());
    // A stop without an open run closes nothing: handle values are reused at once, and a stale close would hit these.
    UniqueHandle first(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        second(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    StopEncoder();
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(first.get(), &flags) && GetHandleInformation(second.get(), &flags));
}

TEST_F(EncoderRunner, AMissingEncoderIsLoggedAfterTheRecordsThereAndAMissingHelperIsNot) {
    AppendToLog("earlier record\n");
    RunHidden("movara_no_such_helper.exe --now");
    RunWithProgress("movara_no_such_encoder.exe -i clip.avi");
    char* systemText = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   ERROR_FILE_NOT_FOUND, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char*>(&systemText), 0, nullptr);
    ASSERT_NE(systemText, nullptr);
    // The file is text: every line feed went in as CR LF, and the system's own CR LF doubled its CR on the way.
    std::string written;
    for (const char* c = systemText; *c; ++c)
        written += *c == '\n' ? std::string("\r\n") : std::string(1, *c);
    LocalFree(systemText);
    EXPECT_EQ(ReadWholeFile("log.txt"), "earlier record\r\nERROR:   API         =   CreateProcess.\r\n"
                                        "       error   code   =   2.\r\n       message         =   " +
                                            written + ".\r\n");
}

TEST_F(EncoderRunner, StopEndsTheLoopAfterTheCurrentChunkSendsQAndIsNoFailure) {
    host.onWrite = [](int, const ConversionTask&) {
        // What the Stop button does: request the stop and tell the encoder.
        cancelRequested = true;
        StopEncoder();
    };
    const RunResult result = RunWithProgress(Fake(std::string(chunks) + " --record @record --exit 6").c_str());
    ASSERT_EQ(host.writes.size(), 1u);
    EXPECT_EQ(host.tasks[0].outputSizeKB, 100);
    // The encoder has been waited for: it is gone when the run returns, whatever its exit code.
    EXPECT_TRUE(result.started && result.stopped && result.ended && !result.Failed());
    EXPECT_EQ(result.exitCode, 6u);
    EXPECT_EQ(ReadWholeFile(Path("record")), "input:q\n");
    EXPECT_FALSE(encoderInput || encoderOutput);
    EXPECT_FALSE(FileExists("log.txt")) << ReadWholeFile("log.txt");
}

// A two-stage task at its length: the engine sends "q" and waits for the encoder, which takes longer to finish its
// file than the wait after a Stop.
TEST_F(EncoderRunner, TwoStageTaskStopsItsEncoderAtTheTaskLengthAndWaitsForItsFile) {
    host.tasks[0].needsExport = true;
    host.tasks[0].beginTime = 10.0;
    host.tasks[0].endTime = 12.0;
    const RunResult result = RunWithProgress(Fake(std::string(chunks) +
                                                  " --chunk \"size=     200kB time=3.00 \" --wait-q 15000 --finish 6000"
                                                  " --record @record --stats @stats")
                                                 .c_str());
    ASSERT_EQ(host.writes.size(), 2u);
    EXPECT_DOUBLE_EQ(host.tasks[0].encodedTime, 2.0);
    EXPECT_EQ(host.tasks[0].outputSizeKB, 150);
    EXPECT_FALSE(encoderOutput);
    EXPECT_TRUE(result.stopped && !result.Failed());
    EXPECT_EQ(ReadWholeFile(Path("record")), "input:q\n");
    EXPECT_EQ(ReadWholeFile(Path("stats")).rfind("printed:2 ", 0), 0u) << ReadWholeFile(Path("stats"));
    EXPECT_FALSE(FileExists("log.txt")) << ReadWholeFile("log.txt");
}

// The Stop button, pressed while the encoder runs and has printed nothing: the silent read still handles messages.
TEST_F(EncoderRunner, StopWhileTheEncoderIsSilentIsHandled) {
    TestWindow window(
        [&](UINT message, WPARAM) {
            if (message == WM_TIMER && !cancelRequested && Started()) {
                cancelRequested = true;
                StopEncoder();
            }
        },
        20);
    RunWithProgress(
        Fake("--pid @pid --silent 600000 " + std::string(chunks) + " --record @record --stats @stats").c_str());
    EXPECT_TRUE(cancelRequested);
    EXPECT_TRUE(host.writes.empty());
    EXPECT_EQ(WaitForLine(Path("record")), "input:q\n");
    EXPECT_EQ(Stats().rfind("printed:0 ", 0), 0u) << Stats();
}

TEST_F(EncoderRunner, HiddenProgramIsWaitedForWhileMessagesAreHandled) {
    // The program waits for an event that only a message handled during the wait sets (without it, it ends with 99).
    const std::string name = KernelObjectName("go");
    UniqueHandle go(CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
    TestWindow window([&](UINT, WPARAM) { SetEvent(go.get()); }, 20);
    const RunResult result = RunHidden(Fake("--wait-event " + name + " --stats @stats").c_str());
    EXPECT_TRUE(result.ended && !result.Failed()) << result.exitCode;
    EXPECT_EQ(Stats().rfind("printed:0 ", 0), 0u);
}

TEST_F(EncoderRunner, HiddenProgramIsTerminatedOnStopAndOneStartedAfterStopEndsAtOnce) {
    UniqueHandle helper;
    TestWindow window(
        [&](UINT message, WPARAM) {
            // Stop once the program is surely running, holding on to it to see how it ended.
            if (message == WM_TIMER && !helper && Started()) {
                helper.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                         std::stoul(ReadWholeFile(Path("pid")))));
                cancelRequested = true;
            }
        },
        100);
    const RunResult result = RunHidden(Fake("--pid @pid --silent 60000 --exit 7 --stats @stats").c_str());
    ASSERT_TRUE(helper);
    EXPECT_EQ(WaitForSingleObject(helper.get(), 0), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    EXPECT_TRUE(GetExitCodeProcess(helper.get(), &exitCode) && exitCode == 0) << exitCode;
    EXPECT_TRUE(result.stopped && !result.Failed());
    // A step started after Stop ends at once.
    const RunResult next = RunHidden(Fake("--silent 60000 --exit 7 --stats @stats").c_str());
    EXPECT_TRUE(next.started && next.stopped && !next.Failed());
    EXPECT_FALSE(FileExists(Path("stats")));
}

TEST_F(EncoderRunner, PumpDispatchesEverythingPendingButLeavesQuit) {
    std::vector<WPARAM> seen;
    TestWindow window([&](UINT, WPARAM wParam) { seen.push_back(wParam); });
    for (WPARAM i = 1; i <= 3; ++i)
        PostMessageA(window.Handle(), WM_APP, i, 0);
    EXPECT_TRUE(PumpMessages());
    EXPECT_EQ(seen, (std::vector<WPARAM>{1, 2, 3}));
    // A quit stays for the thread's own loop, with its code.
    PostQuitMessage(5);
    EXPECT_FALSE(PumpMessages());
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(EncoderRunner, ProgressReportsReachTheCurrentTaskOnly) {
    host.tasks.resize(3);
    currentTaskIndex = 1;
    SetTaskStatus(TaskStatus::SourceExport);
    UpdateExportProgress(30.0, 100.0);
    ParseProgressChunk("size=     512kB time=20.00 ");
    EXPECT_EQ(host.tasks[1].status, TaskStatus::SourceExport);
    EXPECT_DOUBLE_EQ(host.tasks[1].exportPercent, 30.0);
    EXPECT_EQ(host.tasks[1].outputSizeKB, 512);
    // No such task, or no window: the reports are dropped.
    for (int index : {3, -1, 0}) {
        currentTaskIndex = index;
        mainWindow = index == 0 ? nullptr : &host;
        SetTaskStatus(TaskStatus::Canceled);
        ParseProgressChunk("size=     512kB time=20.00 ");
        UpdateExportProgress(1.0, 2.0);
    }
    EXPECT_EQ(host.writes.size(), 3u);
    EXPECT_EQ(host.statusRedraws, 3);
}

TEST_F(EncoderRunner, TheHandOffWaitDispatchesMessagesAndStopsTheProgramAtTheLimit) {
    ASSERT_EQ(ReplaceSystemActions(nullptr), nullptr) << "the real actions are in place";
    int dispatched = 0;
    TestWindow window([&](UINT message, WPARAM) { dispatched += message == WM_APP + 7; });
    PostMessageA(window.Handle(), WM_APP + 7, 0, 0);
    // Without the limit it would wait 20 s for a "q" that never comes, then write its record.
    SystemActions& actions = CurrentSystemActions();
    EXPECT_EQ(actions.RunAndWaitLimited(Fake("--wait-q 20000 --record @record"), 300),
              SystemActions::WaitOutcome::TimedOut);
    EXPECT_EQ(dispatched, 1) << "the window was served while waiting";
    EXPECT_FALSE(FileExists(Path("record"))) << "the program was stopped";
    EXPECT_EQ(actions.RunAndWaitLimited(Fake("--record @record"), 20000), SystemActions::WaitOutcome::Ended);
    EXPECT_EQ(ReadWholeFile(Path("record")), "input:\n");
    EXPECT_EQ(actions.RunAndWaitLimited("movara_no_such_program.exe", 1000), SystemActions::WaitOutcome::NotStarted);
}

TEST(ErrorLog, LastErrorLineAndALongMessageCutBetweenCharacters) {
    EXPECT_EQ(LastErrorLine("size=       1kB time=1.00\r\n"), "");
    EXPECT_EQ(LastErrorLine("error: first\r\nsize= 1kB\r\nerror: second\r\n"), "second");
    EXPECT_EQ(LastErrorLine("error: whole\nerror: still being writ"), "whole");
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
