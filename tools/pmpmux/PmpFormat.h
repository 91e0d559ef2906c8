#pragma once
// Reading the two working files of a PMP conversion (an AVI holding the video, an MP3 or
// ADTS AAC file holding the audio) and writing them out as one PMP file, the container
// of the PSP's PMP players. No <windows.h>: everything here works on byte sources.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pmp {

// Random-access bytes: a file in the program, a buffer in the tests.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads up to count bytes at offset; returns how many were read.
    virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const = 0;
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::vector<std::uint8_t> bytes) : data(std::move(bytes)) {}
    std::uint64_t Size() const override { return data.size(); }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const override;

private:
    std::vector<std::uint8_t> data;
};

struct Frame {
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
    bool key = false;
    bool withHeaders = false; // video: the decoder set-up goes in front of this key frame
};

enum class VideoCodec { Mpeg4 = 0, H264 = 1 };
enum class AudioCodec { Mp3 = 0, Aac = 1 };

struct VideoTrack {
    VideoCodec codec = VideoCodec::Mpeg4;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t scale = 0; // a frame lasts scale / rate seconds
    std::uint32_t rate = 0;
    std::vector<std::uint8_t> headers; // decoder set-up carried outside the frames (MPEG-4 VOL, H.264 SPS/PPS)
    std::vector<Frame> frames;
};

struct AudioTrack {
    AudioCodec codec = AudioCodec::Mp3;
    std::uint32_t sampleRate = 0;
    std::uint32_t channels = 0;
    std::uint32_t samplesPerFrame = 0;
    std::vector<Frame> frames;
};

// The first video stream of an AVI file; an error text when there is none we can carry.
std::optional<VideoTrack> ReadAviVideo(const ByteSource& source, std::string* error);

// The frames of an MP3 (an ID3v2 tag in front is skipped) or ADTS AAC stream; every frame
// must agree with the first on sample rate and channels.
std::optional<AudioTrack> ReadAudioFrames(const ByteSource& source, std::string* error);

// How many audio frames go with each video frame: as many as start before the video frame
// ends, at least one (the PMP reader refuses a video frame without audio) and at most 255.
// Video frames left when the audio has run out are not carried, so the result may be shorter.
std::vector<int> PlanAudioFrames(std::size_t videoFrames, std::uint32_t scale, std::uint32_t rate,
                                 std::size_t audioFrames, std::uint32_t samplesPerFrame, std::uint32_t sampleRate);

// Sink for the output; the program writes to a file, the tests to a buffer.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(const void* bytes, std::size_t count) = 0;
};

// Writes the whole PMP file. False with an error text when a read or write fails.
bool WritePmp(const VideoTrack& video, const ByteSource& videoSource, const AudioTrack& audio,
              const ByteSource& audioSource, ByteSink& sink, std::string* error);

} // namespace pmp
