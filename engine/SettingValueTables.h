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
// combos' item order, which lists 416x176 before 400x192. Mind that Audio Quality's items 4
// and 5 read 96 and 128 kbps, yet put "48" and "64" into the command.
class SettingValueTables {
public:
    // The text for item `index` of `table`'s combo; empty text for an index out of range
    // (a combo without selection) and for the "Same As Input File" items.
    static std::string_view Entry(SettingTable table, int index);

    // How many items the table's combo has.
    static int Size(SettingTable table);
};
