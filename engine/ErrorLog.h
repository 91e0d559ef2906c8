#pragma once

#include <string>

// The error log "log.txt" in the current directory (the work folder while converting). Every
// failed system call of the process runner leaves a record there; the user is told nothing.

// One record as it goes into the log: the name of the failed call, the error value and the
// system's message text (which usually ends in its own line break, so the closing period
// lands on the next line). At most 511 bytes, the size of a log record, cut between two
// UTF-8 characters; a null name or message counts as empty.
std::string FormatApiErrorRecord(const char* apiName, unsigned long errorCode, const char* message);

// Appends a record of the calling thread's last system error, caused by `apiName`.
void LogApiError(const char* apiName);

// Appends `text` to "log.txt", creating the file when missing. The file is written in text
// mode, so each line feed lands as carriage return and line feed. A file that cannot be
// opened is left alone and nothing is written.
void AppendToLog(const char* text);
