#include "engine/DeviceProfiles.h"

#include <climits>

int ProfileFileIndex(DeviceFamily deviceFamily, ThreeGpType threeGpType)
{
    const int type = static_cast<int>(threeGpType);
    switch (deviceFamily) {
    case DeviceFamily::Ipod: return 0;
    case DeviceFamily::Psp: return 1;
    case DeviceFamily::ThreeGp: return type >= 0 && type < threeGpTypeCount ? 2 + type : -1;
    case DeviceFamily::Xbox: return 5;
    case DeviceFamily::PocketPc: return 6;
    case DeviceFamily::Pmp: return 7;
    default: return -1;
    }
}

std::string ProfileFilePath(int fileIndex)
{
    if (fileIndex < 0 || fileIndex >= static_cast<int>(ProfileFileTable.size())) {
        return {};
    }
    return ProfileFileTable[static_cast<size_t>(fileIndex)];
}

int ProfileTextToInt(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                               text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1; // enough to clamp either way
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

int DefaultPresetIndex(int fileIndex, std::string_view defaultProfileText, int presetCount)
{
    if (presetCount <= 0) {
        return -1;
    }
    const long long value = ProfileTextToInt(defaultProfileText);
    const long long index = fileIndex == ipodProfileFileIndex ? value : value - 1;
    return index >= 0 && index < presetCount ? static_cast<int>(index) : 0;
}
