#include "engine/ProgressParsing.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/TaskStatus.h"
#include "engine/TimeText.h"

namespace {

constexpr char sizeKey[] = "size=";
constexpr char timeKey[] = "time=";
constexpr size_t keyLength = 5;
// Characters read after each key, and how much of the chunk must follow the match.
constexpr size_t sizeDigits = 8;
constexpr size_t timeDigits = 5;
constexpr size_t sizeMinimumTail = 13;
constexpr size_t timeMinimumTail = 9;
// The fields are copied into a zero-filled buffer of this size before conversion.
constexpr size_t fieldBufferSize = 16;

// Past this part of the length the bar shows full: the encoder's last report rarely lands on
// the exact end.
constexpr double fullPercent = 99.0;
// The remaining time of an export is estimated from its rate only after this many seconds.
constexpr double exportEstimateAfter = 20.0;

std::string Format(const char* format, auto... values) {
    char buffer[256] = {};
    std::snprintf(buffer, sizeof(buffer), format, values...);
    return buffer;
}

StatusBar Bar(int position) {
    return StatusBar{100, position, statusBarColour};
}

const char* FixedStatusText(TaskStatus status) {
    switch (status) {
    case TaskStatus::Exporting: return "Exporting";
    case TaskStatus::Changing: return "Changeing";
    case TaskStatus::AddingToITunes: return "Adding to iTunes";
    case TaskStatus::Muxing: return "Muxing to PMP files";
    case TaskStatus::Canceled: return "Canceled";
    case TaskStatus::Failed: return "Failed";
    default: return "";
    }
}

// The encoding line: media time reached, output size, speed and the percentage shown.
TaskStatusDisplay EncodingLine(const ConversionTask& task, int percentShown) {
    if (!(task.encodedTime > 0.0) || task.outputSizeKB <= 0) {
        return {};
    }
    const int seconds = WholeSeconds(task.encodedTime);
    return {Format("%02d:%02d:%02d    %.02fMB    %.02fFrames/s      %%%d ", seconds / 3600, seconds % 3600 / 60,
                   seconds % 60, task.outputSizeKB / 1024.0, task.speed, percentShown),
            Bar(percentShown)};
}

// The export line of a two-stage task: the export fills the first half, and the encoding
// still to come is estimated at half the clip's length.
TaskStatusDisplay ExportLine(const ConversionTask& task) {
    const double length = task.endTime - task.beginTime;
    const int remaining = WholeSeconds(length * 0.5 + task.exportRemaining);
    const double shownPercent = task.exportPercent * 0.5;
    const int position = WholeSeconds(shownPercent);
    return {Format(" %.2f%%    Remain Time:%s", shownPercent, FormatTimeText(remaining).c_str()), Bar(position)};
}

// The last match of `key` in the chunk that has at least `minimumTail` characters from the
// match to the end: when two progress lines arrive in one read, the newer one counts, and a
// last line cut short leaves the one before it.
const char* LastWholeField(const char* chunk, const char* key, size_t minimumTail) {
    const char* found = nullptr;
    for (const char* at = std::strstr(chunk, key); at != nullptr; at = std::strstr(at + keyLength, key)) {
        if (std::strlen(at) < minimumTail) {
            break;
        }
        found = at;
    }
    return found;
}

} // namespace

ProgressFields ReadProgressFields(const char* chunk) {
    ProgressFields fields;
    if (!chunk) {
        return fields;
    }
    if (const char* size = LastWholeField(chunk, sizeKey, sizeMinimumTail)) {
        char digits[fieldBufferSize] = {};
        std::memcpy(digits, size + keyLength, sizeDigits);
        // Eight characters cannot overflow a long.
        fields.sizeKB = static_cast<int>(std::strtol(digits, nullptr, 10));
    }
    if (const char* time = LastWholeField(chunk, timeKey, timeMinimumTail)) {
        char digits[fieldBufferSize] = {};
        std::strncpy(digits, time + keyLength, timeDigits);
        const double value = std::strtod(digits, nullptr);
        if (std::isfinite(value)) {
            fields.time = value;
        }
    }
    return fields;
}

double EncodingSpeed(double mediaSeconds, std::uint32_t elapsedMs) {
    if (elapsedMs == 0) {
        return 0.0;
    }
    return mediaSeconds * 1000.0 / elapsedMs;
}

bool ApplyProgressChunk(ConversionTask& task, const char* chunk, std::uint32_t elapsedMs) {
    const ProgressFields fields = ReadProgressFields(chunk);
    if (fields.sizeKB) {
        task.outputSizeKB = *fields.sizeKB;
    }
    if (!fields.time) {
        return false;
    }
    const double time = *fields.time;
    const bool reachedLength = task.needsExport && task.outputSizeKB > 0 && time >= task.endTime - task.beginTime;
    task.encodedTime = time;
    task.speed = EncodingSpeed(time, elapsedMs);
    return reachedLength;
}

void ApplyExportProgress(ConversionTask& task, double position, double total, std::uint32_t elapsedMs) {
    // A position or total that is not a number (or infinite) says nothing: computing with it
    // would put " nan%" or " inf%" into the status column.
    if (!std::isfinite(position) || !std::isfinite(total)) {
        return;
    }
    const double rate = elapsedMs == 0 ? 0.0 : position * 1000.0 / elapsedMs;
    task.exportPosition = position;
    // A total of 0 would divide by zero, and a position past the end must not push the bar
    // beyond its half.
    const double percent = total > 0.0 ? 100.0 / total * position : 0.0;
    task.exportPercent = percent < 0.0 ? 0.0 : percent > 100.0 ? 100.0 : percent;
    double remaining = total - position;
    if (rate > 0.0 && position > exportEstimateAfter) {
        remaining = (total - position) / rate;
    }
    task.exportRemaining = remaining > 0.0 ? remaining : 0.0;
}

int EncodingPercent(const ConversionTask& task) {
    if (!(task.endTime > task.beginTime)) {
        return 0;
    }
    // Decided on the double: a media time far past the end must not overflow the int.
    const double rounded = task.encodedTime * 100.0 / (task.endTime - task.beginTime) + 0.5;
    if (rounded >= fullPercent) {
        return 100;
    }
    return WholeSeconds(rounded);
}

TaskStatusDisplay FormatTaskStatus(const ConversionTask& task) {
    if (task.finished) {
        return {" Finished ", std::nullopt};
    }
    const int percent = EncodingPercent(task);
    if (task.needsExport) {
        if (task.status == TaskStatus::SourceExport) {
            return ExportLine(task);
        }
        if (task.status == TaskStatus::Converting) {
            return EncodingLine(task, percent / 2 + 50);
        }
        return {FixedStatusText(task.status), std::nullopt};
    }
    if (task.status == TaskStatus::Converting) {
        return EncodingLine(task, percent);
    }
    return {FixedStatusText(task.status), std::nullopt};
}
