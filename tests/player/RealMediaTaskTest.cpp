// A RealMedia task converted end to end: the engine exports its range through the real player control, then runs the
// iPod pipeline with the real front-end and ffmpeg on the export. An export that is stopped, that completes without
// its file or whose control goes away fails and leaves no intermediate file.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <regex>
#include <string>

#include "engine/ConversionRun.h"
#include "engine/ConversionTask.h"
#include "engine/EncoderRunner.h"
#include "engine/EngineGlobals.h"
#include "engine/ProgressParsing.h"
#include "engine/SourceExport.h"
#include "gui/VideoEdit.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/player/PlayerTestSupport.h"

namespace {

TEST(RealMediaTask, ExportedThroughThePlayerThenConvertedForIpod) {
    PutShippedProgramsOnPath();
    const std::string source = PlayerTempFolder("rm sources") + "real clip.rm";
    const std::string output = PlayerTempFolder("rm output");
    const std::string program = PlayerTempFolder("rm program");
    ASSERT_TRUE(MakeClip(source, 4.0, "-shortest " + realMediaKind.options));
    DeleteFileA((output + "real clip.mp4").c_str());

    PlayerWindow window;
    CVideoEdit edit;
    ASSERT_TRUE(edit.Attach(window.parent));
    UsePlayerForSourceExport(&edit);

    char savedProgram[pathBufferSize] = {};
    lstrcpynA(savedProgram, programDirectory, pathBufferSize);
    lstrcpynA(programDirectory, program.c_str(), pathBufferSize);
    CurrentDirectoryGuard directory;
    WorkDirectoryOverride workFolder(AppFolder().substr(0, AppFolder().size() - 1));

    FakeHost host; // the default settings: iPod, AVC at 320x240
    host.settings.frameRate = 3;
    host.settings.videoQuality = 5;
    host.settings.sampleRate = 2;
    host.settings.outputDirectory = output;
    ConversionTask task = MakeNewTask(source, 4.0, 12345);
    task.beginTime = 0.5;
    task.endTime = 2.5;
    ASSERT_EQ(task.needsExport, 1);
    host.tasks.push_back(task);
    HostInstalled installed(&host);
    RecordingSystemActions actions;
    SystemActionsInstalled replaced(&actions);
    lstrcpynA(outputDirectory, output.c_str(), pathBufferSize);

    // Stopped at its first progress, then complete but without its file.
    currentTaskIndex = 0;
    window.events.onProgress = [](const PlayerEvent& event) {
        OnExportProgress(event.position, event.total);
        cancelRequested = true;
    };
    EXPECT_FALSE(ExportSourceThroughPlayer(0));
    EXPECT_FALSE(FileExists(host.tasks[0].exportPath)) << "stopped";
    EXPECT_EQ(ChildDecoders(), 0);
    cancelRequested = false;
    // The main window hands the control's export events to the engine.
    window.events.onProgress = [](const PlayerEvent& event) { OnExportProgress(event.position, event.total); };
    window.events.onCompleted = [&host] {
        DeleteFileA(host.tasks[0].exportPath.c_str());
        OnExportComplete();
    };
    EXPECT_FALSE(ExportSourceThroughPlayer(0));
    EXPECT_FALSE(FileExists(host.tasks[0].exportPath)) << "complete without a file";
    std::string intermediate; // the export as the engine asked for it, probed before the engine takes it
    window.events.onCompleted = [&] {
        intermediate = Probe(host.tasks[0].exportPath, "stream=codec_name,width,height,r_frame_rate");
        OnExportComplete();
    };

    EXPECT_TRUE(RunConversion());
    const ConversionTask done = host.tasks[0];
    EXPECT_EQ(done.finished, 1) << FormatTaskStatus(done).text;
    EXPECT_EQ(done.exportDone, 1);
    EXPECT_NEAR(window.events.progress.back().position, 2.0, 1e-6) << "progress rises to the total";
    EXPECT_NEAR(window.events.progress.back().total, 2.0, 1e-6);
    EXPECT_NE(intermediate.find("msmpeg4v3|320|240|25/1"), std::string::npos) << intermediate;
    EXPECT_NE(intermediate.find("mp3|"), std::string::npos) << intermediate;
    EXPECT_TRUE(std::regex_match(done.exportPath.substr(program.size()), std::regex("real clip_[0-9]{5}\\.avi")))
        << done.exportPath;
    EXPECT_FALSE(FileExists(done.exportPath)) << "the intermediate file is gone";
    const std::string probe = Probe(output + "real clip.mp4", "stream=codec_name,width,height:format=duration");
    EXPECT_NE(probe.find("h264|320|240"), std::string::npos) << probe;
    EXPECT_NE(probe.find("stream|aac"), std::string::npos) << probe;
    EXPECT_NEAR(ProbedDuration(probe), 2.0, 0.25) << probe;
    DeleteFileA((output + "real clip.mp4").c_str());

    // The control goes away in the middle: the engine's wait ends rather than waiting for it.
    window.events.onProgress = [&window](const PlayerEvent&) { DestroyWindow(window.parent); };
    EXPECT_FALSE(ExportSourceThroughPlayer(0));
    EXPECT_FALSE(FileExists(host.tasks[0].exportPath));
    EXPECT_EQ(ChildDecoders(), 0);
    UsePlayerForSourceExport(nullptr);
    lstrcpynA(programDirectory, savedProgram, pathBufferSize);
}

// The engine's handler of the control's progress events, given a total of nothing.
TEST(RealMediaTask, ExportProgressWithoutATotalComputesNothing) {
    FakeHost host;
    host.tasks.push_back(MakeNewTask("C:\\clips\\film.rm", 10.0, 12345));
    host.tasks[0].exportPercent = 12.5;
    host.tasks[0].exportPosition = 0.25;
    HostInstalled installed(&host);
    currentTaskIndex = 0;
    OnExportProgress(1.0, 0.0);
    OnExportProgress(std::nan(""), 2.0);
    EXPECT_EQ(host.tasks[0].exportPercent, 12.5);
    EXPECT_EQ(host.tasks[0].exportPosition, 0.25);
    OnExportProgress(1.0, 2.0);
    EXPECT_NEAR(host.tasks[0].exportPercent, 50.0, 1e-6);
}

} // namespace
