// pmpmux's input: the AVI and the audio stream the encoder made, which it reads and writes
// out as one PMP file.
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"

#include "tools/pmpmux/PmpFormat.h"

namespace {

class CountingSink : public pmp::ByteSink {
public:
    bool Write(const void*, std::size_t count) override
    {
        written += count;
        return true;
    }
    std::uint64_t written = 0;
};

} // namespace

// The first four bytes give the AVI's length; the AVI follows, then the audio file.
void Fuzz_pmp_input(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::size_t aviSize = input.Number<std::uint32_t>() % (input.Rest().size() + 1);
    const std::string_view rest = input.Rest();
    const pmp::MemorySource avi(std::vector<std::uint8_t>(rest.begin(), rest.begin() + aviSize));
    const pmp::MemorySource audio(std::vector<std::uint8_t>(rest.begin() + aviSize, rest.end()));
    std::string error;
    const std::optional<pmp::VideoTrack> video = pmp::ReadAviVideo(avi, &error);
    const std::optional<pmp::AudioTrack> sound = pmp::ReadAudioFrames(audio, &error);
    if (!video || !sound) {
        FUZZ_CHECK(!error.empty());
        return;
    }
    CountingSink sink;
    pmp::WritePmp(*video, avi, *sound, audio, sink, &error);
}
