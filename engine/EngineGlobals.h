#pragma once

#include <string>

// Process-wide values of the engine.

inline constexpr char productName[] = "Movara";

// Paths live in buffers of the platform's MAX_PATH characters.
inline constexpr int pathBufferSize = 260;

// The program's folder, ending in "\".
extern char programDirectory[pathBufferSize];

// programDirectory followed by "app": the folder of the profile files, the encoder front-end
// and "log.txt". The engine makes it current before it reads profiles or runs commands.
extern char workDirectory[pathBufferSize];

// The output folder, ending in "\".
extern char outputDirectory[pathBufferSize];

// Index of the task being converted. The run loop of the main window sets it before it
// converts a task; every engine operation on "the current task" reads it. It lives here
// rather than in the window so that the engine can be run without one.
extern int currentTaskIndex;

// The drive and folder of `moduleFileName`, with its trailing separator ("C:\" for a program
// at a drive root); ".\" when the name has no folder at all.
std::string ProgramDirectoryOf(const std::string& moduleFileName);

// Sets programDirectory and workDirectory from the program file's full name. False, leaving
// both unchanged, when either would not fit its buffer.
bool SetProgramDirectory(const std::string& moduleFileName);

// SetProgramDirectory with the name of the running program's file.
bool InitProgramDirectory();
