// The player control under Wine with the real ffmpeg, on clips made at test time.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "gui/VideoEdit.h"
#include "player/MediaProbe.h"
#include "player/PlayerControl.h"
#include "tests/player/PlayerTestSupport.h"
#include "tests/support/Screenshot.h"
#include "tools/movenc/FfmpegProcess.h"

namespace {

class PlayerControlTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        PutShippedProgramsOnPath();
        folder = PlayerTempFolder("clips");
        made = true;
        for (const ClipKind& kind : SampleClipKinds())
            made = made && MakeClip(folder + kind.name, 4.0, "-shortest " + kind.options);
        // A longer clip for playback, its picture the control's size.
        made = made && MakeClip(folder + "play.avi", 5.0, "-shortest -c:v mpeg4 -q:v 3 -c:a libmp3lame");
        made = made && MakeClip(folder + "sound.mp3", 2.0, "-c:a libmp3lame", ClipContent::Tone);
        // Broken inputs.
        std::ofstream(folder + "empty.mp4", std::ios::binary);
        std::ofstream(folder + "text.avi", std::ios::binary) << "this is not a video\r\n";
        const std::string mp4 = ReadWholeFile(folder + "clip.mp4");
        std::ofstream(folder + "truncated.mp4", std::ios::binary) << mp4.substr(0, mp4.size() / 3);
    }

    void SetUp() override {
        ASSERT_TRUE(made) << "ffmpeg could not make the clips";
        ClearProbeCache();
    }

    double Ffprobe(const std::string& path) {
        const ChildRun run = RunCommand(Quote(AppFolder() + "ffprobe.exe") + " -v error -show_entries format=duration -of "
                                                     "default=nw=1:nk=1 " + Quote(path));
        return std::atof(run.output.c_str());
    }

    // The frame ffmpeg itself gives for `seconds` of `path` at the control's size.
    std::vector<std::uint32_t> ReferenceFrame(const std::string& path, double seconds, int width, int height) {
        const std::string raw = folder + "reference.raw";
        RunCommand(Quote(AppFolder() + "ffmpeg.exe") + " -v error -y -ss " + SecondsArgument(seconds) + " -i " + Quote(path) +
                   " -frames:v 1 -vf " + FitFilter(width, height) + " -pix_fmt bgra -f rawvideo " + Quote(raw));
        const std::string bytes = ReadWholeFile(raw);
        std::vector<std::uint32_t> pixels(bytes.size() / 4);
        std::memcpy(pixels.data(), bytes.data(), pixels.size() * 4);
        return pixels;
    }

    // Shows the still frame at `seconds` as the preview asks for it: open with play 0, run,
    // halt at the first position event.
    void ShowStill(PlayerWindow& window, const std::string& path, double seconds) {
        CPlayerControl* control = window.Control();
        control->StopPlayer();
        const double duration = control->GetDuration(path);
        control->CloseClip();
        control->SetColorDepth(24);
        ASSERT_TRUE(control->OpenClip(path, seconds <= duration ? seconds : 0.0, duration, 0));
        window.events.onPosition = [control](double) { control->PausePlayer(); };
        ASSERT_TRUE(control->RunPlayer());
    }

    static std::string folder;
    static bool made;
};

std::string PlayerControlTest::folder;
bool PlayerControlTest::made = false;

int ChannelDistance(std::uint32_t a, std::uint32_t b) {
    int most = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        most = std::max(most, d);
    }
    return most;
}

TEST_F(PlayerControlTest, DurationOfEveryKindMatchesFfprobe) {
    PlayerWindow window;
    for (const ClipKind& kind : SampleClipKinds()) {
        const std::string path = folder + kind.name;
        const double probed = Ffprobe(path);
        const double duration = window.Control()->GetDuration(path);
        EXPECT_NEAR(duration, probed, 0.1) << kind.name;
        EXPECT_NEAR(duration, 4.0, 0.25) << kind.name;
        // Asked again, the same answer (from the cache).
        EXPECT_EQ(window.Control()->GetDuration(path), duration) << kind.name;
    }
    EXPECT_EQ(ChildDecoders(), 0);
}

TEST_F(PlayerControlTest, DurationOfWhatIsNoVideoIsZero) {
    PlayerWindow window;
    CPlayerControl* control = window.Control();
    EXPECT_EQ(control->GetDuration(folder + "missing.avi"), 0.0);
    EXPECT_EQ(control->GetDuration(folder + "empty.mp4"), 0.0);
    EXPECT_EQ(control->GetDuration(folder + "text.avi"), 0.0);
    EXPECT_EQ(control->GetDuration(folder), 0.0) << "a folder";
    EXPECT_EQ(control->GetDuration(""), 0.0);
    // A path of 259 characters that names nothing.
    EXPECT_EQ(control->GetDuration("C:\\" + std::string(252, 'a') + ".avi"), 0.0);
    // An audio file has a length; the truncated MP4 lost its index, so it has none or a short one.
    EXPECT_NEAR(control->GetDuration(folder + "sound.mp3"), 2.0, 0.2);
    EXPECT_LT(control->GetDuration(folder + "truncated.mp4"), 4.5);
}

TEST_F(PlayerControlTest, StillFrameAtOneSecondIsFfmpegsFrame) {
    PlayerWindow window;
    const std::string path = folder + "clip.avi";
    ShowStill(window, path, 1.0);
    ASSERT_TRUE(window.Settle());
    ASSERT_EQ(window.events.positions.size(), 1u) << "one position event after RunPlayer";
    EXPECT_NEAR(window.events.positions[0], 1.0, 1e-6);

    std::vector<std::uint32_t> shown;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(window.Control()->CopyFrame(shown, width, height));
    ASSERT_EQ(width, 320);
    ASSERT_EQ(height, 240);
    const std::vector<std::uint32_t> atOne = ReferenceFrame(path, 1.0, width, height);
    const std::vector<std::uint32_t> atZero = ReferenceFrame(path, 0.0, width, height);
    ASSERT_EQ(atOne.size(), shown.size());
    ASSERT_EQ(atZero.size(), shown.size());
    int differFromStart = 0;
    for (int y = 12; y < height; y += 24) {
        for (int x = 10; x < width; x += 20) {
            const std::size_t i = static_cast<std::size_t>(y * width + x);
            EXPECT_LE(ChannelDistance(shown[i], atOne[i]), 6) << "pixel " << x << "," << y;
            if (ChannelDistance(atOne[i], atZero[i]) > 40)
                ++differFromStart;
        }
    }
    EXPECT_GT(differFromStart, 3) << "the sampled pixels tell the frame at 1 s from the first";

    // What the window painted is the frame: read back from the control's own DC.
    HDC dc = GetDC(window.player);
    const COLORREF painted = GetPixel(dc, 160, 120);
    ReleaseDC(window.player, dc);
    const std::uint32_t expected = atOne[120 * 320 + 160];
    EXPECT_LE(ChannelDistance(RGB((expected >> 16) & 0xFF, (expected >> 8) & 0xFF, expected & 0xFF), painted), 8);

    const std::string screenshot = BuildFolder() + "player_still_frame.png";
    EXPECT_TRUE(SaveWindowPng(window.player, screenshot)) << screenshot;
    EXPECT_EQ(ChildDecoders(), 0);
}

TEST_F(PlayerControlTest, StillFrameOfEveryKind) {
    PlayerWindow window(160, 120);
    for (const ClipKind& kind : SampleClipKinds()) {
        window.events.positions.clear();
        ShowStill(window, folder + kind.name, 1.0);
        ASSERT_TRUE(window.Settle()) << kind.name;
        EXPECT_EQ(window.events.positions.size(), 1u) << kind.name;
        std::vector<std::uint32_t> shown;
        int width = 0;
        int height = 0;
        ASSERT_TRUE(window.Control()->CopyFrame(shown, width, height)) << kind.name;
        // testsrc's picture is colourful everywhere: the middle of the frame is not black.
        EXPECT_NE(shown[static_cast<std::size_t>(60 * width + 40)] & 0xFFFFFF, 0u) << kind.name;
    }
}

TEST_F(PlayerControlTest, StillFrameAtTheVeryEndShowsTheLastFrame) {
    PlayerWindow window(160, 120);
    const std::string path = folder + "clip.mp4";
    const double duration = window.Control()->GetDuration(path);
    ShowStill(window, path, duration);
    ASSERT_TRUE(window.Settle());
    EXPECT_EQ(window.events.positions.size(), 1u);
    std::vector<std::uint32_t> shown;
    int width = 0;
    int height = 0;
    EXPECT_TRUE(window.Control()->CopyFrame(shown, width, height));
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

TEST_F(PlayerControlTest, PauseKeepsTheFrame) {
    PlayerWindow window(160, 120);
    CPlayerControl* control = window.Control();
    const std::string path = folder + "play.avi";
    ASSERT_TRUE(control->OpenClip(path, 0.0, 5.0, 1));
    ASSERT_TRUE(control->RunPlayer());
    ASSERT_TRUE(PumpUntil([&] { return window.events.playback.size() >= 10; }));
    control->PausePlayer();
    ASSERT_TRUE(window.Settle());
    std::vector<std::uint32_t> paused;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(control->CopyFrame(paused, width, height));
    const long long shown = control->FramesShown();
    const double position = control->Position();
    EXPECT_GT(position, 0.3);
    EXPECT_LT(position, 4.0);
    EXPECT_EQ(ChildDecoders(), 0) << "a paused player runs no decoder";
    // Messages come and go; the frame stays.
    PostMessageA(window.player, WM_PAINT, 0, 0);
    window.Settle();
    std::vector<std::uint32_t> later;
    ASSERT_TRUE(control->CopyFrame(later, width, height));
    EXPECT_EQ(later, paused);
    EXPECT_EQ(control->FramesShown(), shown);
    EXPECT_EQ(window.events.positions.size(), 1u);

    // Running again goes on from there.
    window.events.playback.clear();
    ASSERT_TRUE(control->RunPlayer());
    ASSERT_TRUE(PumpUntil([&] { return !window.events.playback.empty(); }));
    EXPECT_GT(window.events.playback.front().position, position);
    control->StopPlayer();
    ASSERT_TRUE(window.Settle());
    EXPECT_EQ(window.events.positions.size(), 2u);
}

TEST_F(PlayerControlTest, OnePositionEventAfterEveryRunWhateverTheFile) {
    PlayerWindow window(160, 120);
    CPlayerControl* control = window.Control();
    struct Case {
        std::string path;
        double start;
        double end;
        short play;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {folder + "text.avi", 0.0, 1.0, 0},      // not a video
        {folder + "empty.mp4", 0.0, 1.0, 0},     // zero bytes
        {folder + "truncated.mp4", 1.0, 2.0, 0}, // truncated
        {folder + "sound.mp3", 0.5, 1.0, 1},     // audio only
        {folder + "missing.avi", 0.0, 1.0, 0},   // no such file
        {folder + "clip.avi", 3.0, 1.0, 0},      // begin past the end
        {folder + "clip.avi", -1.0, 1.0, 0},     // negative
        {folder + "clip.avi", nan, 1.0, 0},      // NaN
        {folder + "clip.avi", 2.0, 2.0, 1},      // begin = end
        {folder + "clip.avi", 9.0, 12.0, 1},     // past the end of the file
    };
    for (const Case& c : cases) {
        window.events.positions.clear();
        control->CloseClip();
        control->OpenClip(c.path, c.start, c.end, c.play);
        control->RunPlayer();
        ASSERT_TRUE(window.Settle()) << c.path << " " << c.start;
        EXPECT_EQ(window.events.positions.size(), 1u) << c.path << " " << c.start;
        EXPECT_EQ(ChildDecoders(), 0) << c.path;
    }
    // Nothing open at all, and stop and close with nothing open.
    control->CloseClip();
    control->StopPlayer();
    control->CloseClip();
    window.events.positions.clear();
    EXPECT_FALSE(control->RunPlayer());
    ASSERT_TRUE(window.Settle());
    EXPECT_EQ(window.events.positions.size(), 1u);
}

TEST_F(PlayerControlTest, SecondRunWhileOneRunsOwesTwoEvents) {
    PlayerWindow window(160, 120);
    CPlayerControl* control = window.Control();
    ASSERT_TRUE(control->OpenClip(folder + "play.avi", 0.0, 5.0, 1));
    ASSERT_TRUE(control->RunPlayer());
    ASSERT_TRUE(control->RunPlayer());
    ASSERT_TRUE(PumpUntil([&] { return window.events.positions.size() >= 2; }));
    control->StopPlayer();
    ASSERT_TRUE(window.Settle());
    EXPECT_EQ(window.events.positions.size(), 2u);
    EXPECT_EQ(ChildDecoders(), 0);
}

TEST_F(PlayerControlTest, NoDecoderOutlivesTheControl) {
    {
        PlayerWindow window(160, 120);
        CPlayerControl* control = window.Control();
        ASSERT_TRUE(control->OpenClip(folder + "play.avi", 0.0, 5.0, 1));
        ASSERT_TRUE(control->RunPlayer());
        ASSERT_TRUE(PumpUntil([&] { return window.events.playback.size() >= 3; }));
        ASSERT_GE(ChildDecoders(), 1);
        // The window closes mid-playback.
        DestroyWindow(window.parent);
        EXPECT_EQ(ChildDecoders(), 0);
        EXPECT_EQ(CPlayerControl::FromWindow(window.player), nullptr);
    }
    {
        PlayerWindow window(160, 120);
        CPlayerControl* control = window.Control();
        const std::string out = PlayerTempFolder("export") + "cut short.avi";
        ASSERT_TRUE(control->OpenClip(folder + "play.avi", 0.0, 5.0, 0));
        ASSERT_TRUE(control->ExportClip(out));
        DestroyWindow(window.parent);
        EXPECT_EQ(ChildDecoders(), 0);
        EXPECT_EQ(GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES) << "a cut-short export leaves no file";
    }
    {
        // The parent closes inside the control's own position event, mid-playback.
        PlayerWindow window(160, 120);
        CPlayerControl* control = window.Control();
        ASSERT_TRUE(control->OpenClip(folder + "play.avi", 0.0, 5.0, 1));
        window.events.onPosition = [&window](double) { DestroyWindow(window.parent); };
        ASSERT_TRUE(control->RunPlayer());
        ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window.player); }));
        PumpUntil([] { return true; });
        EXPECT_EQ(window.events.positions.size(), 1u);
        EXPECT_EQ(ChildDecoders(), 0);
    }
}

// A program that leaves a helper behind holding its output pipe (under Wine a console host
// did, ffmpeg ended while it started): the output still ends with the program, so a session
// that waits for its reader is never stuck.
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

TEST_F(PlayerControlTest, WrapperOfAGoneControlAnswersEmpty) {
    HWND parent = nullptr;
    CVideoEdit edit;
    {
        PlayerWindow window(160, 120);
        parent = window.parent;
        ASSERT_TRUE(edit.Attach(window.parent));
        EXPECT_NE(edit.Control(), nullptr);
        EXPECT_NEAR(edit.GetDuration(folder + "clip.avi"), 4.0, 0.25);
        EXPECT_GE(edit.VideoCodecs().CodecCount(), 1);
    }
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_EQ(edit.Control(), nullptr);
    EXPECT_EQ(edit.GetDuration(folder + "clip.avi"), 0.0);
    EXPECT_FALSE(edit.OpenClip(folder + "clip.avi", 0.0, 1.0, 0));
    EXPECT_FALSE(edit.RunPlayer());
    edit.PausePlayer();
    edit.StopPlayer();
    edit.CloseClip();
    EXPECT_FALSE(edit.ExportClip(folder + "x.avi"));
    EXPECT_EQ(edit.VideoCodecs().CodecCount(), 0);
    EXPECT_FALSE(edit.IsExporting());

    CVideoEdit unattached;
    EXPECT_FALSE(unattached.Attach(nullptr));
    EXPECT_EQ(unattached.GetDuration(folder + "clip.avi"), 0.0);
}

TEST_F(PlayerControlTest, CompressorListsNameTheInstalledEncoders) {
    PlayerWindow window(160, 120);
    CVideoEdit edit;
    ASSERT_TRUE(edit.Attach(window.parent));
    const PlayerCodecList video = edit.VideoCodecs();
    const PlayerCodecList audio = edit.AudioCodecs();
    bool v3 = false;
    for (short i = 0; i < video.CodecCount(); ++i)
        v3 = v3 || video.CodecName(i).find("Microsoft MPEG-4 Video Codec V3") != std::string::npos;
    bool mp3 = false;
    bool pcm = false;
    for (short i = 0; i < audio.CodecCount(); ++i) {
        mp3 = mp3 || audio.CodecName(i).find("MPEG Layer-3") != std::string::npos;
        pcm = pcm || audio.CodecName(i).find("PCM") != std::string::npos;
    }
    EXPECT_TRUE(v3);
    EXPECT_TRUE(mp3);
    EXPECT_TRUE(pcm);
    EXPECT_EQ(video.CodecName(-1), "");
    EXPECT_EQ(video.CodecName(video.CodecCount()), "");
}

class PlayerExportTest : public PlayerControlTest {
protected:
    struct Made {
        bool started = false;
        std::string probe;
    };

    Made Export(long format, float rate, bool useCodecs, const std::string& name) {
        PlayerWindow window(160, 120);
        CVideoEdit edit;
        EXPECT_TRUE(edit.Attach(window.parent));
        const std::string out = PlayerTempFolder("export") + name;
        DeleteFileA(out.c_str());
        const std::string source = folder + "clip.rm";
        edit.CloseClip();
        edit.SetOutputWidth(320);
        edit.SetOutputHeight(240);
        edit.SetColorDepth(24);
        edit.SetOutputFrameRate(rate);
        edit.SetOutputFormat(format);
        if (useCodecs) {
            const ExportCompressors chosen = ChooseExportCompressors(edit.VideoCodecNames(), edit.AudioCodecNames());
            EXPECT_TRUE(chosen.Avi());
            edit.SetUseVideoCodec(true);
            edit.SetVideoCodecIndex(static_cast<short>(chosen.video));
            edit.SetUseAudioCodec(true);
            edit.SetAudioCodecIndex(static_cast<short>(chosen.audio));
        }
        edit.OpenClip(source, 1.0, 3.0, 0);
        edit.SetClipRange(source, 1.0, 3.0);
        Made made;
        made.started = edit.ExportClip(out);
        if (!made.started)
            return made;
        EXPECT_TRUE(PumpUntil([&] { return !window.events.completions.empty(); }, 120000));
        EXPECT_TRUE(window.Settle());
        EXPECT_EQ(window.events.completions.size(), 1u);
        const auto& progress = window.events.progress;
        EXPECT_GE(progress.size(), 2u);
        for (std::size_t i = 1; i < progress.size(); ++i)
            EXPECT_GE(progress[i].position, progress[i - 1].position);
        if (!progress.empty()) {
            EXPECT_NEAR(progress.back().position, 2.0, 1e-6) << "progress rises to the total";
            EXPECT_NEAR(progress.back().total, 2.0, 1e-6);
        }
        EXPECT_EQ(ChildDecoders(), 0);
        made.probe = RunCommand(Quote(AppFolder() + "ffprobe.exe") + " -v error -show_entries "
                                            "stream=codec_name,width,height,r_frame_rate:format=duration,format_name "
                                            "-of compact=nk=1 " + Quote(out)).output;
        DeleteFileA(out.c_str());
        return made;
    }
};

TEST_F(PlayerExportTest, RealMediaToAviWithMpeg4V3AndMp3) {
    const Made made = Export(PlayerOutputFormat::avi, 25.0f, true, "exported clip.avi");
    ASSERT_TRUE(made.started);
    EXPECT_NE(made.probe.find("msmpeg4v3|320|240|25/1"), std::string::npos) << made.probe;
    EXPECT_NE(made.probe.find("mp3|"), std::string::npos) << made.probe;
    EXPECT_NE(made.probe.find("|avi"), std::string::npos) << made.probe;
}

TEST_F(PlayerExportTest, RealMediaToMpegAtFilmRate) {
    const Made made = Export(PlayerOutputFormat::mpeg, 23.976f, false, "exported clip.mpg");
    ASSERT_TRUE(made.started);
    EXPECT_NE(made.probe.find("mpeg1video|320|240|24000/1001"), std::string::npos) << made.probe;
    EXPECT_NE(made.probe.find("mp2|"), std::string::npos) << made.probe;
}

TEST_F(PlayerExportTest, ExportsItRefuses) {
    PlayerWindow window(160, 120);
    CPlayerControl* control = window.Control();
    EXPECT_FALSE(control->ExportClip(folder + "nothing open.avi")) << "no clip open";
    ASSERT_TRUE(control->OpenClip(folder + "clip.rm", 0.0, 2.0, 0));
    EXPECT_FALSE(control->ExportClip(folder + "no such folder\\x.avi"));
    EXPECT_FALSE(control->ExportClip(""));
    control->SetOutputFormat(3);
    EXPECT_FALSE(control->ExportClip(folder + "odd format.avi"));
    ASSERT_TRUE(window.Settle());
    EXPECT_TRUE(window.events.completions.empty());
    EXPECT_EQ(ChildDecoders(), 0);
}

} // namespace
