#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// A structural check of a finished file, for "movenc -verify": cheap enough for the last step
// of every multi-step pipeline, where starting ffprobe each time would cost more than the check.
//
// MP4-family files (MP4, 3GP, 3GP2) must consist of whole boxes to the last byte, with an
// "ftyp", a "moov" that holds at least one "trak", and an "mdat" with data. PMP files must have
// their header, and the packet sizes of their index must add up to the file's length.

// Reads up to `count` bytes at `offset`, returning how many it read.
using ReadAt = std::function<std::size_t(std::uint64_t offset, void* buffer, std::size_t count)>;

struct ContainerVerdict {
    bool known = false;  // the file is of a kind checked here; otherwise ask ffprobe
    std::string problem; // empty: the file is whole
};

ContainerVerdict CheckContainer(std::uint64_t fileSize, const ReadAt& read);
