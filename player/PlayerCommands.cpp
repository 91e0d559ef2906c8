#include "player/PlayerCommands.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

double ParseNumber(std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (end == copy.c_str() || !std::isfinite(value))
        return 0.0;
    return value;
}

} // namespace

std::vector<std::string> ProbeArguments(const std::string& path) {
    return {"-v",
            "error",
            "-show_entries",
            "format=duration:stream=codec_type,avg_frame_rate,r_frame_rate,width,height",
            "-of",
            "default=noprint_wrappers=1",
            path};
}

double ParseRate(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return ParseNumber(text);
    const double numerator = ParseNumber(text.substr(0, slash));
    const double denominator = ParseNumber(text.substr(slash + 1));
    return denominator > 0.0 ? numerator / denominator : 0.0;
}

MediaInfo ParseProbeOutput(std::string_view text) {
    MediaInfo info;
    // Streams come one after another, each starting with its codec_type line (ffprobe keeps
    // the order of -show_entries within a section, but codec_type may come anywhere): the
    // keys of one stream are gathered until the next codec_type.
    std::string streamType;
    double averageRate = 0.0;
    double baseRate = 0.0;
    int width = 0;
    int height = 0;
    bool videoTaken = false;
    auto finishStream = [&] {
        if (streamType == "video" && !videoTaken) {
            videoTaken = true;
            info.hasVideo = true;
            info.frameRate = averageRate > 0.0 ? averageRate : baseRate;
            info.width = width;
            info.height = height;
        } else if (streamType == "audio") {
            info.hasAudio = true;
        }
        streamType.clear();
        averageRate = baseRate = 0.0;
        width = height = 0;
    };
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);
        if (key == "codec_type") {
            if (!streamType.empty())
                finishStream();
            streamType = std::string(value);
        } else if (key == "avg_frame_rate") {
            averageRate = ParseRate(value);
        } else if (key == "r_frame_rate") {
            baseRate = ParseRate(value);
        } else if (key == "width") {
            width = static_cast<int>(ParseNumber(value));
        } else if (key == "height") {
            height = static_cast<int>(ParseNumber(value));
        } else if (key == "duration") {
            const double seconds = ParseNumber(value);
            info.duration = seconds > 0.0 ? seconds : 0.0;
        }
    }
    if (!streamType.empty())
        finishStream();
    // A rate ffmpeg reports for a stream without a real one (1000 for some FLV, 90000 for
    // a badly muxed MPEG) would make playback ask for thousands of frames a second.
    if (info.frameRate > 120.0 || info.frameRate < 1.0)
        info.frameRate = info.hasVideo ? 25.0 : 0.0;
    return info;
}

std::string RateArgument(double framesPerSecond) {
    if (std::fabs(framesPerSecond - 24000.0 / 1001.0) < 0.002)
        return "24000/1001";
    if (std::fabs(framesPerSecond - 30000.0 / 1001.0) < 0.002)
        return "30000/1001";
    if (std::fabs(framesPerSecond - 60000.0 / 1001.0) < 0.002)
        return "60000/1001";
    char text[32] = {};
    std::snprintf(text, sizeof(text), "%.3f", framesPerSecond);
    return text;
}

std::string SecondsArgument(double seconds) {
    char text[32] = {};
    std::snprintf(text, sizeof(text), "%.6f", seconds);
    return text;
}

std::string FitFilter(int width, int height) {
    const std::string w = std::to_string(width);
    const std::string h = std::to_string(height);
    return "scale=" + w + ":" + h + ":force_original_aspect_ratio=decrease:flags=bilinear,pad=" + w + ":" + h +
           ":(ow-iw)/2:(oh-ih)/2:black,setsar=1";
}

std::vector<std::string> DecodeArguments(const DecodeRequest& request) {
    std::vector<std::string> arguments = {"-nostdin", "-v", "error"};
    if (request.lastFrame) {
        // The last second, turned round: its first frame is the file's last.
        arguments.insert(arguments.end(), {"-sseof", "-1"});
    } else if (request.start > 0.0) {
        arguments.insert(arguments.end(), {"-ss", SecondsArgument(request.start)});
    }
    arguments.insert(arguments.end(), {"-i", request.path, "-map", "0:v:0", "-an", "-sn"});
    std::string filter = FitFilter(request.width, request.height);
    if (request.lastFrame)
        filter = "reverse," + filter;
    if (request.still) {
        arguments.insert(arguments.end(), {"-frames:v", "1"});
    } else {
        // A constant rate, so that frame n is due n / rate after the first.
        filter = "fps=" + RateArgument(request.frameRate) + "," + filter;
        if (request.length > 0.0)
            arguments.insert(arguments.end(), {"-t", SecondsArgument(request.length)});
    }
    arguments.insert(arguments.end(), {"-vf", filter, "-pix_fmt", "bgra", "-f", "rawvideo", "pipe:1"});
    return arguments;
}

std::vector<std::string> SoundArguments(const DecodeRequest& request) {
    std::vector<std::string> arguments = {"-nostdin", "-v", "error"};
    if (request.start > 0.0)
        arguments.insert(arguments.end(), {"-ss", SecondsArgument(request.start)});
    arguments.insert(arguments.end(), {"-i", request.path, "-map", "0:a:0", "-vn", "-sn"});
    if (request.length > 0.0)
        arguments.insert(arguments.end(), {"-t", SecondsArgument(request.length)});
    arguments.insert(arguments.end(), {"-ac", "2", "-ar", "44100", "-f", "s16le", "pipe:1"});
    return arguments;
}

std::vector<CodecEntry> VideoCodecEntries(const std::set<std::string, std::less<>>& encoders) {
    // The names are those the platform's own compressors go by, so that a caller that looks
    // for them finds the encoder that makes the same stream.
    static const CodecEntry known[] = {
        {"Microsoft MPEG-4 Video Codec V2", "msmpeg4v2"},
        {"Microsoft MPEG-4 Video Codec V3", "msmpeg4"},
        {"MPEG-4 Part 2 (DivX compatible)", "mpeg4"},
        {"Xvid MPEG-4 Codec", "libxvid"},
        {"Motion JPEG", "mjpeg"},
    };
    std::vector<CodecEntry> entries;
    for (const CodecEntry& entry : known)
        if (encoders.count(entry.encoder) > 0)
            entries.push_back(entry);
    return entries;
}

std::vector<CodecEntry> AudioCodecEntries(const std::set<std::string, std::less<>>& encoders) {
    static const CodecEntry known[] = {
        {"PCM", "pcm_s16le"},
        {"MPEG Layer-2", "mp2"},
        {"MPEG Layer-3 (LAME)", "libmp3lame"},
        {"Dolby AC-3", "ac3"},
    };
    std::vector<CodecEntry> entries;
    for (const CodecEntry& entry : known)
        if (encoders.count(entry.encoder) > 0)
            entries.push_back(entry);
    return entries;
}

std::optional<std::vector<std::string>> ExportArguments(const ExportRequest& request) {
    if (request.format != PlayerOutputFormat::avi && request.format != PlayerOutputFormat::mpeg)
        return std::nullopt;
    std::vector<std::string> arguments = {"-nostdin", "-v", "error", "-y"};
    if (request.start > 0.0)
        arguments.insert(arguments.end(), {"-ss", SecondsArgument(request.start)});
    arguments.insert(arguments.end(), {"-i", request.path});
    if (request.length > 0.0)
        arguments.insert(arguments.end(), {"-t", SecondsArgument(request.length)});
    arguments.insert(arguments.end(), {"-map", "0:v:0"});
    if (request.sourceHasAudio)
        arguments.insert(arguments.end(), {"-map", "0:a:0"});
    arguments.insert(arguments.end(), {"-sn", "-vf",
                                       "scale=" + std::to_string(request.width) + ":" + std::to_string(request.height) +
                                           ",setsar=1",
                                       "-r", RateArgument(request.frameRate)});
    if (request.format == PlayerOutputFormat::avi) {
        const std::string video = request.videoEncoder.empty() ? "msmpeg4" : request.videoEncoder;
        const std::string audio = request.audioEncoder.empty() ? "libmp3lame" : request.audioEncoder;
        arguments.insert(arguments.end(), {"-c:v", video});
        if (video != "mjpeg")
            arguments.insert(arguments.end(), {"-b:v", "1000k"});
        else
            arguments.insert(arguments.end(), {"-q:v", "3", "-pix_fmt", "yuvj420p"});
        if (request.sourceHasAudio) {
            arguments.insert(arguments.end(), {"-c:a", audio, "-ar", "44100", "-ac", "2"});
            if (audio != "pcm_s16le")
                arguments.insert(arguments.end(), {"-b:a", "128k"});
        }
        arguments.insert(arguments.end(), {"-f", "avi"});
    } else {
        arguments.insert(arguments.end(), {"-c:v", "mpeg1video", "-b:v", "1150k"});
        if (request.sourceHasAudio)
            arguments.insert(arguments.end(), {"-c:a", "mp2", "-b:a", "192k", "-ar", "44100", "-ac", "2"});
        arguments.insert(arguments.end(), {"-f", "mpeg"});
    }
    arguments.insert(arguments.end(),
                     {request.output, "-progress", "pipe:1", "-nostats", "-stats_period", "0.25"});
    return arguments;
}

bool ExportProgressReader::Feed(std::string_view piece) {
    pending.append(piece);
    bool moved = false;
    std::size_t lineEnd = 0;
    while ((lineEnd = pending.find('\n')) != std::string::npos) {
        std::string line = pending.substr(0, lineEnd);
        pending.erase(0, lineEnd + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // out_time_us is in microseconds; out_time_ms, despite its name, too.
        constexpr std::string_view timeKey = "out_time_us=";
        if (line.compare(0, timeKey.size(), timeKey) == 0) {
            long long microseconds = 0;
            const char* first = line.data() + timeKey.size();
            const auto [end, error] = std::from_chars(first, line.data() + line.size(), microseconds);
            if (error == std::errc() && end != first && microseconds >= 0) {
                const double seconds = static_cast<double>(microseconds) / 1e6;
                if (seconds > position) {
                    position = seconds;
                    moved = true;
                }
            }
        } else if (line == "progress=end") {
            ended = true;
        }
    }
    return moved;
}

bool IsValidRange(double start, double end) {
    return std::isfinite(start) && std::isfinite(end) && start >= 0.0 && end >= start;
}
