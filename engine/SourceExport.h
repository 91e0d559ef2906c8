#pragma once

#include <functional>

// The export of a RealMedia source into an intermediate file that the pipelines read instead.
// The player control does the export; until it is there, and in tests, the export is whatever
// function stands in this seam.

// Exports the source of task `taskIndex`, storing the intermediate file in the task's
// exportPath. Returns when the export is complete (true), when it could not be made (false),
// or when a stop is requested (the caller looks at cancelRequested).
using SourceExportFunction = std::function<bool(int taskIndex)>;

// Puts `exporter` in place (an empty function puts the default back) and returns the one in
// place before. The default has no player to export with: it fails every export.
SourceExportFunction ReplaceSourceExport(SourceExportFunction exporter);

// Runs the export in place for task `taskIndex`.
bool ExportSourceThroughPlayer(int taskIndex);
