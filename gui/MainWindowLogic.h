#pragma once

#include <optional>
#include <string>

// The main window's decisions that need no window: where its controls go, what its registry values turn into, and
// how the task list's keys move the selection. Kept free of <windows.h> so that they are tested directly.

// A child control's place in the window, in client pixels.
struct ControlPlace {
    int id;
    int x;
    int y;
    int width;
    int height;
};

// Every child control the window places itself, in the order it places them.
const ControlPlace* MainWindowPlaces(int* count);

// The place of control id, or nullopt when the window does not place it.
std::optional<ControlPlace> FindControlPlace(int id);

// The output folder shown at start from the stored "destination": the fallback "D:\" when nothing could be read;
// otherwise the stored text with a "\" appended when it is not empty and lacks one. A text that would not fit a
// path buffer of bufferSize characters (terminator included) is refused, and the fallback is used instead.
std::string StartOutputDirectory(bool readSucceeded, const std::string& stored, std::size_t bufferSize);

inline constexpr char defaultOutputDirectory[] = "D:\\";

// The version label's text: "V" followed by the stored version.
std::string VersionLabelText(const std::string& versionText);

// The help page beside the program: programDirectory followed by "help/help.html"; empty when that does not fit
// bufferSize bytes (terminator included).
std::string HelpPagePath(const std::string& programDirectory, std::size_t bufferSize = 260);

// System menu commands the window swallows: the About item (16) and the 16 ids after it share one slot.
bool IsSwallowedSystemCommand(unsigned command);

// Keys of the task list.
enum class ListKey { pageDown, pageUp, up, down, home, end };

// The selection a list key moves to, from selection mark s with taskCount tasks and itemCount list items (the two
// are equal except while the list catches up). nullopt when the key leaves the selection where it is.
std::optional<int> NextSelectionForKey(ListKey key, int s, int taskCount, int itemCount);

// The value written under "fileno" when the window closes: the number of tasks in the list then, as decimal text.
std::string FileNumberText(int taskCount);

// The message at the end of a run: "  Converting Finished  " when every converted task finished; when some failed,
// how many of how many and where the reasons are; after a stop, that the run was stopped (a cut-short run is not
// reported as finished).
std::string RunEndText(bool stopped, int failed, int converted);

// A path from an output folder field that the run can use: not empty, and short enough that a file name still fits
// a path buffer of 260 characters.
enum class OutputFolderCheck { ok, empty, tooLong };
OutputFolderCheck CheckOutputFolderText(const std::string& text);

// Why a video's path is refused, or empty text when it is taken: it must fit a path buffer of 260 bytes with its
// terminator. Paths are UTF-8, where one character takes up to four bytes: the limit is in bytes, and a longer path
// is refused whole, never cut to the name of some other file.
std::string SourcePathRefusal(const std::string& path);

// The "Source" column: the path from the character after its last "\".
std::string SourceColumnText(const std::string& sourcePath);
