#include "engine/SourceExport.h"

#include <utility>

namespace {

SourceExportFunction& Exporter() {
    static SourceExportFunction exporter;
    return exporter;
}

} // namespace

SourceExportFunction ReplaceSourceExport(SourceExportFunction exporter) {
    return std::exchange(Exporter(), std::move(exporter));
}

bool ExportSourceThroughPlayer(int taskIndex) {
    const SourceExportFunction& exporter = Exporter();
    // Without a player there is nothing that can read RealMedia: the caller fails the task.
    return exporter ? exporter(taskIndex) : false;
}
