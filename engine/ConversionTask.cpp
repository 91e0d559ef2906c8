#include "engine/ConversionTask.h"

#include "engine/RandomInRange.h"

namespace {

// Index of the first character of the file name, after the last folder separator.
std::string::size_type FileNameStart(const std::string& path)
{
    const std::string::size_type separator = path.find_last_of("\\/");
    return separator == std::string::npos ? 0 : separator + 1;
}

// Index of the dot that starts the extension, or npos when the file name has none.
std::string::size_type ExtensionDot(const std::string& path)
{
    const std::string::size_type dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < FileNameStart(path)) {
        return std::string::npos;
    }
    return dot;
}

} // namespace

std::string TaskBaseName(const std::string& path)
{
    const std::string::size_type start = FileNameStart(path);
    const std::string::size_type dot = ExtensionDot(path);
    return dot == std::string::npos ? path.substr(start) : path.substr(start, dot - start);
}

bool IsRealMediaPath(const std::string& path)
{
    const std::string::size_type dot = ExtensionDot(path);
    if (dot == std::string::npos) {
        return false;
    }
    for (std::string::size_type i = dot + 1; i + 1 < path.size(); ++i) {
        const char first = path[i];
        const char second = path[i + 1];
        if ((first == 'r' || first == 'R') && (second == 'm' || second == 'M')) {
            return true;
        }
    }
    return false;
}

ConversionTask MakeNewTask(const std::string& sourcePath, double duration, int deviceFileNumber)
{
    ConversionTask task;
    task.sourcePath = sourcePath;
    task.outputName = TaskBaseName(sourcePath);
    task.beginTime = 0.0;
    task.endTime = duration;
    task.title = task.outputName;
    task.exportBaseName = task.outputName;
    task.checked = true;
    task.deviceFileNumber = deviceFileNumber;
    task.needsExport = IsRealMediaPath(sourcePath);
    return task;
}

ConversionTask MakeNewTask(const std::string& sourcePath, double duration)
{
    return MakeNewTask(sourcePath, duration, NewDeviceFileNumber());
}

int NewDeviceFileNumber()
{
    // Both draws fall into the same second and so use the same seed; the sum is what
    // the device file names have always used.
    return RandomInRange(10000, 20000) + RandomInRange(0, 1000);
}
