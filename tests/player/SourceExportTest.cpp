// The export of a RealMedia source through a fake player: the compressor choice, the order of
// the settings, the intermediate name, the wait for the player's events, stop and refusal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

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

using testing::ElementsAre;

// Messages the fake player posts to itself, as the real one's events arrive: through the
// thread's queue, dispatched by the engine's wait.
constexpr UINT fakeProgressMessage = WM_APP + 1;  // wParam: position in ms, lParam: total in ms
constexpr UINT fakeCompleteMessage = WM_APP + 2;
constexpr UINT fakeStopMessage = WM_APP + 3;      // the user presses Stop

LRESULT CALLBACK EventWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case fakeProgressMessage:
        OnExportProgress(static_cast<double>(wParam) / 1000.0, static_cast<double>(lParam) / 1000.0);
        return 0;
    case fakeCompleteMessage:
        OnExportComplete();
        return 0;
    case fakeStopMessage:
        cancelRequested = 1;
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

class FakePlayer : public SourceExportPlayer {
public:
    std::vector<std::string> video = {"Microsoft MPEG-4 Video Codec V3"};
    std::vector<std::string> audio = {"MPEG Layer-3"};
    std::vector<std::string> calls;
    bool acceptExport = true;
    bool exporting = false;
    std::string exportedTo;
    // What the export does once started: post events, write the file.
    std::function<void(const std::string& path)> onExport;

    std::vector<std::string> VideoCodecNames() override { return video; }
    std::vector<std::string> AudioCodecNames() override { return audio; }
    void CloseClip() override { calls.push_back("CloseClip"); }
    void SetOutputWidth(short v) override { calls.push_back("OutputWidth " + std::to_string(v)); }
    void SetOutputHeight(short v) override { calls.push_back("OutputHeight " + std::to_string(v)); }
    void SetColorDepth(short v) override { calls.push_back("ColorDepth " + std::to_string(v)); }
    void SetOutputFrameRate(float v) override {
        char text[32];
        std::snprintf(text, sizeof(text), "OutputFrameRate %.3f", v);
        calls.push_back(text);
    }
    void SetOutputFormat(long v) override { calls.push_back("OutputFormat " + std::to_string(v)); }
    void SetUseVideoCodec(bool v) override { calls.push_back(std::string("UseVideoCodec ") + (v ? "1" : "0")); }
    void SetVideoCodecIndex(short v) override { calls.push_back("VideoCodecIndex " + std::to_string(v)); }
    void SetUseAudioCodec(bool v) override { calls.push_back(std::string("UseAudioCodec ") + (v ? "1" : "0")); }
    void SetAudioCodecIndex(short v) override { calls.push_back("AudioCodecIndex " + std::to_string(v)); }
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
        if (!acceptExport)
            return false;
        exporting = true;
        if (onExport)
            onExport(path);
        return true;
    }
    void StopPlayer() override {
        calls.push_back("StopPlayer");
        exporting = false;
    }
    bool IsExporting() override { return exporting; }
};

class SourceExportTest : public testing::Test {
protected:
    void SetUp() override {
        lstrcpynA(savedProgramDirectory, programDirectory, pathBufferSize);
        lstrcpynA(programDirectory, folder.Path().c_str(), pathBufferSize);
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
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
    }
    void TearDown() override {
        UsePlayerForSourceExport(nullptr);
        DestroyWindow(events);
        cancelRequested = 0;
        lstrcpynA(programDirectory, savedProgramDirectory, pathBufferSize);
    }

    // An export that writes its file and completes, with progress on the way.
    void ExportWritesAndCompletes() {
        player.onExport = [this](const std::string& path) {
            folder.Write(path.substr(folder.Path().size()), "exported");
            PostMessageA(events, fakeProgressMessage, 1000, 2000);
            PostMessageA(events, fakeProgressMessage, 2000, 2000);
            PostMessageA(events, fakeCompleteMessage, 0, 0);
        };
    }

    TempFolder folder;
    char savedProgramDirectory[pathBufferSize] = {};
    FakeHost host;
    HostInstalled installed{&host};
    FakePlayer player;
    HWND events = nullptr;
};

TEST_F(SourceExportTest, AviWithTheMicrosoftCodecInTheGivenOrder) {
    player.video = {"DivX Pro 5", "Microsoft MPEG-4 Video Codec V3", "DivX 6", "Cinepak"};
    player.audio = {"PCM", "MPEG Layer-3", "GSM 6.10"};
    ExportWritesAndCompletes();
    ASSERT_TRUE(ExportSourceThroughPlayer(0));
    EXPECT_THAT(player.calls,
                ElementsAre("CloseClip", "OutputWidth 320", "OutputHeight 240", "ColorDepth 24",
                            "OutputFrameRate 25.000", "OutputFormat 8", "UseVideoCodec 1", "VideoCodecIndex 1",
                            "UseAudioCodec 1", "AudioCodecIndex 1", "OpenClip C:\\clips\\film.rm 1.000000 3.000000 0",
                            "SetClipRange C:\\clips\\film.rm 1.000000 3.000000", "ExportClip", "StopPlayer"));
    const ConversionTask task = host.tasks[0];
    EXPECT_EQ(task.exportDone, 1);
    EXPECT_EQ(task.status, TaskStatus::Converting);
    EXPECT_EQ(task.exportPath, player.exportedTo);
    EXPECT_NEAR(task.exportPercent, 100.0, 1e-6);
    EXPECT_TRUE(FileExists(task.exportPath));
}

TEST_F(SourceExportTest, PcmWhenThereIsNoMp3AndDivXWithoutTheMicrosoftCodec) {
    player.video = {"DivX 6", "Cinepak", "DivX Pro 5"};
    player.audio = {"PCM", "GSM 6.10", "MPEG Layer-3?"}; // the last one does hold the name
    EXPECT_EQ(ChooseExportCompressors(player.video, player.audio).video, 2);
    EXPECT_EQ(ChooseExportCompressors(player.video, player.audio).audio, 2);
    player.audio = {"IMA ADPCM", "GSM 6.10", "mpeg layer-3"};
    const ExportCompressors chosen = ChooseExportCompressors(player.video, player.audio);
    EXPECT_EQ(chosen.video, 2);
    EXPECT_EQ(chosen.audio, 0) << "\"PCM\" is found inside \"IMA ADPCM\"; the match is case-sensitive";
    ExportWritesAndCompletes();
    ASSERT_TRUE(ExportSourceThroughPlayer(0));
    EXPECT_THAT(player.calls, testing::Contains("AudioCodecIndex 0"));
    EXPECT_THAT(player.calls, testing::Contains("OutputFormat 8"));
    EXPECT_EQ(player.exportedTo.substr(player.exportedTo.size() - 4), ".avi");
}

TEST_F(SourceExportTest, MpegAtFilmRateWithoutAVideoCompressor) {
    player.video = {"Cinepak", "microsoft mpeg-4 video codec v3"};
    player.audio = {"MPEG Layer-3"};
    ExportWritesAndCompletes();
    ASSERT_TRUE(ExportSourceThroughPlayer(0));
    EXPECT_THAT(player.calls, ElementsAre("CloseClip", "OutputWidth 320", "OutputHeight 240", "ColorDepth 24",
                                          "OutputFrameRate 23.976", "OutputFormat 6", testing::StartsWith("OpenClip"),
                                          testing::StartsWith("SetClipRange"), "ExportClip", "StopPlayer"));
    EXPECT_EQ(player.exportedTo.substr(player.exportedTo.size() - 4), ".mpg");
}

TEST_F(SourceExportTest, IntermediateNameInTheProgramFolder) {
    ExportWritesAndCompletes();
    ASSERT_TRUE(ExportSourceThroughPlayer(0));
    const std::string& path = player.exportedTo;
    ASSERT_EQ(path.compare(0, folder.Path().size(), folder.Path()), 0) << path;
    std::smatch match;
    const std::string name = path.substr(folder.Path().size());
    ASSERT_TRUE(std::regex_match(name, match, std::regex("film_([0-9]+)\\.avi"))) << name;
    const int number = std::stoi(match[1]);
    EXPECT_GE(number, 10000);
    EXPECT_LE(number, 50001);
}

TEST_F(SourceExportTest, StopDuringTheExportDeletesThePartialFile) {
    player.onExport = [this](const std::string& path) {
        folder.Write(path.substr(folder.Path().size()), "partial");
        PostMessageA(events, fakeProgressMessage, 500, 2000);
        PostMessageA(events, fakeStopMessage, 0, 0);
        // The player would go on reporting; the stop ends the wait before it completes.
        PostMessageA(events, fakeProgressMessage, 800, 2000);
    };
    EXPECT_FALSE(ExportSourceThroughPlayer(0));
    const ConversionTask task = host.tasks[0];
    EXPECT_EQ(task.exportDone, 0);
    EXPECT_FALSE(FileExists(task.exportPath));
    EXPECT_THAT(player.calls, testing::Contains("StopPlayer"));
    EXPECT_FALSE(player.exporting);
}

TEST_F(SourceExportTest, RefusedExportFailsTheTaskAndLeavesNothing) {
    player.acceptExport = false;
    player.onExport = nullptr;
    CurrentDirectoryGuard directory;
    ConvertTask(0);
    const ConversionTask task = host.tasks[0];
    EXPECT_EQ(task.status, TaskStatus::Failed);
    EXPECT_NE(task.finished, 1);
    EXPECT_FALSE(task.exportPath.empty());
    EXPECT_FALSE(FileExists(task.exportPath));
}

TEST_F(SourceExportTest, ExportEndingWithoutAFileFailsTheTask) {
    player.onExport = [this](const std::string&) { PostMessageA(events, fakeCompleteMessage, 0, 0); };
    CurrentDirectoryGuard directory;
    ConvertTask(0);
    EXPECT_EQ(host.tasks[0].status, TaskStatus::Failed);
    EXPECT_NE(host.tasks[0].finished, 1);
}

TEST_F(SourceExportTest, PlayerThatGoesAwayEndsTheWait) {
    // The player stops exporting without a word (its window was destroyed).
    player.onExport = [this](const std::string& path) {
        folder.Write(path.substr(folder.Path().size()), "partial");
        player.exporting = false;
    };
    EXPECT_FALSE(ExportSourceThroughPlayer(0));
    EXPECT_FALSE(FileExists(host.tasks[0].exportPath));
}

TEST_F(SourceExportTest, ProgressWithoutATotalComputesNothing) {
    ConversionTask task = host.tasks[0];
    task.exportPercent = 12.5;
    task.exportPosition = 0.25;
    host.tasks[0] = task;
    OnExportProgress(1.0, 0.0);
    OnExportProgress(std::nan(""), 2.0);
    EXPECT_EQ(host.tasks[0].exportPercent, 12.5);
    EXPECT_EQ(host.tasks[0].exportPosition, 0.25);
    OnExportProgress(1.0, 2.0);
    EXPECT_NEAR(host.tasks[0].exportPercent, 50.0, 1e-6);
}

TEST_F(SourceExportTest, ExportDoneIsClearedAtEveryStart) {
    ConversionTask task = host.tasks[0];
    task.exportDone = 1;
    host.tasks[0] = task;
    player.onExport = [this](const std::string&) {
        EXPECT_EQ(host.tasks[0].exportDone, 0);
        EXPECT_EQ(host.tasks[0].status, TaskStatus::SourceExport);
        PostMessageA(events, fakeStopMessage, 0, 0);
    };
    EXPECT_FALSE(ExportSourceThroughPlayer(0));
}

} // namespace
