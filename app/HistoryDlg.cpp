#include "app/HistoryDlg.h"

#include "app/CommandResult.h"
#include "app/HistoryCommand.h"
#include "core/Messages.h"
#include "resource.h"
#include "win/History.h"
#include "win/Scoped.h"
#include "win/Strings.h"
#include "win/SystemLibrary.h"

#include <commdlg.h>

#include <algorithm>

CHistoryDlg::CHistoryDlg(HWND parent) : CDialog(IDD_HISTORY, parent) {}

BOOL CHistoryDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list = GetDlgItem(m_hWnd, IDC_HISTORYLIST);
    // The list asks for its texts in UTF-16, so that every name shows as it is.
    SendMessageW(m_list, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(m_hWnd), NF_REQUERY);
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const struct {
        const char* title;
        int width; // dialog units
    } columns[] = {{text::ColumnTime, 82}, {text::ColumnUser, 45}, {text::ColumnShortcut, 100},
                   {text::ColumnProgram, 115}, {text::ColumnResult, 62}}; // the time whole
    int index = 0;
    for (const auto& column : columns) {
        RECT width = {0, 0, column.width, 0};
        MapDialogRect(m_hWnd, &width);
        const std::wstring title = ToWide(column.title);
        LVCOLUMNW item = {};
        item.mask = LVCF_TEXT | LVCF_WIDTH;
        item.pszText = const_cast<wchar_t*>(title.c_str());
        item.cx = width.right;
        SendMessageW(m_list, LVM_INSERTCOLUMNW, index++, reinterpret_cast<LPARAM>(&item));
    }

    m_entries = ReadHistory();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const HistoryEntry& entry = m_entries[i];
        Row row;
        row.cells[0] = FromUtf8(entry.time);
        row.cells[1] = FromUtf8(entry.user);
        row.cells[2] = FromUtf8(entry.shortcut);
        row.cells[3] = FromUtf8(entry.program);
        row.cells[4] = ToWide(HistoryResultText(entry.result));
        row.order = i;
        m_rows.push_back(std::move(row));
    }
    SetDlgItemTextA(m_hWnd, IDC_HISTORYCOUNT, HistoryCountText(m_entries.size()).c_str());
    ShowRows();
    return TRUE;
}

void CHistoryDlg::ShowRows()
{
    const int column = m_sortColumn;
    const bool ascending = m_sortAscending;
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Row& a, const Row& b) {
        int order;
        if (column == 0) {
            // The order of writing: the clock may have been set back in between.
            order = a.order < b.order ? CSTR_LESS_THAN : a.order > b.order ? CSTR_GREATER_THAN : CSTR_EQUAL;
        } else {
            const std::wstring& left = a.cells[column];
            const std::wstring& right = b.cells[column];
            order = CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                         static_cast<int>(right.size()), TRUE);
        }
        return ascending ? order == CSTR_LESS_THAN : order == CSTR_GREATER_THAN;
    });
    SendMessageW(m_list, LVM_SETITEMCOUNT, m_rows.size(), 0);
    InvalidateRect(m_list, nullptr, TRUE);
}

void CHistoryDlg::OnColumnClick(int column)
{
    if (column < 0 || column >= 5)
        return;
    // The first click on Time shows the newest first, on any other column A to Z.
    m_sortAscending = column == m_sortColumn ? !m_sortAscending : column != 0;
    m_sortColumn = column;
    ShowRows();
}

void CHistoryDlg::OnGetDisplayInfo(NMLVDISPINFOW* info) const
{
    LVITEMW& item = info->item;
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_rows.size() ||
        item.iSubItem < 0 || item.iSubItem >= 5 || item.cchTextMax <= 0)
        return;
    const std::wstring& text = m_rows[static_cast<size_t>(item.iItem)].cells[item.iSubItem];
    const size_t n = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    text.copy(item.pszText, n);
    item.pszText[n] = L'\0';
}

void CHistoryDlg::OnSaveAs()
{
    // Room for the longest path Windows knows.
    std::vector<char> file(32768, '\0');
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = text::CsvFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = text::SaveHistoryTitle;
    ofn.lpstrDefExt = "csv";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    ComApartment com;
    auto getSaveFileName = SystemFunction<decltype(&GetSaveFileNameA)>("comdlg32.dll", "GetSaveFileNameA");
    if (!getSaveFileName || !getSaveFileName(&ofn))
        return;
    WriteHistoryCsv(file.data(), m_entries);
}

BOOL CHistoryDlg::OnCommand(UINT id, UINT notifyCode)
{
    if (id == IDC_SAVEHISTORY && notifyCode == BN_CLICKED) {
        OnSaveAs();
        return TRUE;
    }
    return FALSE;
}

BOOL CHistoryDlg::OnNotify(UINT controlId, NMHDR* header, LRESULT&)
{
    if (controlId != IDC_HISTORYLIST)
        return FALSE;
    if (header->code == LVN_GETDISPINFOW)
        OnGetDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(header));
    else if (header->code == LVN_COLUMNCLICK)
        OnColumnClick(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
    else
        return FALSE;
    return TRUE;
}

void ShowHistoryWindow(HWND owner)
{
    using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initialize = SystemFunction<InitControls>("comctl32.dll", "InitCommonControlsEx");
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
    CHistoryDlg window(owner);
    if (!initialize || !initialize(&classes) || window.DoModal() == -1)
        ShowWindowNotOpened(GetLastError());
}
