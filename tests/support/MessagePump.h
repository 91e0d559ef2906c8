#pragma once
// Message pumping for window tests, through the pre-translation and dialog keyboard handling the program's loops
// do. Nothing here waits for a time: a test posts what a user would do, dispatches what is queued, and sends
// WM_TIMER itself where a control counts ticks.

#include <windows.h>

#include <functional>

// Dispatches every message queued for this thread, and what those post in turn, until the queue is empty.
void PumpPending(HWND dialog = nullptr);

// Dispatches messages, waiting for new ones, until done() holds or limitMs passed (a guard against a hang, not a
// measure): true when done() held.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 30000, HWND dialog = nullptr);
