#pragma once

#include <string>
#include <string_view>
#include <windows.h>

#include "framework/UniqueHandle.h"

// Runs the external programs of a conversion on the user-interface thread. The encoder runs
// with its console output captured and parsed chunk by chunk; helper programs run hidden and
// are only waited for. Both keep the window alive by dispatching its messages while they
// wait: that is how paints and the Stop button get through during a conversion.
//
// Only one encoder runs at a time, so one pair of pipe handles suffices.

// Asks the running conversion to stop. The Stop action sets it; Start clears it.
extern bool cancelRequested;

// The engine's ends of the running encoder's pipes (not inheritable): the write end of its
// standard input and the read end of its standard output and error. Empty while no progress
// run has them open; StopEncoder closes them.
extern UniqueHandle encoderInput;
extern UniqueHandle encoderOutput;

// How one program run ended, so that a pipeline can tell a failed step from a finished or
// stopped one.
struct RunResult {
    bool started = false;       // the program was created
    bool stopped = false;       // ended by our own "q" or by a stop request: not a failure
    bool ended = false;         // it ended within the wait, and exitCode is its exit code
    unsigned long exitCode = 0;
    std::string errorLine;      // progress runs: the reason of the last "error: " line it printed

    // The step did not do its work: it could not start, or ended on its own with an exit code
    // other than 0, or never ended. A stopped step is never a failure.
    bool Failed() const { return !stopped && (!started || !ended || exitCode != 0); }
};

// The text after "error: " of the last whole line of `output` that starts so (the encoder
// front-end's one line on failure), without its line end; empty when there is none.
std::string LastErrorLine(std::string_view output);

// Starts `command` with its output captured and reads it until the encoder ends or a stop is
// requested, then waits (dispatching messages, bounded) for the encoder to end and reads its
// exit code. An encoder told to quit by the length stop may still be finishing its file: it
// gets a generous limit too, and is terminated and counts as not ended when it exceeds it,
// so that no later step reads a file it still writes. Every failed system call is logged and the sequence goes on; an encoder that
// cannot be started ends the step at once. The pipe handles stay open for StopEncoder.
RunResult RunWithProgress(const char* command);

// Creates the encoder process, hidden in a console of its own, with the given standard
// handles. The command's first word names the program, searched the platform's usual way
// (the current directory included). The process handle, or an empty one after logging
// "CreateProcess" when it fails.
UniqueHandle StartEncoder(HANDLE standardOutput, HANDLE standardInput, HANDLE standardError, const char* command);

// The read loop: each chunk of at most 255 bytes goes to ParseProgressChunk by itself. While
// the encoder prints nothing, window messages are still dispatched, so a silent encoder
// freezes neither the window nor Stop. Returns at a stop request, when StopEncoder has closed
// `handle`, or when the encoder has closed its end (the normal end, not logged).
void ReadEncoderOutput(HANDLE handle);

// Starts `command` hidden and waits for it to end, dispatching messages meanwhile without
// using the processor. A stop request terminates the program (the result says "stopped").
// A program that cannot be started is not logged; the result says it did not start.
RunResult RunHidden(const char* command);

// Tells the encoder of the last progress run to quit: closes encoderOutput, writes the single
// byte "q" to encoderInput and closes it. Does nothing when no progress run's handles are open,
// so a second call, or a call during a hidden step, is harmless. An encoder that has already
// ended simply does not get the "q".
void StopEncoder();

// Removes and dispatches every pending message of the thread, translating key messages, until
// the queue is empty; never waits. A WM_QUIT is put back for the thread's own loop and ends
// the pump early: false then, true when the queue was emptied.
bool PumpMessages();
