#include "gui/MainWindowLogic.h"

#include "resources/resource.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace {

// The table of the window's children (client pixels). The player (1053) and the placeholder picture share the
// preview's rectangle, Start and Stop share theirs.
constexpr ControlPlace places[] = {
    {IDC_PLAYER, 17, 60, 346, 188},
    {IDC_PREVIEW_PICTURE, 17, 60, 346, 188},
    {IDC_RANGE_SLIDER, 18, 250, 346, 20},
    {IDC_PLAY_PREVIEW, 165, 267, 25, 25},
    {IDC_STOP_PREVIEW, 192, 267, 25, 25},
    {IDC_TASK_LIST, 10, 317, 790, 145},
    {IDC_ADD_VIDEO, 265, 500, 32, 32},
    {IDC_REMOVE_VIDEO, 305, 500, 32, 32},
    {IDC_REMOVE_ALL, 345, 500, 32, 32},
    {IDC_START, 385, 485, 50, 50},
    {IDC_STOP, 385, 485, 50, 50},
    {IDC_HELP_BUTTON, 525, 500, 32, 32},
    {IDC_MINIMIZE_BUTTON, 765, 8, 18, 18},
    {IDC_CLOSE_BUTTON, 785, 8, 18, 18},
    {IDC_VERSION_LABEL, 528, 14, 100, 20},
    {IDC_DEVICE_TABS, 380, 40, 436, 17},
    {IDC_OUTPUT_GROUP, 390, 60, 415, 190},
    {IDC_3GP_TYPE_LABEL, 400, 75, 120, 19},
    {IDC_3GP_TYPE, 530, 75, 260, 19},
    {IDC_DESCRIPTION, 400, 78, 390, 60},
    {IDC_PROFILE_LABEL, 400, 142, 80, 15},
    {IDC_PROFILE_LIST, 400, 160, 390, 80},
    {IDC_PRESET_LABEL, 400, 85, 80, 19},
    {IDC_PRESET, 485, 85, 305, 19},
    {IDC_VIDEO_TYPE_LABEL, 400, 112, 80, 19},
    {IDC_VIDEO_TYPE, 485, 112, 110, 19},
    {IDC_VIDEO_SIZE_LABEL, 600, 112, 75, 19},
    {IDC_VIDEO_SIZE, 680, 112, 110, 19},
    {IDC_FRAME_RATE_LABEL, 400, 140, 80, 19},
    {IDC_FRAME_RATE, 485, 140, 110, 19},
    {IDC_VIDEO_QUALITY_LABEL, 600, 140, 75, 19},
    {IDC_VIDEO_QUALITY, 680, 140, 110, 19},
    {IDC_ASPECT_LABEL, 400, 168, 80, 19},
    {IDC_ASPECT, 485, 168, 110, 19},
    {IDC_AUDIO_QUALITY_LABEL, 400, 195, 80, 19},
    {IDC_AUDIO_QUALITY, 485, 195, 110, 19},
    {IDC_CHANNELS_LABEL, 600, 195, 75, 19},
    {IDC_CHANNELS, 680, 195, 110, 19},
    {IDC_SAMPLE_RATE_LABEL, 400, 223, 80, 19},
    {IDC_SAMPLE_RATE, 485, 223, 110, 19},
    {IDC_VOLUME_LABEL, 600, 223, 75, 19},
    {IDC_VOLUME, 680, 223, 110, 19},
    {IDC_OUTPUT_DIRECTORY_LABEL, 400, 258, 100, 19},
    {IDC_OUTPUT_DIRECTORY, 505, 258, 230, 15},
    {IDC_BROWSE_OUTPUT, 744, 250, 30, 30},
    {IDC_SHUTDOWN_CHECK, 400, 283, 350, 15},
};

} // namespace

const ControlPlace* MainWindowPlaces(int* count) {
    *count = static_cast<int>(std::size(places));
    return places;
}

std::optional<ControlPlace> FindControlPlace(int id) {
    for (const ControlPlace& place : places)
        if (place.id == id)
            return place;
    return std::nullopt;
}

std::string StartOutputDirectory(bool readSucceeded, const std::string& stored, std::size_t bufferSize) {
    if (!readSucceeded)
        return defaultOutputDirectory;
    std::string directory = stored;
    if (!directory.empty() && directory.back() != '\\')
        directory += '\\';
    // Every later path is built on this one in fixed buffers: a folder that does not fit cannot be used.
    if (directory.size() + 1 > bufferSize)
        return defaultOutputDirectory;
    return directory;
}

std::string VersionLabelText(const std::string& versionText) {
    return "V" + versionText;
}

std::string HelpPagePath(const std::string& programDirectory, std::size_t bufferSize) {
    // Cut at a byte count, the path could end inside a UTF-8 character or name another file: it is refused whole.
    std::string path = programDirectory + "help/help.html";
    return path.size() < bufferSize ? path : std::string();
}

bool IsSwallowedSystemCommand(unsigned command) {
    return (command & 0xFFF0u) == 16u;
}

std::optional<int> NextSelectionForKey(ListKey key, int s, int taskCount, int itemCount) {
    const int n = taskCount;
    switch (key) {
    case ListKey::pageDown:
        if (s < n - 1)
            return std::min(s + 3, n - 1);
        return std::nullopt;
    case ListKey::pageUp:
        if (s > 0)
            return std::max(s - 3, 0);
        return std::nullopt;
    case ListKey::up:
        if (s > 0)
            return s - 1;
        return std::nullopt;
    case ListKey::down:
        if (s < itemCount - 1)
            return s + 1;
        return std::nullopt;
    case ListKey::home:
        if (n >= 1)
            return 0;
        return std::nullopt;
    case ListKey::end:
        if (n >= 1)
            return n - 1;
        return std::nullopt;
    }
    return std::nullopt;
}

std::string FileNumberText(int taskCount) {
    return std::to_string(taskCount);
}

std::string RunEndText(bool stopped, int failed, int converted) {
    if (stopped)
        return "  Converting Stopped  ";
    if (failed <= 0)
        return "  Converting Finished  ";
    return "  Converting Finished: " + std::to_string(failed) + " of " + std::to_string(converted) +
           " failed; app\\log.txt has the reasons  ";
}

OutputFolderCheck CheckOutputFolderText(const std::string& text) {
    if (text.empty())
        return OutputFolderCheck::empty;
    // Room for the backslash, a file name of the longest output kind and the terminator.
    constexpr std::size_t kLongestFolder = 260 - 1 - 40;
    if (text.size() > kLongestFolder)
        return OutputFolderCheck::tooLong;
    return OutputFolderCheck::ok;
}

std::string SourcePathRefusal(const std::string& path) {
    constexpr std::size_t kLongestPath = 260 - 1;
    if (path.size() <= kLongestPath)
        return {};
    return "The video's path is too long (" + std::to_string(path.size()) + " bytes; at most " +
           std::to_string(kLongestPath) + "), it was not added:\n" + path;
}

std::string SourceColumnText(const std::string& sourcePath) {
    const std::size_t slash = sourcePath.find_last_of('\\');
    return slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1);
}
