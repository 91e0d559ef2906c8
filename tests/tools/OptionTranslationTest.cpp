#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "tools/movenc/OptionTranslation.h"

namespace {

// The words of a command; '' is an empty one.
std::vector<std::string> Split(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word == "''" ? "" : word);
    return words;
}

// Arguments from `from` on, joined by single spaces.
std::string Join(const std::vector<std::string>& arguments, std::size_t from = 0) {
    std::string text;
    for (std::size_t i = from; i < arguments.size(); ++i)
        text += (text.empty() ? "" : " ") + arguments[i];
    return text;
}

// The ffmpeg arguments after the fixed progress arguments.
std::string Tail(const OptionTranslation& t) {
    return Join(t.ffmpegArguments, std::size(progressArguments));
}

EncoderQuery Encoders(std::set<std::string, std::less<>> names) {
    return [names = std::move(names)](std::string_view name) { return names.count(name) > 0; };
}

const std::set<std::string, std::less<>> fullSet = {"libx264", "libxvid", "mpeg4", "aac", "libmp3lame"};
const std::set<std::string, std::less<>> noXvid = {"libx264", "mpeg4", "aac", "libshine"};
const std::set<std::string, std::less<>> withAmr = {"libopencore_amrnb", "h263"};
const std::set<std::string, std::less<>> ourAmr = {"amrnbenc", "h263"};

struct TranslationRow {
    const char* command;
    const std::set<std::string, std::less<>>* encoders;
    const char* expected;
};

const TranslationRow translationRows[] = {
    // The AVC line of the iPod presets: no CABAC (baseline), level 1.3, 256 kbit VBV at the
    // video bit rate, GOP 250; the start moves before the input; volume 256 adds no filter.
    {"-i in.avi -ss 00:00:05 -t 00:00:10 -vcodec h264 -coder 0 -vlevel 13 -bufsize 256 -g 250 -s 320x240 "
     "-r 29.97 -b 576 -aspect 4:3 -acodec aac -ac 2 -ab 128 -ar 44100 -vol 256 -title T -comment C -y out.mp4",
     &fullSet,
     "-y -ss 00:00:05 -i in.avi -c:v libx264 -b:v 576k -pix_fmt yuv420p -coder cavlc -profile:v baseline "
     "-level 1.3 -bufsize 256k -maxrate 576k -c:a aac -t 00:00:10 -g 250 -s 320x240 -r 29.97 -aspect 4:3 -ac 2 "
     "-b:a 128k -ar 44100 -metadata title=T -metadata comment=C out.mp4"},
    // xvid: libxvid where the ffmpeg has it.
    {"-i in.avi -vcodec xvid -b 768 -vol 128 -y out.mp4", &fullSet,
     "-y -i in.avi -c:v libxvid -b:v 768k -af volume=0.5 out.mp4"},
    // Without it the built-in mpeg4; MP4 keeps its own tag.
    {"-i in.avi -vcodec xvid -y out.mp4", &noXvid, "-y -i in.avi -c:v mpeg4 out.mp4"},
    // In AVI the fallback carries the XVID tag, whatever the case of the extension.
    {"-i in.avi -vcodec xvid -y OUT.AVI", &noXvid, "-y -i in.avi -c:v mpeg4 -vtag XVID OUT.AVI"},
    // Volumes are N/256, written exactly.
    {"-i a -vol 1 o", &fullSet, "-n -i a -af volume=0.00390625 o"},
    // No audio, no audio filter.
    {"-i a -vol 512 -an o", &fullSet, "-n -i a -an o"},
    // A start before the input stays there; after it, with two inputs, it stays on the output.
    {"-ss 3 -i a -t 00:00:04 o", &fullSet, "-n -ss 3 -i a -t 00:00:04 o"},
    {"-i a -i b -ss 00:00:02 o", &fullSet, "-n -i a -i b -ss 00:00:02 o"},
    // Positional options between inputs belong to the next input.
    {"-i a -f lavfi -re -i sine -f mp4 o", &fullSet, "-n -i a -f lavfi -re -i sine -f mp4 o"},
    // Bit rates: bare numbers are kilobits, large bare numbers bits, units pass.
    {"-i a -b 576000 -ab 64K o", &fullSet, "-n -i a -b:v 576000 -b:a 64k o"},
    // Levels: ten times the level (above), or written with its dot.
    {"-i a -vcodec h264 -vlevel 1.3 -coder 1 o", &fullSet,
     "-n -i a -c:v libx264 -pix_fmt yuv420p -coder cabac -level 1.3 o"},
    // A buffer without a bit rate gets no maximum rate.
    {"-i a -vcodec h264 -bufsize 256 o", &fullSet, "-n -i a -c:v libx264 -pix_fmt yuv420p -bufsize 256k o"},
    // The AVC-only options mean nothing to other encoders.
    {"-i a -vcodec mpeg4 -coder 0 -vlevel 13 -bufsize 256 -b 300 o", &fullSet, "-n -i a -c:v mpeg4 -b:v 300k o"},
    {"-i a -vcodec h263 -acodec amr_nb -ar 8000 -ac 1 -f 3gp o.3gp", &withAmr,
     "-n -i a -c:v h263 -c:a libopencore_amrnb -ar 8000 -ac 1 -f 3gp o.3gp"},
    // A source already cut to its range: the engine leaves start and length blank.
    {"-ss -t -i src -y o.mpg", &fullSet, "-y -i src o.mpg"},
    // A start of zero is left out: a seek to 0 in a file without an index lands anywhere.
    {"-ss 00:00:00 -t 00:00:02 -i src.flv -y o.3gp", &fullSet, "-y -t 00:00:02 -i src.flv o.3gp"},
    {"-i a -ss 00:00:03 -vframes 1 -an -vcodec mjpeg -s 160x120 -f image2 t.jpg", &fullSet,
     "-n -ss 00:00:03 -i a -c:v mjpeg -frames:v 1 -an -s 160x120 -f image2 t.jpg"},
    {"-i a -vn -acodec mp3 -ab 128 o.mp3", &fullSet, "-n -i a -c:a libmp3lame -vn -b:a 128k o.mp3"},
    {"-i a -vn -acodec mp3 o.mp3", &noXvid, "-n -i a -c:a libshine -vn o.mp3"},
    {"-i a -acodec pcm -author A -album B -copyright C o.wav", &fullSet,
     "-n -i a -c:a pcm_s16le -metadata artist=A -metadata album=B -metadata copyright=C o.wav"},
};

TEST(OptionTranslation, TranslatesEveryRow) {
    for (const TranslationRow& row : translationRows) {
        const OptionTranslation t = TranslateOptions(Split(row.command), Encoders(*row.encoders));
        EXPECT_TRUE(t.Succeeded()) << row.command << ": " << t.error;
        EXPECT_EQ(Tail(t), row.expected) << row.command;
    }
}

struct ErrorRow {
    const char* command;
    const char* error;
};

const ErrorRow errorRows[] = {
    {"-i a -frobnicate 1 o", "unknown option \"-frobnicate\""},
    {"-i a -b", "option \"-b\" needs a value"},
    {"-i a -b fast o", "bad value \"fast\" for option \"-b\""},
    {"-i a -vcodec foo o", "unknown video codec \"foo\""},
    {"-i a -acodec vorbis o", "unknown audio codec \"vorbis\""},
    {"-i a -acodec amr_nb -vcodec xvid o", "this ffmpeg has no encoder for audio codec \"amr_nb\""},
    {"-i a -map 0 o", "bad value \"0\" for option \"-map\""},
    {"-y o", "no input file"},
    {"-i a -y", "no output file"},
    {"-i a o1 o2", "more than one output file (\"o1\", \"o2\")"},
    {"-i a -vol -5 o", "bad value \"-5\" for option \"-vol\""},
    {"-i a -re o", "option \"-re\" must come before \"-i\""},
    {"-i a -f 'x' o", "bad value \"'x'\" for option \"-f\""},
    {"-i a.avi -y ''", "empty output file name"},
    {"-y '' -i C:\\in\\Vid\xc3\xa9o.avi", "empty output file name"},
    {"-i '' -y o.mp4", "empty input file name"},
    {"-i a -vcodec xvid o", "this ffmpeg has no encoder for video codec \"xvid\""},
};

// An empty query counts as no encoder at all.
TEST(OptionTranslation, RejectsWhatItCannotTranslate) {
    for (const ErrorRow& row : errorRows) {
        const OptionTranslation t = TranslateOptions(Split(row.command), EncoderQuery());
        EXPECT_EQ(t.error, row.error) << row.command;
        EXPECT_TRUE(t.ffmpegArguments.empty()) << row.command;
    }
}

TEST(OptionTranslation, AmrThroughOurOwnEncoderWhenFfmpegHasNone) {
    // Two inputs: video from the working file, audio (with its range) from the source.
    const OptionTranslation two = TranslateOptions(
        Split("-i v.3gp -ss 00:00:01 -t 00:00:04 -i src -map 0:v -map 1:a -vcodec copy -acodec amr_nb -ar 8000 -ac 1 "
              "-ab 12.2k -vol 512 -f 3gp -y o.3gp"),
        Encoders(ourAmr));
    ASSERT_TRUE(two.Succeeded()) << two.error;
    EXPECT_EQ(two.amrBitrate, 12200);
    EXPECT_EQ(Join(two.amrDecodeArguments),
              "-hide_banner -nostats -loglevel error -y -ss 00:00:01 -t 00:00:04 -i src -vn -ac 1 -ar 8000 "
              "-af volume=2 -c:a pcm_s16le -f wav <movenc-wav>");
    // The main run copies the AMR audio from an added third input, without resampling or filters.
    EXPECT_EQ(Tail(two), "-y -i v.3gp -ss 00:00:01 -t 00:00:04 -i src -i <movenc-amr> -c:v copy -c:a copy "
                         "-map 0:v -map 2:a -f 3gp o.3gp");
    EXPECT_EQ(two.inputFiles, (std::vector<std::string>{"v.3gp", "src"})) << "the placeholder is no input to check";
}

} // namespace
