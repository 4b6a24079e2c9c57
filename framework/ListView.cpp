#include "framework/ListView.h"

#include <algorithm>

void CListView::Attach(HWND dialog, int controlId)
{
    m_dialog = dialog;
    m_list = GetDlgItem(dialog, controlId);
    // The dialog answers WM_NOTIFYFORMAT with UTF-16 (CDialog): asked again now that it exists.
    SendMessageW(m_list, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(dialog), NF_REQUERY);
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void CListView::AddColumn(const std::wstring& title, int width, bool descendingFirst)
{
    m_descendingFirst.push_back(descendingFirst);
    RECT pixels = {0, 0, width, 0};
    MapDialogRect(m_dialog, &pixels);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(title.c_str());
    column.cx = pixels.right;
    SendMessageW(m_list, LVM_INSERTCOLUMNW, m_columns++, reinterpret_cast<LPARAM>(&column));
}

void CListView::SetRowCount(size_t count)
{
    m_rows = count;
    SendMessageW(m_list, LVM_SETITEMCOUNT, count, 0);
    InvalidateRect(m_list, nullptr, TRUE);
}

std::vector<size_t> CListView::Selection() const
{
    std::vector<size_t> rows;
    for (int i = -1; (i = static_cast<int>(SendMessageW(m_list, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;) {
        if (static_cast<size_t>(i) >= m_rows)
            break;
        rows.push_back(static_cast<size_t>(i));
    }
    return rows;
}

int CListView::FirstSelected() const
{
    const int row = static_cast<int>(SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return row >= 0 && static_cast<size_t>(row) < m_rows ? row : -1;
}

void CListView::SelectAll()
{
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

bool CListView::InOrder(const std::wstring& a, const std::wstring& b) const
{
    const int order =
        CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE);
    return m_sortAscending ? order == CSTR_LESS_THAN : order == CSTR_GREATER_THAN;
}

void CListView::FillCell(NMLVDISPINFOW& info) const
{
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !cellText || item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_rows ||
        item.cchTextMax <= 0)
        return;
    const int column = item.iSubItem >= 0 && item.iSubItem < m_columns ? item.iSubItem : 0;
    const std::wstring& text = cellText(static_cast<size_t>(item.iItem), column);
    const size_t n = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    text.copy(item.pszText, n);
    item.pszText[n] = L'\0';
}

BOOL CListView::OnNotify(NMHDR* header, LRESULT& result)
{
    result = 0;
    switch (header->code) {
    case LVN_GETDISPINFOW: FillCell(*reinterpret_cast<NMLVDISPINFOW*>(header)); return TRUE;
    case LVN_COLUMNCLICK: {
        const int column = reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem;
        const bool descendingFirst =
            column >= 0 && static_cast<size_t>(column) < m_descendingFirst.size() && m_descendingFirst[column];
        m_sortAscending = column == m_sortColumn ? !m_sortAscending : !descendingFirst;
        m_sortColumn = column;
        if (onSort)
            onSort();
        return TRUE;
    }
    case NM_DBLCLK:
        if (onOpen)
            onOpen();
        return TRUE;
    case LVN_KEYDOWN:
        if (onKey)
            onKey(reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey);
        return TRUE;
    default: return FALSE;
    }
}

std::vector<size_t> StableOrder(size_t count, bool (*before)(const void* context, size_t a, size_t b),
                                const void* context)
{
    std::vector<size_t> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return before(context, a, b); });
    return order;
}
