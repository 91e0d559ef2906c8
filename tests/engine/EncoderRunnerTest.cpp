#include <gtest/gtest.h>
#include <string>
#include <windows.h>

#include "EngineTestSupport.h"
#include "engine/EncoderRunner.h"
#include "engine/ErrorLog.h"
#include "engine/TaskProgress.h"
#include "engine/TaskStatus.h"

namespace {

constexpr UINT_PTR stopTimer = 1;

// Whether the fake encoder has written its process id into path: it is surely running.
bool Started(const std::string& path) {
    const std::string id = ReadWholeFile(path);
    return !id.empty() && id.back() == '\n';
}

// Each test runs in a fresh folder (the engine's log goes to the current directory) with one
// task on a fake main window.
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
        DeleteFileA("log.txt");
    }

    // A file in the test's folder, removed with it.
    std::string PathOf(const std::string& name) {
        folder.Write(name, "");
        DeleteFileA((folder.Path() + name).c_str());
        return folder.Path() + name;
    }

    TempFolder folder;
    CurrentDirectoryGuard directoryGuard;
    RecordingHost host;
    HostInstalled installed{&host};
};

TEST_F(EncoderRunner, ParsesEachChunkByItselfAndEndsQuietlyWithTheEncoder) {
    RunWithProgress(FakeCommand("--interval 300"
                                " --chunk \"size=     100kB time=1.00 \""
                                " --chunk \"size=     200kB time=2\""
                                " --chunk \"frame=1 size=   9kB\""
                                " --chunk \"time=123.45 \"")
                        .c_str());
    ASSERT_EQ(host.writes.size(), 4u);
    const struct {
        int sizeKB;
        double time;
    } expected[] = {{100, 1.0}, {200, 1.0}, {200, 1.0}, {200, 123.4}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(host.writes[i].second.outputSizeKB, expected[i].sizeKB) << i;
        EXPECT_DOUBLE_EQ(host.writes[i].second.encodedTime, expected[i].time) << i;
    }
    EXPECT_EQ(host.statusRedraws, 4);
    // The end of the output (a broken pipe) is the normal end: nothing logged.
    EXPECT_FALSE(FileExists("log.txt")) << ReadWholeFile("log.txt");
    EXPECT_TRUE(encoderOutput);
    EXPECT_TRUE(encoderInput);
}

TEST_F(EncoderRunner, MissingProgramIsLoggedAfterTheRecordsAlreadyThere) {
    AppendToLog("earlier record\n");
    RunWithProgress("movara_no_such_encoder.exe -i clip.avi");
    EXPECT_TRUE(host.writes.empty());

    char* systemText = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   ERROR_FILE_NOT_FOUND, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char*>(&systemText), 0, nullptr);
    ASSERT_NE(systemText, nullptr);
    std::string message(systemText);
    LocalFree(systemText);
    ASSERT_FALSE(message.empty());
    // The file is text: every line feed went in as CR LF, and the system's own CR LF doubled
    // its CR on the way.
    std::string written;
    for (char c : message) {
        written += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(ReadWholeFile("log.txt"), "earlier record\r\n"
                                        "ERROR:   API         =   CreateProcess.\r\n"
                                        "       error   code   =   2.\r\n"
                                        "       message         =   " +
                                            written + ".\r\n");
}

TEST_F(EncoderRunner, StopDuringTheRunEndsTheLoopAfterTheCurrentChunkAndSendsQ) {
    const std::string record = PathOf("record.txt");
    host.onWrite = [](int, const ConversionTask&) {
        // What the Stop button does: request the stop and tell the encoder.
        cancelRequested = true;
        StopEncoder();
    };
    RunWithProgress(FakeCommand("--interval 300 --chunk \"size=     100kB time=1.00 \""
                                " --chunk \"size=     200kB time=2.00 \" --chunk \"size=     300kB time=3.00 \""
                                " --record \"" +
                                record + "\"")
                        .c_str());
    ASSERT_EQ(host.writes.size(), 1u);
    EXPECT_EQ(host.tasks[0].outputSizeKB, 100);
    EXPECT_EQ(WaitForLine(record), "input:q\n");
    EXPECT_FALSE(encoderInput);
    EXPECT_FALSE(encoderOutput);
    EXPECT_FALSE(FileExists("log.txt")) << ReadWholeFile("log.txt");
}

TEST_F(EncoderRunner, StopSendsQAndClosesBothEnds) {
    HANDLE inputRead = nullptr;
    HANDLE outputRead = nullptr;
    HANDLE outputWrite = nullptr;
    ASSERT_TRUE(CreatePipe(&inputRead, encoderInput.put(), nullptr, 0));
    ASSERT_TRUE(CreatePipe(&outputRead, &outputWrite, nullptr, 0));
    encoderOutput.reset(outputRead);
    StopEncoder();
    EXPECT_FALSE(encoderInput);
    EXPECT_FALSE(encoderOutput);
    // The encoder's side sees exactly one "q" and then the end of its input.
    char received[8] = {};
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(inputRead, received, sizeof(received), &got, nullptr));
    EXPECT_EQ(std::string(received, got), "q");
    EXPECT_FALSE(ReadFile(inputRead, received, sizeof(received), &got, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE));
    // ... and its output has no reader any more.
    DWORD written = 0;
    EXPECT_FALSE(WriteFile(outputWrite, "x", 1, &written, nullptr));
    CloseHandle(inputRead);
    CloseHandle(outputWrite);
}

TEST_F(EncoderRunner, MessagesAreHandledWhileTheEncoderIsSilent) {
    const std::string pid = PathOf("pid.txt");
    const std::string record = PathOf("record.txt");
    const std::string stats = PathOf("stats.txt");
    bool stopped = false;
    TestWindow window([&](UINT message, WPARAM) {
        // The Stop button, pressed while the encoder runs and has printed nothing.
        if (message == WM_TIMER && !stopped && Started(pid)) {
            stopped = true;
            cancelRequested = true;
            StopEncoder();
        }
    });
    ASSERT_NE(window.Handle(), nullptr);
    SetTimer(window.Handle(), stopTimer, 20, nullptr);
    RunWithProgress(FakeCommand("--pid \"" + pid + "\" --silent 600000 --chunk \"size=     100kB time=1.00 \" --record \"" +
                                record + "\" --stats \"" + stats + "\"")
                        .c_str());
    KillTimer(window.Handle(), stopTimer);
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(host.writes.empty());
    EXPECT_EQ(WaitForLine(record), "input:q\n");
    EXPECT_EQ(WaitForLine(stats).rfind("printed:0 ", 0), 0u) << ReadWholeFile(stats);
}

TEST_F(EncoderRunner, TwoStageTaskStopsItsEncoderAtTheTaskLength) {
    const std::string record = PathOf("record.txt");
    const std::string stats = PathOf("stats.txt");
    host.tasks[0].needsExport = true;
    host.tasks[0].beginTime = 10.0;
    host.tasks[0].endTime = 12.0;
    RunWithProgress(FakeCommand("--interval 300 --chunk \"size=     100kB time=1.00 \""
                                " --chunk \"size=     150kB time=2.00 \" --chunk \"size=     200kB time=3.00 \""
                                " --wait-q 15000 --record \"" +
                                record + "\" --stats \"" + stats + "\"")
                        .c_str());
    ASSERT_EQ(host.writes.size(), 2u);
    EXPECT_DOUBLE_EQ(host.tasks[0].encodedTime, 2.0);
    EXPECT_EQ(host.tasks[0].outputSizeKB, 150);
    EXPECT_FALSE(encoderOutput);
    // The pipeline's own stop afterwards finds nothing open and sends nothing more.
    StopEncoder();
    EXPECT_EQ(WaitForLine(record), "input:q\n");
    EXPECT_EQ(WaitForLine(stats).rfind("printed:2 ", 0), 0u) << ReadWholeFile(stats);
    EXPECT_FALSE(FileExists("log.txt")) << ReadWholeFile("log.txt");
}

TEST_F(EncoderRunner, StopWithoutAnOpenRunClosesNothing) {
    RunWithProgress(FakeCommand("").c_str());
    StopEncoder();
    ASSERT_FALSE(encoderOutput);
    ASSERT_FALSE(encoderInput);
    // Handle values are reused at once: a stale close would hit these.
    HANDLE first = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE second = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    StopEncoder();
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(first, &flags));
    EXPECT_TRUE(GetHandleInformation(second, &flags));
    CloseHandle(first);
    CloseHandle(second);
}

TEST_F(EncoderRunner, HiddenProgramIsWaitedForWhileMessagesAreHandled) {
    const std::string pid = PathOf("pid.txt");
    const std::string go = PathOf("go.txt");
    const std::string stats = PathOf("stats.txt");
    const std::string output = PathOf("helper_output.txt");
    // The program waits for a file that only a message handled during the wait writes.
    TestWindow window([&](UINT message, WPARAM) {
        if (message == WM_TIMER && Started(pid) && !FileExists(go))
            folder.Write("go.txt", "");
    });
    SetTimer(window.Handle(), stopTimer, 20, nullptr);
    RunHidden(FakeCommand("--pid \"" + pid + "\" --wait-file \"" + go + "\" --write \"" + output + "\" --stats \"" +
                          stats + "\"")
                  .c_str());
    KillTimer(window.Handle(), stopTimer);
    // It ran to its end by itself (the stats line is its last act).
    EXPECT_TRUE(FileExists(go));
    EXPECT_TRUE(FileExists(output));
    EXPECT_EQ(ReadWholeFile(stats).rfind("printed:0 ", 0), 0u);
}

TEST_F(EncoderRunner, HiddenProgramIsTerminatedOnStop) {
    const std::string pid = PathOf("pid.txt");
    const std::string stats = PathOf("stats.txt");
    HANDLE helper = nullptr;
    TestWindow window([&](UINT message, WPARAM) {
        // Stop once the program is surely running, holding on to it to see how it ended.
        if (message == WM_TIMER && !helper && Started(pid)) {
            helper = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                 std::stoul(ReadWholeFile(pid)));
            cancelRequested = true;
        }
    });
    SetTimer(window.Handle(), stopTimer, 100, nullptr);
    RunHidden(FakeCommand("--pid \"" + pid + "\" --silent 60000 --exit 7 --stats \"" + stats + "\"").c_str());
    KillTimer(window.Handle(), stopTimer);
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(WaitForSingleObject(helper, 0), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    EXPECT_TRUE(GetExitCodeProcess(helper, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(helper);
    EXPECT_FALSE(FileExists(stats));
}

TEST_F(EncoderRunner, HiddenStepStartedAfterStopEndsAtOnceAndOneThatCannotStartIsNotLogged) {
    const std::string stats = PathOf("stats.txt");
    cancelRequested = true;
    RunHidden(FakeCommand("--silent 60000 --stats \"" + stats + "\"").c_str());
    EXPECT_FALSE(FileExists(stats));
    RunHidden("movara_no_such_helper.exe --now");
    EXPECT_FALSE(FileExists("log.txt"));
}

TEST_F(EncoderRunner, PumpDispatchesEverythingPendingButLeavesQuit) {
    std::vector<WPARAM> seen;
    TestWindow window([&](UINT message, WPARAM wParam) {
        if (message == WM_APP) {
            seen.push_back(wParam);
        }
    });
    for (WPARAM i = 1; i <= 3; ++i) {
        PostMessageA(window.Handle(), WM_APP, i, 0);
    }
    EXPECT_TRUE(PumpMessages());
    EXPECT_EQ(seen, (std::vector<WPARAM>{1, 2, 3}));
    // An empty queue returns at once.
    EXPECT_TRUE(PumpMessages());
    EXPECT_EQ(seen.size(), 3u);

    // A quit stays for the thread's own loop, with its code.
    PostQuitMessage(5);
    EXPECT_FALSE(PumpMessages());
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(EncoderRunner, LogThatCannotBeOpenedIsLeftAlone) {
    ASSERT_TRUE(CreateDirectoryA("log.txt", nullptr));
    AppendToLog("lost\n");
    LogApiError("ReadFile");
    EXPECT_EQ(GetFileAttributesA("log.txt") & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    RemoveDirectoryA("log.txt");
}

TEST_F(EncoderRunner, ProgressReportsReachTheCurrentTaskOnly) {
    host.tasks.resize(3);
    currentTaskIndex = 1;
    host.tasks[1].endTime = 100.0;
    host.tasks[1].needsExport = true;
    taskStartTick = GetTickCount() - 10000;

    SetTaskStatus(TaskStatus::SourceExport);
    EXPECT_EQ(host.tasks[1].status, TaskStatus::SourceExport);
    UpdateExportProgress(30.0, 100.0);
    EXPECT_DOUBLE_EQ(host.tasks[1].exportPercent, 30.0);
    EXPECT_GT(host.tasks[1].exportRemaining, 0.0);
    EXPECT_LT(host.tasks[1].exportRemaining, 70.0);
    ParseProgressChunk("size=     512kB time=20.00 ");
    EXPECT_EQ(host.tasks[1].outputSizeKB, 512);
    EXPECT_GT(host.tasks[1].speed, 0.0);
    ParseProgressChunk("no fields here");
    EXPECT_EQ(host.writes.size(), 4u);
    EXPECT_EQ(host.statusRedraws, 4);
    ConversionTask untouched;
    EXPECT_EQ(host.tasks[2], untouched);
    untouched.endTime = 40.0;
    EXPECT_EQ(host.tasks[0], untouched);

    // No such task, or no window: the reports are dropped.
    currentTaskIndex = 3;
    SetTaskStatus(TaskStatus::Canceled);
    ParseProgressChunk("size=     512kB time=20.00 ");
    UpdateExportProgress(1.0, 2.0);
    currentTaskIndex = -1;
    SetTaskStatus(TaskStatus::Canceled);
    EXPECT_EQ(host.writes.size(), 4u);
    currentTaskIndex = 0;
    mainWindow = nullptr;
    SetTaskStatus(TaskStatus::Canceled);
    ParseProgressChunk("size=     512kB time=20.00 ");
    EXPECT_EQ(host.writes.size(), 4u);
}

TEST_F(EncoderRunner, ResultsTellHowEachRunEnded) {
    RunResult result = RunWithProgress(FakeCommand("--chunk \"size=      10kB time=0.50 \" --exit 3").c_str());
    EXPECT_TRUE(result.started && result.ended && !result.stopped);
    EXPECT_EQ(result.exitCode, 3u);
    EXPECT_TRUE(result.Failed());
    StopEncoder();

    // An encoder that prints nothing and exits: the step ends, nothing is parsed or logged.
    result = RunWithProgress(FakeCommand("").c_str());
    EXPECT_TRUE(host.writes.size() == 1u && !FileExists("log.txt"));
    EXPECT_TRUE(result.started && result.ended && !result.stopped);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_FALSE(result.Failed());
    StopEncoder();

    result = RunWithProgress("movara_no_such_encoder.exe");
    EXPECT_FALSE(result.started);
    EXPECT_TRUE(result.Failed());
    StopEncoder();

    result = RunHidden(FakeCommand("--exit 4").c_str());
    EXPECT_TRUE(result.started && result.ended && !result.stopped);
    EXPECT_EQ(result.exitCode, 4u);
    EXPECT_TRUE(result.Failed());

    result = RunHidden("movara_no_such_helper.exe");
    EXPECT_FALSE(result.started);
    EXPECT_TRUE(result.Failed());
}

TEST_F(EncoderRunner, AStoppedRunIsNoFailureWhateverItsExitCode) {
    host.onWrite = [](int, const ConversionTask&) {
        cancelRequested = true;
        StopEncoder();
    };
    RunResult result = RunWithProgress(
        FakeCommand("--chunk \"size=     100kB time=1.00 \" --wait-q 15000 --exit 6").c_str());
    EXPECT_TRUE(result.started && result.stopped);
    EXPECT_FALSE(result.Failed());
    // The encoder has been waited for: it is gone when the run returns.
    EXPECT_TRUE(result.ended);
    EXPECT_EQ(result.exitCode, 6u);

    result = RunHidden(FakeCommand("--silent 60000 --exit 7").c_str());
    EXPECT_TRUE(result.started && result.stopped);
    EXPECT_FALSE(result.Failed());
}

TEST_F(EncoderRunner, AfterTheLengthStopTheRunnerWaitsForTheEncoderToFinish) {
    // A two-stage task at its length: the engine sends "q"; this encoder takes 6 s to finish its file.
    host.tasks[0].needsExport = true;
    host.tasks[0].endTime = 1.0;
    const std::string record = PathOf("finished.txt");
    const RunResult result = RunWithProgress(
        FakeCommand("--chunk \"size=     100kB time=2.00 \" --wait-q 20000 --finish 6000 --record \"" + record + "\"")
            .c_str());
    EXPECT_TRUE(result.stopped);
    EXPECT_FALSE(result.Failed());
    // The encoder has ended: what it does last (writing its record) is already done.
    EXPECT_EQ(ReadWholeFile(record), "input:q\n");
}

TEST_F(EncoderRunner, TheHandOffWaitDispatchesMessagesAndStopsTheProgramAtTheLimit) {
    ASSERT_EQ(ReplaceSystemActions(nullptr), nullptr) << "the real actions are in place";
    int dispatched = 0;
    TestWindow window([&](UINT message, WPARAM) { dispatched += message == WM_APP + 7 ? 1 : 0; });
    PostMessageA(window.Handle(), WM_APP + 7, 0, 0);
    const std::string record = PathOf("record.txt");
    // Without the limit it would wait 20 s for a "q" that never comes, then write its record.
    SystemActions& actions = CurrentSystemActions();
    EXPECT_EQ(actions.RunAndWaitLimited(FakeCommand("--wait-q 20000 --record \"" + record + "\""), 300),
              SystemActions::WaitOutcome::TimedOut);
    EXPECT_EQ(dispatched, 1) << "the window was served while waiting";
    EXPECT_FALSE(FileExists(record)) << "the program was stopped";
    EXPECT_EQ(actions.RunAndWaitLimited(FakeCommand("--record \"" + record + "\""), 20000),
              SystemActions::WaitOutcome::Ended);
    EXPECT_EQ(ReadWholeFile(record), "input:\n");
    EXPECT_EQ(actions.RunAndWaitLimited("movara_no_such_program.exe", 1000), SystemActions::WaitOutcome::NotStarted);
}

TEST(LastErrorLine, TakesTheLastWholeErrorLine) {
    EXPECT_EQ(LastErrorLine("size=       1kB time=1.00\r\n"), "");
    EXPECT_EQ(LastErrorLine("error: first\r\nsize= 1kB\r\nerror: second\r\n"), "second");
    EXPECT_EQ(LastErrorLine("error: whole\nerror: still being writ"), "whole");
    EXPECT_EQ(LastErrorLine("no error: here\nerror: \n"), "");
}

TEST(ErrorLog, RecordLaysOutNameCodeAndMessage) {
    EXPECT_EQ(FormatApiErrorRecord("DupliateHandle", 6, "Invalid handle."),
              "ERROR:   API         =   DupliateHandle.\n"
              "       error   code   =   6.\n"
              "       message         =   Invalid handle..\n");
    // The code is printed signed, as the record always has.
    EXPECT_EQ(FormatApiErrorRecord(nullptr, 0x80070005ul, nullptr), "ERROR:   API         =   .\n"
                                                                    "       error   code   =   -2147024891.\n"
                                                                    "       message         =   .\n");
    const std::string cut = FormatApiErrorRecord("ReadFile", 109, std::string(600, 'x').c_str());
    EXPECT_EQ(cut.size(), 511u);
    EXPECT_EQ(cut.rfind("ERROR:   API         =   ReadFile.\n       error   code   =   109.\n", 0), 0u);
}

} // namespace
