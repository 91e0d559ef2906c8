#pragma once
// The parent window of the skinned list in its tests and benchmark: it answers the list's cell requests
// from a table of rows, as the main window answers them from its tasks, and records what the list reports.

#include "skin/CellFormat.h"
#include "skin/SkListView.h"

#include "framework/Wnd.h"

#include "tests/support/Canvas.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SkinForTests.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One row as the task list shows it: a check box, a name, and a progress bar of 100 when progress is set.
struct TestRow {
    std::string name;
    std::optional<int> progress = {};
    bool checked = false;
    bool bold = false;
    UINT extraTextFormat = 0; // added to the name's DrawText flags
};

struct TestColumn {
    const char* title;
    int width;
    int format; // LVCFMT_LEFT, LVCFMT_CENTER, LVCFMT_RIGHT
};

class ListTestParent : public CWnd {
public:
    // A visible top-level window at (x, y) whose client area holds the list at listRect.
    ListTestParent(int x, int y, int width, int height, const RECT& listRect);
    ~ListTestParent() override { DestroyWindow(); }

    void SetColumns(const std::vector<TestColumn>& columns);
    // The table; the list's item count follows it.
    void SetRows(std::vector<TestRow> table) {
        rows = std::move(table);
        SetRowCount(static_cast<int>(rows.size()));
    }
    void SetRowCount(int count) { ::SendMessageA(list.GetSafeHwnd(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0); }

private:
    // The skin's groups must be there before the list's parts copy them, that is before the list is constructed.
    bool skinReady = (EnsureBuiltInSkin(), true);

public:
    CSkListView list;
    std::vector<TestRow> rows;
    std::function<void(CellFormat&)> fillOverride; // when set, fills every cell instead of the table
    int cellRequests = 0;
    std::vector<CellHit> cellHits;
    int clickNotifications = 0; // NM_CLICK from the list that reached this window

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FillCell(CellFormat& format) const;
};

// Puts the list's selection on exactly these rows.
void SelectRows(HWND list, const std::vector<int>& rowsToSelect);
