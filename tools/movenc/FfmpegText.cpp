#include "tools/movenc/FfmpegText.h"

#include <algorithm>
#include <cctype>

std::string QuoteArgument(std::string_view argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos)
        return std::string(argument);
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped by one more.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    // Backslashes before the closing quote are doubled so that it still closes.
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string JoinCommandLine(std::string_view program, const std::vector<std::string>& arguments) {
    std::string line = QuoteArgument(program);
    for (const std::string& argument : arguments)
        line += ' ' + QuoteArgument(argument);
    return line;
}

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

} // namespace

std::set<std::string, std::less<>> ParseEncoderList(std::string_view text) {
    std::set<std::string, std::less<>> encoders;
    bool listStarted = false;
    for (std::string_view line : Lines(text)) {
        const std::vector<std::string_view> words = Words(line);
        if (words.empty())
            continue;
        // The legend above the separator has lines of the same shape ("V..... = Video").
        if (!listStarted) {
            listStarted = words[0].find_first_not_of('-') == std::string_view::npos;
            continue;
        }
        if (words.size() >= 2 && words[0].size() == 6)
            encoders.emplace(words[1]);
    }
    return encoders;
}

namespace {

// Lines that close a failure without saying why: the cause stands in a line before them.
bool SaysNothingOfTheCause(std::string_view line) {
    constexpr std::string_view closing[] = {"Conversion failed!", "Error opening output file",
                                            "Error initializing output stream", "Exiting normally",
                                            "Nothing was written into output file"};
    for (std::string_view start : closing)
        if (line.substr(0, start.size()) == start)
            return true;
    constexpr std::string_view invalid = "Invalid argument";
    return line.size() >= invalid.size() && line.substr(line.size() - invalid.size()) == invalid;
}

// "[mov,mp4,m4a @ 0x55d0c1a0] moov atom not found" without the tag of the part that spoke:
// its address means nothing to a reader.
std::string_view WithoutSpeakerTag(std::string_view line) {
    if (line.empty() || line.front() != '[')
        return line;
    const std::size_t close = line.find("] ");
    if (close == std::string_view::npos || line.substr(0, close).find(" @ ") == std::string_view::npos)
        return line;
    return line.substr(close + 2);
}

} // namespace

std::string FfmpegErrorLine(std::string_view errorOutput) {
    std::string_view fallback;
    for (std::string_view line : Lines(errorOutput)) {
        while (!line.empty() && (line.front() == ' ' || line.front() == '\r'))
            line.remove_prefix(1);
        line = WithoutSpeakerTag(line);
        if (line.empty() || line == "Conversion failed!")
            continue;
        if (!SaysNothingOfTheCause(line))
            return std::string(line);
        if (fallback.empty())
            fallback = line;
    }
    return std::string(fallback);
}

std::string LocalFilePath(std::string_view name) {
    constexpr std::string_view fileProtocol = "file:";
    if (name.size() > fileProtocol.size() &&
        std::equal(fileProtocol.begin(), fileProtocol.end(), name.begin(),
                   [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); }))
        return std::string(name.substr(fileProtocol.size()));
    if (IsStreamInput(name))
        return {};
    return std::string(name);
}

bool IsStreamInput(std::string_view path) {
    if (path == "-")
        return true;
    const std::size_t colon = path.find(':');
    if (colon == std::string_view::npos || colon < 2)
        return false;
    return std::all_of(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(colon),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}
