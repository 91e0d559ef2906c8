// The encoder front-end's readers of outside bytes: its arguments (profile commands carry the
// user's file names), ffmpeg's progress output, the files it checks; and the bridge's reading
// of the arguments it hands to the host ffmpeg.
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"

#include <algorithm>

#include "tools/movenc/ContainerCheck.h"
#include "tools/movenc/FfmpegProgressReader.h"
#include "tools/movenc/OptionTranslation.h"
#include "tools/winebridge/ArgumentKind.h"

// Arguments separated by NUL; the first byte says which encoders the installed ffmpeg has.
void Fuzz_movenc_arguments(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const auto encoders = input.Number<std::uint8_t>();
    const std::vector<std::string> arguments = input.Texts('\0');
    const OptionTranslation translation = TranslateOptions(arguments, [encoders](std::string_view name) {
        return ((encoders >> (name.size() % 8)) & 1) != 0;
    });
    if (translation.Succeeded()) {
        FUZZ_CHECK(!translation.outputFile.empty());
    }
}

// ffmpeg's output arrives in pieces of any size: fed whole or piece by piece it must give the
// same reports.
void Fuzz_ffmpeg_progress(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const auto piece = static_cast<std::size_t>(input.Number<std::uint8_t>() % 64 + 1);
    const std::string_view bytes = input.Rest();
    FfmpegProgressReader whole;
    const std::vector<ProgressSnapshot> expected = whole.Feed(bytes);
    FfmpegProgressReader pieces;
    std::vector<ProgressSnapshot> got;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        for (const ProgressSnapshot& s : pieces.Feed(bytes.substr(at, piece))) {
            got.push_back(s);
        }
    }
    FUZZ_CHECK(got == expected);
    for (const ProgressSnapshot& s : expected) {
        const std::string line = FormatProgressLine(s);
        FUZZ_CHECK(!line.empty() && line.back() == '\n');
    }
}

// A finished output file as movenc -verify reads it.
void Fuzz_container_check(const std::uint8_t* data, std::size_t size)
{
    const ContainerVerdict verdict =
        CheckContainer(size, [data, size](std::uint64_t offset, void* buffer, std::size_t count) -> std::size_t {
            if (offset >= size) {
                return 0;
            }
            const std::size_t n = std::min<std::uint64_t>(count, size - offset);
            std::memcpy(buffer, data + offset, n);
            return n;
        });
    if (size == 0) {
        FUZZ_CHECK(!verdict.known || !verdict.problem.empty());
    }
}

// Each argument after the one before it, as the bridge classifies a command line.
void Fuzz_bridge_arguments(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::vector<std::string> arguments = input.Texts('\0');
    const char* previous = nullptr;
    for (const std::string& argument : arguments) {
        const std::size_t start = PathStartOf(argument.c_str());
        FUZZ_CHECK(start <= argument.size());
        ClassifyArgument(previous, argument.c_str());
        previous = argument.c_str();
    }
}
