// movenc: the encoder front-end that our profile commands run. It takes the option texts of
// the profiles, runs the installed ffmpeg with today's equivalents, and reports progress as
// "size=    1234kB time=12.34" lines that the engine reads; "q" on its standard input makes
// ffmpeg finish the file early. On failure it writes one "error: ..." line and exits
// non-zero.
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/FileIdentity.h"
#include "tools/movenc/ContainerCheck.h"
#include "tools/movenc/EncoderListCache.h"
#include "tools/movenc/FfmpegProcess.h"
#include "tools/movenc/FfmpegText.h"
#include "tools/movenc/OptionTranslation.h"
#include "tools/movenc/OutputCheck.h"
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

// A temporary file of our own, removed when the run ends however it ends.
class TemporaryFile {
public:
    explicit TemporaryFile(const char* extension) {
        char folder[MAX_PATH] = {};
        char name[MAX_PATH] = {};
        if (GetTempPathA(MAX_PATH, folder) > 0 && GetTempFileNameA(folder, "mvn", 0, name) != 0) {
            DeleteFileA(name); // GetTempFileName made it; ours carries the right extension
            path = std::string(name) + extension;
        }
    }
    ~TemporaryFile() {
        if (!path.empty())
            DeleteFileA(path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    std::string path;
};

void ReplacePlaceholder(std::vector<std::string>& arguments, std::string_view placeholder, const std::string& path) {
    for (std::string& argument : arguments)
        if (argument == placeholder)
            argument = path;
}

bool NonEmptyFile(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
           (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0);
}

// "movenc -verify FILE": succeeds when FILE is whole. The last step of a pipeline uses it, so that
// a file no player can read is never reported as converted. MP4-family and PMP files are checked
// here by their structure; anything else goes to ffprobe, which must find a video or audio stream.
int Verify(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2)
        return Fail("use: movenc -verify FILE");
    const std::string& file = arguments[1];
    if (!IsFile(file))
        return Fail("\"" + file + "\" does not exist");

    HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return Fail("cannot read \"" + file + "\": " + SystemErrorText(GetLastError()));
    LARGE_INTEGER size = {};
    GetFileSizeEx(handle, &size);
    const ContainerVerdict verdict =
        CheckContainer(static_cast<std::uint64_t>(size.QuadPart), [&](std::uint64_t offset, void* buffer,
                                                                        std::size_t count) -> std::size_t {
            LARGE_INTEGER at = {};
            at.QuadPart = static_cast<LONGLONG>(offset);
            DWORD got = 0;
            if (!SetFilePointerEx(handle, at, nullptr, FILE_BEGIN) ||
                !ReadFile(handle, buffer, static_cast<DWORD>(count), &got, nullptr))
                return 0;
            return got;
        });
    CloseHandle(handle);
    if (verdict.known)
        return verdict.problem.empty() ? 0 : Fail("\"" + file + "\" is not a playable video: " + verdict.problem);

    const std::string ffprobe = FindProgram("ffprobe.exe", ModuleFolder());
    if (ffprobe.empty())
        return Fail("ffprobe.exe was found neither beside movenc.exe nor on the PATH");
    const std::string streams = CaptureOutput(
        ffprobe, JoinCommandLine(ffprobe, {"-v", "error", "-show_entries", "stream=codec_type", "-of", "csv=p=0", file}));
    if (streams.find("video") == std::string::npos && streams.find("audio") == std::string::npos)
        return Fail("\"" + file + "\" is not a playable video");
    return 0;
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 2] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof(full), full, nullptr);
    return length > 0 && length < sizeof(full) ? std::string(full, length) : path;
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

// The folder a file would be written into, when it does not exist; empty otherwise.
std::string MissingFolderOf(const std::string& file) {
    const std::string full = FullPath(file);
    const std::size_t slash = full.find_last_of("\\/");
    if (slash == std::string::npos)
        return {};
    const std::string folder = full.substr(0, slash + 1);
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return {};
    return folder;
}

ProbedFile Probe(const std::string& ffprobe, const std::string& file) {
    std::string errors;
    const std::string text = CaptureOutput(ffprobe,
                                           JoinCommandLine(ffprobe, {"-v", "error", "-show_entries",
                                                                     "stream=codec_type:format=duration", "-of",
                                                                     "default=nw=1", file}),
                                           INFINITE, &errors);
    return ParseProbeOutput(text, errors);
}

// The look at the output of a run that ffmpeg called a success: empty when it holds what
// was asked for, else the reason it does not. Without ffprobe there is nothing to look with.
std::string CheckOutput(const OptionTranslation& translation, const std::string& output,
                        const std::string& errorOutput) {
    const std::string ffprobe = FindProgram("ffprobe.exe", ModuleFolder());
    if (ffprobe.empty() || output.empty())
        return {};
    OutputFacts facts;
    facts.output = translation.outputFile;
    facts.source = translation.inputFiles.empty() ? std::string() : translation.inputFiles[0];
    facts.videoExpected = !translation.videoDisabled;
    facts.firstInputError = FfmpegErrorLine(errorOutput);
    facts.written = Probe(ffprobe, output);
    facts.expectedSeconds = std::nan("");
    if (!translation.framesLimited && translation.inputFiles.size() == 1 && translation.inputFormats[0].empty()) {
        const std::string source = LocalFilePath(translation.inputFiles[0]);
        const double start = translation.start.empty() ? 0.0 : TimeSeconds(translation.start);
        const double length = translation.length.empty() ? std::nan("") : TimeSeconds(translation.length);
        const double sourceLength = source.empty() ? std::nan("") : Probe(ffprobe, source).duration;
        // What is left of the source after the start, cut to the length asked for.
        double expected = std::isfinite(sourceLength) ? sourceLength - (std::isfinite(start) ? start : 0.0) : length;
        if (std::isfinite(length) && std::isfinite(expected))
            expected = std::fmin(expected, length);
        facts.expectedSeconds = expected;
    }
    return JudgeOutput(facts);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && arguments[0] == "-verify")
        return Verify(arguments);
    // "movenc -print ...": the command lines it would run, one a line, and nothing run; the
    // temporary files of the AMR step appear as their placeholders.
    const bool printOnly = !arguments.empty() && arguments[0] == "-print";
    if (printOnly)
        arguments.erase(arguments.begin());

    const std::string ffmpeg = FindProgram("ffmpeg.exe", ModuleFolder());
    const std::string amrnbenc = FindProgram("amrnbenc.exe", ModuleFolder());
    if (ffmpeg.empty())
        return Fail("ffmpeg.exe was found neither beside movenc.exe nor on the PATH");

    // Listing the encoders costs an ffmpeg start, so it happens only when a choice needs it,
    // and the answer is kept for later runs.
    std::optional<EncoderSet> encoders;
    const EncoderQuery hasEncoder = [&](std::string_view name) {
        if (name == amrnbencEncoder)
            return !amrnbenc.empty();
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
    // Printing runs nothing, so the inputs need not exist yet (a later step's working file).
    if (printOnly) {
        std::string lines;
        if (!translation.amrDecodeArguments.empty()) {
            lines += JoinCommandLine(ffmpeg, translation.amrDecodeArguments) + "\r\n";
            lines += JoinCommandLine(amrnbenc, {"-b", std::to_string(translation.amrBitrate),
                                                std::string(amrWavPlaceholder), std::string(amrFilePlaceholder)}) +
                     "\r\n";
        }
        lines += JoinCommandLine(ffmpeg, translation.ffmpegArguments) + "\r\n";
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
        return 0;
    }

    // Every local file the command reads is checked against the one it writes, by identity
    // as well as by name: a format given for an input, a "file:" in front of a name, a hard
    // link or a short name must not let ffmpeg write over its own input.
    const std::string output = LocalFilePath(translation.outputFile);
    for (std::size_t i = 0; i < translation.inputFiles.size(); ++i) {
        const std::string input = LocalFilePath(translation.inputFiles[i]);
        if (input.empty())
            continue;
        // With a format given, an input may name something else than a file ("-f lavfi").
        if (translation.inputFormats[i].empty()) {
            const std::string problem = InputProblem(input);
            if (!problem.empty())
                return Fail("cannot read the input file \"" + translation.inputFiles[i] + "\": " + problem);
        }
        if (!output.empty() && IsSameFile(input, output))
            return Fail("the output file \"" + translation.outputFile + "\" is the input file; it is not overwritten");
    }
    if (!output.empty()) {
        // Refused before ffmpeg starts: under Wine it would write such a name as it stands, beside the folder's files.
        const std::string nameProblem = WindowsNameProblem(output);
        if (!nameProblem.empty())
            return Fail("the output file \"" + translation.outputFile + "\" cannot be written: " + nameProblem);
        const std::string missing = MissingFolderOf(output);
        if (!missing.empty())
            return Fail("the output folder \"" + missing + "\" does not exist");
    }

    std::vector<std::string> ffmpegArguments = translation.ffmpegArguments;
    TemporaryFile wav(".wav"), amr(".amr");
    if (!translation.amrDecodeArguments.empty()) {
        // AMR-NB through amrnbenc: decode, encode, then the main run copies the result in.
        std::vector<std::string> decode = translation.amrDecodeArguments;
        ReplacePlaceholder(decode, amrWavPlaceholder, wav.path);
        const std::string decodeErrors = CaptureOutput(ffmpeg, JoinCommandLine(ffmpeg, decode));
        if (!NonEmptyFile(wav.path)) {
            const std::string reason = FfmpegErrorLine(decodeErrors);
            return Fail(reason.empty() ? "the audio could not be decoded for AMR-NB" : reason);
        }
        const std::string encodeErrors = CaptureOutput(
            amrnbenc, JoinCommandLine(amrnbenc, {"-b", std::to_string(translation.amrBitrate), wav.path, amr.path}));
        if (!NonEmptyFile(amr.path))
            return Fail(encodeErrors.empty() ? "amrnbenc could not encode the audio" : FfmpegErrorLine(encodeErrors));
        ReplacePlaceholder(ffmpegArguments, amrFilePlaceholder, amr.path);
    }

    FfmpegProcess run;
    std::string startError;
    if (!run.Start(ffmpeg, JoinCommandLine(ffmpeg, ffmpegArguments), startError))
        return Fail(startError);

    ProgressRelay relay(GetStdHandle(STD_OUTPUT_HANDLE), GetStdHandle(STD_INPUT_HANDLE));
    std::string errorOutput;
    const DWORD exitCode = relay.Run(run, errorOutput);
    // A run ended early by "q" is meant to be short.
    if (exitCode == 0) {
        const std::string problem = relay.QuitPassedOn() ? std::string() : CheckOutput(translation, output, errorOutput);
        return problem.empty() ? 0 : Fail(problem);
    }
    const std::string reason = FfmpegErrorLine(errorOutput);
    Fail(reason.empty() ? "ffmpeg ended with exit code " + std::to_string(exitCode) : reason);
    return static_cast<int>(exitCode);
}
