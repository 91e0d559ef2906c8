// The PMP muxer's reading and writing, on bytes made by the tests.
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <tuple>

#include "tools/pmpmux/PmpFormat.h"

using namespace pmp;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint32_t Get32(const Bytes& in, std::size_t at) {
    return in[at] | in[at + 1] << 8 | in[at + 2] << 16 | static_cast<std::uint32_t>(in[at + 3]) << 24;
}

void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

// A RIFF chunk, odd sizes padded; a list is a chunk whose data starts with its type.
void PutChunk(Bytes& out, const char* id, const Bytes& data) {
    out.insert(out.end(), id, id + 4);
    Put32(out, static_cast<std::uint32_t>(data.size()));
    Append(out, data);
    if (data.size() & 1)
        out.push_back(0);
}

void PutList(Bytes& out, const char* id, const char* type, const Bytes& body) {
    Bytes data(type, type + 4);
    Append(data, body);
    PutChunk(out, id, data);
}

// An MPEG-4 frame: a VOP start code whose coding type is intra (0) or predicted (1).
Bytes Mpeg4Frame(bool intra, std::size_t size) {
    Bytes frame = {0, 0, 1, 0xB6, static_cast<std::uint8_t>(intra ? 0x10 : 0x50)};
    frame.resize(size, 0x77);
    return frame;
}

// A minimal AVI: one video stream ("XVID", scale/rate, 176x144, a VOL as extra data),
// frames in movi, one of them inside a "rec " list, odd sizes padded.
Bytes MakeAvi(const std::vector<Bytes>& frames, const char* fourCc = "XVID") {
    Bytes strh(56, 0);
    std::memcpy(strh.data(), "vids", 4);
    std::memcpy(strh.data() + 4, fourCc, 4);
    strh[20] = 1;  // scale
    strh[24] = 25; // rate
    Bytes strf(40, 0);
    strf[4] = 176;
    strf[8] = 144;
    std::memcpy(strf.data() + 16, fourCc, 4);
    const std::uint8_t vol[] = {0, 0, 1, 0xB0, 0x01, 0, 0, 1, 0x20, 0xAA};
    strf.insert(strf.end(), vol, vol + sizeof(vol));
    Bytes strl, hdrl, movi, rec, riff;
    PutChunk(strl, "strh", strh);
    PutChunk(strl, "strf", strf);
    PutChunk(hdrl, "avih", Bytes(56, 0));
    PutList(hdrl, "LIST", "strl", strl);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (i == 1) {
            PutChunk(rec, "00dc", frames[i]);
            PutList(movi, "LIST", "rec ", rec);
        } else {
            PutChunk(movi, "00dc", frames[i]);
        }
        PutChunk(movi, "01wb", {1, 2, 3}); // another stream's chunk between the frames
    }
    Bytes body;
    PutList(body, "LIST", "hdrl", hdrl);
    PutChunk(body, "JUNK", Bytes(5, 0));
    PutList(body, "LIST", "movi", movi);
    PutList(riff, "RIFF", "AVI ", body);
    return riff;
}

// An MPEG-1 Layer III frame header at 128 kbit/s, 44100 Hz, stereo: 417 bytes (418 padded).
Bytes Mp3Frame(bool padded, std::uint8_t fill = 0x11) {
    Bytes frame = {0xFF, 0xFB, static_cast<std::uint8_t>(0x90 | (padded ? 2 : 0)), 0x00};
    frame.resize(padded ? 418 : 417, fill);
    return frame;
}

class BufferSink : public ByteSink {
public:
    bool Write(const void* bytes, std::size_t count) override {
        const auto* p = static_cast<const std::uint8_t*>(bytes);
        data.insert(data.end(), p, p + count);
        return true;
    }
    Bytes data;
};

} // namespace

TEST(PmpAudioPlan, EveryVideoFrameGetsTheAudioThatStartsBeforeItEnds) {
    // 25 fps against 44100 Hz MP3 (1152 samples): 1.53 audio frames per video frame.
    const std::vector<int> plan = PlanAudioFrames(10, 1, 25, 100, 1152, 44100);
    ASSERT_EQ(plan.size(), 10u);
    int used = 0;
    for (std::size_t i = 0; i + 1 < plan.size(); ++i) {
        used += plan[i];
        // All audio frames starting before (i + 1) / 25 s are in, and none starting later.
        const double end = (i + 1) / 25.0;
        EXPECT_GE(used * 1152 / 44100.0, end - 1e-9) << i;
        EXPECT_LT((used - 1) * 1152 / 44100.0, end) << i;
    }
    // The audio that outlasts the video goes with the last frame.
    EXPECT_EQ(used + plan.back(), 100);
    // Audio slower than video: still at least one audio frame per video frame.
    for (int n : PlanAudioFrames(20, 1, 60, 100, 1152, 8000))
        EXPECT_GE(n, 1);
    // Audio ends first: the video frames after it are not carried.
    EXPECT_EQ(PlanAudioFrames(100, 1, 25, 10, 1152, 44100).size(), 6u);
    // Audio longer than the video goes with the last frame.
    const std::vector<int> longer = PlanAudioFrames(2, 1, 25, 10, 1152, 44100);
    EXPECT_EQ(std::accumulate(longer.begin(), longer.end(), 0), 10);
    // At most 255 audio frames with one video frame, however long it lasts.
    const std::vector<int> slow = PlanAudioFrames(2, 100, 1, 10000, 1152, 44100);
    EXPECT_EQ(slow[0], 255);
    EXPECT_EQ(slow[1], 255);
    // Nothing to plan without a rate or without audio.
    EXPECT_TRUE(PlanAudioFrames(10, 1, 0, 10, 1152, 44100).empty());
    EXPECT_TRUE(PlanAudioFrames(10, 1, 25, 0, 1152, 44100).empty());
}

TEST(PmpAudioFrames, Mp3FramesAfterATagAndAroundJunk) {
    Bytes bytes = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 20};
    bytes.resize(30, 0xFF); // the tag's body may look like sync words
    for (int i = 0; i < 3; ++i)
        Append(bytes, Mp3Frame(i == 1));
    Append(bytes, {0x00, 0x12, 0x34}); // junk between frames
    Append(bytes, Mp3Frame(false));
    Append(bytes, {'T', 'A', 'G'}); // a cut-off trailer

    std::string error;
    const auto track = ReadAudioFrames(MemorySource(bytes), &error);
    ASSERT_TRUE(track) << error;
    EXPECT_EQ(std::tuple(track->codec, track->sampleRate, track->channels, track->samplesPerFrame),
              std::tuple(AudioCodec::Mp3, 44100u, 2u, 1152u));
    ASSERT_EQ(track->frames.size(), 4u);
    EXPECT_EQ(track->frames[0].offset, 30u);
    EXPECT_EQ(track->frames[1].size, 418u);
    EXPECT_EQ(track->frames[3].offset, 30u + 417 + 418 + 417 + 3);
}

TEST(PmpAudioFrames, AdtsAacAndRejects) {
    // ADTS, AAC LC, 48000 Hz (index 3), mono, frame length 100.
    Bytes frame = {0xFF, 0xF1, 0x4C, 0x40, 0x0C, 0x9F, 0xFC};
    frame.resize(100, 0x21);
    Bytes bytes = frame;
    Append(bytes, frame);
    std::string error;
    const auto aac = ReadAudioFrames(MemorySource(bytes), &error);
    ASSERT_TRUE(aac) << error;
    EXPECT_EQ(std::tuple(aac->codec, aac->sampleRate, aac->channels, aac->samplesPerFrame),
              std::tuple(AudioCodec::Aac, 48000u, 1u, 1024u));
    EXPECT_EQ(aac->frames.size(), 2u);

    // A frame whose sample rate differs from the first is not taken.
    Bytes mixed = Mp3Frame(false);
    Append(mixed, Mp3Frame(false));
    mixed[417 + 2] = 0x94; // 48000 Hz
    const auto first = ReadAudioFrames(MemorySource(mixed), &error);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->frames.size(), 1u);

    EXPECT_FALSE(ReadAudioFrames(MemorySource({}), &error));
    EXPECT_FALSE(ReadAudioFrames(MemorySource(Bytes(5000, 0x55)), &error));
    EXPECT_NE(error.find("no MP3 or AAC"), std::string::npos);
}

TEST(PmpAviVideo, FramesKeysAndHeaders) {
    const std::vector<Bytes> frames = {Mpeg4Frame(true, 101), Mpeg4Frame(false, 40), Mpeg4Frame(false, 33),
                                       Mpeg4Frame(true, 64)};
    const Bytes avi = MakeAvi(frames);
    std::string error;
    const auto video = ReadAviVideo(MemorySource(avi), &error);
    ASSERT_TRUE(video) << error;
    EXPECT_EQ(std::tuple(video->codec, video->width, video->height, video->scale, video->rate),
              std::tuple(VideoCodec::Mpeg4, 176u, 144u, 1u, 25u));
    ASSERT_EQ(video->frames.size(), 4u) << "the frame inside the rec list counts, the audio chunks do not";
    EXPECT_EQ(video->frames[0].size, 101u);
    EXPECT_EQ(video->frames[2].size, 33u);
    EXPECT_TRUE(video->frames[0].key);
    EXPECT_FALSE(video->frames[1].key);
    EXPECT_TRUE(video->frames[3].key);
    // The VOL goes in front of key frames that lack it.
    EXPECT_EQ(video->headers.size(), 10u);
    EXPECT_TRUE(video->frames[0].withHeaders);
    EXPECT_FALSE(video->frames[1].withHeaders);
    // The frame's bytes are where the index says.
    Bytes start(4);
    MemorySource(avi).ReadAt(video->frames[2].offset, start.data(), 4);
    EXPECT_EQ(start, (Bytes{0, 0, 1, 0xB6}));
}

TEST(PmpAviVideo, Rejects) {
    std::string error;
    EXPECT_FALSE(ReadAviVideo(MemorySource({'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}), &error));
    EXPECT_NE(error.find("not an AVI"), std::string::npos);
    EXPECT_FALSE(ReadAviVideo(MemorySource(MakeAvi({Mpeg4Frame(true, 20)}, "MJPG")), &error));
    EXPECT_NE(error.find("neither MPEG-4 nor H.264"), std::string::npos);
    EXPECT_FALSE(ReadAviVideo(MemorySource(MakeAvi({})), &error));
    // A file cut in the middle of its last frame keeps the frames before it.
    Bytes cut = MakeAvi({Mpeg4Frame(true, 50), Mpeg4Frame(false, 50), Mpeg4Frame(false, 500)});
    cut.resize(cut.size() - 300);
    const auto video = ReadAviVideo(MemorySource(cut), &error);
    ASSERT_TRUE(video) << error;
    EXPECT_EQ(video->frames.size(), 2u);
}

TEST(PmpWriting, HeaderIndexAndPacketsAgree) {
    const Bytes avi = MakeAvi({Mpeg4Frame(true, 101), Mpeg4Frame(false, 40), Mpeg4Frame(false, 33)});
    Bytes mp3;
    for (int i = 0; i < 6; ++i)
        Append(mp3, Mp3Frame(false, static_cast<std::uint8_t>(i)));
    std::string error;
    const MemorySource videoSource(avi), audioSource(mp3);
    const auto video = ReadAviVideo(videoSource, &error);
    const auto audio = ReadAudioFrames(audioSource, &error);
    ASSERT_TRUE(video && audio);
    BufferSink sink;
    ASSERT_TRUE(WritePmp(*video, videoSource, *audio, audioSource, sink, &error)) << error;
    const Bytes& pmp = sink.data;

    ASSERT_GE(pmp.size(), 56u);
    EXPECT_EQ(std::memcmp(pmp.data(), "pmpm", 4), 0);
    // Version, MPEG-4, video frames, width, height; MP3, one audio stream, sample rate, stereo.
    std::vector<std::uint32_t> header;
    for (std::size_t at : {4, 8, 12, 16, 20, 32, 36, 48, 52})
        header.push_back(Get32(pmp, at));
    EXPECT_EQ(header, (std::vector<std::uint32_t>{1, 0, 3, 176, 144, 0, 1, 44100, 1}));

    // Walk the packets by the index: each one's own size table must add up to its index size,
    // every packet carries audio, and all six audio frames arrive in order.
    std::size_t pos = 56 + 4 * 3;
    int audioSeen = 0;
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t entry = Get32(pmp, 56 + 4 * i);
        EXPECT_EQ(entry & 1, i == 0 ? 1u : 0u) << "key flag of packet " << i;
        const std::uint32_t size = entry >> 1;
        const int audioCount = pmp[pos];
        ASSERT_GE(audioCount, 1);
        std::uint32_t sum = 1 + 8 + 4 * (1 + audioCount);
        std::size_t data = pos + sum;
        const std::uint32_t videoSize = Get32(pmp, pos + 9);
        EXPECT_EQ(videoSize, i == 0 ? 101u + 10u : (i == 1 ? 40u : 33u)) << "the VOL precedes the first frame";
        sum += videoSize;
        data += videoSize;
        for (int a = 0; a < audioCount; ++a) {
            const std::uint32_t audioSize = Get32(pmp, pos + 13 + 4 * a);
            EXPECT_EQ(pmp[data + 4], audioSeen) << "audio frame " << audioSeen << " in order";
            sum += audioSize;
            data += audioSize;
            ++audioSeen;
        }
        EXPECT_EQ(sum, size);
        pos += size;
    }
    EXPECT_EQ(audioSeen, 6);
    EXPECT_EQ(pos, pmp.size());
}
