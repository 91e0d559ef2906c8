// The PMP muxer's reading and writing, on bytes made by the tests.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "tests/tools/Bytes.h"
#include "tools/pmpmux/PmpFormat.h"

using namespace pmp;

namespace {

std::uint32_t Get32(const Bytes& in, std::size_t at) {
    return in[at] | in[at + 1] << 8 | in[at + 2] << 16 | static_cast<std::uint32_t>(in[at + 3]) << 24;
}

// A RIFF chunk, odd sizes padded; a list is a chunk whose data starts with its type.
Bytes Chunk(const char* id, const Bytes& data) {
    Bytes out = Join({Bytes(id, id + 4), Number(static_cast<std::uint32_t>(data.size()), false), data});
    if (data.size() & 1)
        out.push_back(0);
    return out;
}

Bytes List(const char* id, const char* type, const Bytes& body) {
    return Chunk(id, Join({Bytes(type, type + 4), body}));
}

// An MPEG-4 frame: a VOP start code whose coding type is intra (0) or predicted (1).
Bytes Mpeg4Frame(bool intra, std::size_t size) {
    Bytes frame = {0, 0, 1, 0xB6, static_cast<std::uint8_t>(intra ? 0x10 : 0x50)};
    frame.resize(size, 0x77);
    return frame;
}

// A minimal AVI: one video stream ("XVID", scale/rate, 176x144, a VOL as extra data), frames in movi with another
// stream's chunk after each, the second frame inside a "rec " list, a JUNK chunk before movi.
Bytes MakeAvi(const std::vector<Bytes>& frames, const char* fourCc = "XVID") {
    Bytes strh(56, 0), strf(40, 0);
    std::memcpy(strh.data(), "vids", 4);
    std::memcpy(strh.data() + 4, fourCc, 4);
    strh[20] = 1;  // scale
    strh[24] = 25; // rate
    strf[4] = 176;
    strf[8] = 144;
    std::memcpy(strf.data() + 16, fourCc, 4);
    strf.insert(strf.end(), {0, 0, 1, 0xB0, 0x01, 0, 0, 1, 0x20, 0xAA});
    Bytes movi;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Bytes frame = Chunk("00dc", frames[i]);
        movi = Join({movi, i == 1 ? List("LIST", "rec ", frame) : frame, Chunk("01wb", {1, 2, 3})});
    }
    const Bytes strl = List("LIST", "strl", Join({Chunk("strh", strh), Chunk("strf", strf)}));
    const Bytes hdrl = List("LIST", "hdrl", Join({Chunk("avih", Bytes(56, 0)), strl}));
    return List("RIFF", "AVI ", Join({hdrl, Chunk("JUNK", Bytes(5, 0)), List("LIST", "movi", movi)}));
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

// 25 fps against 44100 Hz MP3 (1152 samples), 1.53 audio frames per video frame: each video frame gets the audio
// frames that start before it ends, none that start later, and the last one the audio that outlasts the video. At
// least one audio frame per video frame (audio slower than video), at most 255; the video frames after the audio's
// end are not carried; nothing to plan without a rate or without audio.
TEST(PmpAudioPlan, EveryVideoFrameGetsTheAudioThatStartsBeforeItEnds) {
    const std::vector<int> plan = PlanAudioFrames(10, 1, 25, 100, 1152, 44100);
    ASSERT_EQ(plan.size(), 10u);
    int used = 0;
    for (std::size_t i = 0; i + 1 < plan.size(); ++i) {
        used += plan[i];
        const double end = (i + 1) / 25.0;
        EXPECT_GE(used * 1152 / 44100.0, end - 1e-9) << i;
        EXPECT_LT((used - 1) * 1152 / 44100.0, end) << i;
    }
    EXPECT_EQ(used + plan.back(), 100);
    for (int n : PlanAudioFrames(20, 1, 60, 100, 1152, 8000))
        EXPECT_GE(n, 1);
    EXPECT_EQ(PlanAudioFrames(100, 1, 25, 10, 1152, 44100).size(), 6u);
    EXPECT_EQ(PlanAudioFrames(2, 100, 1, 10000, 1152, 44100), (std::vector<int>{255, 255}));
    EXPECT_TRUE(PlanAudioFrames(10, 1, 0, 10, 1152, 44100).empty());
    EXPECT_TRUE(PlanAudioFrames(10, 1, 25, 0, 1152, 44100).empty());
}

// MP3 after an ID3 tag whose body may look like sync words, with junk between frames and a cut-off trailer; ADTS
// AAC; a frame whose sample rate differs from the first ends the stream; no frames at all is refused.
TEST(PmpAudioFrames, Mp3AndAdtsAacFramesAndRejects) {
    Bytes tag = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 20};
    tag.resize(30, 0xFF);
    const Bytes bytes = Join(
        {tag, Mp3Frame(false), Mp3Frame(true), Mp3Frame(false), {0x00, 0x12, 0x34}, Mp3Frame(false), {'T', 'A', 'G'}});
    std::string error;
    const auto track = ReadAudioFrames(MemorySource(bytes), &error);
    ASSERT_TRUE(track) << error;
    EXPECT_EQ(std::tuple(track->codec, track->sampleRate, track->channels, track->samplesPerFrame),
              std::tuple(AudioCodec::Mp3, 44100u, 2u, 1152u));
    ASSERT_EQ(track->frames.size(), 4u);
    EXPECT_EQ(track->frames[0].offset, 30u);
    EXPECT_EQ(track->frames[1].size, 418u);
    EXPECT_EQ(track->frames[3].offset, 30u + 417 + 418 + 417 + 3);

    Bytes frame = {0xFF, 0xF1, 0x4C, 0x40, 0x0C, 0x9F, 0xFC}; // AAC LC, 48000 Hz (index 3), mono, 100 bytes
    frame.resize(100, 0x21);
    const auto aac = ReadAudioFrames(MemorySource(Join({frame, frame})), &error);
    ASSERT_TRUE(aac) << error;
    EXPECT_EQ(std::tuple(aac->codec, aac->sampleRate, aac->channels, aac->samplesPerFrame, aac->frames.size()),
              std::tuple(AudioCodec::Aac, 48000u, 1u, 1024u, 2u));
    Bytes mixed = Join({Mp3Frame(false), Mp3Frame(false)});
    mixed[417 + 2] = 0x94; // 48000 Hz
    const auto first = ReadAudioFrames(MemorySource(mixed), &error);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->frames.size(), 1u);
    EXPECT_FALSE(ReadAudioFrames(MemorySource(Bytes(5000, 0x55)), &error));
    EXPECT_NE(error.find("no MP3 or AAC"), std::string::npos);
}

// The frame inside the "rec " list counts, the audio chunks do not; the VOL goes in front of key frames, which lack
// it; a frame's bytes are where the index says. A file cut in its last frame keeps the frames before it.
TEST(PmpAviVideo, FramesKeysHeadersAndRejects) {
    const Bytes avi =
        MakeAvi({Mpeg4Frame(true, 101), Mpeg4Frame(false, 40), Mpeg4Frame(false, 33), Mpeg4Frame(true, 64)});
    std::string error;
    const auto video = ReadAviVideo(MemorySource(avi), &error);
    ASSERT_TRUE(video) << error;
    EXPECT_EQ(std::tuple(video->codec, video->width, video->height, video->scale, video->rate, video->headers.size()),
              std::tuple(VideoCodec::Mpeg4, 176u, 144u, 1u, 25u, 10u));
    std::vector<std::tuple<std::uint32_t, bool, bool>> frames;
    for (const Frame& f : video->frames)
        frames.emplace_back(f.size, f.key, f.withHeaders);
    ASSERT_EQ(frames, (decltype(frames){{101, true, true}, {40, false, false}, {33, false, false}, {64, true, true}}));
    Bytes start(4);
    MemorySource(avi).ReadAt(video->frames[2].offset, start.data(), 4);
    EXPECT_EQ(start, (Bytes{0, 0, 1, 0xB6}));

    EXPECT_FALSE(ReadAviVideo(MemorySource({'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}), &error));
    EXPECT_NE(error.find("not an AVI"), std::string::npos);
    EXPECT_FALSE(ReadAviVideo(MemorySource(MakeAvi({Mpeg4Frame(true, 20)}, "MJPG")), &error));
    EXPECT_NE(error.find("neither MPEG-4 nor H.264"), std::string::npos);
    EXPECT_FALSE(ReadAviVideo(MemorySource(MakeAvi({})), &error));
    Bytes cut = MakeAvi({Mpeg4Frame(true, 50), Mpeg4Frame(false, 50), Mpeg4Frame(false, 500)});
    cut.resize(cut.size() - 300);
    const auto kept = ReadAviVideo(MemorySource(cut), &error);
    ASSERT_TRUE(kept) << error;
    EXPECT_EQ(kept->frames.size(), 2u);
}

// Header, index, packets: each packet's own size table adds up to its index size, every packet carries audio, the
// VOL precedes the first frame, and all six audio frames arrive in order.
TEST(PmpWriting, HeaderIndexAndPacketsAgree) {
    const MemorySource videoSource(MakeAvi({Mpeg4Frame(true, 101), Mpeg4Frame(false, 40), Mpeg4Frame(false, 33)}));
    Bytes mp3;
    for (std::uint8_t i = 0; i < 6; ++i)
        mp3 = Join({mp3, Mp3Frame(false, i)});
    const MemorySource audioSource(mp3);
    std::string error;
    const auto video = ReadAviVideo(videoSource, &error);
    const auto audio = ReadAudioFrames(audioSource, &error);
    ASSERT_TRUE(video && audio);
    BufferSink sink;
    ASSERT_TRUE(WritePmp(*video, videoSource, *audio, audioSource, sink, &error)) << error;
    const Bytes& pmp = sink.data;
    ASSERT_GE(pmp.size(), 68u);
    // "pmpm", version, MPEG-4, video frames, width, height; MP3, one audio stream, sample rate, stereo.
    std::vector<std::uint32_t> header;
    for (std::size_t at : {0, 4, 8, 12, 16, 20, 32, 36, 48, 52})
        header.push_back(Get32(pmp, at));
    EXPECT_EQ(header, (std::vector<std::uint32_t>{0x6D706D70, 1, 0, 3, 176, 144, 0, 1, 44100, 1}));
    const std::uint32_t videoSizes[] = {101 + 10, 40, 33};
    std::size_t pos = 56 + 4 * 3;
    int audioSeen = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::uint32_t entry = Get32(pmp, 56 + 4 * i);
        EXPECT_EQ(entry & 1, i == 0 ? 1u : 0u) << "key flag of packet " << i;
        const int audioCount = pmp[pos];
        ASSERT_GE(audioCount, 1);
        EXPECT_EQ(Get32(pmp, pos + 9), videoSizes[i]);
        std::size_t data = pos + 1 + 8 + 4 * (1 + audioCount) + videoSizes[i];
        for (int a = 0; a < audioCount; ++a, ++audioSeen) {
            EXPECT_EQ(pmp[data + 4], audioSeen) << "audio frame " << audioSeen << " in order";
            data += Get32(pmp, pos + 13 + 4 * a);
        }
        EXPECT_EQ(data - pos, entry >> 1) << "packet " << i;
        pos = data;
    }
    EXPECT_EQ(audioSeen, 6);
    EXPECT_EQ(pos, pmp.size());
}
