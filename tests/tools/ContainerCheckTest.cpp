#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tools/movenc/ContainerCheck.h"

namespace {

using Bytes = std::vector<unsigned char>;

void PutBe32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

void PutLe32(Bytes& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

Bytes MakeBox(const char* type, const Bytes& body) {
    Bytes box;
    PutBe32(box, static_cast<std::uint32_t>(8 + body.size()));
    box.insert(box.end(), type, type + 4);
    box.insert(box.end(), body.begin(), body.end());
    return box;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
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

const Bytes ftyp = MakeBox("ftyp", {'3', 'g', 'p', '4', 0, 0, 0, 0});
const Bytes moov = MakeBox("moov", Join({MakeBox("mvhd", Bytes(20, 0)), MakeBox("trak", Bytes(30, 1))}));
const Bytes mdat = MakeBox("mdat", Bytes(100, 7));

TEST(ContainerCheck, Mp4FamilyFilesMustBeWhole) {
    struct Case {
        const char* name;
        Bytes file;
        std::string problemPart; // empty: whole
    };
    Bytes cut = Join({ftyp, moov, mdat});
    cut.resize(cut.size() - 10);
    Bytes largeSize = {0, 0, 0, 1, 'm', 'd', 'a', 't', 0, 0, 0, 0, 0, 0, 0, 26};
    largeSize.resize(26, 5);
    Bytes toTheEnd = {0, 0, 0, 0, 'm', 'd', 'a', 't', 9, 9, 9};
    const Case cases[] = {
        {"moov first", Join({ftyp, moov, mdat}), ""},
        {"moov last", Join({ftyp, mdat, moov}), ""},
        {"64-bit box size", Join({ftyp, moov, largeSize}), ""},
        {"last box to the end of the file", Join({ftyp, moov, toTheEnd}), ""},
        {"cut off", cut, "cut off"},
        {"no moov", Join({ftyp, mdat}), "no index"},
        {"moov without a track", Join({ftyp, MakeBox("moov", MakeBox("mvhd", Bytes(20, 0))), mdat}), "no track"},
        {"empty mdat", Join({ftyp, moov, MakeBox("mdat", {})}), "no media"},
        {"damaged moov", Join({ftyp, MakeBox("moov", {0, 0, 0, 99, 't', 'r', 'a', 'k'}), mdat}), "damaged"},
    };
    for (const Case& c : cases) {
        const ContainerVerdict verdict = Check(c.file);
        EXPECT_TRUE(verdict.known) << c.name;
        if (c.problemPart.empty())
            EXPECT_EQ(verdict.problem, "") << c.name;
        else
            EXPECT_NE(verdict.problem.find(c.problemPart), std::string::npos) << c.name << ": " << verdict.problem;
    }
}

Bytes Pmp(const std::vector<std::uint32_t>& packetSizes, std::size_t dataBytes) {
    Bytes file = {'p', 'm', 'p', 'm'};
    PutLe32(file, 1);
    PutLe32(file, 0);
    PutLe32(file, static_cast<std::uint32_t>(packetSizes.size()));
    while (file.size() < 56)
        file.push_back(0);
    for (std::uint32_t size : packetSizes)
        PutLe32(file, size << 1 | 1);
    file.resize(file.size() + dataBytes, 3);
    return file;
}

TEST(ContainerCheck, PmpIndexMustCoverTheFile) {
    EXPECT_EQ(Check(Pmp({40, 60}, 100)).problem, "");
    EXPECT_NE(Check(Pmp({40, 60}, 90)).problem.find("does not match"), std::string::npos);
    EXPECT_NE(Check(Pmp({40, 60}, 110)).problem.find("does not match"), std::string::npos);
    EXPECT_NE(Check(Pmp({}, 0)).problem.find("no frames"), std::string::npos);
    Bytes wrongVersion = Pmp({40}, 40);
    wrongVersion[4] = 2;
    EXPECT_NE(Check(wrongVersion).problem.find("header"), std::string::npos);
}

TEST(ContainerCheck, OtherKindsAreLeftToFfprobe) {
    EXPECT_FALSE(Check(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}).known);
    EXPECT_FALSE(Check(Bytes{0, 0, 1, 0xBA, 0, 0, 0, 0, 0}).known);
    EXPECT_FALSE(Check(Bytes{'p', 'm', 'p'}).known) << "too short to tell";
}

} // namespace
