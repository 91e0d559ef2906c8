// MOVARA_ASSERT as a debug build compiles it: this file is compiled without NDEBUG, whatever the build type.
#undef NDEBUG
#include "framework/Assert.h"

#include <gtest/gtest.h>

namespace {

TEST(AssertDebugTest, AFailedCheckStopsADebugBuild) {
    EXPECT_DEATH(MOVARA_ASSERT(1 + 1 == 3), "");
}

TEST(AssertDebugTest, APassingCheckDoesNotStopIt) {
    int evaluations = 0;
    MOVARA_ASSERT(++evaluations == 1);
    EXPECT_EQ(evaluations, 1);
}

} // namespace
