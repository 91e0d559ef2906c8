#include "engine/ErrorLog.h"

#include <cstdio>
#include <windows.h>

#include "framework/Utf8.h"

namespace {
// A record holds at most this many bytes less one; longer names or messages are cut.
constexpr int recordBufferSize = 512;
} // namespace

std::string FormatApiErrorRecord(const char* apiName, unsigned long errorCode, const char* message) {
    std::string record = std::string("ERROR:   API         =   ") + (apiName ? apiName : "") +
                         ".\n       error   code   =   " + std::to_string(static_cast<int>(errorCode)) +
                         ".\n       message         =   " + (message ? message : "") + ".\n";
    // The system's message is UTF-8 under the UTF-8 code page: a long one is cut between characters.
    record.resize(Utf8CutPoint(record, recordBufferSize - 1));
    return record;
}

void LogApiError(const char* apiName) {
    // Read the error first: FormatMessage may set its own, and the record must name the
    // failure of `apiName`, not of the formatting.
    const DWORD error = GetLastError();
    char* message = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&message), 0, nullptr);
    AppendToLog(FormatApiErrorRecord(apiName, error, message).c_str());
    if (message) {
        LocalFree(message);
    }
}

void AppendToLog(const char* text) {
    // "a+t": read and write, created when missing, content kept, every write at the end, and
    // text mode so that "\n" becomes "\r\n" as Notepad expects.
    FILE* log = std::fopen("log.txt", "a+t");
    if (!log) {
        return;
    }
    std::fseek(log, 0, SEEK_END);
    std::fputs(text ? text : "", log);
    std::fclose(log);
}
