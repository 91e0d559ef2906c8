#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Turns the option texts of our profile commands (old ffmpeg spellings such as "-vcodec xvid",
// "-vlevel 13", "-b 576", "-vol 256") into the arguments today's ffmpeg understands.
//
// The translation is a pure function of the argument list and of the encoders the installed
// ffmpeg offers, so that it can be tested without running anything.

// Answers whether the installed ffmpeg lists an encoder by that name. Asked only where a
// choice depends on it (xvid: libxvid or the built-in mpeg4), so that the common commands
// need no extra ffmpeg run.
using EncoderQuery = std::function<bool(std::string_view encoderName)>;

struct OptionTranslation {
    std::vector<std::string> ffmpegArguments; // without the program name
    std::vector<std::string> inputFiles;      // as given, in order
    std::vector<std::string> inputFormats;    // "-f" given for each input; empty: a file to probe
    std::string outputFile;                   // as given

    // What the output should hold, for the look at it after the run. With one input only:
    // the start and length asked for, as given (empty when none).
    std::string start;
    std::string length;
    bool videoDisabled = false; // "-vn"
    bool framesLimited = false; // "-vframes": a few pictures, no length to speak of
    std::string error;                        // empty when the translation succeeded

    // AMR-NB through our own encoder, for an ffmpeg without one: decode the audio to a WAV file
    // with these arguments, encode it with amrnbenc at amrBitrate bits per second, then run
    // ffmpegArguments, which take the AMR file as an extra input and copy its audio. The
    // placeholders stand for the two temporary files.
    std::vector<std::string> amrDecodeArguments; // empty: no AMR step
    long amrBitrate = 12200;

    bool Succeeded() const { return error.empty(); }
};

// The arguments that make ffmpeg report machine-readable progress on its standard output,
// a block of key=value lines four times a second, and keep everything else but errors off
// its standard error. Standard input stays open: "q" there stops it.
inline constexpr std::string_view progressArguments[] = {
    "-hide_banner", "-nostats", "-loglevel", "error", "-progress", "pipe:1", "-stats_period", "0.25",
};

// Stand-ins for the temporary files of the AMR step, replaced by the caller.
inline constexpr std::string_view amrWavPlaceholder = "<movenc-wav>";
inline constexpr std::string_view amrFilePlaceholder = "<movenc-amr>";

// The name under which the query is asked whether our own AMR-NB encoder is at hand.
inline constexpr std::string_view amrnbencEncoder = "amrnbenc";

// `arguments` are the front-end's own arguments, without its program name.
OptionTranslation TranslateOptions(const std::vector<std::string>& arguments, const EncoderQuery& hasEncoder);
