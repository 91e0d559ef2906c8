#pragma once

#include <string_view>

// The settings combos of the iPod page whose selection the custom preset substitutes.
enum class SettingTable {
    VideoType,
    VideoSize,
    FrameRate,
    VideoQuality,
    Aspect,
    Channels,
    AudioQuality,
    SampleRate,
    Volume,
};

// The option texts that the settings combos stand for, by item index. They follow the
// combos' item order, which lists 416x176 before 400x192. Every item gives what its text
// reads: Audio Quality's "96 kbps" and "128 kbps" put "96" and "128" into the command.
class SettingValueTables {
public:
    // The text for item `index` of `table`'s combo; empty text for an index out of range
    // (a combo without selection) and for the "Same As Input File" items.
    static std::string_view Entry(SettingTable table, int index);

    // How many items the table's combo has.
    static int Size(SettingTable table);
};
