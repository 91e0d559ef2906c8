#pragma once

#include <array>
#include <string>
#include <string_view>

// The target device families. The numbers are the indices of the device tabs: the window converts at that edge.
enum class DeviceFamily : int { Ipod = 0, Psp = 1, ThreeGp = 2, Xbox = 3, PocketPc = 4, Pmp = 5 };
inline constexpr int deviceFamilyCount = 6;

// The choices of the "Select 3GP Type:" combo, numbered as its items.
enum class ThreeGpType : int {
    Amr = 0,      // 3GP with AMR audio
    Aac = 1,      // 3GP with AAC audio
    ThreeGp2 = 2, // 3GP2 with AAC audio
};
inline constexpr int threeGpTypeCount = 3;

// The profile files, relative to the work folder. Entry 8 is listed but no family picks it.
inline constexpr std::array<const char*, 9> ProfileFileTable = {
    ".\\iPod_Profile.ini",    ".\\PSP_Profile.ini",  ".\\3GP_AMR_Profile.ini",
    ".\\3GP_AAC_Profile.ini", ".\\3GP2_AAC_Profile.ini", ".\\Xbox_Profile.ini",
    ".\\PPC_Profile.ini",     ".\\PMP_Profile.ini",  ".\\SD-VIDEO_Profile.ini",
};

inline constexpr int ipodProfileFileIndex = 0;

// Index into ProfileFileTable of a family's profile file: iPod 0, PSP 1, 3GP 2 + the 3GP type,
// Xbox 5, Pocket PC 6, PMP 7. -1 for a family or 3GP type out of range.
int ProfileFileIndex(DeviceFamily deviceFamily, ThreeGpType threeGpType);

// Entry `fileIndex` of ProfileFileTable, or empty text out of range.
std::string ProfileFilePath(int fileIndex);

// A decimal number read from a profile value with the runtime's text-to-integer rules:
// leading blanks skipped, an optional sign, digits up to the first non-digit; text without
// digits gives 0. Values beyond the int range are clamped instead of overflowing.
int ProfileTextToInt(std::string_view text);

// The 0-based list entry that a profile file's "DefaultProfile" preselects among
// `presetCount` presets. The iPod file counts from 0, every other file from 1. A value that
// names no preset (0 or missing in a 1-based file, or beyond the last preset) selects the
// first preset; -1 when there are no presets at all.
int DefaultPresetIndex(int fileIndex, std::string_view defaultProfileText, int presetCount);

// The choices that command building and the pipelines read from the settings panel, taken
// once when a run starts. The settings indices start at the panel's reset defaults.
struct OutputSettings {
    DeviceFamily deviceFamily = DeviceFamily::Ipod;
    ThreeGpType threeGpType = ThreeGpType::Amr;
    int profileIndex = -1;                 // selected preset list entry (families 1-5); -1: none
    int presetIndex = 0;                   // selected item of the iPod "Profile setting" combo
    int videoType = 1;
    int videoSize = 3;
    int frameRate = 0;
    int videoQuality = 6;
    int aspect = 0;
    int audioQuality = 2;
    int channels = 1;
    int sampleRate = 0;
    int volume = 1;
    std::string outputDirectory;           // output folder, ending in "\"

    bool operator==(const OutputSettings&) const = default;
};
