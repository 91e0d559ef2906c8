// pmpmux: puts an AVI's MPEG-4 or H.264 video and an MP3 or AAC (ADTS) audio stream into
// one PMP file, the container of the PSP's PMP players.
//
//   pmpmux -v video.avi -a audio.mp3 -o out.pmp
//
// Exit code 0 on success; otherwise one line "error: ..." and exit code 1, and no output
// file is left behind.
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/FileIdentity.h"
#include "tools/pmpmux/PmpFormat.h"

namespace {

class FileSource : public pmp::ByteSource {
public:
    explicit FileSource(const std::string& path) : file(std::fopen(path.c_str(), "rb")) {
        if (file != nullptr && _fseeki64(file, 0, SEEK_END) == 0)
            size = static_cast<std::uint64_t>(_ftelli64(file));
    }
    ~FileSource() override {
        if (file != nullptr)
            std::fclose(file);
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool IsOpen() const { return file != nullptr; }
    std::uint64_t Size() const override { return size; }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const override {
        if (_fseeki64(file, static_cast<long long>(offset), SEEK_SET) != 0)
            return 0;
        return std::fread(buffer, 1, count, file);
    }

private:
    std::FILE* file = nullptr;
    std::uint64_t size = 0;
};

class FileSink : public pmp::ByteSink {
public:
    explicit FileSink(std::FILE* f) : file(f) {}
    bool Write(const void* bytes, std::size_t count) override { return std::fwrite(bytes, 1, count, file) == count; }

private:
    std::FILE* file;
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "error: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string videoPath, audioPath, outputPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 < argc && arg == "-v")
            videoPath = argv[++i];
        else if (i + 1 < argc && arg == "-a")
            audioPath = argv[++i];
        else if (i + 1 < argc && arg == "-o")
            outputPath = argv[++i];
        else
            return Fail("unknown option " + arg + " (use: pmpmux -v video.avi -a audio.mp3 -o out.pmp)");
    }
    if (videoPath.empty() || audioPath.empty() || outputPath.empty())
        return Fail("use: pmpmux -v video.avi -a audio.mp3 -o out.pmp");
    // By name in every script and by identity, as the encoder front-end does: "VIDÉO.avi" is "Vidéo.avi".
    if (IsSameFile(outputPath, videoPath) || IsSameFile(outputPath, audioPath))
        return Fail("the output file is one of the input files");

    FileSource videoSource(videoPath);
    if (!videoSource.IsOpen())
        return Fail("cannot open " + videoPath);
    FileSource audioSource(audioPath);
    if (!audioSource.IsOpen())
        return Fail("cannot open " + audioPath);

    std::string error;
    const auto video = pmp::ReadAviVideo(videoSource, &error);
    if (!video)
        return Fail(error);
    const auto audio = pmp::ReadAudioFrames(audioSource, &error);
    if (!audio)
        return Fail(error);

    std::FILE* out = std::fopen(outputPath.c_str(), "wb");
    if (out == nullptr)
        return Fail("cannot create " + outputPath);
    FileSink sink(out);
    bool ok = pmp::WritePmp(*video, videoSource, *audio, audioSource, sink, &error);
    ok = (std::fclose(out) == 0) && ok;
    if (!ok) {
        std::remove(outputPath.c_str());
        return Fail(error.empty() ? "cannot write " + outputPath : error);
    }
    return 0;
}
