#include "engine/TimeText.h"

#include <climits>
#include <cstdio>

namespace {

// Big enough for INT_MAX seconds: "596523:14:07" and the terminator.
constexpr int hmsBufferSize = 32;

void WriteHms(char* buffer, int size, int seconds)
{
    const int whole = seconds < 0 ? 0 : seconds;
    std::snprintf(buffer, static_cast<size_t>(size), "%02d:%02d:%02d", whole / 3600, whole % 3600 / 60, whole % 60);
}

} // namespace

int WholeSeconds(double seconds)
{
    // Converting a NaN or an out-of-range double to int is undefined: sort those out first
    // (a NaN fails every comparison, so it lands here too).
    if (!(seconds > 0.0)) {
        return 0;
    }
    if (seconds >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    return static_cast<int>(seconds);
}

std::string FormatTimeText(double seconds)
{
    char buffer[hmsBufferSize] = {};
    WriteHms(buffer, hmsBufferSize, WholeSeconds(seconds));
    return buffer;
}

const char* FormatHms(int seconds)
{
    static char buffer[hmsBufferSize] = {};
    WriteHms(buffer, hmsBufferSize, seconds);
    return buffer;
}
