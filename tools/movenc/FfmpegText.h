#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

// Text handling around running ffmpeg: command lines, its encoder list and its error output.

// One argument as the Windows runtime's command-line splitting reads it back: quoted when it
// is empty or holds blanks or quotes, backslashes doubled only where they precede a quote.
std::string QuoteArgument(std::string_view argument);

// The program and its arguments as one command line for CreateProcess.
std::string JoinCommandLine(std::string_view program, const std::vector<std::string>& arguments);

// The encoder names of "ffmpeg -encoders": the second word of each line whose first word is
// a six-character capability field such as "V....D", after the "------" separator line.
std::set<std::string, std::less<>> ParseEncoderList(std::string_view text);

// The line to report when ffmpeg failed: the first line of its error output that states a
// cause, without the "[name @ 0x...]" tag of the part that wrote it and without line-end
// characters. Lines that only close a failure ("Conversion failed!", "x.mp4: Invalid
// argument", "Error opening output file ...") are passed over while a line before or after
// them says more; empty when there is no line at all.
std::string FfmpegErrorLine(std::string_view errorOutput);

// True when an input names something that is not a file to open: a protocol ("http://",
// "pipe:"), standard input ("-"). A drive letter ("C:") is no protocol.
bool IsStreamInput(std::string_view path);

// The local file an input or output names: "file:" taken off, as ffmpeg does; empty when it
// names a protocol or standard input instead.
std::string LocalFilePath(std::string_view name);
