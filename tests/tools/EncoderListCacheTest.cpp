#include <gmock/gmock.h>

#include "tests/support/Files.h"
#include "tools/movenc/EncoderListCache.h"

namespace {

// The list is asked for once and again when ffmpeg changes; an empty answer is not kept; without ffmpeg it is always
// asked for.
TEST(EncoderCache, AsksOnceAndAgainWhenFfmpegChanges) {
    const TempFolder temp;
    const std::string cache = temp.Path() + "cache.txt";
    std::string ffmpeg = temp.Write("ffmpeg.exe", "first version");
    int asked = 0;
    const auto list = [&](const EncoderSet& answer) {
        return CachedEncoderList(cache, ffmpeg, [&] { return ++asked, answer; });
    };
    EXPECT_TRUE(list({}).empty());
    EXPECT_EQ(list({"aac", "libxvid"}), (EncoderSet{"aac", "libxvid"}));
    EXPECT_EQ(list({"never", "asked"}), (EncoderSet{"aac", "libxvid"}));
    EXPECT_EQ(asked, 2);
    temp.Write("ffmpeg.exe", "a newer, longer version");
    EXPECT_EQ(list({"aac", "mpeg4"}), (EncoderSet{"aac", "mpeg4"}));
    EXPECT_EQ(list({}), (EncoderSet{"aac", "mpeg4"}));
    EXPECT_EQ(asked, 3);
    ffmpeg = temp.Path() + "no ffmpeg.exe";
    list({"aac"});
    list({"aac"});
    EXPECT_EQ(asked, 5);
}

} // namespace
