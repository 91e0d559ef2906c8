// MOVARA_ASSERT as the tests are built (NDEBUG set, as in every optimised build): a failed check is reported with
// file, line and expression, and the program goes on.
#include "framework/Assert.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the text, which a vectored handler sees before the system's
// own handler swallows it: that is how the test reads what a debugger would show.
std::string debugOutput;

LONG CALLBACK CaptureDebugOutput(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2)
        debugOutput += reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    return EXCEPTION_CONTINUE_SEARCH;
}

TEST(AssertTest, APassingCheckReportsNothingAndAFailedOneReportsFileLineAndExpressionAndGoesOn) {
    void* handler = AddVectoredExceptionHandler(1, CaptureDebugOutput);
    ASSERT_NE(handler, nullptr);
    debugOutput.clear();
    int evaluations = 0;
    MOVARA_ASSERT(++evaluations == 1);
    EXPECT_EQ(evaluations, 1);
    EXPECT_EQ(debugOutput, "");
#ifdef NDEBUG
    const int line = __LINE__ + 1;
    MOVARA_ASSERT(evaluations + evaluations == 5);
    EXPECT_NE(debugOutput.find("AssertTest.cpp(" + std::to_string(line) + ")"), std::string::npos) << debugOutput;
    EXPECT_NE(debugOutput.find("evaluations + evaluations == 5"), std::string::npos) << debugOutput;
#endif
    RemoveVectoredExceptionHandler(handler);
}

} // namespace
