// movenc: the encoder front-end that our profile commands run. It takes the option texts of
// the profiles, runs the installed ffmpeg with today's equivalents, and reports progress as
// "size=    1234kB time=12.34" lines that the engine reads; "q" on its standard input makes
// ffmpeg finish the file early. On failure it writes one "error: ..." line and exits
// non-zero.
#include <windows.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/movenc/EncoderListCache.h"
#include "tools/movenc/FfmpegProcess.h"
#include "tools/movenc/FfmpegText.h"
#include "tools/movenc/OptionTranslation.h"
#include "tools/movenc/ProgressRelay.h"

namespace {

constexpr int failureExitCode = 1;

int Fail(const std::string& message) {
    const std::string line = "error: " + message + "\r\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return failureExitCode;
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// ffmpeg.exe in our own folder (app\, beside the profiles), else wherever the system's
// search finds it: the current folder, the system folders, the PATH.
std::string FindFfmpeg() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::string beside(path, length);
        beside.erase(beside.find_last_of("\\/") + 1);
        beside += "ffmpeg.exe";
        if (IsFile(beside))
            return beside;
    }
    char found[MAX_PATH] = {};
    const DWORD foundLength = SearchPathA(nullptr, "ffmpeg.exe", nullptr, MAX_PATH, found, nullptr);
    if (foundLength > 0 && foundLength < MAX_PATH && IsFile(found))
        return found;
    return {};
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 2] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof(full), full, nullptr);
    return length > 0 && length < sizeof(full) ? std::string(full, length) : path;
}

// Volume and file number of an existing file, which also tell apart names that differ only
// in spelling (short names, links).
std::optional<std::pair<DWORD, ULONGLONG>> FileIdentity(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info = {};
    const BOOL ok = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!ok)
        return std::nullopt;
    return std::make_pair(info.dwVolumeSerialNumber,
                          (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
}

bool SameFile(const std::string& a, const std::string& b) {
    if (SameFileName(FullPath(a), FullPath(b)))
        return true;
    const auto first = FileIdentity(a);
    const auto second = FileIdentity(b);
    return first && second && *first == *second;
}

// Why an input file cannot be read, or empty text when it can.
std::string InputProblem(const std::string& path) {
    if (!IsFile(path) && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return "it is a folder";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return SystemErrorText(GetLastError());
    CloseHandle(file);
    return {};
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);

    const std::string ffmpeg = FindFfmpeg();
    if (ffmpeg.empty())
        return Fail("ffmpeg.exe was found neither beside movenc.exe nor on the PATH");

    // Listing the encoders costs an ffmpeg start, so it happens only when a choice needs it,
    // and the answer is kept for later runs.
    std::optional<EncoderSet> encoders;
    const EncoderQuery hasEncoder = [&](std::string_view name) {
        if (!encoders) {
            encoders = CachedEncoderList(EncoderCacheFile(), ffmpeg, [&] {
                return ParseEncoderList(CaptureOutput(ffmpeg, JoinCommandLine(ffmpeg, {"-hide_banner", "-encoders"})));
            });
        }
        return encoders->count(name) > 0;
    };
    const OptionTranslation translation = TranslateOptions(arguments, hasEncoder);
    if (!translation.Succeeded())
        return Fail(translation.error);

    for (std::size_t i = 0; i < translation.inputFiles.size(); ++i) {
        const std::string& input = translation.inputFiles[i];
        if (!translation.inputFormats[i].empty() || IsStreamInput(input))
            continue;
        const std::string problem = InputProblem(input);
        if (!problem.empty())
            return Fail("cannot read the input file \"" + input + "\": " + problem);
        if (!IsStreamInput(translation.outputFile) && SameFile(input, translation.outputFile))
            return Fail("the output file \"" + translation.outputFile + "\" is the input file; it is not overwritten");
    }

    FfmpegProcess run;
    std::string startError;
    if (!run.Start(ffmpeg, JoinCommandLine(ffmpeg, translation.ffmpegArguments), startError))
        return Fail(startError);

    ProgressRelay relay(GetStdHandle(STD_OUTPUT_HANDLE), GetStdHandle(STD_INPUT_HANDLE));
    std::string errorOutput;
    const DWORD exitCode = relay.Run(run, errorOutput);
    if (exitCode == 0)
        return 0;
    const std::string reason = FfmpegErrorLine(errorOutput);
    Fail(reason.empty() ? "ffmpeg ended with exit code " + std::to_string(exitCode) : reason);
    return static_cast<int>(exitCode);
}
