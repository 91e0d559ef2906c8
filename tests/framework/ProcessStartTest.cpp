#include "framework/ProcessStart.h"

#include <gtest/gtest.h>

// A start that fails with Wine's "died while starting" error is tried again; any other failure
// is final at once, and the caller still reads the start's own error.
TEST(ProcessStart, RetriesOnlyAChildThatDiedWhileStarting) {
    struct Case {
        DWORD error;
        int failures;
        bool started;
        int calls;
    };
    const Case cases[] = {
        {ERROR_INTERNAL_ERROR, 0, true, 1},
        {ERROR_INTERNAL_ERROR, processStartAttempts - 1, true, processStartAttempts},
        {ERROR_INTERNAL_ERROR, processStartAttempts, false, processStartAttempts},
        {ERROR_FILE_NOT_FOUND, 1, false, 1},
        {ERROR_ACCESS_DENIED, 1, false, 1},
    };
    for (const Case& c : cases) {
        int calls = 0;
        const bool started = StartProcessRetrying([&] {
            if (++calls > c.failures)
                return true;
            SetLastError(c.error);
            return false;
        });
        EXPECT_EQ(started, c.started) << c.error << " x" << c.failures;
        EXPECT_EQ(calls, c.calls) << c.error << " x" << c.failures;
        EXPECT_EQ(started ? c.error : GetLastError(), c.error) << "the start's own error is left";
    }
}
