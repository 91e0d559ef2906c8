#include "tools/movenc/FfmpegProgressReader.h"

#include <charconv>
#include <cstdio>

namespace {

// A decimal integer, possibly negative; false for "N/A" and other text.
bool ParseInteger(std::string_view text, std::int64_t& value) {
    std::int64_t parsed = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
    if (ec != std::errc() || ptr != end)
        return false;
    value = parsed;
    return true;
}

constexpr std::int64_t maxClockHours = 1000000;

// "hh:mm:ss.micro" as ffmpeg writes out_time; false when the text has another shape.
bool ParseClock(std::string_view text, std::int64_t& microseconds) {
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        text.remove_prefix(1);
    const std::size_t firstColon = text.find(':');
    const std::size_t secondColon = text.find(':', firstColon + 1);
    const std::size_t dot = text.find('.', secondColon + 1);
    if (firstColon == std::string_view::npos || secondColon == std::string_view::npos)
        return false;
    std::int64_t hours = 0;
    std::int64_t minutes = 0;
    std::int64_t seconds = 0;
    std::int64_t fraction = 0;
    const std::string_view fractionText = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (!ParseInteger(text.substr(0, firstColon), hours) ||
        !ParseInteger(text.substr(firstColon + 1, secondColon - firstColon - 1), minutes) ||
        !ParseInteger(text.substr(secondColon + 1, dot == std::string_view::npos ? text.npos : dot - secondColon - 1),
                      seconds) ||
        (!fractionText.empty() && (fractionText.size() > 6 || !ParseInteger(fractionText, fraction))))
        return false;
    // ffmpeg writes minutes and seconds below 60 and no sign inside; hours beyond a century
    // would overflow the microseconds.
    if (hours < 0 || hours > maxClockHours || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59 ||
        fraction < 0)
        return false;
    for (std::size_t digits = fractionText.size(); digits < 6; ++digits)
        fraction *= 10;
    microseconds = ((hours * 60 + minutes) * 60 + seconds) * 1000000 + fraction;
    if (negative)
        microseconds = -microseconds;
    return true;
}

} // namespace

std::vector<ProgressSnapshot> FfmpegProgressReader::Feed(std::string_view bytes) {
    std::vector<ProgressSnapshot> completed;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos) {
            partialLine.append(bytes);
            // A line this long is not progress: drop it rather than grow without bound.
            if (partialLine.size() > 4096)
                partialLine.clear();
            break;
        }
        partialLine.append(bytes.substr(0, end));
        bytes.remove_prefix(end + 1);
        std::string_view line = partialLine;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        TakeLine(line, completed);
        partialLine.clear();
    }
    return completed;
}

void FfmpegProgressReader::TakeLine(std::string_view line, std::vector<ProgressSnapshot>& completed) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return;
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    std::int64_t number = 0;
    // Unknown values ("N/A" before the first packet) keep the previous figure.
    if (key == "total_size") {
        if (ParseInteger(value, number))
            current.sizeBytes = number;
    } else if (key == "out_time_us") {
        if (ParseInteger(value, number)) {
            current.timeMicroseconds = number;
            haveTimeMicroseconds = true;
        }
    } else if (key == "out_time_ms") {
        // Despite its name ffmpeg writes microseconds here too; older versions have no
        // out_time_us, so it is the fallback.
        if (!haveTimeMicroseconds && ParseInteger(value, number))
            current.timeMicroseconds = number;
    } else if (key == "out_time") {
        if (!haveTimeMicroseconds && ParseClock(value, number))
            current.timeMicroseconds = number;
    } else if (key == "progress") {
        current.last = value == "end";
        completed.push_back(current);
        haveTimeMicroseconds = false;
    }
}

std::string FormatProgressLine(const ProgressSnapshot& snapshot) {
    const long long kilobytes = snapshot.sizeBytes > 0 ? snapshot.sizeBytes / 1024 : 0;
    const long long hundredths = snapshot.timeMicroseconds > 0 ? snapshot.timeMicroseconds / 10000 : 0;
    char line[80] = {};
    std::snprintf(line, sizeof(line), "size=%8lldkB time=%lld.%02lld\r\n", kilobytes, hundredths / 100,
                  hundredths % 100);
    return line;
}
