#pragma once

#include <string>

// Times shown to the user and put into commands are whole seconds written "%02d:%02d:%02d":
// hours (not limited to two digits), minutes and seconds.

// `seconds` truncated toward zero. Negative values and NaN give 0 (a time before the start
// of a clip has no meaning and would make an invalid encoder option); values beyond the
// int range give INT_MAX.
int WholeSeconds(double seconds);

// `seconds` (truncated as WholeSeconds does) as "hh:mm:ss".
std::string FormatTimeText(double seconds);

// `seconds` as "hh:mm:ss" in one static buffer that the next call overwrites; not for use
// from two threads. Negative values give "00:00:00".
const char* FormatHms(int seconds);
