#pragma once

// The stage a task is in, kept in ConversionTask::status and shown in the task list's status column. The numbers
// are the stage codes the status column has always been described with.
enum class TaskStatus : int {
    None = 0,           // not started in this run
    Converting = 1,     // the encoder runs with progress
    Exporting = 2,      // 3GP: a later step runs
    Changing = 3,       // 3GP2: the conversion to 3GP2 runs
    AddingToITunes = 4, // reserved for the iTunes hand-off; nothing sets it
    Muxing = 5,         // PMP: the muxing steps run
    SourceExport = 6,   // the player control exports a RealMedia source
    Canceled = 9,       // the task's pipeline saw a stop request
    Failed = 10,        // a step failed or the output is missing; see "log.txt"
};
