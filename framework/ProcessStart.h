#pragma once

#include <windows.h>

// Under Wine a child that dies before it has finished starting (its loader could not settle in
// memory, seen on a heavily loaded machine) makes CreateProcess fail with ERROR_INTERNAL_ERROR.
// None of the child's own code has run then, so starting it again does nothing twice.
inline constexpr int processStartAttempts = 3;
inline constexpr DWORD processStartPauseMs = 50;

// Calls `start` (a CreateProcess call, true when it started) until it succeeds, fails for another
// reason, or has failed processStartAttempts times. The last error is left as `start` set it.
template <typename Start> bool StartProcessRetrying(Start&& start) {
    for (int attempt = 1;; ++attempt) {
        if (start())
            return true;
        const DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == processStartAttempts)
            return false;
        Sleep(processStartPauseMs * attempt);
        SetLastError(error);
    }
}
