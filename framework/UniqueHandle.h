#pragma once

#include <windows.h>

#include <utility>

// Owns a kernel handle (process, thread, pipe end, file, token): CloseHandle when it goes, move-only. Null and
// INVALID_HANDLE_VALUE both mean "none", since CreateFile answers the one and most other calls the other.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE owned) : handle(owned) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    HANDLE get() const { return handle; }
    // Gives up ownership: the caller closes the handle.
    HANDLE release() { return std::exchange(handle, nullptr); }
    // Closes the handle held and takes `replacement`. False when closing failed.
    bool reset(HANDLE replacement = nullptr) {
        const HANDLE old = std::exchange(handle, replacement);
        return !IsValid(old) || old == replacement || CloseHandle(old) != FALSE;
    }
    // For functions that hand out a new handle through a pointer: closes the one held first.
    HANDLE* put() {
        reset();
        return &handle;
    }
    explicit operator bool() const { return IsValid(handle); }

private:
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    HANDLE handle = nullptr;
};
