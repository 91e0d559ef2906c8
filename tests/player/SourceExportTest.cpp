// The export of a RealMedia source through a fake player: the compressor choice, the order of the settings, the
// intermediate name, the wait for the player's events, stop and refusal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "engine/ConversionTask.h"
#include "engine/EncoderRunner.h"
#include "engine/EngineGlobals.h"
#include "engine/Pipelines.h"
#include "engine/SourceExport.h"
#include "engine/TaskStatus.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::StartsWith;

// Messages the fake player posts to itself, as the real one's events arrive: through the thread's queue, dispatched
// by the engine's wait.
constexpr UINT fakeProgressMessage = WM_APP + 1; // wParam: position in ms, lParam: total in ms
constexpr UINT fakeCompleteMessage = WM_APP + 2;
constexpr UINT fakeStopMessage = WM_APP + 3; // the user presses Stop

LRESULT CALLBACK EventWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case fakeProgressMessage: OnExportProgress(wParam / 1000.0, lParam / 1000.0); return 0;
    case fakeCompleteMessage: OnExportComplete(); return 0;
    case fakeStopMessage: cancelRequested = 1; return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Notes every call; the export does what onExport says (post events, write the file).
class FakePlayer : public SourceExportPlayer {
public:
    std::vector<std::string> video = {"Microsoft MPEG-4 Video Codec V3"};
    std::vector<std::string> audio = {"MPEG Layer-3"};
    std::vector<std::string> calls;
    bool acceptExport = true;
    bool exporting = false;
    std::string exportedTo;
    std::function<void(const std::string& path)> onExport;

    std::vector<std::string> VideoCodecNames() override { return video; }
    std::vector<std::string> AudioCodecNames() override { return audio; }
    void CloseClip() override { calls.push_back("CloseClip"); }
    void SetOutputWidth(short v) override { Note("OutputWidth", v); }
    void SetOutputHeight(short v) override { Note("OutputHeight", v); }
    void SetColorDepth(short v) override { Note("ColorDepth", v); }
    void SetOutputFrameRate(float v) override { Note("OutputFrameRate", std::lround(v * 1000)); }
    void SetOutputFormat(long v) override { Note("OutputFormat", v); }
    void SetUseVideoCodec(bool v) override { Note("UseVideoCodec", v); }
    void SetVideoCodecIndex(short v) override { Note("VideoCodecIndex", v); }
    void SetUseAudioCodec(bool v) override { Note("UseAudioCodec", v); }
    void SetAudioCodecIndex(short v) override { Note("AudioCodecIndex", v); }
    bool OpenClip(const std::string& path, double start, double end, short play) override {
        calls.push_back("OpenClip " + path + " " + std::to_string(start) + " " + std::to_string(end) + " " +
                        std::to_string(play));
        return true;
    }
    bool SetClipRange(const std::string& path, double start, double end) override {
        calls.push_back("SetClipRange " + path + " " + std::to_string(start) + " " + std::to_string(end));
        return true;
    }
    bool ExportClip(const std::string& path) override {
        calls.push_back("ExportClip");
        exportedTo = path;
        exporting = acceptExport;
        if (acceptExport && onExport)
            onExport(path);
        return acceptExport;
    }
    void StopPlayer() override {
        calls.push_back("StopPlayer");
        exporting = false;
    }
    bool IsExporting() override { return exporting; }

private:
    void Note(const char* call, long value) { calls.push_back(call + (" " + std::to_string(value))); }
};

class SourceExportTest : public testing::Test {
protected:
    void SetUp() override {
        lstrcpynA(savedProgramDirectory, programDirectory, pathBufferSize);
        lstrcpynA(programDirectory, folder.Path().c_str(), pathBufferSize);
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = EventWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "MovaraFakePlayerEvents";
        RegisterClassExA(&windowClass);
        events = CreateWindowExA(0, "MovaraFakePlayerEvents", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ConversionTask task = MakeNewTask("C:\\clips\\film.rm", 10.0, 12345);
        task.beginTime = 1.0;
        task.endTime = 3.0;
        task.exportBaseName = "film";
        host.tasks.push_back(task);
        currentTaskIndex = 0;
        cancelRequested = 0;
        UsePlayerForSourceExport(&player);
        // By default the export writes its file and completes, with progress on the way.
        OnExport("exported", {{fakeProgressMessage, 1000}, {fakeProgressMessage, 2000}, {fakeCompleteMessage, 0}});
    }
    void TearDown() override {
        UsePlayerForSourceExport(nullptr);
        DestroyWindow(events);
        cancelRequested = 0;
        lstrcpynA(programDirectory, savedProgramDirectory, pathBufferSize);
    }

    // The export writes bytes as its file (none for null) and posts the messages, a progress one out of 2 s.
    void OnExport(const char* bytes, std::vector<std::pair<UINT, WPARAM>> posts) {
        player.onExport = [this, bytes, posts](const std::string& path) {
            if (bytes)
                folder.Write(path.substr(folder.Path().size()), bytes);
            for (const auto& [message, position] : posts)
                PostMessageA(events, message, position, 2000);
        };
    }

    TempFolder folder;
    char savedProgramDirectory[pathBufferSize] = {};
    FakeHost host;
    HostInstalled installed{&host};
    FakePlayer player;
    HWND events = nullptr;
};

TEST_F(SourceExportTest, AviWithTheMicrosoftCodecInTheGivenOrderNamedInTheProgramFolder) {
    player.video = {"DivX Pro 5", "Microsoft MPEG-4 Video Codec V3", "DivX 6", "Cinepak"};
    player.audio = {"PCM", "MPEG Layer-3", "GSM 6.10"};
    ASSERT_TRUE(ExportSourceThroughPlayer(0));
    EXPECT_THAT(player.calls,
                ElementsAre("CloseClip", "OutputWidth 320", "OutputHeight 240", "ColorDepth 24",
                            "OutputFrameRate 25000", "OutputFormat 8", "UseVideoCodec 1", "VideoCodecIndex 1",
                            "UseAudioCodec 1", "AudioCodecIndex 1", "OpenClip C:\\clips\\film.rm 1.000000 3.000000 0",
                            "SetClipRange C:\\clips\\film.rm 1.000000 3.000000", "ExportClip", "StopPlayer"));
    const ConversionTask task = host.tasks[0];
    EXPECT_EQ(task.exportDone, 1);
    EXPECT_EQ(task.status, TaskStatus::Converting);
    EXPECT_EQ(task.exportPath, player.exportedTo);
    EXPECT_NEAR(task.exportPercent, 100.0, 1e-6);
    EXPECT_TRUE(FileExists(task.exportPath));
    ASSERT_EQ(task.exportPath.compare(0, folder.Path().size(), folder.Path()), 0) << task.exportPath;
    std::smatch match;
    const std::string name = task.exportPath.substr(folder.Path().size());
    ASSERT_TRUE(std::regex_match(name, match, std::regex("film_([0-9]+)\\.avi"))) << name;
    EXPECT_GE(std::stoi(match[1]), 10000);
    EXPECT_LE(std::stoi(match[1]), 50001);
}

TEST_F(SourceExportTest, PcmWhenThereIsNoMp3AndMpegWithoutTheMicrosoftCodec) {
    player.video = {"DivX 6", "Cinepak", "DivX Pro 5"};
    player.audio = {"PCM", "GSM 6.10", "MPEG Layer-3?"}; // the last one does hold the name
    EXPECT_EQ(ChooseExportCompressors(player.video, player.audio).video, 2);
    EXPECT_EQ(ChooseExportCompressors(player.video, player.audio).audio, 2);
    player.audio = {"IMA ADPCM", "GSM 6.10", "mpeg layer-3"};
    const ExportCompressors chosen = ChooseExportCompressors(player.video, player.audio);
    EXPECT_EQ(chosen.video, 2);
    EXPECT_EQ(chosen.audio, 0) << "\"PCM\" is found inside \"IMA ADPCM\"; the match is case-sensitive";
    ASSERT_TRUE(ExportSourceThroughPlayer(0));
    EXPECT_THAT(player.calls, Contains("AudioCodecIndex 0"));
    EXPECT_THAT(player.calls, Contains("OutputFormat 8"));
    EXPECT_THAT(player.exportedTo, testing::EndsWith(".avi"));

    player.calls.clear();
    player.video = {"Cinepak", "microsoft mpeg-4 video codec v3"};
    player.audio = {"MPEG Layer-3"};
    ASSERT_TRUE(ExportSourceThroughPlayer(0));
    EXPECT_THAT(player.calls, ElementsAre("CloseClip", "OutputWidth 320", "OutputHeight 240", "ColorDepth 24",
                                          "OutputFrameRate 23976", "OutputFormat 6", StartsWith("OpenClip"),
                                          StartsWith("SetClipRange"), "ExportClip", "StopPlayer"));
    EXPECT_THAT(player.exportedTo, testing::EndsWith(".mpg"));
}

// A stop, an export that ends without its file and a player that goes away without a word all fail the export and
// leave no intermediate file.
TEST_F(SourceExportTest, StopAndFailuresLeaveNothing) {
    // The player would go on reporting after the stop; the stop ends the wait before it completes.
    OnExport("partial", {{fakeProgressMessage, 500}, {fakeStopMessage, 0}, {fakeProgressMessage, 800}});
    host.tasks[0].exportDone = 1;
    ConversionTask during;
    player.onExport = [this, &during, stopping = player.onExport](const std::string& path) {
        during = host.tasks[0];
        stopping(path);
    };
    EXPECT_FALSE(ExportSourceThroughPlayer(0));
    EXPECT_EQ(during.exportDone, 0) << "cleared at every start";
    EXPECT_EQ(during.status, TaskStatus::SourceExport);
    EXPECT_EQ(host.tasks[0].exportDone, 0);
    EXPECT_FALSE(FileExists(host.tasks[0].exportPath));
    EXPECT_THAT(player.calls, Contains("StopPlayer"));
    EXPECT_FALSE(player.exporting);
    cancelRequested = 0;

    player.onExport = [this](const std::string& path) {
        folder.Write(path.substr(folder.Path().size()), "partial");
        player.exporting = false; // its window was destroyed
    };
    EXPECT_FALSE(ExportSourceThroughPlayer(0));
    EXPECT_FALSE(FileExists(host.tasks[0].exportPath));

    CurrentDirectoryGuard directory;
    OnExport(nullptr, {{fakeCompleteMessage, 0}});
    ConvertTask(0);
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed) << "ended without a file";
    EXPECT_NE(host.tasks[0].finished, 1);

    player.acceptExport = false;
    host.tasks[0].status = TaskStatus::None;
    ConvertTask(0);
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed) << "refused";
    EXPECT_NE(host.tasks[0].finished, 1);
    EXPECT_FALSE(host.tasks[0].exportPath.empty());
    EXPECT_FALSE(FileExists(host.tasks[0].exportPath));
}

TEST_F(SourceExportTest, ProgressWithoutATotalComputesNothing) {
    host.tasks[0].exportPercent = 12.5;
    host.tasks[0].exportPosition = 0.25;
    OnExportProgress(1.0, 0.0);
    OnExportProgress(std::nan(""), 2.0);
    EXPECT_EQ(host.tasks[0].exportPercent, 12.5);
    EXPECT_EQ(host.tasks[0].exportPosition, 0.25);
    OnExportProgress(1.0, 2.0);
    EXPECT_NEAR(host.tasks[0].exportPercent, 50.0, 1e-6);
}

} // namespace
