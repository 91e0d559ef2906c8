#pragma once

#include <string>

#include "player/PlayerCommands.h"

// Probing files with ffprobe, with a small cache: the preview asks for the length of the
// same file again and again, and every ffprobe start costs a process.

// The ffmpeg or ffprobe program the player runs: app\ beside the program first, then the
// system's search (the PATH). Empty when there is none.
std::string FindPlayerProgram(const char* name);

// What ffprobe says of `path`; all zero for a file it cannot read, for a missing file and
// when ffprobe is missing. A file whose size and write time have not changed since it was
// last probed is answered from the cache.
MediaInfo ProbeMedia(const std::string& path);

// Forgets every cached answer.
void ClearProbeCache();

