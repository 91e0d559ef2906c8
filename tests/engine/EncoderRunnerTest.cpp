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

// A stop without an open run closes nothing: handle values are reused at once, and a stale close would hit these.
TEST_F(EncoderRunner, AStopWithoutARunClosesNothing) {
    RunWithProgress(Fake("").c_str());
    StopEncoder();
    UniqueHandle first(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        second(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    StopEncoder();
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(first.get(), &flags) && GetHandleInformation(second.get(), &flags));
}

TEST_F(EncoderRunner, AMissingEncoderIsLoggedAfterTheRecordsThereAndAMissingHelperIsNot) {
    AppendToLog("earlier record\n");
    EXPECT_FALSE(RunHidden("movara_no_such_helper.exe --now").started);
    EXPECT_FALSE(RunWithProgress("movara_no_such_encoder.exe -i clip.avi").started);
    // The file is text: every line ends in CR LF, the system's own message included.
    const std::string log = ReadWholeFile("log.txt");
    EXPECT_EQ(log.rfind("earlier record\r\nERROR:   API         =   CreateProcess.\r\n"
                        "       error   code   =   2.\r\n       message         =   ",
                        0),
              0u)
        << log;
    EXPECT_TRUE(log.ends_with(".\r\n")) << log;
    for (size_t at = log.find('\n'); at != std::string::npos; at = log.find('\n', at + 1))
        EXPECT_EQ(log[at - 1], '\r') << at;
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
