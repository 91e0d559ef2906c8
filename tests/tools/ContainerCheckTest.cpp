#include <gmock/gmock.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/tools/Bytes.h"
#include "tools/movenc/ContainerCheck.h"

namespace {

using testing::HasSubstr;

Bytes MakeBox(const char* type, const Bytes& body) {
    return Join({Number(static_cast<std::uint32_t>(8 + body.size()), true), Bytes(type, type + 4), body});
}

ContainerVerdict Check(const Bytes& file) {
    return CheckContainer(file.size(), [&](std::uint64_t offset, void* buffer, std::size_t count) -> std::size_t {
        if (offset >= file.size())
            return 0;
        const std::size_t n = std::min<std::size_t>(count, file.size() - offset);
        std::memcpy(buffer, file.data() + offset, n);
        return n;
    });
}

TEST(ContainerCheck, Mp4FamilyFilesMustBeWhole) {
    const Bytes ftyp = MakeBox("ftyp", {'3', 'g', 'p', '4', 0, 0, 0, 0});
    const Bytes moov = MakeBox("moov", Join({MakeBox("mvhd", Bytes(20, 0)), MakeBox("trak", Bytes(30, 1))}));
    const Bytes mdat = MakeBox("mdat", Bytes(100, 7));
    Bytes cut = Join({ftyp, moov, mdat});
    cut.resize(cut.size() - 10);
    Bytes largeSize = {0, 0, 0, 1, 'm', 'd', 'a', 't', 0, 0, 0, 0, 0, 0, 0, 26};
    largeSize.resize(26, 5);
    const std::pair<Bytes, const char*> cases[] = {
        {Join({ftyp, moov, mdat}), ""},
        {Join({ftyp, mdat, moov}), ""},
        {Join({ftyp, moov, largeSize}), ""},                              // a 64-bit box size
        {Join({ftyp, moov, {0, 0, 0, 0, 'm', 'd', 'a', 't', 9, 9}}), ""}, // the last box to the end of the file
        {cut, "cut off"},
        {Join({ftyp, mdat}), "no index"},
        {Join({ftyp, MakeBox("moov", MakeBox("mvhd", Bytes(20, 0))), mdat}), "no track"},
        {Join({ftyp, moov, MakeBox("mdat", {})}), "no media"},
        {Join({ftyp, MakeBox("moov", {0, 0, 0, 99, 't', 'r', 'a', 'k'}), mdat}), "damaged"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [file, problem] = cases[i];
        const ContainerVerdict verdict = Check(file);
        EXPECT_TRUE(verdict.known) << i;
        EXPECT_EQ(verdict.problem.empty(), !*problem) << i;
        EXPECT_THAT(verdict.problem, HasSubstr(problem)) << i;
    }
}

// A header, the packet sizes (shifted, with the key flag), then the packets.
Bytes Pmp(const std::vector<std::uint32_t>& packetSizes, std::size_t dataBytes) {
    Bytes file = Join({{'p', 'm', 'p', 'm'},
                       Number(1, false),
                       Number(0, false),
                       Number(static_cast<std::uint32_t>(packetSizes.size()), false)});
    file.resize(56);
    for (std::uint32_t size : packetSizes)
        file = Join({file, Number(size << 1 | 1, false)});
    file.resize(file.size() + dataBytes, 3);
    return file;
}

// The PMP index must cover the file; other kinds are left to ffprobe.
TEST(ContainerCheck, PmpIndexMustCoverTheFile) {
    EXPECT_EQ(Check(Pmp({40, 60}, 100)).problem, "");
    EXPECT_THAT(Check(Pmp({40, 60}, 90)).problem, HasSubstr("does not match"));
    EXPECT_THAT(Check(Pmp({40, 60}, 110)).problem, HasSubstr("does not match"));
    EXPECT_THAT(Check(Pmp({}, 0)).problem, HasSubstr("no frames"));
    Bytes wrongVersion = Pmp({40}, 40);
    wrongVersion[4] = 2;
    EXPECT_THAT(Check(wrongVersion).problem, HasSubstr("header"));
    EXPECT_FALSE(Check(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}).known);
    EXPECT_FALSE(Check(Bytes{'p', 'm', 'p'}).known) << "too short to tell";
}

} // namespace
