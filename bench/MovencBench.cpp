// Figures for the encoder front-end: the wall time of a conversion through movenc against
// ffmpeg alone with the same (translated) options, and how often progress lines come.
// Printed, never judged: the goal is a ratio of at most 1.03.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "bench/BenchTiming.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tools/movenc/FfmpegText.h"
#include "tools/movenc/OptionTranslation.h"

namespace {

constexpr int rounds = 5;

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream stream(text);
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

struct Preset {
    const char* name;
    const char* options; // between the input and the output, as the iPod presets write them
};

const Preset presets[] = {
    {"iPod H.264 320x240 576 kbps",
     "-vcodec h264 -coder 0 -vlevel 13 -bufsize 256 -g 250 -s 320x240 -r 29.97 -b 576 -aspect 4:3 -acodec aac -ac 2 "
     "-ab 128 -ar 44100 -vol 256"},
    {"iPod MPEG-4 320x240 768 kbps",
     "-vcodec xvid -s 320x240 -r 29.97 -b 768 -aspect 4:3 -acodec aac -ac 2 -ab 128 -ar 44100 -vol 384"},
};

} // namespace

// Wall time of a conversion through the front-end against ffmpeg alone.
void MovencBench() {
    const std::string app = AppFolder();
    const std::string ffmpeg = app + "ffmpeg.exe";
    const std::string folder = FullPathOf("movenc bench") + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string clip = folder + "source clip.avi";
    if (!MakeClip(clip, 30, "-s 640x480 -c:v mpeg4 -q:v 4 -c:a pcm_s16le")) {
        std::printf("movenc bench: the clip cannot be made\n");
        return;
    }

    const auto encoders = ParseEncoderList(RunChild("\"" + ffmpeg + "\" -hide_banner -encoders").output);
    const EncoderQuery hasEncoder = [&](std::string_view name) { return encoders.count(name) > 0; };

    std::printf("\nmovenc against ffmpeg alone, 30-second 640x480 clip, median of %d runs each:\n", rounds);
    for (const Preset& preset : presets) {
        const std::string throughFrontEnd = folder + "front-end.mp4";
        const std::string alone = folder + "alone.mp4";
        std::vector<std::string> arguments = Split(preset.options);
        arguments.insert(arguments.begin(), {"-i", clip});
        arguments.insert(arguments.end(), {"-y", alone});
        const OptionTranslation translation = TranslateOptions(arguments, hasEncoder);
        if (!translation.Succeeded()) {
            std::printf("movenc bench: %s\n", translation.error.c_str());
            return;
        }
        const std::string ffmpegCommand = JoinCommandLine(ffmpeg, translation.ffmpegArguments);
        const std::string movencCommand =
            "\"" + app + "movenc.exe\" -i \"" + clip + "\" " + preset.options + " -y \"" + throughFrontEnd + "\"";

        std::vector<double> frontEndSeconds, aloneSeconds, linesPerSecond, longestGap;
        for (int round = 0; round < rounds; ++round) {
            // Alternating, so that a slow spell of the shared machine hits both alike.
            const ChildRun a = RunChild(ffmpegCommand);
            const ChildRun m = RunChild(movencCommand);
            if (a.exitCode != 0 || m.exitCode != 0) {
                std::printf("movenc bench: a run failed: %s%s\n", a.errors.c_str(), m.errors.c_str());
                return;
            }
            aloneSeconds.push_back((a.endTick - a.startTick) / 1000.0);
            frontEndSeconds.push_back((m.endTick - m.startTick) / 1000.0);
            ULONGLONG gap = 0;
            for (std::size_t i = 1; i < m.pieceTicks.size(); ++i)
                gap = std::max(gap, m.pieceTicks[i] - m.pieceTicks[i - 1]);
            const double span = (m.pieceTicks.empty() ? 0 : m.pieceTicks.back() - m.pieceTicks.front()) / 1000.0;
            linesPerSecond.push_back(span > 0 ? (TextLines(m.output).size() - 1) / span : 0.0);
            longestGap.push_back(gap / 1000.0);
        }
        const double frontEnd = Median(frontEndSeconds);
        const double plain = Median(aloneSeconds);
        std::printf("  %-30s movenc %6.2f s   ffmpeg alone %6.2f s   ratio %.3f (goal <= 1.03)\n", preset.name,
                    frontEnd, plain, plain > 0 ? frontEnd / plain : 0.0);
        std::printf("  %-30s progress lines %.1f per second, longest gap %.2f s (goal: at least 2 per second)\n", "",
                    Median(linesPerSecond), Median(longestGap));
    }
}
