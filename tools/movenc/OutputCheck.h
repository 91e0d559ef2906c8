#pragma once

#include <string>
#include <string_view>

// The look at a finished ffmpeg run: ffmpeg exits 0 also when it gave up halfway through a
// damaged source, or wrote a file without the video it was asked for, and such a file must
// not count as converted. Plain values in and out; Main gathers them with ffprobe.

// Seconds of a time as ffmpeg reads it: "12.5", "01:02:03", "01:02:03.50", "02:03". Not a
// number (NaN) when the text is no such time.
double TimeSeconds(std::string_view text);

// What ffprobe says of a file: its streams and its duration (NaN when it gives none).
struct ProbedFile {
    bool video = false;
    bool audio = false;
    double duration = 0.0;
    std::string unreadable; // why ffprobe could not read the file at all; empty when it could
};

// Reads "ffprobe -show_entries stream=codec_type:format=duration -of default=nw=1" output.
// A file ffprobe could read always has a duration line (perhaps "N/A"); without one the
// file is unreadable, for the reason its error output gives (`errors`).
ProbedFile ParseProbeOutput(std::string_view text, std::string_view errors = {});

// Everything the verdict needs.
struct OutputFacts {
    std::string source;            // the input, as given
    std::string output;            // the output, as given
    double expectedSeconds = 0.0;  // what the output should hold; NaN: not known, not checked
    ProbedFile written;            // the output as ffprobe sees it
    bool videoExpected = false;    // video was neither turned off nor limited to a few frames
    std::string firstInputError;   // the first error ffmpeg logged during the run; empty: none
};

// Empty when the output is what was asked for; otherwise the reason, for the "error:" line.
// An output ffprobe could not read at all fails with ffprobe's reason. A file without video where video was asked for fails; so does a file far shorter than
// the length asked for (over a second and over a tenth short), which is told as a damaged
// source when ffmpeg logged errors while reading it.
std::string JudgeOutput(const OutputFacts& facts);

// Why Windows would not write a file by this name, or empty text: a character it forbids in names (one of <>:"|?*
// or a control character; ":" only after a drive letter), or a folder or file name ending in a space or a dot, which
// Windows drops, so that the file would land under another name than the one asked for. Bytes of UTF-8 characters
// are all 0x80 and above: any other name passes.
std::string WindowsNameProblem(std::string_view path);
