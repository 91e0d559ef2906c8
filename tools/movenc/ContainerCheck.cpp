#include "tools/movenc/ContainerCheck.h"

#include <cstring>

namespace {

std::uint32_t Be32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[3]) << 24 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[1]) << 8 | p[0];
}

struct Box {
    char type[5] = {};
    std::uint64_t start = 0;
    std::uint64_t header = 0;
    std::uint64_t size = 0;
};

// The box at `pos` within [pos, end), or nothing when it does not fit.
std::optional<Box> ReadBox(const ReadAt& read, std::uint64_t pos, std::uint64_t end) {
    unsigned char head[16] = {};
    if (pos + 8 > end || read(pos, head, 8) != 8)
        return std::nullopt;
    Box box;
    box.start = pos;
    std::memcpy(box.type, head + 4, 4);
    box.header = 8;
    box.size = Be32(head);
    if (box.size == 1) { // a 64-bit size follows
        if (pos + 16 > end || read(pos + 8, head + 8, 8) != 8)
            return std::nullopt;
        box.size = static_cast<std::uint64_t>(Be32(head + 8)) << 32 | Be32(head + 12);
        box.header = 16;
    } else if (box.size == 0) { // to the end of the file
        box.size = end - pos;
    }
    if (box.size < box.header || box.size > end - pos)
        return std::nullopt;
    return box;
}

ContainerVerdict CheckMp4(std::uint64_t fileSize, const ReadAt& read) {
    ContainerVerdict verdict{true, {}};
    bool ftyp = false, moov = false, track = false, media = false;
    for (std::uint64_t pos = 0; pos < fileSize;) {
        const std::optional<Box> box = ReadBox(read, pos, fileSize);
        if (!box) {
            verdict.problem = "it is cut off or damaged at byte " + std::to_string(pos);
            return verdict;
        }
        const std::string type = box->type;
        ftyp = ftyp || type == "ftyp";
        media = media || (type == "mdat" && box->size > box->header);
        if (type == "moov") {
            moov = true;
            for (std::uint64_t child = box->start + box->header; child < box->start + box->size;) {
                const std::optional<Box> inner = ReadBox(read, child, box->start + box->size);
                if (!inner) {
                    verdict.problem = "its index (moov) is damaged";
                    return verdict;
                }
                track = track || std::strcmp(inner->type, "trak") == 0;
                child += inner->size;
            }
        }
        pos += box->size;
    }
    if (!ftyp || !moov)
        verdict.problem = "it has no file type or no index (ftyp, moov)";
    else if (!track)
        verdict.problem = "it holds no track";
    else if (!media)
        verdict.problem = "it holds no media data";
    return verdict;
}

ContainerVerdict CheckPmp(std::uint64_t fileSize, const ReadAt& read) {
    ContainerVerdict verdict{true, {}};
    unsigned char header[56] = {};
    if (read(0, header, sizeof(header)) != sizeof(header) || Le32(header + 4) != 1) {
        verdict.problem = "its PMP header is damaged";
        return verdict;
    }
    const std::uint32_t frames = Le32(header + 12);
    std::uint64_t total = sizeof(header) + 4ULL * frames;
    unsigned char entry[4] = {};
    for (std::uint32_t i = 0; i < frames && total <= fileSize; ++i) {
        if (read(sizeof(header) + 4ULL * i, entry, 4) != 4)
            break;
        total += Le32(entry) >> 1;
    }
    if (frames == 0)
        verdict.problem = "it holds no frames";
    else if (total != fileSize)
        verdict.problem = "its index does not match its length (cut off?)";
    return verdict;
}

} // namespace

ContainerVerdict CheckContainer(std::uint64_t fileSize, const ReadAt& read) {
    unsigned char start[8] = {};
    if (fileSize < 8 || read(0, start, sizeof(start)) != sizeof(start))
        return {};
    if (std::memcmp(start, "pmpm", 4) == 0)
        return CheckPmp(fileSize, read);
    if (std::memcmp(start + 4, "ftyp", 4) == 0)
        return CheckMp4(fileSize, read);
    return {};
}
