#pragma once
// Running programs from a test the way the engine runs them: hidden, standard input a pipe we write, standard
// output and error read. And clips for the programs to convert, made by the shipped ffmpeg.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct ChildRun {
    bool started = false;
    DWORD startError = 0; // GetLastError of a CreateProcess that failed
    DWORD exitCode = 0xFFFFFFFF;
    DWORD processId = 0;
    std::vector<std::string> outputPieces; // each ReadFile of standard output
    std::vector<ULONGLONG> pieceTicks;     // when each piece arrived (GetTickCount64), for the benchmarks
    ULONGLONG startTick = 0;
    ULONGLONG endTick = 0; // when the program had ended
    std::string output;    // all of standard output (and error, with errorsIntoOutput)
    std::string errors;    // all of standard error
};

struct ChildOptions {
    std::string currentDirectory;   // empty: ours
    std::string environmentPath;    // non-empty: PATH of the child, replacing ours
    bool closeInputAtStart = false; // the child reads end of file on its standard input
    bool errorsIntoOutput = false;  // one pipe for both, in the order written
    // Called with all standard output so far after every piece; returning true writes "q" to the child's
    // standard input once.
    std::function<bool(const std::string&)> quitWhen;
    // The same, but the child is terminated (exit code 9). The process id is the child's.
    std::function<bool(const std::string&, DWORD processId)> terminateWhen;
};

// Runs commandLine to its end (CreateProcess finds the program the usual way).
ChildRun RunChild(const std::string& commandLine, const ChildOptions& options = {});

// Runs commandLine with nothing on its standard input and its output and errors read together, in directory
// unless that is empty.
inline ChildRun RunCommand(const std::string& commandLine, const std::string& directory = {}) {
    ChildOptions options;
    options.currentDirectory = directory;
    options.closeInputAtStart = true;
    options.errorsIntoOutput = true;
    return RunChild(commandLine, options);
}

// The build folder, with its trailing backslash, found from the running program.
std::string BuildFolder();
// The folder of the shipped programs, "<build>\dist\app\".
std::string AppFolder();

enum class ClipContent { PictureAndTone, Picture, Tone };

// A clip made by the shipped ffmpeg from its test sources: `seconds` of test picture (320x240, 25 frames a second)
// and a 440 Hz stereo tone at 44.1 kHz; codecs are ffmpeg options such as "-c:v mpeg4 -c:a pcm_s16le", which may
// scale and resample. True when the file was made.
bool MakeClip(const std::string& path, double seconds, const std::string& codecs,
              ClipContent content = ClipContent::PictureAndTone);

// ffprobe's compact view of path: "stream|codec|..." lines and "format|..." (entries e.g. "stream=codec_name").
std::string Probe(const std::string& path, const std::string& entries);
// The duration in a Probe that asked for format=duration; -1 when there is none.
double ProbedDuration(const std::string& probe);
