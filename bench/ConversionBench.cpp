// Prints, per device family, the wall time of converting a 60-second clip through the engine's
// pipeline against running the same encodes directly (the ffmpeg, amrnbenc and pmpmux command
// lines that movenc and the profile would run, without movenc, the engine or the final check).
#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "engine/CommandTemplates.h"
#include "engine/ConversionRun.h"
#include "engine/DeviceProfiles.h"
#include "engine/PipelineFiles.h"
#include "engine/ProfileReader.h"
#include "engine/TaskCommands.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"

namespace {



void ReplaceAllIn(std::string& text, const std::string& what, const std::string& with)
{
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

struct FamilyCase {
    const char* name;
    DeviceFamily family;
    int profileIndex;
    ThreeGpType threeGpType;
};

} // namespace

// Per device family, a conversion through the engine against the same encodes run directly.
void ConversionBench()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "movara bench\\";
    const std::string output = folder + "output\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA(output.c_str(), nullptr);
    const std::string source = folder + "source.avi";
    const std::string app = FullPathOf(AppFolder());
    std::string work = app;
    if (!work.empty() && work.back() == '\\')
        work.pop_back();
    if (!MakeClip(source, 60, "-s 640x480 -shortest -c:v mpeg4 -q:v 4 -c:a libmp3lame")) {
        std::printf("cannot make the 60-second clip\n");
        return;
    }

    const FamilyCase cases[] = {
        {"iPod (custom, H.264 320x240)", DeviceFamily::Ipod, -1, ThreeGpType::Amr},
        {"PSP (MPEG-4 320x240)", DeviceFamily::Psp, 2, ThreeGpType::Amr},
        {"3GP + AMR", DeviceFamily::ThreeGp, 0, ThreeGpType::Amr},
        {"3GP + AAC", DeviceFamily::ThreeGp, 1, ThreeGpType::Aac},
        {"3GP2 + AAC", DeviceFamily::ThreeGp, 0, ThreeGpType::ThreeGp2},
        {"Xbox (MPEG-2 640x480)", DeviceFamily::Xbox, 0, ThreeGpType::Amr},
        {"Pocket PC (MPEG-4 AVI)", DeviceFamily::PocketPc, 0, ThreeGpType::Amr},
        {"PMP (MPEG-4 + MP3)", DeviceFamily::Pmp, 0, ThreeGpType::Amr},
    };
    std::printf("%-30s %10s %10s %7s\n", "family", "pipeline", "direct", "ratio");
    for (const FamilyCase& c : cases) {
        CurrentDirectoryGuard directory;
        WorkDirectoryOverride workFolder(work);
        FakeHost host;
        host.settings.deviceFamily = c.family;
        host.settings.profileIndex = c.profileIndex;
        host.settings.threeGpType = c.threeGpType;
        host.settings.presetIndex = 0;
        host.settings.videoType = 1;
        host.settings.videoSize = 3;
        host.settings.videoQuality = 5;
        host.settings.outputDirectory = output;
        ConversionTask task = MakeNewTask(source, 60.0, 12345);
        host.tasks.push_back(task);
        HostInstalled installed(&host);
        RecordingSystemActions actions;
        SystemActionsInstalled replaced(&actions);

        // The same encodes, run directly: each profile command as movenc would run it.
        std::vector<std::string> commands;
        const int count = PipelineCommandCount(host.settings);
        SetCurrentDirectoryA(work.c_str());
        for (int step = 1; step <= count; ++step) {
            std::optional<std::string> command;
            if (c.family == DeviceFamily::Ipod)
                command = BuildPresetCommand(0);
            else if (auto text = ReadPresetCommand(
                         ProfileFilePath(ProfileFileIndex(host.settings.deviceFamily, host.settings.threeGpType)),
                         host.settings.profileIndex, step))
                command = ExpandTemplate(*text, 0);
            if (!command)
                break;
            const std::string program = command->substr(0, command->find(' '));
            const std::string rest = command->substr(program.size());
            if (program == "movenc" && rest.rfind(" -verify", 0) == 0)
                continue;
            if (program != "movenc") {
                commands.push_back(app + program + ".exe" + rest);
                continue;
            }
            std::istringstream lines(RunCommand(app + "movenc.exe -print" + rest, work).output);
            for (std::string line; std::getline(lines, line);) {
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                ReplaceAllIn(line, "<movenc-wav>", Quote(folder + "direct.wav"));
                ReplaceAllIn(line, "<movenc-amr>", Quote(folder + "direct.amr"));
                commands.push_back(line);
            }
        }

        const double pipelineStart = BenchNow();
        RunConversion();
        const double pipeline = BenchNow() - pipelineStart;
        const bool converted = host.tasks[0].finished;

        const double directStart = BenchNow();
        bool directOk = !commands.empty();
        for (const std::string& command : commands) {
            const ChildRun run = RunCommand(command, work);
            if (run.exitCode != 0) {
                std::printf("direct run failed: %s\n%s\n", command.c_str(), run.output.c_str());
                directOk = false;
            }
        }
        const double direct = BenchNow() - directStart;

        std::printf("%-30s %9.2fs %9.2fs %7.3f%s\n", c.name, pipeline, direct, direct > 0 ? pipeline / direct : 0.0,
                    converted && directOk ? "" : "  (a run failed)");
        std::fflush(stdout);
    }
}
