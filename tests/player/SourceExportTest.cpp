// What the engine's export of a RealMedia source does that the run through the real player cannot show: the
// compressors it chooses from lists other than the installed ffmpeg's, and progress events without a total.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/ConversionTask.h"
#include "engine/EngineGlobals.h"
#include "engine/SourceExport.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

TEST(SourceExport, CompressorsAreTheLastHoldingTheNamesMatchedCaseSensitively) {
    const struct {
        std::vector<std::string> video, audio;
        int videoIndex, audioIndex;
    } rows[] = {
        {{"DivX Pro 5", "Microsoft MPEG-4 Video Codec V3", "DivX 6"}, {"PCM", "MPEG Layer-3", "GSM 6.10"}, 1, 1},
        {{"DivX 6", "Cinepak", "DivX Pro 5"}, {"PCM", "GSM 6.10", "MPEG Layer-3?"}, 2, 2},
        // "PCM" is found inside "IMA ADPCM"; "mpeg layer-3" and the lower-case Microsoft name are not found.
        {{"microsoft mpeg-4 video codec v3", "Cinepak"}, {"IMA ADPCM", "mpeg layer-3"}, -1, 0},
        {{}, {}, -1, -1},
    };
    for (const auto& r : rows) {
        const ExportCompressors chosen = ChooseExportCompressors(r.video, r.audio);
        EXPECT_EQ(chosen.video, r.videoIndex) << r.video.size();
        EXPECT_EQ(chosen.audio, r.audioIndex) << r.audio.size();
    }
}

TEST(SourceExport, ProgressWithoutATotalComputesNothing) {
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
