// The player control under Wine with the real ffmpeg, on clips made at test time.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

#include "player/MediaProbe.h"
#include "player/PlayerCommands.h"
#include "tests/player/PlayerTestSupport.h"
#include "tools/movenc/FfmpegProcess.h"

namespace {

class PlayerControlTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        PutShippedProgramsOnPath();
        folder = PlayerTempFolder("clips");
        made = true;
        for (const ClipKind& kind : sampleClipKinds)
            made = made && MakeClip(folder + kind.name, 4.0, "-shortest " + kind.options);
        made = made && MakeClip(folder + "play.avi", 5.0, "-shortest -c:v mpeg4 -q:v 3 -c:a libmp3lame") &&
               MakeClip(folder + "sound.mp3", 2.0, "-c:a libmp3lame", ClipContent::Tone);
        std::ofstream(folder + "empty.mp4", std::ios::binary);
        std::ofstream(folder + "text.avi", std::ios::binary) << "this is not a video\r\n";
        const std::string mp4 = ReadWholeFile(folder + "clip.mp4");
        std::ofstream(folder + "truncated.mp4", std::ios::binary) << mp4.substr(0, mp4.size() / 3);
    }
    void SetUp() override {
        ASSERT_TRUE(made) << "ffmpeg could not make the clips";
        ClearProbeCache();
    }

    static inline std::string folder;
    static inline bool made = false;
};

// The frame ffmpeg itself gives for `seconds` of `path` at the given size, as BGRA pixels.
std::vector<std::uint32_t> ReferenceFrame(const std::string& path, double seconds, int width, int height) {
    const std::string raw = PlayerTempFolder("clips") + "reference.raw";
    RunCommand(Quote(AppFolder() + "ffmpeg.exe") + " -v error -y -ss " + SecondsArgument(seconds) + " -i " +
               Quote(path) + " -frames:v 1 -vf " + FitFilter(width, height) + " -pix_fmt bgra -f rawvideo " +
               Quote(raw));
    const std::string bytes = ReadWholeFile(raw);
    std::vector<std::uint32_t> pixels(bytes.size() / 4);
    std::memcpy(pixels.data(), bytes.data(), pixels.size() * 4);
    return pixels;
}

int ChannelDistance(std::uint32_t a, std::uint32_t b) {
    int most = 0;
    for (int shift = 0; shift < 24; shift += 8)
        most = std::max(most, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return most;
}

// Each kind's still at 1 s is the frame ffmpeg itself gives there; the still at the very end, which has no frame after
// it (a WMV's video ends before its container does), is a picture too, another one. One position event each.
TEST_F(PlayerControlTest, EveryKindHasFfprobesDurationAndFfmpegsStillFrames) {
    PlayerWindow window(160, 120);
    CPlayerControl* control = window.Control();
    for (const ClipKind& kind : sampleClipKinds) {
        SCOPED_TRACE(kind.name);
        const std::string path = folder + kind.name;
        const double duration = control->GetDuration(path);
        EXPECT_NEAR(duration, ProbedDuration(Probe(path, "format=duration")), 0.1);
        EXPECT_EQ(control->GetDuration(path), duration) << "the cached answer";
        // The still at `seconds` as the preview asks for it: open with play 0, run, halt at the first position event.
        const auto still = [&](double seconds) {
            window.events.positions.clear();
            control->StopPlayer();
            control->CloseClip();
            control->SetColorDepth(24);
            EXPECT_TRUE(control->OpenClip(path, seconds, duration, 0));
            window.events.onPosition = [control](double) { control->PausePlayer(); };
            EXPECT_TRUE(control->RunPlayer());
            EXPECT_TRUE(window.Settle());
            EXPECT_EQ(window.events.positions.size(), 1u) << seconds;
            std::vector<std::uint32_t> frame;
            int width = 0;
            int height = 0;
            EXPECT_TRUE(control->CopyFrame(frame, width, height)) << seconds;
            return frame;
        };
        const std::vector<std::uint32_t> atOne = still(1.0);
        EXPECT_NEAR(window.events.positions.at(0), 1.0, 1e-6);
        const std::vector<std::uint32_t> atEnd = still(duration);
        const std::vector<std::uint32_t> reference = ReferenceFrame(path, 1.0, 160, 120);
        ASSERT_TRUE(atOne.size() == reference.size() && atEnd.size() == reference.size());
        int mismatches = 0;
        int changed = 0;
        for (std::size_t i = 0; i < reference.size(); ++i) {
            mismatches += ChannelDistance(atOne[i], reference[i]) > 6;
            changed += ChannelDistance(atOne[i], atEnd[i]) > 40;
        }
        EXPECT_EQ(mismatches, 0);
        EXPECT_GT(changed, 100);
    }
    EXPECT_EQ(ChildDecoders(), 0);
}

TEST_F(PlayerControlTest, PlaybackRaisesPositionsAndStopsAtItsEnd) {
    PlayerWindow window(160, 120);
    CPlayerControl* control = window.Control();
    const std::string path = folder + "play.avi";
    ASSERT_TRUE(control->OpenClip(path, 1.0, 4.0, 1));
    ASSERT_TRUE(control->SetClipRange(path, 1.0, 4.0));
    ASSERT_TRUE(control->RunPlayer());
    ASSERT_TRUE(PumpUntil([&] { return !window.events.playback.empty() && window.events.playback.back().ended; }));
    ASSERT_TRUE(window.Settle());
    EXPECT_EQ(window.events.positions.size(), 1u) << "playback owes one position event too";
    const auto& playback = window.events.playback;
    ASSERT_GT(playback.size(), 10u);
    for (std::size_t i = 1; i + 1 < playback.size(); ++i)
        EXPECT_GT(playback[i].position, playback[i - 1].position);
    EXPECT_NEAR(playback.front().position, 1.0, 1e-6);
    EXPECT_NEAR(playback.back().position, 4.0, 0.1);
    EXPECT_FALSE(control->IsPlaying());
    // Frames shown and frames given up make up the 75 frames of the range.
    EXPECT_NEAR(static_cast<double>(control->FramesShown() + control->FramesDropped()), 75.0, 2.0);
    EXPECT_EQ(ChildDecoders(), 0);
}

// What is no video has no length; and the preview waits for the position event before its next request: one
// missing would leave it busy for good.
TEST_F(PlayerControlTest, WhatIsNoVideoHasNoLengthAndEveryRunOwesOnePositionEvent) {
    PlayerWindow window(160, 120);
    CPlayerControl* control = window.Control();
    for (const std::string& path : {folder + "missing.avi", folder + "empty.mp4", folder + "text.avi", folder,
                                    std::string(), "C:\\" + std::string(252, 'a') + ".avi"})
        EXPECT_EQ(control->GetDuration(path), 0.0) << path;
    EXPECT_NEAR(control->GetDuration(folder + "sound.mp3"), 2.0, 0.2);
    EXPECT_LT(control->GetDuration(folder + "truncated.mp4"), 4.5) << "the truncated MP4 lost its index";
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        std::string path;
        double start, end;
        short play;
    } cases[] = {
        {folder + "text.avi", 0.0, 1.0, 0},
        {folder + "truncated.mp4", 1.0, 2.0, 0},
        {folder + "sound.mp3", 0.5, 1.0, 1},
        {folder + "missing.avi", 0.0, 1.0, 0},
        {folder + "clip.avi", 3.0, 1.0, 0}, // begin past the end
        {folder + "clip.avi", nan, 1.0, 0},
        {folder + "clip.avi", 2.0, 2.0, 1},
        {folder + "clip.avi", 9.0, 12.0, 1}, // past the file's end
        {"", 0.0, 0.0, 0},                   // nothing open at all
    };
    for (const auto& c : cases) {
        window.events.positions.clear();
        control->CloseClip();
        if (c.path.empty())
            control->StopPlayer();
        else
            control->OpenClip(c.path, c.start, c.end, c.play);
        control->RunPlayer();
        ASSERT_TRUE(window.Settle()) << c.path << " " << c.start;
        EXPECT_EQ(window.events.positions.size(), 1u) << c.path << " " << c.start;
        EXPECT_EQ(ChildDecoders(), 0) << c.path;
    }
    // A second run while one runs owes two.
    window.events.positions.clear();
    ASSERT_TRUE(control->OpenClip(folder + "play.avi", 0.0, 5.0, 1));
    ASSERT_TRUE(control->RunPlayer());
    ASSERT_TRUE(control->RunPlayer());
    ASSERT_TRUE(PumpUntil([&] { return window.events.positions.size() >= 2; }));
    control->StopPlayer();
    ASSERT_TRUE(window.Settle());
    EXPECT_EQ(window.events.positions.size(), 2u);
}

// Destroyed mid-playback, also from inside its own position event.
TEST_F(PlayerControlTest, NoDecoderOutlivesTheControl) {
    for (const bool fromEvent : {false, true}) {
        PlayerWindow window(160, 120);
        ASSERT_TRUE(window.Control()->OpenClip(folder + "play.avi", 0.0, 5.0, 1));
        if (fromEvent)
            window.events.onPosition = [&window](double) { DestroyWindow(window.parent); };
        ASSERT_TRUE(window.Control()->RunPlayer());
        ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window.player) || window.events.playback.size() >= 3; }));
        EXPECT_TRUE(fromEvent || ChildDecoders() >= 1) << "the decoder runs while it plays";
        DestroyWindow(window.parent);
        PumpPending();
        EXPECT_EQ(window.events.positions.size(), 1u);
        EXPECT_EQ(ChildDecoders(), 0) << fromEvent;
        EXPECT_EQ(CPlayerControl::FromWindow(window.player), nullptr);
    }
}

// A program that leaves a helper behind holding its output pipe (under Wine a console host did, ffmpeg ended while
// it started): the output still ends with the program, so the preview that waits for its reader never hangs.
TEST(FfmpegProcessTest, OutputEndsWithTheProgramThoughAHelperHoldsItsPipe) {
    const std::string pids = PlayerTempFolder("linger") + "pids.txt";
    DeleteFileA(pids.c_str());
    const std::string fake = BuildFolder() + "tests\\fakes\\fake_encoder.exe";
    FfmpegProcess run;
    std::string error;
    ASSERT_TRUE(run.Start(fake, Quote(fake) + " --pid " + Quote(pids) + " --linger 60000 --chunk hello", error))
        << error;
    std::string text;
    char buffer[64];
    DWORD got = 0;
    while (run.ReadOutput(buffer, sizeof(buffer), got))
        text.append(buffer, got);
    EXPECT_EQ(text, "hello");
    const std::vector<std::string> lines = FileLines(pids);
    ASSERT_EQ(lines.size(), 2u);
    HANDLE helper = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::stoul(lines[1]));
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(WaitForSingleObject(helper, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the helper still holds the pipe";
    TerminateProcess(helper, 0);
    CloseHandle(helper);
}

// The exports it refuses: nothing starts and nothing completes.
TEST_F(PlayerControlTest, ExportsItRefuses) {
    PlayerWindow window(160, 120);
    CPlayerControl* control = window.Control();
    EXPECT_FALSE(control->ExportClip(folder + "x.avi")) << "no clip open";
    ASSERT_TRUE(control->OpenClip(folder + "clip.rm", 1.0, 3.0, 0));
    EXPECT_FALSE(control->ExportClip(folder + "no such folder\\x.avi"));
    control->SetOutputFormat(3);
    EXPECT_FALSE(control->ExportClip(folder + "odd format.avi"));
    ASSERT_TRUE(window.Settle());
    EXPECT_TRUE(window.events.completions.empty());
    EXPECT_EQ(ChildDecoders(), 0);
}

} // namespace
