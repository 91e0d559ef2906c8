// A stand-in for the external encoder, told by its arguments what to do.
//
//   --log FILE        append this run's command line to FILE (one line per run)
//   --write FILE      create FILE (may repeat); done first, like an encoder opening its output
//   --silent MS       print nothing for MS milliseconds before the first chunk
//   --chunk TEXT      print TEXT in one write (may repeat; "\n" in TEXT becomes a line feed)
//   --interval MS     pause between chunks (default 50)
//   --wait-q MS       after the chunks, wait up to MS milliseconds for "q"
//   --record FILE     at the end, append "input:<bytes received on stdin>" to FILE
//   --exit N          exit code (default 0)
//   --progress MS     after the chunks, print a progress line like the encoder front-end's
//                     ("size=" the kB right-aligned in 8, "kB time=" the seconds) every
//                     interval for MS milliseconds, counting 50 kB and 1 s of media per line
//   --burn            spin the processor instead of sleeping while waiting, like an encoder
//   --pid FILE        write this process's id to FILE first, before anything else
//   --wait-file FILE  before the silent time, wait (up to a minute, or until "q") until FILE exists
//   --stats FILE      at the end, append "printed:<chunks and lines written> cpu:<seconds of
//                     processor time used>" to FILE
//   --trace FILE      first, append "<role> <tag>" to FILE: the role is "progress" when both
//                     standard input and standard output are pipes (the engine's encoder run),
//                     "hidden" otherwise (a helper run without pipes)
//   --tag TEXT        the tag of the --trace line (default "-")
//   --exit-if A B     use the --exit code only when A and B are the same text, 0 otherwise
//                     (lets one command fail for one task of a run and not for the others)
//   --finish MS       when "q" ended the run, go on for MS milliseconds before the end, like
//                     an encoder finishing its file
//   --linger MS       first, start a copy of this program that holds our standard output and
//                     error for MS milliseconds after we end, as a helper left behind would;
//                     its process id goes to the --pid file after ours
//
// Standard input is read by a thread of its own, so "q" is seen at once whatever the main
// thread is doing; "q" ends the program at the next check.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

std::mutex inputLock;
std::string inputReceived;
std::atomic<bool> quitSeen{false};

void ReadInput()
{
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[64] = {};
    DWORD got = 0;
    while (in != nullptr && in != INVALID_HANDLE_VALUE && ReadFile(in, buffer, sizeof(buffer), &got, nullptr) &&
           got > 0) {
        std::lock_guard<std::mutex> lock(inputLock);
        inputReceived.append(buffer, got);
        if (inputReceived.find('q') != std::string::npos)
            quitSeen = true;
    }
}

void AppendLine(const std::string& path, const std::string& line)
{
    if (FILE* f = std::fopen(path.c_str(), "ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out.push_back('\n');
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

bool burnWhileWaiting = false;

// Sleeps (or spins, with --burn) for 10 ms.
void WaitAStep()
{
    if (!burnWhileWaiting) {
        Sleep(10);
        return;
    }
    const DWORD start = GetTickCount();
    volatile unsigned sink = 0;
    while (GetTickCount() - start < 10)
        for (unsigned i = 0; i < 1000; ++i)
            sink = sink + i;
}

// Waits up to ms, in small steps, returning early when "q" arrives and is obeyed.
bool SleepUnlessQuit(int ms, bool obeyQuit)
{
    for (int waited = 0; waited < ms; waited += 10) {
        if (obeyQuit && quitSeen)
            return false;
        WaitAStep();
    }
    return !(obeyQuit && quitSeen);
}

double OwnCpuSeconds()
{
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return -1.0;
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

bool WriteText(HANDLE out, const std::string& text)
{
    DWORD written = 0;
    return WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != FALSE;
}

} // namespace

int main(int argc, char** argv)
{
    std::string logPath, recordPath, pidPath, statsPath, tracePath, waitFile, tag = "-";
    std::vector<std::string> writes, chunks;
    int silentMs = 0, intervalMs = 50, waitQuitMs = 0, exitCode = 0, progressMs = 0;
    const bool obeyQuit = true;
    bool exitCondition = false, exitOnlyIf = false;
    int finishMs = 0, lingerMs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--log" && hasValue) logPath = argv[++i];
        else if (arg == "--write" && hasValue) writes.push_back(argv[++i]);
        else if (arg == "--silent" && hasValue) silentMs = std::atoi(argv[++i]);
        else if (arg == "--chunk" && hasValue) chunks.push_back(Unescape(argv[++i]));
        else if (arg == "--interval" && hasValue) intervalMs = std::atoi(argv[++i]);
        else if (arg == "--wait-q" && hasValue) waitQuitMs = std::atoi(argv[++i]);
        else if (arg == "--record" && hasValue) recordPath = argv[++i];
        else if (arg == "--exit" && hasValue) exitCode = std::atoi(argv[++i]);
        else if (arg == "--progress" && hasValue) progressMs = std::atoi(argv[++i]);
        else if (arg == "--burn") burnWhileWaiting = true;
        else if (arg == "--pid" && hasValue) pidPath = argv[++i];
        else if (arg == "--wait-file" && hasValue) waitFile = argv[++i];
        else if (arg == "--stats" && hasValue) statsPath = argv[++i];
        else if (arg == "--trace" && hasValue) tracePath = argv[++i];
        else if (arg == "--tag" && hasValue) tag = argv[++i];
        else if (arg == "--finish" && hasValue) finishMs = std::atoi(argv[++i]);
        else if (arg == "--linger" && hasValue) lingerMs = std::atoi(argv[++i]);
        else if (arg == "--exit-if" && i + 2 < argc) {
            exitOnlyIf = std::string(argv[i + 1]) == argv[i + 2];
            exitCondition = true;
            i += 2;
        }
        // Anything else is an encoder option the fake does not care about.
    }

    if (!pidPath.empty())
        AppendLine(pidPath, std::to_string(GetCurrentProcessId()));
    if (lingerMs > 0) {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string line = "\"" + std::string(self) + "\" --silent " + std::to_string(lingerMs);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION helper = {};
        if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &helper)) {
            if (!pidPath.empty())
                AppendLine(pidPath, std::to_string(helper.dwProcessId));
            CloseHandle(helper.hThread);
            CloseHandle(helper.hProcess);
        }
    }
    if (!tracePath.empty()) {
        const bool piped = GetFileType(GetStdHandle(STD_INPUT_HANDLE)) == FILE_TYPE_PIPE &&
                           GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_PIPE;
        AppendLine(tracePath, std::string(piped ? "progress " : "hidden ") + tag);
    }
    if (!logPath.empty())
        AppendLine(logPath, GetCommandLineA());
    for (const std::string& path : writes)
        AppendLine(path, "fake encoder output");

    std::thread reader(ReadInput);
    reader.detach(); // may stay blocked in ReadFile; the process ends it

    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    int printed = 0;
    bool running = true;
    for (int waited = 0; running && !waitFile.empty() && waited < 60000 &&
                         GetFileAttributesA(waitFile.c_str()) == INVALID_FILE_ATTRIBUTES;
         waited += 10)
        running = SleepUnlessQuit(10, obeyQuit);
    running = running && SleepUnlessQuit(silentMs, obeyQuit);
    for (size_t i = 0; running && i < chunks.size(); ++i) {
        printed += WriteText(out, chunks[i]) ? 1 : 0;
        if (i + 1 < chunks.size() || progressMs > 0)
            running = SleepUnlessQuit(intervalMs, obeyQuit);
    }
    const DWORD progressStart = GetTickCount();
    for (int line = 1; running && progressMs > 0 && GetTickCount() - progressStart < static_cast<DWORD>(progressMs);
         ++line) {
        char text[64] = {};
        std::snprintf(text, sizeof(text), "size=%8dkB time=%.2f\r\n", line * 50, line * 1.0);
        printed += WriteText(out, text) ? 1 : 0;
        running = SleepUnlessQuit(intervalMs, obeyQuit);
    }
    if (running)
        running = SleepUnlessQuit(waitQuitMs, obeyQuit);
    if (!running && quitSeen)
        Sleep(static_cast<DWORD>(finishMs));

    if (!recordPath.empty()) {
        // Give a "q" written just before the end a moment to arrive.
        Sleep(20);
        std::lock_guard<std::mutex> lock(inputLock);
        AppendLine(recordPath, "input:" + inputReceived);
    }
    if (!statsPath.empty())
        AppendLine(statsPath, "printed:" + std::to_string(printed) + " cpu:" + std::to_string(OwnCpuSeconds()));
    std::fflush(nullptr);
    if (exitCondition && !exitOnlyIf)
        exitCode = 0;
    ExitProcess(static_cast<UINT>(exitCode));
}
