// A list view of a dialog in report style whose rows its owner keeps: the control holds only their
// number and asks for each cell's text as it draws it (the template gives LVS_OWNERDATA). Texts
// travel in UTF-16, so that every name shows as it is.
//
//     m_list.Attach(m_hWnd, IDC_LIST);
//     m_list.AddColumn(L"Name", 80);
//     m_list.cellText = [this](size_t row, int column) -> const std::wstring& { ... };
//     m_list.onSort = [this] { sort with m_list.InOrder(a, b); m_list.SetRowCount(n); };
//     ... OnNotify: if (id == IDC_LIST) return m_list.OnNotify(header, result);
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class CListView {
public:
    // Takes the dialog's control: full-row selection, notifications in UTF-16.
    void Attach(HWND dialog, int controlId);
    // width in dialog units, so that it grows with the font. A first click on a column's title
    // sorts it ascending, or descending when descendingFirst (a time: the newest first).
    void AddColumn(const std::wstring& title, int width, bool descendingFirst = false);
    // After the rows changed: the control shows that many, drawn again.
    void SetRowCount(size_t count);
    // The selected rows, in order; the first of them, or -1.
    std::vector<size_t> Selection() const;
    int FirstSelected() const;
    void SelectAll();

    // The column the rows are sorted by, and whether ascending; a click on a title sets them.
    int SortColumn() const { return m_sortColumn; }
    bool SortAscending() const { return m_sortAscending; }
    // The order before any click; the owner sorts its rows by it.
    void SortBy(int column, bool ascending)
    {
        m_sortColumn = column;
        m_sortAscending = ascending;
    }
    // Whether a row with cell text a goes before one with b in the current order (case ignored).
    bool InOrder(const std::wstring& a, const std::wstring& b) const;

    // The dialog's WM_NOTIFY from this control; TRUE when handled, with the answer in result.
    BOOL OnNotify(NMHDR* header, LRESULT& result);

    // The owner's part: a cell's text (any column, any row below the count), and what a sort
    // request, a double click and a key pressed in the list do.
    std::function<const std::wstring&(size_t row, int column)> cellText;
    std::function<void()> onSort;
    std::function<void()> onOpen;
    std::function<void(UINT key)> onKey;

    HWND Handle() const { return m_list; }

private:
    void FillCell(NMLVDISPINFOW& info) const;

    HWND m_dialog = nullptr;
    HWND m_list = nullptr;
    int m_columns = 0;
    std::vector<bool> m_descendingFirst; // by column
    size_t m_rows = 0;
    int m_sortColumn = 0;
    bool m_sortAscending = true;
};

// The indexes of count rows in the order that sorts them stably by before(context, a, b). Every
// list sorts through this one function: the library's stable sort instantiated for each row type
// cost over 4 KB a window.
std::vector<size_t> StableOrder(size_t count, bool (*before)(const void* context, size_t a, size_t b),
                                const void* context);

// The rows moved into the given order of their indexes (StableOrder's).
template <class Row>
void Reorder(std::vector<Row>& rows, const std::vector<size_t>& order)
{
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    for (size_t index : order)
        sorted.push_back(std::move(rows[index]));
    rows = std::move(sorted);
}
