#include "tools/pmpmux/PmpFormat.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace pmp {

std::size_t MemorySource::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const
{
    // Nothing to copy also covers an empty buffer, which may be a null pointer.
    if (offset >= data.size() || count == 0)
        return 0;
    const std::size_t available = std::min<std::size_t>(count, data.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, data.data() + offset, available);
    return available;
}

namespace {

std::uint32_t Le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool ReadExact(const ByteSource& source, std::uint64_t offset, void* buffer, std::size_t count)
{
    return source.ReadAt(offset, buffer, count) == count;
}

bool IsFourCc(const std::uint8_t* p, const char* text) { return std::memcmp(p, text, 4) == 0; }

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::optional<VideoCodec> CodecOfFourCc(const std::uint8_t* fourCc)
{
    const std::string name = Upper(std::string(reinterpret_cast<const char*>(fourCc), 4));
    static const char* const mpeg4Names[] = {"FMP4", "XVID", "DIVX", "DX50", "MP4V", "M4S2", "3IV2"};
    static const char* const h264Names[] = {"H264", "AVC1", "X264", "DAVC"};
    for (const char* n : mpeg4Names)
        if (name == n)
            return VideoCodec::Mpeg4;
    for (const char* n : h264Names)
        if (name == n)
            return VideoCodec::H264;
    return std::nullopt;
}

bool StartsWithStartCode(const std::vector<std::uint8_t>& bytes)
{
    return (bytes.size() >= 3 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 1) ||
           (bytes.size() >= 4 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 0 && bytes[3] == 1);
}

// What the start of a coded frame says: whether it can be decoded on its own, and whether it
// already carries the decoder set-up (so nothing needs to go in front of it).
struct FrameStart {
    bool key = false;
    bool hasHeaders = false;
};

FrameStart InspectFrame(VideoCodec codec, const std::uint8_t* p, std::size_t n)
{
    FrameStart result;
    for (std::size_t i = 0; i + 3 < n; ++i) {
        if (p[i] != 0 || p[i + 1] != 0 || p[i + 2] != 1)
            continue;
        const std::uint8_t code = p[i + 3];
        if (codec == VideoCodec::Mpeg4) {
            if (code == 0xB0 || (code >= 0x20 && code <= 0x2F))
                result.hasHeaders = true;
            if (code == 0xB6) { // a VOP: its first two bits are the coding type, 0 for intra
                result.key = i + 4 < n && (p[i + 4] >> 6) == 0;
                return result;
            }
        } else {
            const int type = code & 0x1F;
            if (type == 7)
                result.hasHeaders = true;
            if (type == 5) {
                result.key = true;
                return result;
            }
            if (type == 1)
                return result;
        }
    }
    return result;
}

struct AviWalk {
    const ByteSource& source;
    int videoStream = -1;
    int streamCount = 0;
    bool streamIsVideo = false;
    VideoTrack track;
    bool haveFormat = false;
    char frameId[2] = {'0', '0'};

    // Walks the chunks in [begin, end), descending into the lists that matter.
    bool Walk(std::uint64_t begin, std::uint64_t end, bool inMovi, int depth)
    {
        std::uint64_t pos = begin;
        while (pos + 8 <= end) {
            std::uint8_t head[12] = {};
            if (!ReadExact(source, pos, head, 8))
                return false;
            const std::uint64_t size = Le32(head + 4);
            const std::uint64_t dataStart = pos + 8;
            if ((IsFourCc(head, "LIST") || IsFourCc(head, "RIFF")) && size >= 4 && depth < 8) {
                if (!ReadExact(source, dataStart, head + 8, 4))
                    return false;
                const std::uint8_t* type = head + 8;
                const std::uint64_t listEnd = std::min<std::uint64_t>(dataStart + size, source.Size());
                if (IsFourCc(type, "strl"))
                    streamIsVideo = false;
                if (IsFourCc(type, "hdrl") || IsFourCc(type, "strl") || IsFourCc(type, "AVI ") ||
                    IsFourCc(type, "AVIX") || IsFourCc(type, "movi") || IsFourCc(type, "rec ")) {
                    Walk(dataStart + 4, listEnd, inMovi || IsFourCc(type, "movi"), depth + 1);
                }
                if (IsFourCc(type, "strl"))
                    ++streamCount;
            } else if (IsFourCc(head, "strh") && size >= 28) {
                std::uint8_t strh[28] = {};
                if (!ReadExact(source, dataStart, strh, sizeof(strh)))
                    return false;
                streamIsVideo = IsFourCc(strh, "vids") && videoStream < 0;
                if (streamIsVideo) {
                    videoStream = streamCount;
                    track.scale = Le32(strh + 20);
                    track.rate = Le32(strh + 24);
                    frameId[0] = static_cast<char>('0' + videoStream / 10);
                    frameId[1] = static_cast<char>('0' + videoStream % 10);
                    if (auto codec = CodecOfFourCc(strh + 4)) {
                        track.codec = *codec;
                        haveFormat = true;
                    }
                }
            } else if (IsFourCc(head, "strf") && streamIsVideo && size >= 40) {
                std::uint8_t bih[40] = {};
                if (!ReadExact(source, dataStart, bih, sizeof(bih)))
                    return false;
                track.width = Le32(bih + 4);
                const auto height = static_cast<std::int32_t>(Le32(bih + 8));
                track.height = static_cast<std::uint32_t>(height < 0 ? -height : height);
                if (auto codec = CodecOfFourCc(bih + 16)) {
                    track.codec = *codec;
                    haveFormat = true;
                }
                // The size is the file's word: a damaged one may claim gigabytes the file does not hold.
                if (dataStart + size > source.Size())
                    return false;
                track.headers.resize(static_cast<std::size_t>(size - 40));
                if (!track.headers.empty() && !ReadExact(source, dataStart + 40, track.headers.data(),
                                                         track.headers.size()))
                    return false;
            } else if (inMovi && videoStream >= 0 && head[0] == frameId[0] && head[1] == frameId[1] &&
                       (head[2] == 'd' || head[2] == 'D') && (head[3] == 'c' || head[3] == 'b')) {
                if (dataStart + size > source.Size())
                    return true; // a cut-off last frame is left out
                Frame frame;
                frame.offset = dataStart;
                frame.size = static_cast<std::uint32_t>(size);
                track.frames.push_back(frame);
            }
            pos = dataStart + size + (size & 1); // chunks are padded to even sizes
        }
        return true;
    }
};

} // namespace

std::optional<VideoTrack> ReadAviVideo(const ByteSource& source, std::string* error)
{
    std::uint8_t riff[12] = {};
    if (!ReadExact(source, 0, riff, sizeof(riff)) || !IsFourCc(riff, "RIFF") || !IsFourCc(riff + 8, "AVI ")) {
        *error = "the video file is not an AVI file";
        return std::nullopt;
    }
    AviWalk walk{source, -1, 0, false, {}, false, {'0', '0'}};
    walk.Walk(0, source.Size(), false, 0);
    if (walk.videoStream < 0 || walk.track.frames.empty()) {
        *error = "the AVI file holds no video frames";
        return std::nullopt;
    }
    if (!walk.haveFormat) {
        *error = "the video is neither MPEG-4 nor H.264";
        return std::nullopt;
    }
    if (walk.track.scale == 0 || walk.track.rate == 0) {
        *error = "the AVI file gives no frame rate";
        return std::nullopt;
    }
    VideoTrack track = std::move(walk.track);
    if (!StartsWithStartCode(track.headers))
        track.headers.clear(); // only headers in the byte-stream form can go in front of a frame
    std::vector<std::uint8_t> start(8192);
    for (Frame& frame : track.frames) {
        const std::size_t n = source.ReadAt(frame.offset, start.data(), std::min<std::size_t>(frame.size, start.size()));
        const FrameStart info = InspectFrame(track.codec, start.data(), n);
        frame.key = info.key;
        frame.withHeaders = info.key && !info.hasHeaders && !track.headers.empty();
    }
    return track;
}

namespace {

struct AudioFrameHeader {
    AudioCodec codec = AudioCodec::Mp3;
    std::uint32_t size = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t channels = 0;
    std::uint32_t samples = 0;
};

std::optional<AudioFrameHeader> ParseAudioHeader(const std::uint8_t* p)
{
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return std::nullopt;
    const int layer = (p[1] >> 1) & 3;
    AudioFrameHeader h;
    if (layer == 0) { // ADTS: AAC with a header on every frame
        if ((p[1] & 0xF6) != 0xF0)
            return std::nullopt;
        static const std::uint32_t rates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                              22050, 16000, 12000, 11025, 8000,  7350};
        const int rateIndex = (p[2] >> 2) & 0xF;
        if (rateIndex >= 13)
            return std::nullopt;
        h.codec = AudioCodec::Aac;
        h.sampleRate = rates[rateIndex];
        h.channels = static_cast<std::uint32_t>(((p[2] & 1) << 2) | (p[3] >> 6));
        h.size = static_cast<std::uint32_t>(((p[3] & 3) << 11) | (p[4] << 3) | (p[5] >> 5));
        h.samples = 1024u * static_cast<std::uint32_t>((p[6] & 3) + 1);
        if (h.size < 7 || h.channels == 0)
            return std::nullopt;
        return h;
    }
    if (layer != 1) // Layer III only
        return std::nullopt;
    const int version = (p[1] >> 3) & 3; // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    if (version == 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return std::nullopt;
    static const std::uint32_t mpeg1Rates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const std::uint32_t mpeg2Rates[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const std::uint32_t sampleRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};
    const bool mpeg1 = version == 3;
    const std::uint32_t bitrate = (mpeg1 ? mpeg1Rates : mpeg2Rates)[bitrateIndex - 1] * 1000;
    h.sampleRate = sampleRates[mpeg1 ? 0 : (version == 2 ? 1 : 2)][rateIndex];
    h.samples = mpeg1 ? 1152 : 576;
    h.size = (mpeg1 ? 144 : 72) * bitrate / h.sampleRate + ((p[2] >> 1) & 1);
    h.channels = (p[3] >> 6) == 3 ? 1 : 2;
    return h;
}

std::uint64_t SkipId3(const ByteSource& source)
{
    std::uint8_t tag[10] = {};
    if (!ReadExact(source, 0, tag, sizeof(tag)) || std::memcmp(tag, "ID3", 3) != 0)
        return 0;
    const std::uint64_t size = (tag[6] & 0x7F) << 21 | (tag[7] & 0x7F) << 14 | (tag[8] & 0x7F) << 7 | (tag[9] & 0x7F);
    return 10 + size + ((tag[5] & 0x10) ? 10 : 0);
}

} // namespace

std::optional<AudioTrack> ReadAudioFrames(const ByteSource& source, std::string* error)
{
    AudioTrack track;
    std::uint64_t pos = SkipId3(source);
    const std::uint64_t size = source.Size();
    std::vector<std::uint8_t> window(65536);
    bool first = true;
    while (pos + 7 <= size) {
        std::uint8_t head[7] = {};
        ReadExact(source, pos, head, sizeof(head));
        auto header = ParseAudioHeader(head);
        const bool fits = header && pos + header->size <= size;
        const bool agrees = header && (first || (header->codec == track.codec &&
                                                 header->sampleRate == track.sampleRate &&
                                                 header->channels == track.channels));
        if (fits && agrees) {
            if (first) {
                track.codec = header->codec;
                track.sampleRate = header->sampleRate;
                track.channels = header->channels;
                track.samplesPerFrame = header->samples;
                first = false;
            }
            track.frames.push_back(Frame{pos, header->size, true});
            pos += header->size;
            continue;
        }
        // Not a frame here (a tag, junk, a damaged frame): look for the next sync word.
        const std::size_t n = source.ReadAt(pos + 1, window.data(), window.size());
        std::size_t i = 0;
        while (i + 1 < n && !(window[i] == 0xFF && (window[i + 1] & 0xE0) == 0xE0))
            ++i;
        if (i + 1 >= n && n < window.size())
            break;
        pos += 1 + i;
    }
    if (track.frames.empty()) {
        *error = "the audio file holds no MP3 or AAC frames";
        return std::nullopt;
    }
    return track;
}

std::vector<int> PlanAudioFrames(std::size_t videoFrames, std::uint32_t scale, std::uint32_t rate,
                                 std::size_t audioFrames, std::uint32_t samplesPerFrame, std::uint32_t sampleRate)
{
    std::vector<int> plan;
    const std::uint64_t denominator = static_cast<std::uint64_t>(rate) * samplesPerFrame;
    if (denominator == 0)
        return plan;
    std::size_t used = 0;
    for (std::size_t i = 0; i < videoFrames && used < audioFrames; ++i) {
        // Audio frame k starts at k * samplesPerFrame / sampleRate; video frame i ends at (i + 1) * scale / rate.
        const std::uint64_t numerator = static_cast<std::uint64_t>(i + 1) * scale * sampleRate;
        const std::uint64_t due = std::min<std::uint64_t>((numerator + denominator - 1) / denominator, audioFrames);
        std::uint64_t count = due > used ? due - used : 0;
        count = std::clamp<std::uint64_t>(count, 1, 255);
        count = std::min<std::uint64_t>(count, audioFrames - used);
        plan.push_back(static_cast<int>(count));
        used += static_cast<std::size_t>(count);
    }
    // Audio a little longer than the video goes with the last frame, as far as it can.
    if (!plan.empty() && used < audioFrames) {
        const std::size_t extra = std::min<std::size_t>(audioFrames - used, static_cast<std::size_t>(255 - plan.back()));
        plan.back() += static_cast<int>(extra);
    }
    return plan;
}

namespace {

class PmpWriter {
public:
    explicit PmpWriter(ByteSink& out) : sink(out) {}
    bool U8(std::uint8_t v) { return sink.Write(&v, 1); }
    bool U32(std::uint32_t v)
    {
        const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                       static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
        return sink.Write(bytes, sizeof(bytes));
    }
    bool Copy(const ByteSource& source, const Frame& frame, std::vector<std::uint8_t>& buffer)
    {
        buffer.resize(frame.size);
        return ReadExact(source, frame.offset, buffer.data(), frame.size) && sink.Write(buffer.data(), frame.size);
    }

private:
    ByteSink& sink;
};

} // namespace

bool WritePmp(const VideoTrack& video, const ByteSource& videoSource, const AudioTrack& audio,
              const ByteSource& audioSource, ByteSink& sink, std::string* error)
{
    const std::vector<int> plan = PlanAudioFrames(video.frames.size(), video.scale, video.rate, audio.frames.size(),
                                                  audio.samplesPerFrame, audio.sampleRate);
    if (plan.empty()) {
        *error = "nothing to write: no video or no audio frames";
        return false;
    }
    const auto headersSize = static_cast<std::uint32_t>(video.headers.size());
    std::vector<std::uint32_t> packetSizes(plan.size());
    std::size_t audioIndex = 0;
    int mostAudio = 0;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        std::uint64_t size = 1 + 8 + 4u * (1 + static_cast<std::uint64_t>(plan[i])) + video.frames[i].size +
                             (video.frames[i].withHeaders ? headersSize : 0);
        for (int a = 0; a < plan[i]; ++a)
            size += audio.frames[audioIndex++].size;
        if (size >= 0x80000000u) {
            *error = "a frame is too large for a PMP file";
            return false;
        }
        packetSizes[i] = static_cast<std::uint32_t>(size);
        mostAudio = std::max(mostAudio, plan[i]);
    }

    PmpWriter out(sink);
    bool ok = sink.Write("pmpm", 4) && out.U32(1) && out.U32(static_cast<std::uint32_t>(video.codec)) &&
              out.U32(static_cast<std::uint32_t>(plan.size())) && out.U32(video.width) && out.U32(video.height) &&
              out.U32(video.scale) && out.U32(video.rate) && out.U32(static_cast<std::uint32_t>(audio.codec)) &&
              out.U32(1) /* audio streams */ && out.U32(static_cast<std::uint32_t>(mostAudio)) &&
              out.U32(audio.samplesPerFrame) && out.U32(audio.sampleRate) && out.U32(audio.channels - 1);
    for (std::size_t i = 0; ok && i < plan.size(); ++i)
        ok = out.U32(packetSizes[i] << 1 | (video.frames[i].key ? 1u : 0u));

    std::vector<std::uint8_t> buffer;
    audioIndex = 0;
    for (std::size_t i = 0; ok && i < plan.size(); ++i) {
        const Frame& frame = video.frames[i];
        const std::uint32_t videoSize = frame.size + (frame.withHeaders ? headersSize : 0);
        // The two delays place the audio against the video for some players; the readers we
        // check our files with take the timing from the frame counts, so they stay 0.
        ok = out.U8(static_cast<std::uint8_t>(plan[i])) && out.U32(0) && out.U32(0) && out.U32(videoSize);
        for (int a = 0; ok && a < plan[i]; ++a)
            ok = out.U32(audio.frames[audioIndex + static_cast<std::size_t>(a)].size);
        if (ok && frame.withHeaders)
            ok = sink.Write(video.headers.data(), video.headers.size());
        ok = ok && out.Copy(videoSource, frame, buffer);
        for (int a = 0; ok && a < plan[i]; ++a)
            ok = out.Copy(audioSource, audio.frames[audioIndex++], buffer);
    }
    if (!ok)
        *error = "cannot write the PMP file";
    return ok;
}

} // namespace pmp
