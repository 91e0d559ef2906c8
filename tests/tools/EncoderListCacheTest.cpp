#include <gmock/gmock.h>

#include <windows.h>

#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tools/movenc/EncoderListCache.h"

namespace {

TEST(EncoderCache, ReadsBackOnlyWhatWasWrittenForTheSameKey) {
    const EncoderSet encoders = {"aac", "libx264", "libxvid"};
    const std::string text = FormatEncoderCache("C:\\app\\ffmpeg.exe|0:100|1:2", encoders);
    EXPECT_EQ(text, "C:\\app\\ffmpeg.exe|0:100|1:2\naac\nlibx264\nlibxvid\n");
    EXPECT_EQ(ParseEncoderCache(text, "C:\\app\\ffmpeg.exe|0:100|1:2"), encoders);
    // Another ffmpeg, or the same one replaced.
    EXPECT_EQ(ParseEncoderCache(text, "C:\\app\\ffmpeg.exe|0:101|1:2"), std::nullopt);
    EXPECT_EQ(ParseEncoderCache(text, "C:\\app\\ffmpeg.exe"), std::nullopt);
    EXPECT_EQ(ParseEncoderCache(text, ""), std::nullopt);
    // A file cut short, or one with no names, is not trusted.
    EXPECT_EQ(ParseEncoderCache(text.substr(0, text.size() - 1), "C:\\app\\ffmpeg.exe|0:100|1:2"), std::nullopt);
    EXPECT_EQ(ParseEncoderCache("key\n", "key"), std::nullopt);
    EXPECT_EQ(ParseEncoderCache("", "key"), std::nullopt);
}

class EncoderCacheFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder = FullPathOf("encoder cache test") + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        cache = folder + "cache.txt";
        ffmpeg = folder + "ffmpeg.exe";
        DeleteFileA(cache.c_str());
        WriteFfmpeg("first version");
    }

    void WriteFfmpeg(const std::string& content) {
        HANDLE file = CreateFileA(ffmpeg.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    }

    EncoderSet List(const EncoderSet& answer) {
        return CachedEncoderList(cache, ffmpeg, [&] {
            ++asked;
            return answer;
        });
    }

    std::string folder;
    std::string cache;
    std::string ffmpeg;
    int asked = 0;
};

TEST_F(EncoderCacheFileTest, AsksOnceAndAgainWhenFfmpegChanges) {
    EXPECT_EQ(List({"aac", "libxvid"}), (EncoderSet{"aac", "libxvid"}));
    EXPECT_EQ(List({"never", "asked"}), (EncoderSet{"aac", "libxvid"}));
    EXPECT_EQ(asked, 1);
    WriteFfmpeg("a newer, longer version");
    EXPECT_EQ(List({"aac", "mpeg4"}), (EncoderSet{"aac", "mpeg4"}));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(List({}), (EncoderSet{"aac", "mpeg4"}));
    EXPECT_EQ(asked, 2);
}

TEST_F(EncoderCacheFileTest, AnEmptyAnswerIsNotKept) {
    EXPECT_TRUE(List({}).empty());
    EXPECT_EQ(List({"aac"}), (EncoderSet{"aac"}));
    EXPECT_EQ(asked, 2);
}

TEST_F(EncoderCacheFileTest, AMissingFfmpegIsAlwaysAsked) {
    ffmpeg = folder + "no ffmpeg.exe";
    List({"aac"});
    List({"aac"});
    EXPECT_EQ(asked, 2);
}

} // namespace
