#pragma once

#include <windows.h>

#include <string>

// An ffmpeg run without a window, its standard input, output and error each a pipe of our
// own. It runs in a job that ends it when this process ends, so that an encoder front-end
// terminated by the engine never leaves ffmpeg writing on.
class FfmpegProcess {
public:
    FfmpegProcess() = default;
    FfmpegProcess(const FfmpegProcess&) = delete;
    FfmpegProcess& operator=(const FfmpegProcess&) = delete;
    ~FfmpegProcess();

    // Starts `commandLine`; false with the system's reason in `error` when it cannot.
    bool Start(const std::string& program, const std::string& commandLine, std::string& error);

    HANDLE Process() const { return process; }
    HANDLE Input() const { return input; }   // write end of its standard input
    HANDLE Output() const { return output; } // read end of its standard output
    HANDLE Error() const { return errors; }  // read end of its standard error

    // Closes its standard input: it reads end of file there.
    void CloseInput();

    // Its exit code once it has ended.
    DWORD ExitCode() const;

private:
    HANDLE process = nullptr;
    HANDLE job = nullptr;
    HANDLE input = nullptr;
    HANDLE output = nullptr;
    HANDLE errors = nullptr;
};

// The system's text for an error code, without the line end.
std::string SystemErrorText(DWORD code);

// Runs `commandLine` without a window and returns everything it wrote on its standard
// output; empty when it cannot be started. A program still running after `limitMs` is
// ended, and what it wrote until then is returned.
std::string CaptureOutput(const std::string& program, const std::string& commandLine, DWORD limitMs = INFINITE);

// A program in `firstFolder` (ending in a separator; empty: none), else wherever the system's
// search finds it: the program's own folder, the current folder, the system folders, the PATH.
// Empty when it is nowhere.
std::string FindProgram(const char* name, const std::string& firstFolder);

// The folder of the running program's file, with its trailing backslash.
std::string ModuleFolder();
