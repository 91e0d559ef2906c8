#include "framework/Assert.h"

#include <windows.h>

#include <cstdio>

void MovaraReportAssertion(const char* file, int line, const char* expression) noexcept {
    // A fixed buffer: the report must not allocate, it may come from a state where the heap is the broken part.
    char text[1024] = {};
    std::snprintf(text, sizeof text, "%s(%d): assertion failed: %s\n", file, line, expression);
    OutputDebugStringA(text);
}
