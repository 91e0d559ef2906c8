#pragma once

#include <windows.h>

#include <string>

// An ffmpeg run without a window or a console, its standard input, output and error each a
// pipe of our own. It runs in a job that ends it when this process ends, so that an encoder
// front-end terminated by the engine never leaves ffmpeg writing on.
class FfmpegProcess {
public:
    FfmpegProcess() = default;
    FfmpegProcess(const FfmpegProcess&) = delete;
    FfmpegProcess& operator=(const FfmpegProcess&) = delete;
    ~FfmpegProcess();

    // Starts `commandLine`; false with the system's reason in `error` when it cannot.
    bool Start(const std::string& program, const std::string& commandLine, std::string& error);

    HANDLE Process() const { return process; }
    HANDLE Input() const { return input; } // write end of its standard input

    // Read what it wrote on its standard output or error: wait until there is some, and give
    // false at the end. The end is the moment it has ended and all it wrote has been read,
    // whoever else may still hold a copy of its end of the pipe, so that a reader can always
    // be joined once the process is gone. One reader at a time for each of the two.
    bool ReadOutput(void* into, DWORD size, DWORD& got);
    bool ReadErrors(void* into, DWORD size, DWORD& got);

    // Closes its standard input: it reads end of file there.
    void CloseInput();

    // Its exit code once it has ended.
    DWORD ExitCode() const;

private:
    bool ReadPipe(HANDLE pipe, HANDLE done, void* into, DWORD size, DWORD& got);

    HANDLE process = nullptr;
    HANDLE job = nullptr;
    HANDLE input = nullptr;
    HANDLE output = nullptr; // our ends of its output and error, opened for overlapped reads
    HANDLE errors = nullptr;
    HANDLE outputRead = nullptr; // the events those reads complete
    HANDLE errorsRead = nullptr;
};

// The system's text for an error code, without the line end.
std::string SystemErrorText(DWORD code);

// Runs `commandLine` without a window and returns everything it wrote on its standard
// output; empty when it cannot be started. A program still running after `limitMs` is
// ended, and what it wrote until then is returned. What it wrote on its standard error goes
// to `errorOutput` when one is given ("cannot start ..." when it could not be started).
std::string CaptureOutput(const std::string& program, const std::string& commandLine, DWORD limitMs = INFINITE,
                          std::string* errorOutput = nullptr);

// A program in `firstFolder` (ending in a separator; empty: none), else wherever the system's
// search finds it: the program's own folder, the current folder, the system folders, the PATH.
// Empty when it is nowhere.
std::string FindProgram(const char* name, const std::string& firstFolder);

// The folder of the running program's file, with its trailing backslash.
std::string ModuleFolder();
