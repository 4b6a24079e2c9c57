#include "app/ShortcutsDlg.h"

#include "app/ProtectCommand.h"
#include "app/RemoveCommand.h"
#include "core/Messages.h"
#include "resource.h"
#include "win/ShortcutScan.h"
#include "win/Strings.h"
#include "win/SystemError.h"
#include "win/SystemLibrary.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>

namespace {

constexpr UINT WM_SCAN_PROGRESS = WM_APP + 1; // wParam: shortcuts found so far
constexpr UINT WM_SCAN_DONE = WM_APP + 2;     // lParam: the ShortcutScan, owned by the receiver

// What the thread needs: its own copy of the folders, where to post, when to stop.
struct ScanJob {
    HWND window;
    std::vector<std::wstring> folders;
    const std::atomic<bool>* stop;
};

} // namespace

CShortcutsDlg::CShortcutsDlg() : CDialog(IDD_SHORTCUTS), m_folders(ShortcutFolders()) {}

CShortcutsDlg::~CShortcutsDlg()
{
    StopScan();
}

BOOL CShortcutsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list = GetDlgItem(m_hWnd, IDC_SHORTCUTLIST);
    // The list asks for its texts in UTF-16, so that every name shows as it is.
    SendMessageW(m_list, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(m_hWnd), NF_REQUERY);
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

    const struct {
        const char* title;
        int width; // dialog units
    } columns[] = {{text::ColumnShortcut, 80}, {text::ColumnFolder, 85}, {text::ColumnProgram, 95},
                   {text::ColumnState, 150}}; // the longest state whole
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
    StartScan();
    return TRUE;
}

void CShortcutsDlg::StartScan()
{
    StopScan();
    m_stop = false;
    auto job = std::make_unique<ScanJob>(ScanJob{m_hWnd, m_folders, &m_stop});
    m_thread = OwnHandle(CreateThread(nullptr, 0, &CShortcutsDlg::ScanThread, job.get(), 0, nullptr));
    if (!m_thread) {
        SetDlgItemTextA(m_hWnd, IDC_SUMMARY, SystemErrorText(GetLastError()).c_str());
        return;
    }
    job.release(); // the thread's now
    SetScanning(true);
}

DWORD WINAPI CShortcutsDlg::ScanThread(void* parameter)
{
    std::unique_ptr<ScanJob> job(static_cast<ScanJob*>(parameter));
    ComApartment com;
    DWORD lastPost = GetTickCount();
    // A line of progress at most every tenth of a second: the window's queue stays short.
    const ScanProgress progress = [&](size_t found) {
        const DWORD now = GetTickCount();
        if (now - lastPost >= 100) {
            lastPost = now;
            PostMessageW(job->window, WM_SCAN_PROGRESS, found, 0);
        }
    };
    auto scan = std::make_unique<ShortcutScan>(ScanShortcuts(job->folders, job->stop, progress));
    if (PostMessageW(job->window, WM_SCAN_DONE, 0, reinterpret_cast<LPARAM>(scan.get())))
        scan.release();
    return 0;
}

void CShortcutsDlg::StopScan()
{
    if (!m_thread)
        return;
    m_stop = true;
    WaitForSingleObject(m_thread.get(), INFINITE);
    m_thread.reset();
    // What it sent and nobody will read now.
    MSG message;
    while (m_hWnd && PeekMessageW(&message, m_hWnd, WM_SCAN_PROGRESS, WM_SCAN_DONE, PM_REMOVE))
        if (message.message == WM_SCAN_DONE)
            delete reinterpret_cast<ShortcutScan*>(message.lParam);
    SetScanning(false);
}

void CShortcutsDlg::OnScanDone(ShortcutScan* done)
{
    std::unique_ptr<ShortcutScan> scan(done);
    if (m_thread) {
        WaitForSingleObject(m_thread.get(), INFINITE); // it has posted its last message
        m_thread.reset();
    }
    m_found = std::move(scan->found);
    m_unreadable = scan->unreadable;
    SetScanning(false);
    SetDlgItemTextA(m_hWnd, IDC_SUMMARY, ScanSummary(m_found, m_unreadable, scan->limitReached).c_str());
    ShowRows();
}

void CShortcutsDlg::SetScanning(bool scanning)
{
    if (!m_hWnd)
        return;
    HWND bar = GetDlgItem(m_hWnd, IDC_SCANPROGRESS);
    SendMessageW(bar, PBM_SETMARQUEE, scanning, 50);
    ShowWindow(bar, scanning ? SW_SHOW : SW_HIDE);
    EnableWindow(GetDlgItem(m_hWnd, IDC_STOPSCAN), scanning);
    if (scanning)
        SetDlgItemTextA(m_hWnd, IDC_SUMMARY, ScanProgressText(0).c_str());
}

void CShortcutsDlg::ShowRows()
{
    const bool all = IsDlgButtonChecked(m_hWnd, IDC_SHOWALL) == BST_CHECKED;
    m_rows.clear();
    for (const FoundShortcut& found : m_found) {
        if (!all && found.state == ShortcutState::NotProtected)
            continue;
        Row row;
        row.path = FromUtf8(found.path);
        const size_t slash = row.path.find_last_of(L'\\');
        row.shortcut = slash == std::wstring::npos ? row.path : row.path.substr(slash + 1);
        row.folder = slash == std::wstring::npos ? std::wstring() : row.path.substr(0, slash);
        row.program = FromUtf8(found.program);
        row.state = ToWide(ShortcutStateText(found.state));
        row.kind = found.state;
        m_rows.push_back(std::move(row));
    }
    const int column = m_sortColumn;
    const bool ascending = m_sortAscending;
    auto key = [column](const Row& row) -> const std::wstring& {
        switch (column) {
        case 1: return row.folder;
        case 2: return row.program;
        case 3: return row.state;
        default: return row.shortcut;
        }
    };
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Row& a, const Row& b) {
        const int order = CompareStringOrdinal(key(a).c_str(), static_cast<int>(key(a).size()), key(b).c_str(),
                                               static_cast<int>(key(b).size()), TRUE);
        return ascending ? order == CSTR_LESS_THAN : order == CSTR_GREATER_THAN;
    });
    SendMessageW(m_list, LVM_SETITEMCOUNT, m_rows.size(), 0);
    InvalidateRect(m_list, nullptr, TRUE);
}

void CShortcutsDlg::OnColumnClick(int column)
{
    m_sortAscending = column == m_sortColumn ? !m_sortAscending : true;
    m_sortColumn = column;
    ShowRows();
}

void CShortcutsDlg::OnGetDisplayInfo(NMLVDISPINFOW* info) const
{
    LVITEMW& item = info->item;
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_rows.size() ||
        item.cchTextMax <= 0)
        return;
    const Row& row = m_rows[static_cast<size_t>(item.iItem)];
    const std::wstring* texts[] = {&row.shortcut, &row.folder, &row.program, &row.state};
    const std::wstring& text = item.iSubItem >= 0 && item.iSubItem < 4 ? *texts[item.iSubItem] : row.shortcut;
    const size_t n = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    text.copy(item.pszText, n);
    item.pszText[n] = L'\0';
}

void CShortcutsDlg::SelectAll()
{
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

void CShortcutsDlg::OnOpenFolder()
{
    const int selected = static_cast<int>(SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (selected < 0 || static_cast<size_t>(selected) >= m_rows.size())
        return;
    // Explorer from the Windows folder by its full path: the tool runs elevated, and a program of
    // that name in the current folder must not be the one started.
    const std::optional<std::string> windows = WindowsDirectory();
    if (!windows)
        return;
    const std::wstring explorer = ToWide(*windows + "\\explorer.exe");
    const std::wstring arguments = L"/select,\"" + m_rows[static_cast<size_t>(selected)].path + L"\"";
    ShellExecuteW(m_hWnd, nullptr, explorer.c_str(), arguments.c_str(), nullptr, SW_SHOWNORMAL);
}

void CShortcutsDlg::OnProtectSelected(bool protect)
{
    std::vector<std::string> paths;
    std::string refused;
    for (int i = -1; (i = static_cast<int>(SendMessageW(m_list, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;) {
        if (static_cast<size_t>(i) >= m_rows.size())
            break;
        const Row& row = m_rows[static_cast<size_t>(i)];
        const bool isProtected = row.kind != ShortcutState::NotProtected && row.kind != ShortcutState::StartsProtectedProgram;
        if (isProtected == protect)
            continue; // the other button's
        // The commands work in the code page, as they do for a picked shortcut. The refusals are
        // gathered in UTF-8: the names they give are just those the code page cannot hold.
        const std::optional<std::string> path = ToAnsi(row.path);
        if (path)
            paths.push_back(*path);
        else
            refused += BatchLineText(ToUtf8(row.shortcut), ProtectMessageText(ProtectResult::NotInCodePage, "", ""));
    }
    if (paths.empty() && refused.empty())
        return;
    StopScan();
    if (!refused.empty())
        MessageBoxW(m_hWnd, FromUtf8(refused).c_str(), ToWide(AfxAppTitle()).c_str(), MB_OK | MB_ICONEXCLAMATION);
    if (!paths.empty()) {
        if (protect)
            ProtectShortcuts(paths, m_hWnd);
        else
            RemoveProtections(paths, m_hWnd);
    }
    StartScan();
}

void CShortcutsDlg::OnAddFolder()
{
    const std::wstring title = ToWide(text::AddFolderTitle);
    BROWSEINFOW browse = {};
    browse.hwndOwner = m_hWnd;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE folder = SHBrowseForFolderW(&browse);
    if (!folder)
        return;
    std::wstring path(MAX_PATH, L'\0');
    const bool found = SHGetPathFromIDListW(folder, &path[0]);
    CoTaskMemFree(folder);
    if (!found)
        return;
    path.resize(wcsnlen(path.c_str(), path.size()));
    m_folders.push_back(path);
    StartScan();
}

void CShortcutsDlg::OnOK()
{
    OnOpenFolder();
}

void CShortcutsDlg::OnCancel()
{
    // Closing while it looks ends the look first: nothing runs on after the window.
    StopScan();
    CDialog::OnCancel();
}

BOOL CShortcutsDlg::OnCommand(UINT id, UINT notifyCode)
{
    if (notifyCode != BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDC_SHOWALL: ShowRows(); return TRUE;
    case IDC_REFRESH: StartScan(); return TRUE;
    case IDC_ADDFOLDER: OnAddFolder(); return TRUE;
    case IDC_STOPSCAN: m_stop = true; return TRUE; // what was found so far arrives and stays
    case IDC_PROTECTSELECTED: OnProtectSelected(true); return TRUE;
    case IDC_REMOVESELECTED: OnProtectSelected(false); return TRUE;
    default: return FALSE;
    }
}

INT_PTR CShortcutsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_SCAN_PROGRESS:
        if (m_thread)
            SetDlgItemTextA(m_hWnd, IDC_SUMMARY, ScanProgressText(wParam).c_str());
        handled = true;
        return TRUE;
    case WM_SCAN_DONE:
        OnScanDone(reinterpret_cast<ShortcutScan*>(lParam));
        handled = true;
        return TRUE;
    case WM_NOTIFYFORMAT:
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, NFR_UNICODE);
        handled = true;
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_SHORTCUTLIST)
            return 0;
        switch (header->code) {
        case LVN_GETDISPINFOW: OnGetDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(lParam)); break;
        case LVN_COLUMNCLICK: OnColumnClick(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem); break;
        case NM_DBLCLK: OnOpenFolder(); break;
        case LVN_KEYDOWN:
            switch (reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey) {
            case VK_F5: StartScan(); break;
            case VK_DELETE: OnProtectSelected(false); break;
            case 'A':
                if (GetKeyState(VK_CONTROL) < 0)
                    SelectAll();
                break;
            }
            break;
        default: return 0;
        }
        handled = true;
        return TRUE;
    }
    default: return 0;
    }
}

void ShowShortcutsWindow()
{
    using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initialize = SystemFunction<InitControls>("comctl32.dll", "InitCommonControlsEx");
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    ComApartment com;
    CShortcutsDlg window;
    if (!initialize || !initialize(&classes) || window.DoModal() == -1)
        ShowWindowNotOpened(GetLastError());
}
