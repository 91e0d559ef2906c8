// libFuzzer's entry for the target named by MOVARA_FUZZ_TARGET.
#include "fuzz/FuzzTargets.h"

#define MOVARA_JOIN2(a, b) a##b
#define MOVARA_JOIN(a, b) MOVARA_JOIN2(a, b)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MOVARA_JOIN(Fuzz_, MOVARA_FUZZ_TARGET)(data, size);
    return 0;
}
