// The main window's logic, without windows.
#include "gui/MainWindowLogic.h"

#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

TEST(MainWindowLogic, StartOutputDirectoryAppendsABackslashAndFallsBack) {
    const struct {
        bool read;
        std::string stored;
        std::string shown;
    } rows[] = {
        {false, "", "D:\\"},
        {false, "C:\\ignored", "D:\\"},
        {true, "C:\\Videos", "C:\\Videos\\"},
        {true, "C:", "C:\\"},
        {true, "E:\\Out\\", "E:\\Out\\"},
        {true, "", ""},
        {true, std::string(258, 'x'), std::string(258, 'x') + "\\"}, // 259 characters and the terminator fit
        {true, std::string(259, 'x'), "D:\\"},                       // the backslash would not
        {true, std::string(300, 'x'), "D:\\"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(StartOutputDirectory(row.read, row.stored, 260), row.shown) << row.stored.size();
}

TEST(MainWindowLogic, ListKeysMoveTheSelectionByTheTable) {
    const struct {
        ListKey key;
        int s;
        int n;
        int expected; // -1: unchanged
    } rows[] = {
        {ListKey::pageDown, 8, 10, 9}, {ListKey::pageDown, 2, 10, 5}, {ListKey::pageDown, 9, 10, -1},
        {ListKey::pageUp, 2, 10, 0},   {ListKey::pageUp, 7, 10, 4},   {ListKey::up, 0, 10, -1},
        {ListKey::down, 9, 10, -1},    {ListKey::home, 5, 10, 0},     {ListKey::end, 5, 10, 9},
        {ListKey::end, -1, 0, -1},     {ListKey::pageDown, -1, 5, 2}, {ListKey::down, -1, 5, 0},
    };
    for (const auto& row : rows) {
        const std::optional<int> next = NextSelectionForKey(row.key, row.s, row.n, row.n);
        EXPECT_EQ(next.value_or(-1), row.expected) << static_cast<int>(row.key) << " from " << row.s;
    }
}

TEST(MainWindowLogic, PathRefusalsCommandsEndOfRunTextsAndFolderChecks) {
    EXPECT_EQ(HelpPagePath("C:\\Program Files\\Movara\\"), "C:\\Program Files\\Movara\\help/help.html");
    // A path that does not fit is refused whole, never cut inside a character ("é" is two bytes).
    std::string directory = "C:\\x";
    while (directory.size() < 244)
        directory += "\xC3\xA9";
    EXPECT_EQ(HelpPagePath(directory + "\\"), directory + "\\help/help.html") << "259 bytes fit";
    EXPECT_EQ(HelpPagePath(directory + "\xC3\xA9\\"), "");
    for (unsigned command : {15u, 16u, 31u, 32u, 0xF060u}) // 0xF060: SC_CLOSE
        EXPECT_EQ(IsSwallowedSystemCommand(command), command == 16 || command == 31) << command;
    // A video's path fits the 260-byte buffers with its terminator or is refused whole, by name: bytes count, not
    // characters ("é" takes two).
    std::string path = "C:\\";
    while (path.size() < 259)
        path += path.size() == 258 ? "x" : "\xC3\xA9";
    EXPECT_EQ(SourcePathRefusal(path), "");
    path += "\xC3\xA9";
    EXPECT_EQ(SourcePathRefusal(path),
              "The video's path is too long (261 bytes; at most 259), it was not added:\n" + path);
    EXPECT_EQ(RunEndText(false, 0, 3), "  Converting Finished  ");
    EXPECT_EQ(RunEndText(false, 2, 3), "  Converting Finished: 2 of 3 failed; app\\log.txt has the reasons  ");
    EXPECT_EQ(RunEndText(true, 0, 3), "  Converting Stopped  ");
    EXPECT_EQ(CheckOutputFolderText(""), OutputFolderCheck::empty);
    EXPECT_EQ(CheckOutputFolderText(std::string(219, 'x')), OutputFolderCheck::ok);
    EXPECT_EQ(CheckOutputFolderText(std::string(220, 'x')), OutputFolderCheck::tooLong);
    EXPECT_EQ(SourceColumnText("C:\\a\\b.c.avi"), "b.c.avi");
    EXPECT_EQ(SourceColumnText("plain"), "plain");
}

} // namespace
