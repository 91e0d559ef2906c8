#pragma once

#include <string>

// What follows a conversion: the iTunes hand-off after each iPod task and the power-off after
// the whole list. Both act through CurrentSystemActions().

// The command line that hands `path` to the hand-off program, found the platform's usual way
// (the work folder, current while converting, included).
std::string HandOffCommand(const std::string& path);

// How long the hand-off program may take before it is stopped.
inline constexpr unsigned long handOffLimitMs = 60000;

// Hands the converted file at `path` (its full path) to the hand-off program and waits for it
// to end, dispatching window messages meanwhile, for at most handOffLimitMs; one that takes
// longer is stopped and a line in "log.txt" says so. A hand-off that cannot start is passed
// over quietly.
void AddToITunes(const std::string& path);

// Powers the computer off: on the NT family after enabling the shut-down privilege (when that
// is refused, or the system refuses to power off, a warning says the computer cannot shut
// down and the program stays open); on Windows 9x directly; elsewhere nothing.
void ShutDownComputer();

// The warning shown when the computer cannot be shut down.
inline constexpr char shutDownRefusedText[] = "Your computer cannot shutdown";
inline constexpr char shutDownRefusedCaption[] = "Warning";
inline constexpr unsigned shutDownRefusedType = 16; // the stop-sign icon
