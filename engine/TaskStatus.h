#pragma once

// Stage codes of a task, kept in ConversionTask::status. The record stores a plain int so
// that it stays a simple value type; these names keep bare numbers out of the code.
namespace TaskStatus {
inline constexpr int None = 0;           // not started in this run
inline constexpr int Converting = 1;     // the encoder runs with progress
inline constexpr int Exporting = 2;      // 3GP: a later step runs
inline constexpr int Changing = 3;       // 3GP2: the conversion to 3GP2 runs
inline constexpr int AddingToITunes = 4; // reserved for the iTunes hand-off; nothing sets it
inline constexpr int Muxing = 5;         // PMP: the muxing steps run
inline constexpr int SourceExport = 6;   // the player control exports a RealMedia source
inline constexpr int Canceled = 9;       // the task's pipeline saw a stop request
inline constexpr int Failed = 10;        // a step failed or the output is missing; see "log.txt"
} // namespace TaskStatus
