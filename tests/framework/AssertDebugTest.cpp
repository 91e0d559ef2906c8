// MOVARA_ASSERT as a debug build compiles it: this file is compiled without NDEBUG, whatever the build type.
#undef NDEBUG
#include "framework/Assert.h"

#include <gtest/gtest.h>

namespace {

TEST(AssertDebugTest, AFailedCheckStopsADebugBuildAndAPassingOneDoesNot) {
    EXPECT_DEATH(MOVARA_ASSERT(1 + 1 == 3), "");
    int evaluations = 0;
    MOVARA_ASSERT(++evaluations == 1);
    EXPECT_EQ(evaluations, 1);
}

} // namespace
