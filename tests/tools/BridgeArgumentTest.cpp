// The Wine bridge's look at each argument it passes to a host program: which are Windows
// paths to translate, and which must reach ffmpeg as they are.
#include <gtest/gtest.h>

#include "tools/winebridge/ArgumentKind.h"

namespace {

struct ArgumentRow {
    const char* previous;
    const char* argument;
    ArgumentKind kind;
};

TEST(BridgeArguments, ClassifiesWindowsPathsAndLeavesTheRest) {
    const ArgumentRow rows[] = {
        // Paths of every kind.
        {"-i", "C:\\videos\\in.mp4", ARGUMENT_ABSOLUTE},
        {"-y", "c:/videos/out.mp4", ARGUMENT_ABSOLUTE},
        {"-i", "C:in.mp4", ARGUMENT_DRIVE_RELATIVE},
        {"-i", "\\videos\\in.mp4", ARGUMENT_ROOTED},
        {"-i", "\\\\server\\share\\in.mp4", ARGUMENT_UNC},
        {"-y", "sub\\x.mp4", ARGUMENT_RELATIVE},
        {"-i", "sub\\name=with equals.avi", ARGUMENT_RELATIVE},
        // ffmpeg's file protocol in front of a path.
        {"-y", "file:sub\\x.mp4", ARGUMENT_RELATIVE},
        {"-y", "file:C:\\x.mp4", ARGUMENT_ABSOLUTE},
        // Not paths: options, their values, protocols, filter texts.
        {nullptr, "-i", ARGUMENT_NOT_A_PATH},
        {"-progress", "pipe:1", ARGUMENT_NOT_A_PATH},
        {"-vf", "drawtext=text=a\\:b", ARGUMENT_NOT_A_PATH},
        {"-metadata", "title=AC\\DC live", ARGUMENT_NOT_A_PATH},
        {"-y", "out.mp4", ARGUMENT_NOT_A_PATH}, // relative without "\": the same name on Linux
        {"-i", "http://host/a\\b.flv", ARGUMENT_NOT_A_PATH},
        {"-i", "a\\b*.avi", ARGUMENT_NOT_A_PATH},
        {"-i", "C:", ARGUMENT_NOT_A_PATH},
        {"-i", "\\\\", ARGUMENT_NOT_A_PATH},
        {"-i", "", ARGUMENT_NOT_A_PATH},
        {"-y", "file:", ARGUMENT_NOT_A_PATH},
    };
    for (const ArgumentRow& row : rows) {
        EXPECT_EQ(ClassifyArgument(row.previous, row.argument), row.kind)
            << (row.previous ? row.previous : "(none)") << " " << row.argument;
    }
    EXPECT_EQ(ClassifyArgument("-i", nullptr), ARGUMENT_NOT_A_PATH);
    // The path starts after ffmpeg's file protocol.
    EXPECT_EQ(PathStartOf("file:sub\\x.mp4"), 5u);
    EXPECT_EQ(PathStartOf("file:"), 0u);
    EXPECT_EQ(PathStartOf("pipe:1"), 0u);
    EXPECT_EQ(PathStartOf(nullptr), 0u);
}

} // namespace
