#include "tools/movenc/OutputCheck.h"

#include "tools/movenc/FfmpegText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// A file may end a little before the length asked for (the last frame, the audio's last
// block); only this much less counts as cut short.
constexpr double toleratedShortfallSeconds = 1.0;
constexpr double toleratedShortfallPart = 0.1;

bool ReadNumber(std::string_view text, double& value) {
    if (text.empty() || text.size() > 32 || text.find_first_not_of("0123456789.") != std::string_view::npos)
        return false;
    const std::string copy(text);
    char* end = nullptr;
    value = std::strtod(copy.c_str(), &end);
    return end == copy.c_str() + copy.size();
}

std::string Seconds(double value) {
    char text[32] = {};
    std::snprintf(text, sizeof(text), "%.2f s", value);
    return text;
}

} // namespace

double TimeSeconds(std::string_view text) {
    double total = 0.0;
    int parts = 0;
    for (;;) {
        const std::size_t colon = text.find(':');
        double part = 0.0;
        if (!ReadNumber(text.substr(0, colon), part) || ++parts > 3)
            return notANumber;
        total = total * 60.0 + part;
        if (colon == std::string_view::npos)
            return total;
        text.remove_prefix(colon + 1);
    }
}

ProbedFile ParseProbeOutput(std::string_view text, std::string_view errors) {
    ProbedFile file;
    file.duration = notANumber;
    bool durationLine = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        if (line == "codec_type=video")
            file.video = true;
        else if (line == "codec_type=audio")
            file.audio = true;
        else if (line.substr(0, 9) == "duration=") {
            durationLine = true;
            ReadNumber(line.substr(9), file.duration);
        }
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    if (!durationLine) {
        file.unreadable = FfmpegErrorLine(errors);
        if (file.unreadable.empty())
            file.unreadable = "ffprobe said nothing of it";
    }
    return file;
}

std::string JudgeOutput(const OutputFacts& facts) {
    if (!facts.written.unreadable.empty())
        return "ffprobe cannot read the output file \"" + facts.output + "\": " + facts.written.unreadable;
    if (facts.videoExpected && !facts.written.video)
        return "the output file \"" + facts.output + "\" holds no video stream";
    const double expected = facts.expectedSeconds;
    const double got = facts.written.duration;
    if (!std::isfinite(expected) || expected <= 0.0)
        return {};
    const double tolerated = std::fmax(toleratedShortfallSeconds, expected * toleratedShortfallPart);
    const double reached = std::isfinite(got) ? got : 0.0;
    if (reached >= expected - tolerated)
        return {};
    if (!facts.firstInputError.empty())
        return "the source \"" + facts.source + "\" is damaged: the conversion stopped at " + Seconds(reached) +
               " of " + Seconds(expected) + " (" + facts.firstInputError + ")";
    return "the output file \"" + facts.output + "\" holds only " + Seconds(reached) + " of the " + Seconds(expected) +
           " asked for";
}

std::string WindowsNameProblem(std::string_view path) {
    std::size_t start = 0;
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
        start = 2;
    std::size_t nameStart = start;
    for (std::size_t i = start; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/') {
            const std::string_view name = path.substr(nameStart, i - nameStart);
            if (!name.empty() && name != "." && name != ".." && (name.back() == ' ' || name.back() == '.'))
                return "the name \"" + std::string(name) + "\" ends in " + (name.back() == ' ' ? "a space" : "a dot");
            nameStart = i + 1;
            continue;
        }
        const auto c = static_cast<unsigned char>(path[i]);
        if (c < 0x20 || std::string_view("<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos)
            return c < 0x20
                       ? std::string("it holds a control character")
                       : "it holds \"" + std::string(1, static_cast<char>(c)) + "\", which Windows file names cannot";
    }
    return {};
}
