#pragma once

#include <cstdlib>

// The one check for programmer errors (a broken invariant, a call in the wrong state). Expected failures, such as a
// missing file or a window that cannot be created, are results, never assertions.
//
// A failed check is always reported through OutputDebugStringA with file, line and expression, so that a release
// build under a debugger (or DebugView, or WINEDEBUG=+debugstr) still shows it; a debug build then stops at once,
// where the broken state is still visible.

// Writes "file(line): assertion failed: expression" to the debugger output.
void MovaraReportAssertion(const char* file, int line, const char* expression) noexcept;

#ifdef NDEBUG
#define MOVARA_ASSERT(expr)                                                                                            \
    (static_cast<bool>(expr) ? static_cast<void>(0) : MovaraReportAssertion(__FILE__, __LINE__, #expr))
#else
#define MOVARA_ASSERT(expr)                                                                                            \
    (static_cast<bool>(expr) ? static_cast<void>(0) : (MovaraReportAssertion(__FILE__, __LINE__, #expr), std::abort()))
#endif
