// The History window: every entry of the history, newest first, sortable by any column, and
// Save as... writing them as /history does.
#pragma once

#include "core/History.h"
#include "framework/Framework.h"

#include <commctrl.h>

#include <string>
#include <vector>

class CHistoryDlg : public CDialog {
public:
    explicit CHistoryDlg(HWND parent);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT notifyCode) override;
    BOOL OnNotify(UINT controlId, NMHDR* header, LRESULT& result) override;

private:
    // One line of the list, in the list's own texts.
    struct Row {
        std::wstring cells[5]; // time, user, shortcut, program, result
        size_t order = 0;      // its place in the history: the Time column sorts by it
    };

    void ShowRows();
    void OnColumnClick(int column);
    void OnGetDisplayInfo(NMLVDISPINFOW* info) const;
    void OnSaveAs();

    std::vector<HistoryEntry> m_entries; // oldest first, as read
    std::vector<Row> m_rows;             // as shown
    int m_sortColumn = 0;
    bool m_sortAscending = false; // newest first
    HWND m_list = nullptr;
};

// Opens the window over owner; returns when it closes.
void ShowHistoryWindow(HWND owner);
