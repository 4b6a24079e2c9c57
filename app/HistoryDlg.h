// The History window: every entry of the history, newest first, sortable by any column, and
// Save as... writing them as /history does. The history (up to a few MiB) is read on a thread of
// its own, so that the window answers while it is read.
#pragma once

#include "core/History.h"
#include "framework/BackgroundJob.h"
#include "framework/Framework.h"
#include "framework/ListView.h"

#include <string>
#include <vector>

class CHistoryDlg : public CDialog {
public:
    explicit CHistoryDlg(HWND parent);

    // One line of the list, in the list's own texts.
    struct Row {
        std::wstring cells[5]; // time, user, shortcut, program, result
        size_t order = 0;      // its place in the history: the Time column sorts by it
    };
    // What the reading thread hands over: the entries as read (oldest first) and their rows.
    struct Read {
        std::vector<HistoryEntry> entries;
        std::vector<Row> rows;
    };

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT notifyCode) override;
    BOOL OnNotify(UINT controlId, NMHDR* header, LRESULT& result) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void OnReadDone(Read read);
    void SortRows();
    void OnSaveAs();

    CListView m_list;
    CBackgroundJob<Read> m_read;
    std::vector<HistoryEntry> m_entries; // oldest first, as read
    std::vector<Row> m_rows;             // as shown
};

// Opens the window over owner; returns when it closes.
void ShowHistoryWindow(HWND owner);
