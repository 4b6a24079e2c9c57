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


namespace {

// The history has been read.
constexpr UINT WM_HISTORY_READ = WM_APP + 1;

// Runs on the reading thread: the file read and its rows made, in the order of writing.
CHistoryDlg::Read ReadRows()
{
    CHistoryDlg::Read read;
    read.entries = ReadHistory();
    read.rows.reserve(read.entries.size());
    for (size_t i = 0; i < read.entries.size(); ++i) {
        const HistoryEntry& entry = read.entries[i];
        CHistoryDlg::Row row;
        row.cells[0] = FromUtf8(entry.time);
        row.cells[1] = FromUtf8(entry.user);
        row.cells[2] = FromUtf8(entry.shortcut);
        row.cells[3] = FromUtf8(entry.program);
        row.cells[4] = ToWide(HistoryResultText(entry.result));
        row.order = i;
        read.rows.push_back(std::move(row));
    }
    return read;
}

} // namespace

CHistoryDlg::CHistoryDlg(HWND parent) : CDialog(IDD_HISTORY, parent), m_read(WM_HISTORY_READ) {}

BOOL CHistoryDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.Attach(m_hWnd, IDC_HISTORYLIST);
    m_list.cellText = [this](size_t row, int column) -> const std::wstring& { return m_rows[row].cells[column]; };
    m_list.onSort = [this] { SortRows(); };
    const struct {
        const char* title;
        int width; // dialog units
        bool newestFirst;
    } columns[] = {{text::ColumnTime, 82, true}, {text::ColumnUser, 45, false}, {text::ColumnShortcut, 100, false},
                   {text::ColumnProgram, 115, false}, {text::ColumnResult, 62, false}}; // the time whole
    for (const auto& column : columns)
        m_list.AddColumn(ToWide(column.title), column.width, column.newestFirst);
    m_list.SortBy(0, false); // newest first

    // Nothing to save until the history is in.
    EnableWindow(GetDlgItem(m_hWnd, IDC_SAVEHISTORY), FALSE);
    if (!m_read.Start(m_hWnd, [](const std::atomic<bool>&, const JobProgress&) { return ReadRows(); }))
        OnReadDone(ReadRows()); // no thread to be had: read here, as the window opens
    return TRUE;
}

void CHistoryDlg::OnReadDone(Read read)
{
    m_entries = std::move(read.entries);
    m_rows = std::move(read.rows);
    SetDlgItemTextA(m_hWnd, IDC_HISTORYCOUNT, HistoryCountText(m_entries.size()).c_str());
    EnableWindow(GetDlgItem(m_hWnd, IDC_SAVEHISTORY), TRUE);
    SortRows();
}

void CHistoryDlg::SortRows()
{
    const auto before = [](const void* context, size_t a, size_t b) {
        const CHistoryDlg& dialog = *static_cast<const CHistoryDlg*>(context);
        const Row& first = dialog.m_rows[a];
        const Row& second = dialog.m_rows[b];
        const int column = dialog.m_list.SortColumn();
        // The Time column in the order of writing: the clock may have been set back in between.
        if (column == 0)
            return dialog.m_list.SortAscending() ? first.order < second.order : first.order > second.order;
        return dialog.m_list.InOrder(first.cells[column], second.cells[column]);
    };
    Reorder(m_rows, StableOrder(m_rows.size(), before, this));
    m_list.SetRowCount(m_rows.size());
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

BOOL CHistoryDlg::OnNotify(UINT controlId, NMHDR* header, LRESULT& result)
{
    return controlId == IDC_HISTORYLIST && m_list.OnNotify(header, result);
}

INT_PTR CHistoryDlg::OnMessage(UINT message, WPARAM, LPARAM, bool& handled)
{
    if (message != WM_HISTORY_READ)
        return 0;
    if (std::optional<Read> read = m_read.TakeResult())
        OnReadDone(std::move(*read));
    handled = true;
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
