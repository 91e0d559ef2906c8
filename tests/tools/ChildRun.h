#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A program run the way the engine runs the encoder: hidden, standard input a pipe we write,
// standard output and error read. Output and error are kept apart here so that a test can
// tell progress from the error line, and every piece read from the output is kept as it came.
struct ChildRun {
    bool started = false;
    DWORD exitCode = 0xFFFFFFFF;
    std::vector<std::string> outputPieces; // each ReadFile of standard output
    std::vector<ULONGLONG> pieceTicks;     // when each piece arrived (GetTickCount64)
    ULONGLONG startTick = 0;
    ULONGLONG endTick = 0; // when the program had ended
    std::string output;    // all of standard output
    std::string errors;    // all of standard error
};

struct ChildOptions {
    std::string currentDirectory;   // empty: ours
    std::string environmentPath;    // non-empty: PATH of the child, replacing ours
    bool closeInputAtStart = false; // the child reads end of file on its standard input
    // Called with all standard output so far after every piece; returning true writes "q"
    // to the child's standard input once.
    std::function<bool(const std::string&)> quitWhen;
    // The same, but the child is terminated.
    std::function<bool(const std::string&)> terminateWhen;
};

// Runs `commandLine` to its end (CreateProcess finds the program the usual way, so a bare
// "movenc" needs our current directory to be its folder, as the engine arranges).
ChildRun RunChild(const std::string& commandLine, const ChildOptions& options = {});

// The full path of `path`.
std::string FullPathOf(const std::string& path);

// The folder of the shipped programs, "...\dist\app\" with its trailing backslash.
std::string AppFolder();

// Lines of `text` without their line ends; a last line without one counts too.
std::vector<std::string> TextLines(const std::string& text);
