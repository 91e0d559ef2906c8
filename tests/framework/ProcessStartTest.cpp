#include "framework/ProcessStart.h"

#include <gtest/gtest.h>

// Only Wine's "died while starting" error is tried again, up to the limit; the caller still reads the start's error.
TEST(ProcessStart, RetriesOnlyAChildThatDiedWhileStarting) {
    const struct {
        DWORD error;
        int failures, calls;
    } cases[] = {{ERROR_INTERNAL_ERROR, processStartAttempts - 1, processStartAttempts},
                 {ERROR_INTERNAL_ERROR, processStartAttempts, processStartAttempts},
                 {ERROR_FILE_NOT_FOUND, 1, 1}};
    for (const auto& c : cases) {
        int calls = 0;
        const bool started = StartProcessRetrying([&] {
            SetLastError(c.error);
            return ++calls > c.failures;
        });
        EXPECT_EQ(calls, c.calls) << c.error;
        EXPECT_EQ(started, c.failures < c.calls) << c.error;
        if (!started) {
            EXPECT_EQ(GetLastError(), c.error);
        }
    }
}
