#include "engine/RandomInRange.h"

#include <climits>
#include <cstdlib>
#include <ctime>

namespace {
// The draws span 0 to 32767, the Windows runtime's RAND_MAX; the divisor is that value.
constexpr long long largestDraw = 32767;
} // namespace

int ScaleRandomDraw(int a, int b, int r)
{
    if (b < a) {
        return a;
    }
    // The product is taken in 64 bits: r * (b - a + 1) overflows an int as soon as the range
    // is wider than 65536, and b - a + 1 itself overflows for the widest ranges.
    const long long span = static_cast<long long>(b) - a + 1;
    const long long result = a + static_cast<long long>(r) * span / largestDraw;
    return result > INT_MAX ? INT_MAX : static_cast<int>(result);
}

int RandomInRange(int a, int b)
{
    if (b < a) {
        return a;
    }
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    // Masked so that a runtime with a larger RAND_MAX still draws within 0 to 32767.
    const int draw = std::rand() & 0x7FFF;
    return ScaleRandomDraw(a, b, draw);
}
