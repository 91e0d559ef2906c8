#include "tools/movenc/OptionTranslation.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace {

struct InputFile {
    std::vector<std::string> options; // input options given before its "-i"
    std::string path;
    std::string format;
    bool hasStart = false;
};

// What the command asks for, gathered option by option; the ffmpeg arguments are written
// from it once everything is known, since some depend on options that come later (the
// AVC line's "-bufsize" needs the bit rate that follows it).
struct Request {
    std::vector<InputFile> inputs;
    InputFile pending;                      // options waiting for the next "-i"
    std::vector<std::string> outputOptions; // passed on in the order given
    std::string outputStart;                // "-ss" given after the input
    std::string videoEncoder;
    bool xvidFallback = false; // xvid asked for, built-in mpeg4 used
    std::string videoBitrate;
    std::string coder;
    std::string level;
    std::string bufferSize;
    std::string volume; // volume filter factor; empty: unchanged
    std::string audioEncoder;
    std::string outputFormat;
    bool overwrite = false;
    bool audioDisabled = false;
    std::vector<std::string> outputs;
    std::string error;
};

bool IsDigits(std::string_view text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "29.97", "25", "30000/1001".
bool IsRate(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash != std::string_view::npos)
        return IsDigits(text.substr(0, slash)) && IsDigits(text.substr(slash + 1));
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos)
        return IsDigits(text);
    return IsDigits(text.substr(0, dot)) && IsDigits(text.substr(dot + 1));
}

// "320x240", or one of ffmpeg's size names ("qcif", "vga").
bool IsFrameSize(std::string_view text) {
    const std::size_t x = text.find('x');
    if (x != std::string_view::npos && IsDigits(text.substr(0, x)) && IsDigits(text.substr(x + 1)))
        return true;
    return !text.empty() && text.size() <= 16 &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::islower(static_cast<unsigned char>(c)); });
}

// "4:3", "16:9", "1.7777".
bool IsAspect(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos)
        return IsDigits(text.substr(0, colon)) && IsDigits(text.substr(colon + 1));
    return IsRate(text);
}

// "hh:mm:ss", "mm:ss", "12.5": what " -ss %02d:%02d:%02d" and friends produce.
bool IsTime(std::string_view text) {
    return !text.empty() && text.size() <= 20 && (text[0] >= '0' && text[0] <= '9') &&
           std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == ':' || c == '.'; });
}

// "-map" stream specifiers: "0:v", "1:a?", "0:a:1".
bool IsStreamMap(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || !IsDigits(text.substr(0, colon)) || text.size() > 16)
        return false;
    std::string_view rest = text.substr(colon + 1);
    if (!rest.empty() && rest.back() == '?')
        rest.remove_suffix(1);
    return !rest.empty() && (rest[0] == 'v' || rest[0] == 'a') &&
           (rest.size() == 1 || (rest[1] == ':' && IsDigits(rest.substr(2))));
}

// Format and codec names: letters, digits and underscores.
bool IsName(std::string_view text) {
    return !text.empty() && text.size() <= 32 && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

// A bit rate as the old options wrote it: a bare number counts kilobits, as in "-b 576";
// a number with a unit letter is passed on. A bare number of 100000 and more can only be
// meant as bits per second, as later versions read it.
bool ToBitrate(std::string_view text, std::string& result) {
    if (IsDigits(text)) {
        result = std::string(text);
        if (text.size() < 6)
            result += 'k';
        return true;
    }
    if (text.size() >= 2 && (IsDigits(text.substr(0, text.size() - 1)) ||
                             (IsRate(text.substr(0, text.size() - 1)) && text.find('/') == std::string_view::npos))) {
        const char unit = text.back();
        if (unit == 'k' || unit == 'K' || unit == 'M') {
            result = std::string(text.substr(0, text.size() - 1)) + (unit == 'M' ? 'M' : 'k');
            return true;
        }
    }
    return false;
}

// N/256 written exactly: the fraction of 256ths has at most eight decimals.
std::string VolumeFactor(unsigned long n) {
    std::string text = std::to_string(n / 256);
    unsigned long fraction = (n % 256) * 390625UL; // (n % 256) / 256 in units of 1e-8
    if (fraction != 0) {
        std::string digits = std::to_string(fraction);
        digits.insert(0, 8 - digits.size(), '0');
        digits.erase(digits.find_last_not_of('0') + 1);
        text += '.' + digits;
    }
    return text;
}

void BadValue(Request& r, std::string_view option, const std::string& value) {
    r.error = "bad value \"" + value + "\" for option \"" + std::string(option) + "\"";
}

// The old codec names and the encoders that stand for them today, best first. Where there
// is more than one, the installed ffmpeg is asked which it has; a single one is used
// without asking, and ffmpeg itself reports it when it is missing.
struct CodecChoice {
    std::string_view given;
    std::array<std::string_view, 2> encoders;
};

constexpr CodecChoice videoCodecs[] = {
    {"xvid", {"libxvid", "mpeg4"}},     {"h264", {"libx264", ""}}, {"libx264", {"libx264", ""}},
    {"mpeg4", {"mpeg4", ""}},           {"h263", {"h263", ""}},    {"mpeg2video", {"mpeg2video", ""}},
    {"mpeg1video", {"mpeg1video", ""}}, {"mjpeg", {"mjpeg", ""}},  {"copy", {"copy", ""}},
};

constexpr CodecChoice audioCodecs[] = {
    {"aac", {"aac", ""}},
    {"mp3", {"libmp3lame", "libshine"}},
    {"amr_nb", {"libopencore_amrnb", amrnbencEncoder}},
    {"mp2", {"mp2", ""}},
    {"ac3", {"ac3", ""}},
    {"pcm", {"pcm_s16le", ""}},
    {"pcm_s16le", {"pcm_s16le", ""}},
    {"copy", {"copy", ""}},
};

// The encoder for `given`, or empty text with r.error set.
template <std::size_t N>
std::string ChooseEncoder(Request& r, const CodecChoice (&table)[N], std::string_view kind, const std::string& given,
                          const EncoderQuery& hasEncoder) {
    for (const CodecChoice& choice : table) {
        if (choice.given != given)
            continue;
        if (choice.encoders[1].empty())
            return std::string(choice.encoders[0]);
        for (std::string_view encoder : choice.encoders)
            if (!encoder.empty() && hasEncoder && hasEncoder(encoder))
                return std::string(encoder);
        r.error = "this ffmpeg has no encoder for " + std::string(kind) + " codec \"" + given + "\"";
        return {};
    }
    r.error = "unknown " + std::string(kind) + " codec \"" + given + "\"";
    return {};
}

struct Context {
    Request& request;
    const EncoderQuery& hasEncoder;
    bool inputFollows = false; // an "-i" comes later: positional options belong to it
};

using Handler = void (*)(Context&, std::string_view option, std::string_view param, const std::string& value);

void AddInput(Context& c, std::string_view, std::string_view, const std::string& value) {
    Request& r = c.request;
    r.pending.path = value;
    r.inputs.push_back(std::move(r.pending));
    r.pending = InputFile{};
}

// Before an input, "-f" names the input's format; after it, the output's.
void SetFormat(Context& c, std::string_view option, std::string_view, const std::string& value) {
    Request& r = c.request;
    if (!IsName(value))
        return BadValue(r, option, value);
    if (c.inputFollows) {
        r.pending.options.insert(r.pending.options.end(), {"-f", value});
        r.pending.format = value;
        return;
    }
    r.outputFormat = value;
}

void SetStart(Context& c, std::string_view option, std::string_view, const std::string& value) {
    Request& r = c.request;
    if (!IsTime(value))
        return BadValue(r, option, value);
    // A start of zero is no start at all; passed on, it makes ffmpeg seek, and a seek to 0 in
    // a file without an index (FLV) lands anywhere.
    if (value.find_first_not_of("0:.") == std::string::npos)
        return;
    if (c.inputFollows) {
        r.pending.options.insert(r.pending.options.end(), {"-ss", value});
        r.pending.hasStart = true;
        return;
    }
    r.outputStart = value;
}

// Options of the next input when one follows, else of the output (a length: "-t").
void PassInputOrOutputTime(Context& c, std::string_view option, std::string_view param, const std::string& value) {
    Request& r = c.request;
    if (!IsTime(value))
        return BadValue(r, option, value);
    std::vector<std::string>& target = c.inputFollows ? r.pending.options : r.outputOptions;
    target.insert(target.end(), {std::string(param), value});
}

void PassInputFlag(Context& c, std::string_view option, std::string_view param, const std::string&) {
    if (!c.inputFollows) {
        c.request.error = "option \"" + std::string(option) + "\" must come before \"-i\"";
        return;
    }
    c.request.pending.options.emplace_back(param);
}

void PassFlag(Context& c, std::string_view, std::string_view param, const std::string&) {
    if (param == "-an")
        c.request.audioDisabled = true;
    c.request.outputOptions.emplace_back(param);
}

void SetOverwrite(Context& c, std::string_view, std::string_view, const std::string&) {
    c.request.overwrite = true;
}

void SetVideoCodec(Context& c, std::string_view, std::string_view, const std::string& value) {
    Request& r = c.request;
    r.videoEncoder = ChooseEncoder(r, videoCodecs, "video", value, c.hasEncoder);
    r.xvidFallback = value == "xvid" && r.videoEncoder == "mpeg4";
}

void SetAudioCodec(Context& c, std::string_view, std::string_view, const std::string& value) {
    Request& r = c.request;
    r.audioEncoder = ChooseEncoder(r, audioCodecs, "audio", value, c.hasEncoder);
}

// "-coder 0" is CAVLC entropy coding (no CABAC), "-coder 1" CABAC.
void SetCoder(Context& c, std::string_view option, std::string_view, const std::string& value) {
    if (value != "0" && value != "1")
        return BadValue(c.request, option, value);
    c.request.coder = value;
}

// "-vlevel 13" is level 1.3: the old option wrote the level times ten.
void SetLevel(Context& c, std::string_view option, std::string_view, const std::string& value) {
    Request& r = c.request;
    if (IsDigits(value) && value.size() <= 2) {
        r.level = value.size() == 2 ? std::string{value[0], '.', value[1]} : value;
        return;
    }
    if (IsRate(value) && value.find('.') != std::string::npos)
        return void(r.level = value);
    BadValue(r, option, value);
}

// "-bufsize 256" is a VBV buffer of 256 kilobits.
void SetBufferSize(Context& c, std::string_view option, std::string_view, const std::string& value) {
    if (!ToBitrate(value, c.request.bufferSize))
        BadValue(c.request, option, value);
}

void SetVideoBitrate(Context& c, std::string_view option, std::string_view, const std::string& value) {
    if (!ToBitrate(value, c.request.videoBitrate))
        BadValue(c.request, option, value);
}

void PassBitrate(Context& c, std::string_view option, std::string_view param, const std::string& value) {
    std::string bitrate;
    if (!ToBitrate(value, bitrate))
        return BadValue(c.request, option, value);
    c.request.outputOptions.insert(c.request.outputOptions.end(), {std::string(param), bitrate});
}

// Passes an option on under its new name once its value has the expected form.
template <bool (*Valid)(std::string_view)>
void PassChecked(Context& c, std::string_view option, std::string_view param, const std::string& value) {
    if (!Valid(value))
        return BadValue(c.request, option, value);
    c.request.outputOptions.insert(c.request.outputOptions.end(), {std::string(param), value});
}

// "-vol N": N/256 of the original loudness, 256 leaving it as it is.
void SetVolume(Context& c, std::string_view option, std::string_view, const std::string& value) {
    if (!IsDigits(value))
        return BadValue(c.request, option, value);
    const unsigned long n = std::stoul(value);
    c.request.volume = n == 256 ? std::string() : VolumeFactor(n);
}

// Moves the MP4/3GP index to the front, so that a phone can play the file while it arrives.
void SetFastStart(Context& c, std::string_view, std::string_view, const std::string&) {
    c.request.outputOptions.insert(c.request.outputOptions.end(), {"-movflags", "+faststart"});
}

void SetMetadata(Context& c, std::string_view, std::string_view param, const std::string& value) {
    c.request.outputOptions.insert(c.request.outputOptions.end(), {"-metadata", std::string(param) + "=" + value});
}

struct OptionRule {
    std::string_view name;
    bool takesValue;
    Handler handler;
    std::string_view param; // the ffmpeg option or metadata key the handler writes
};

// Every option the front-end accepts. A new one is one line here.
constexpr OptionRule optionRules[] = {
    {"-i", true, AddInput, ""},
    {"-f", true, SetFormat, ""},
    {"-ss", true, SetStart, ""},
    {"-t", true, PassInputOrOutputTime, "-t"},
    {"-re", false, PassInputFlag, "-re"},
    {"-y", false, SetOverwrite, ""},
    {"-vcodec", true, SetVideoCodec, ""},
    {"-acodec", true, SetAudioCodec, ""},
    {"-coder", true, SetCoder, ""},
    {"-vlevel", true, SetLevel, ""},
    {"-bufsize", true, SetBufferSize, ""},
    {"-g", true, PassChecked<IsDigits>, "-g"},
    {"-s", true, PassChecked<IsFrameSize>, "-s"},
    {"-r", true, PassChecked<IsRate>, "-r"},
    {"-b", true, SetVideoBitrate, ""},
    {"-aspect", true, PassChecked<IsAspect>, "-aspect"},
    {"-vframes", true, PassChecked<IsDigits>, "-frames:v"},
    {"-vn", false, PassFlag, "-vn"},
    {"-ac", true, PassChecked<IsDigits>, "-ac"},
    {"-ab", true, PassBitrate, "-b:a"},
    {"-ar", true, PassChecked<IsDigits>, "-ar"},
    {"-vol", true, SetVolume, ""},
    {"-an", false, PassFlag, "-an"},
    {"-map", true, PassChecked<IsStreamMap>, "-map"},
    {"-faststart", false, SetFastStart, ""},
    {"-title", true, SetMetadata, "title"},
    {"-comment", true, SetMetadata, "comment"},
    {"-author", true, SetMetadata, "artist"},
    {"-album", true, SetMetadata, "album"},
    {"-copyright", true, SetMetadata, "copyright"},
};

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
    if (text.size() < ending.size())
        return false;
    return std::equal(
        ending.begin(), ending.end(), text.end() - static_cast<std::ptrdiff_t>(ending.size()), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        });
}

// The value of an output option pair, or empty text.
std::string OutputOption(const Request& r, std::string_view name) {
    for (std::size_t i = 0; i + 1 < r.outputOptions.size(); i += 1)
        if (r.outputOptions[i] == name)
            return r.outputOptions[i + 1];
    return {};
}

// The input the audio comes from: the first "-map N:a", else the first input.
std::size_t AudioInput(const Request& r) {
    for (std::size_t i = 0; i + 1 < r.outputOptions.size(); ++i) {
        const std::string& value = r.outputOptions[i + 1];
        const std::size_t colon = value.find(':');
        if (r.outputOptions[i] == "-map" && colon != std::string::npos && value.compare(colon + 1, 1, "a") == 0) {
            const std::size_t index = std::stoul(value.substr(0, colon));
            return index < r.inputs.size() ? index : 0;
        }
    }
    return 0;
}

// Our own AMR-NB step, for an ffmpeg without an AMR-NB encoder: the audio is decoded to 8000 Hz
// mono (volume applied), encoded by amrnbenc, and the main run copies it from the AMR file,
// added as the last input, instead of encoding the audio itself.
void WriteAmrStep(Request& r, OptionTranslation& result) {
    const InputFile& audio = r.inputs[AudioInput(r)];
    std::vector<std::string>& decode = result.amrDecodeArguments;
    decode = {"-hide_banner", "-nostats", "-loglevel", "error", "-y"};
    if (!r.outputStart.empty() && !audio.hasStart)
        decode.insert(decode.end(), {"-ss", r.outputStart});
    decode.insert(decode.end(), audio.options.begin(), audio.options.end());
    decode.insert(decode.end(), {"-i", audio.path, "-vn", "-ac", "1", "-ar", "8000"});
    const std::string length = OutputOption(r, "-t");
    if (!length.empty())
        decode.insert(decode.end(), {"-t", length});
    if (!r.volume.empty())
        decode.insert(decode.end(), {"-af", "volume=" + r.volume});
    decode.insert(decode.end(), {"-c:a", "pcm_s16le", "-f", "wav", std::string(amrWavPlaceholder)});

    const std::string bitrate = OutputOption(r, "-b:a");
    if (!bitrate.empty()) {
        const double value = std::stod(bitrate);
        const char unit = bitrate.back();
        result.amrBitrate = static_cast<long>(value * (unit == 'k' ? 1000 : unit == 'M' ? 1000000 : 1));
    }

    // The main run: audio maps now point at the AMR file; everything that would re-encode or
    // filter the audio goes, since it is copied.
    const std::string amrIndex = std::to_string(r.inputs.size());
    std::vector<std::string> options;
    bool mapped = false;
    for (std::size_t i = 0; i < r.outputOptions.size(); ++i) {
        const std::string& option = r.outputOptions[i];
        const bool pair = i + 1 < r.outputOptions.size();
        if (pair && (option == "-ar" || option == "-ac" || option == "-b:a")) {
            ++i;
            continue;
        }
        if (pair && option == "-map") {
            mapped = true;
            const std::string& value = r.outputOptions[++i];
            const std::size_t colon = value.find(':');
            if (value.compare(colon + 1, 1, "a") == 0)
                continue;
            options.insert(options.end(), {"-map", value});
            continue;
        }
        options.push_back(option);
    }
    if (!mapped)
        options.insert(options.end(), {"-map", "0:v?"});
    options.insert(options.end(), {"-map", amrIndex + ":a"});
    r.outputOptions = std::move(options);
    r.audioEncoder = "copy";
    r.volume.clear();
    InputFile amr;
    amr.path = std::string(amrFilePlaceholder);
    r.inputs.push_back(amr);
}

void WriteArguments(const Request& r, std::vector<std::string>& out) {
    out.assign(std::begin(progressArguments), std::end(progressArguments));
    // Without "-y" ffmpeg would ask on the console whether to overwrite; "-n" makes it fail.
    out.emplace_back(r.overwrite ? "-y" : "-n");

    // With one input, a start given after it seeks in the input: ffmpeg then skips to it
    // instead of decoding and dropping everything before it.
    const bool seekInput = !r.outputStart.empty() && r.inputs.size() == 1 && !r.inputs[0].hasStart;
    for (const InputFile& input : r.inputs) {
        if (seekInput)
            out.insert(out.end(), {"-ss", r.outputStart});
        out.insert(out.end(), input.options.begin(), input.options.end());
        out.insert(out.end(), {"-i", input.path});
    }
    if (!r.outputStart.empty() && !seekInput)
        out.insert(out.end(), {"-ss", r.outputStart});

    if (!r.videoEncoder.empty())
        out.insert(out.end(), {"-c:v", r.videoEncoder});
    if (!r.videoBitrate.empty())
        out.insert(out.end(), {"-b:v", r.videoBitrate});
    if (r.videoEncoder == "libx264") {
        // Players of this class decode 4:2:0 only; an RGB source would otherwise give 4:4:4.
        out.insert(out.end(), {"-pix_fmt", "yuv420p"});
        if (r.coder == "0") // no CABAC: the baseline profile these players decode
            out.insert(out.end(), {"-coder", "cavlc", "-profile:v", "baseline"});
        else if (r.coder == "1")
            out.insert(out.end(), {"-coder", "cabac"});
        if (!r.level.empty())
            out.insert(out.end(), {"-level", r.level});
        if (!r.bufferSize.empty()) {
            out.insert(out.end(), {"-bufsize", r.bufferSize});
            // x264 enforces a VBV buffer only together with a maximum rate.
            if (!r.videoBitrate.empty())
                out.insert(out.end(), {"-maxrate", r.videoBitrate});
        }
    }
    // The XVID tag only means something in AVI; MP4 insists on its own tag for MPEG-4.
    const bool avi = r.outputFormat == "avi" || (r.outputFormat.empty() && EndsWithNoCase(r.outputs[0], ".avi"));
    if (r.xvidFallback && avi)
        out.insert(out.end(), {"-vtag", "XVID"});

    if (!r.audioEncoder.empty())
        out.insert(out.end(), {"-c:a", r.audioEncoder});
    if (!r.volume.empty() && !r.audioDisabled)
        out.insert(out.end(), {"-af", "volume=" + r.volume});

    out.insert(out.end(), r.outputOptions.begin(), r.outputOptions.end());
    if (!r.outputFormat.empty())
        out.insert(out.end(), {"-f", r.outputFormat});
    out.push_back(r.outputs[0]);
}

const OptionRule* FindRule(std::string_view name) {
    const auto rule = std::find_if(std::begin(optionRules), std::end(optionRules),
                                   [&](const OptionRule& r) { return r.name == name; });
    return rule == std::end(optionRules) ? nullptr : rule;
}

// Where the last "-i" stands, values skipped; 0 when there is none.
std::size_t LastInputPosition(const std::vector<std::string>& arguments) {
    std::size_t last = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const OptionRule* rule = FindRule(arguments[i]);
        if (rule != nullptr && rule->name == "-i")
            last = i;
        if (rule != nullptr && rule->takesValue)
            ++i;
    }
    return last;
}

bool HasOption(const std::vector<std::string>& options, std::string_view name) {
    return std::find(options.begin(), options.end(), name) != options.end();
}

// The value after the first `name` in a list of options; empty when it is not there.
std::string OptionValue(const std::vector<std::string>& options, std::string_view name) {
    const auto at = std::find(options.begin(), options.end(), name);
    return at == options.end() || at + 1 == options.end() ? std::string() : *(at + 1);
}

} // namespace

OptionTranslation TranslateOptions(const std::vector<std::string>& arguments, const EncoderQuery& hasEncoder) {
    OptionTranslation result;
    Request request;
    Context context{request, hasEncoder};
    const std::size_t lastInput = LastInputPosition(arguments);
    for (std::size_t i = 0; i < arguments.size() && request.error.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.size() < 2 || argument[0] != '-') {
            request.outputs.push_back(argument);
            continue;
        }
        context.inputFollows = i < lastInput;
        const OptionRule* rule = FindRule(argument);
        if (rule == nullptr) {
            request.error = "unknown option \"" + argument + "\"";
            break;
        }
        std::string value;
        // A source already cut to its range gets its start and length as blanks from the engine
        // ("-ss   -t  "): such an option without its value means the whole input.
        const bool timeOption = rule->name == "-ss" || rule->name == "-t";
        if (timeOption && (i + 1 >= arguments.size() || (arguments[i + 1].size() > 1 && arguments[i + 1][0] == '-' &&
                                                          !IsTime(arguments[i + 1].substr(1)))))
            continue;
        if (rule->takesValue) {
            if (i + 1 >= arguments.size()) {
                request.error = "option \"" + argument + "\" needs a value";
                break;
            }
            value = arguments[++i];
        }
        rule->handler(context, rule->name, rule->param, value);
    }

    if (request.error.empty() && request.inputs.empty())
        request.error = "no input file";
    if (request.error.empty() && request.outputs.empty())
        request.error = "no output file";
    if (request.error.empty() && request.outputs.size() > 1)
        request.error = "more than one output file (\"" + request.outputs[0] + "\", \"" + request.outputs[1] + "\")";
    // "" names no file; ffmpeg would fail on it with a cause that shows no name at all.
    if (request.error.empty() &&
        std::any_of(request.inputs.begin(), request.inputs.end(), [](const InputFile& in) { return in.path.empty(); }))
        request.error = "empty input file name";
    if (request.error.empty() && request.outputs[0].empty())
        request.error = "empty output file name";
    if (!request.error.empty()) {
        result.error = request.error;
        return result;
    }

    const std::vector<InputFile> givenInputs = request.inputs;
    if (request.audioEncoder == amrnbencEncoder && !request.audioDisabled)
        WriteAmrStep(request, result);
    WriteArguments(request, result.ffmpegArguments);
    for (const InputFile& input : givenInputs) {
        result.inputFiles.push_back(input.path);
        result.inputFormats.push_back(input.format);
    }
    result.outputFile = request.outputs[0];
    result.videoDisabled = HasOption(request.outputOptions, "-vn");
    result.framesLimited = HasOption(request.outputOptions, "-frames:v");
    if (givenInputs.size() == 1) {
        result.start = !request.outputStart.empty() ? request.outputStart : OptionValue(givenInputs[0].options, "-ss");
        result.length = OptionValue(request.outputOptions, "-t");
        if (result.length.empty())
            result.length = OptionValue(givenInputs[0].options, "-t");
    }
    return result;
}
