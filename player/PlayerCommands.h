#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// What the player control asks of ffmpeg and ffprobe, and how it reads their answers: plain
// text and numbers, no window, so that it is tested directly.

// What probing a file tells: its length and the first video stream's picture.
struct MediaInfo {
    double duration = 0.0;  // seconds; 0 when unknown
    double frameRate = 0.0; // frames a second of the first video stream; 0 when unknown
    int width = 0;
    int height = 0;
    bool hasVideo = false;
    bool hasAudio = false;
};

// The ffprobe arguments that print what MediaInfo holds, one "key=value" a line.
std::vector<std::string> ProbeArguments(const std::string& path);

// Reads ffprobe's answer to ProbeArguments. A file ffprobe could not read gives an answer
// without any of the keys: all zero.
MediaInfo ParseProbeOutput(std::string_view text);

// A rate as ffprobe writes it ("30000/1001", "25/1", "0/0", "25"); 0 when it is no rate.
double ParseRate(std::string_view text);

// A frame rate as ffmpeg's "-r" takes it: the NTSC rates exactly ("24000/1001" for 23.976),
// else the number itself.
std::string RateArgument(double framesPerSecond);

// A time in seconds as an ffmpeg argument ("1.500000").
std::string SecondsArgument(double seconds);

// A picture of `width` x `height` for the control: `source` scaled to fit inside with its
// shape kept, centred on black.
std::string FitFilter(int width, int height);

// The frames of start..start+length of `path`, scaled to width x height, as raw 32-bit BGRA
// on standard output: one frame when `still`, else every frame at `frameRate`.
struct DecodeRequest {
    std::string path;
    double start = 0.0;
    double length = 0.0;
    int width = 0;
    int height = 0;
    double frameRate = 25.0;
    bool still = true;
    bool lastFrame = false; // a still of the file's last frame, counted back from its end (start is not used)
};
std::vector<std::string> DecodeArguments(const DecodeRequest& request);

// The sound of the same range as 16-bit stereo PCM at 44100 Hz on standard output.
std::vector<std::string> SoundArguments(const DecodeRequest& request);

// Output formats of an export (the control's OutputFormat values).
namespace PlayerOutputFormat {
inline constexpr long mpeg = 6;
inline constexpr long avi = 8;
} // namespace PlayerOutputFormat

// A compressor the control lists: the name a user of the platform knows it by and the
// ffmpeg encoder behind it.
struct CodecEntry {
    std::string name;
    std::string encoder;
};

// The video and audio compressors, in the order listed, that the installed ffmpeg can
// encode into AVI (`encoders`: the names "ffmpeg -encoders" gives).
std::vector<CodecEntry> VideoCodecEntries(const std::set<std::string, std::less<>>& encoders);
std::vector<CodecEntry> AudioCodecEntries(const std::set<std::string, std::less<>>& encoders);

// An export of start..start+length of `path` into `output`.
struct ExportRequest {
    std::string path;
    double start = 0.0;
    double length = 0.0;
    std::string output;
    long format = PlayerOutputFormat::avi;
    int width = 320;
    int height = 240;
    double frameRate = 25.0;
    std::string videoEncoder; // AVI only; empty: the control's choice
    std::string audioEncoder;
    bool sourceHasAudio = true;
};

// The ffmpeg arguments of an export, reporting progress as "key=value" blocks on standard
// output four times a second. nullopt for a format the control does not make.
std::optional<std::vector<std::string>> ExportArguments(const ExportRequest& request);

// Reads ffmpeg's "-progress" output as it comes: feed it pieces, ask for the last time reached.
class ExportProgressReader {
public:
    // Takes a piece of output; true when it carried a new time.
    bool Feed(std::string_view piece);
    double Position() const { return position; }
    bool Ended() const { return ended; }

private:
    std::string pending;
    double position = 0.0;
    bool ended = false;
};

// Playback pacing: frame `index` of a run at `frameRate` is due `index / frameRate` seconds
// after the first. A frame that comes later than one frame period after it was due is
// dropped rather than shown late, so the picture never drifts behind the clock.
struct FramePacing {
    double frameRate = 25.0;
    double DueAt(long long index) const { return static_cast<double>(index) / frameRate; }
    bool TooLate(long long index, double elapsed) const { return elapsed > DueAt(index) + 1.0 / frameRate; }
};

// True for a start and end the control can open: finite, not negative, start not after end.
bool IsValidRange(double start, double end);
