#include "engine/SettingValueTables.h"

#include <span>

namespace {

constexpr std::string_view videoTypes[] = {
    "-vcodec xvid",
    "-vcodec h264 -coder 0 -vlevel 13 -bufsize 256 -g 250",
};
constexpr std::string_view videoSizes[] = {
    "176x120", "240x176", "320x176", "320x240", "368x208", "384x160", "416x176", "400x192", "480x160",
};
constexpr std::string_view frameRates[] = {"", "-r 14.985", "-r 23.976", "-r 29.97"};
constexpr std::string_view videoQualities[] = {"128", "192", "216", "256", "384", "512", "576", "640", "768", "1500"};
constexpr std::string_view aspects[] = {"4:3", "16:9"};
constexpr std::string_view channels[] = {"1", "2"};
constexpr std::string_view audioQualities[] = {"32", "48", "64", "80", "96", "128"};
constexpr std::string_view sampleRates[] = {"", "-ar 24000", "-ar 44100", "-ar 48000"};
constexpr std::string_view volumes[] = {"128", "256", "384", "512", "640", "768", "896", "1024"};

std::span<const std::string_view> Table(SettingTable table)
{
    switch (table) {
    case SettingTable::VideoType: return videoTypes;
    case SettingTable::VideoSize: return videoSizes;
    case SettingTable::FrameRate: return frameRates;
    case SettingTable::VideoQuality: return videoQualities;
    case SettingTable::Aspect: return aspects;
    case SettingTable::Channels: return channels;
    case SettingTable::AudioQuality: return audioQualities;
    case SettingTable::SampleRate: return sampleRates;
    case SettingTable::Volume: return volumes;
    }
    return {};
}

} // namespace

std::string_view SettingValueTables::Entry(SettingTable table, int index)
{
    const std::span<const std::string_view> entries = Table(table);
    if (index < 0 || index >= static_cast<int>(entries.size())) {
        return {};
    }
    return entries[static_cast<size_t>(index)];
}

int SettingValueTables::Size(SettingTable table)
{
    return static_cast<int>(Table(table).size());
}
