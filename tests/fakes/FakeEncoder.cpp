// A stand-in for the external encoder, told by its arguments what to do, in this order:
//   --pid FILE        append this process's id to FILE
//   --linger MS       start a copy of this program that holds our standard output and error for MS ms after we end,
//                     as a helper left behind would; its id goes to the --pid file too
//   --trace FILE      append "<role> <tag>" (--tag TEXT, default "-"): "progress" when standard input and output are
//                     pipes (the engine's encoder run), "hidden" otherwise
//   --write FILE      append the command line to FILE (may repeat)
//   --silent MS       print nothing for MS ms
//   --chunk TEXT      print TEXT in one write (may repeat; "\n" becomes a line feed); after each, pause --interval MS
//                     (default 50) or, with --ack NAME, take a count of that semaphore: the reader's "handled it"
//   --progress MS     then print "size=" kB in 8 "kB time=" seconds lines every interval for MS ms, 50 kB and 1 s each
//   --wait-q MS       then wait up to MS ms for "q"; --finish MS: after a "q", go on for MS ms finishing the file
//   --record FILE     append "input:<bytes received on stdin>"; --stats FILE: "printed:<writes> cpu:<seconds>"
//   --exit N          exit code (default 0); --exit-if A B: use it only when A and B are the same text
//   --burn            spin the processor instead of sleeping through pauses
// Standard input is read by a thread of its own: every wait ends as soon as "q" arrives.
#include <windows.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

std::mutex inputLock;
std::string inputReceived;
std::atomic<bool> quitSeen{false};
const HANDLE quitEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
bool burn = false;

void ReadInput() {
    char buffer[64] = {};
    DWORD got = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        std::lock_guard<std::mutex> lock(inputLock);
        inputReceived.append(buffer, got);
        if (inputReceived.find('q') != std::string::npos && !quitSeen.exchange(true))
            SetEvent(quitEvent);
    }
}

void AppendLine(const std::string& path, const std::string& line) {
    if (FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

// Pauses for ms unless "q" comes; false when it came. With --burn the processor spins through the pause.
bool Pause(int ms) {
    const DWORD start = GetTickCount();
    for (volatile unsigned sink = 0; burn && !quitSeen && GetTickCount() - start < DWORD(ms);)
        sink = sink + 1;
    if (!burn)
        WaitForSingleObject(quitEvent, DWORD(ms));
    return !quitSeen;
}

double OwnCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) { return (double(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7; };
    return seconds(kernel) + seconds(user);
}

bool Print(const std::string& text) {
    DWORD written = 0;
    return WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), DWORD(text.size()), &written, nullptr) != FALSE;
}

} // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> option = {{"--tag", "-"}, {"--interval", "50"}};
    std::vector<std::string> writes, chunks;
    bool exitOnlyIf = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--burn")
            burn = true;
        else if (arg == "--exit-if" && i + 2 < argc)
            exitOnlyIf = std::string(argv[i + 1]) == argv[i + 2], i += 2;
        else if (arg == "--write" && i + 1 < argc)
            writes.push_back(argv[++i]);
        else if (arg == "--chunk" && i + 1 < argc) {
            std::string text = argv[++i];
            for (size_t at; (at = text.find("\\n")) != std::string::npos;)
                text.replace(at, 2, "\n");
            chunks.push_back(text);
        } else if (arg.rfind("--", 0) == 0 && i + 1 < argc && argv[i + 1][0] != '-')
            option[arg] = argv[++i];
        // Anything else is an encoder option the fake does not care about.
    }
    auto ms = [&](const char* name) { return std::atoi(option[name].c_str()); };

    AppendLine(option["--pid"], std::to_string(GetCurrentProcessId()));
    if (ms("--linger") > 0) {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string line = "\"" + std::string(self) + "\" --silent " + option["--linger"];
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION helper = {};
        if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &helper))
            AppendLine(option["--pid"], std::to_string(helper.dwProcessId));
    }
    const bool piped = GetFileType(GetStdHandle(STD_INPUT_HANDLE)) == FILE_TYPE_PIPE &&
                       GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_PIPE;
    AppendLine(option["--trace"], (piped ? "progress " : "hidden ") + option["--tag"]);
    for (const std::string& path : writes)
        AppendLine(path, GetCommandLineA());
    std::thread(ReadInput).detach(); // may stay blocked in ReadFile; the process ends it

    const HANDLE ack =
        option["--ack"].empty() ? nullptr : CreateSemaphoreA(nullptr, 0, LONG_MAX, option["--ack"].c_str());
    bool running = Pause(ms("--silent"));
    int printed = 0;
    for (size_t i = 0; running && i < chunks.size(); ++i) {
        printed += Print(chunks[i]);
        const HANDLE countOrQuit[] = {ack, quitEvent};
        if (ack)
            running = WaitForMultipleObjects(2, countOrQuit, FALSE, 15000) == WAIT_OBJECT_0 || !quitSeen;
        else if (i + 1 < chunks.size() || ms("--progress") > 0)
            running = Pause(ms("--interval"));
    }
    const DWORD progressStart = GetTickCount();
    for (int line = 1; running && GetTickCount() - progressStart < DWORD(ms("--progress")); ++line) {
        char text[64] = {};
        std::snprintf(text, sizeof(text), "size=%8dkB time=%.2f\r\n", line * 50, line * 1.0);
        printed += Print(text);
        running = Pause(ms("--interval"));
    }
    if (running)
        running = Pause(ms("--wait-q"));
    if (quitSeen) // nothing compares this time: it only has to outlast the engine's wait after a Stop
        Sleep(DWORD(ms("--finish")));
    {
        std::lock_guard<std::mutex> lock(inputLock);
        AppendLine(option["--record"], "input:" + inputReceived);
    }
    AppendLine(option["--stats"], "printed:" + std::to_string(printed) + " cpu:" + std::to_string(OwnCpuSeconds()));
    ExitProcess(exitOnlyIf ? UINT(ms("--exit")) : 0u);
}
