#pragma once
// Takes a fuzzer's bytes apart into the values a target needs: numbers from the front,
// texts separated by a chosen byte. Running out gives zeros and empty texts, never a read
// beyond the input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : bytes(reinterpret_cast<const char*>(data), size) {}

    template <typename T>
    T Number()
    {
        T value{};
        const std::size_t n = bytes.size() < sizeof value ? bytes.size() : sizeof value;
        std::memcpy(&value, bytes.data(), n);
        bytes.remove_prefix(n);
        return value;
    }

    // An integer in [low, high].
    int InRange(int low, int high)
    {
        const auto span = static_cast<std::uint32_t>(static_cast<std::int64_t>(high) - low + 1);
        return static_cast<int>(low + static_cast<std::int64_t>(Number<std::uint32_t>() % span));
    }

    // The bytes up to the next `separator` (or the end), which is consumed.
    std::string Text(char separator)
    {
        const std::size_t end = bytes.find(separator);
        std::string text(bytes.substr(0, end));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        return text;
    }

    // Everything left, split at `separator`.
    std::vector<std::string> Texts(char separator)
    {
        std::vector<std::string> texts;
        while (!bytes.empty()) {
            texts.push_back(Text(separator));
        }
        return texts;
    }

    std::string_view Rest() const { return bytes; }
    bool Empty() const { return bytes.empty(); }

private:
    std::string_view bytes;
};

// A property every input must keep; a broken one ends the run like a sanitizer finding.
#define FUZZ_CHECK(condition)                                                                        \
    do {                                                                                             \
        if (!(condition)) {                                                                          \
            std::fprintf(stderr, "%s:%d: fuzz property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                            \
        }                                                                                            \
    } while (false)
