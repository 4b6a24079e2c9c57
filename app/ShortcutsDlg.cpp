#include "app/ShortcutsDlg.h"

#include "app/HistoryDlg.h"
#include "app/KeepCommand.h"
#include "app/ProtectCommand.h"
#include "app/RemoveCommand.h"
#include "core/KeptPrograms.h"
#include "core/Messages.h"
#include "core/ProtectRules.h"
#include "resource.h"
#include "win/KeptStore.h"
#include "win/ShortcutLook.h"
#include "win/Strings.h"
#include "win/SystemError.h"
#include "win/SystemLibrary.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>

namespace {

// The look found more shortcuts, or ended.
constexpr UINT WM_LOOK_NEWS = WM_APP + 1;

// The item list the folder picker hands out.
struct ItemListFreer {
    void operator()(ITEMIDLIST* items) const { CoTaskMemFree(items); }
};
using UniqueItemList = std::unique_ptr<ITEMIDLIST, ItemListFreer>;

bool IsProtected(ShortcutState state)
{
    return state != ShortcutState::NotProtected && state != ShortcutState::StartsProtectedProgram;
}

} // namespace

CShortcutsDlg::CShortcutsDlg() : CDialog(IDD_SHORTCUTS), m_folders(ShortcutFolders()), m_look(WM_LOOK_NEWS) {}

CShortcutsDlg::~CShortcutsDlg()
{
    StopLook();
}

BOOL CShortcutsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.Attach(m_hWnd, IDC_SHORTCUTLIST);
    m_list.cellText = [this](size_t row, int column) -> const std::wstring& { return m_rows[row].Text(column); };
    m_list.onSort = [this] { SortRows(); };
    m_list.onOpen = [this] { OnOpenFolder(); };
    m_list.onKey = [this](UINT key) { OnListKey(key); };
    const struct {
        const char* title;
        int width; // dialog units
    } columns[] = {{text::ColumnShortcut, 65}, {text::ColumnFolder, 55}, {text::ColumnProgram, 70},
                   {text::ColumnState, 140}, {text::ColumnKept, 85}}; // the longest state and kept texts whole
    for (const auto& column : columns)
        m_list.AddColumn(ToWide(column.title), column.width);
    ShowKept();
    StartLook();
    return TRUE;
}

void CShortcutsDlg::StartLook()
{
    // The thread has its own copy of the folders.
    const bool started = m_look.Start(m_hWnd, [folders = m_folders](const std::atomic<bool>& stop,
                                                                     const JobProgress& progress) {
        ComApartment com;
        return LookForShortcuts(folders, &stop, progress);
    });
    // Looked again after a change, or asked to: what was found may no longer be what there is.
    m_foundWhole = false;
    m_stopAsked = false;
    if (!started) {
        SetDlgItemTextA(m_hWnd, IDC_SUMMARY, SystemErrorText(GetLastError()).c_str());
        return;
    }
    SetLooking(true);
}

void CShortcutsDlg::StopLook()
{
    m_look.Stop();
    SetLooking(false);
}

void CShortcutsDlg::OnLookNews()
{
    if (std::optional<ShortcutLook> look = m_look.TakeResult())
        OnLookDone(std::move(*look));
    else if (m_look.Running())
        SetDlgItemTextA(m_hWnd, IDC_SUMMARY, LookProgressText(m_look.Progress()).c_str());
}

void CShortcutsDlg::OnLookDone(ShortcutLook look)
{
    m_found = std::move(look.found);
    m_unreadable = look.unreadable;
    m_foundWhole = !m_stopAsked && !look.limitReached;
    SetLooking(false);
    SetDlgItemTextA(m_hWnd, IDC_SUMMARY, LookSummary(m_found, m_unreadable, look.limitReached).c_str());
    ShowRows();
}

void CShortcutsDlg::SetLooking(bool looking)
{
    if (!m_hWnd)
        return;
    HWND bar = GetDlgItem(m_hWnd, IDC_LOOKPROGRESS);
    SendMessageW(bar, PBM_SETMARQUEE, looking, 50);
    ShowWindow(bar, looking ? SW_SHOW : SW_HIDE);
    EnableWindow(GetDlgItem(m_hWnd, IDC_STOPLOOK), looking);
    if (looking)
        SetDlgItemTextA(m_hWnd, IDC_SUMMARY, LookProgressText(0).c_str());
}

void CShortcutsDlg::ShowRows()
{
    const bool all = IsDlgButtonChecked(m_hWnd, IDC_SHOWALL) == BST_CHECKED;
    m_rows.clear();
    for (const FoundShortcut& found : m_found) {
        const bool kept = !found.program.empty() &&
                          std::any_of(m_kept.begin(), m_kept.end(),
                                      [&](const std::string& program) { return SameProgram(found.program, program); });
        // A kept program's plain shortcut is shown whatever the tick: a check would protect it.
        if (!all && !kept && found.state == ShortcutState::NotProtected)
            continue;
        Row row;
        if (kept && !CheckWouldChange(found, m_kept))
            row.kept = ToWide(text::KeptYes);
        else if (kept)
            row.kept = ToWide(IsProtected(found.state) ? text::KeptCheckRestores : text::KeptCheckProtects);
        row.path = FromUtf8(found.path);
        const size_t slash = row.path.find_last_of(L'\\');
        row.shortcut = slash == std::wstring::npos ? row.path : row.path.substr(slash + 1);
        row.folder = slash == std::wstring::npos ? std::wstring() : row.path.substr(0, slash);
        row.program = FromUtf8(found.program);
        row.programUtf8 = found.program;
        row.state = ToWide(ShortcutStateText(found.state));
        row.kind = found.state;
        m_rows.push_back(std::move(row));
    }
    SortRows();
}

const std::wstring& CShortcutsDlg::Row::Text(int column) const
{
    switch (column) {
    case 1: return folder;
    case 2: return program;
    case 3: return state;
    case 4: return kept;
    default: return shortcut;
    }
}

void CShortcutsDlg::SortRows()
{
    const auto before = [](const void* context, size_t a, size_t b) {
        const CShortcutsDlg& dialog = *static_cast<const CShortcutsDlg*>(context);
        const int column = dialog.m_list.SortColumn();
        return dialog.m_list.InOrder(dialog.m_rows[a].Text(column), dialog.m_rows[b].Text(column));
    };
    Reorder(m_rows, StableOrder(m_rows.size(), before, this));
    m_list.SetRowCount(m_rows.size());
}

void CShortcutsDlg::OnListKey(UINT key)
{
    switch (key) {
    case VK_F5: StartLook(); break;
    case VK_DELETE: OnProtectSelected(false); break;
    case 'A':
        if (GetKeyState(VK_CONTROL) < 0)
            m_list.SelectAll();
        break;
    }
}

void CShortcutsDlg::OnOpenFolder()
{
    const int selected = m_list.FirstSelected();
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
    std::vector<std::wstring> paths;
    for (const size_t i : m_list.Selection()) {
        const Row& row = m_rows[i];
        if (IsProtected(row.kind) != protect)
            paths.push_back(row.path); // else the other button's
    }
    if (paths.empty())
        return;
    StopLook();
    if (protect)
        ProtectShortcuts(paths, m_hWnd);
    else
        RemoveProtections(paths, m_hWnd);
    ShowKept(); // removing a kept program's protection offers to stop keeping it
    StartLook();
}

void CShortcutsDlg::ShowKept()
{
    m_kept = KeptProgramPaths();
    std::sort(m_kept.begin(), m_kept.end());
    HWND list = GetDlgItem(m_hWnd, IDC_KEPTLIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& program : m_kept)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FromUtf8(program).c_str()));
    // With nothing kept there is nothing to stop keeping or to check.
    EnableWindow(GetDlgItem(m_hWnd, IDC_UNKEEPSELECTED), !m_kept.empty());
    EnableWindow(GetDlgItem(m_hWnd, IDC_CHECKNOW), !m_kept.empty());
}

void CShortcutsDlg::OnKeepSelected()
{
    std::vector<std::string> seen, programs; // UTF-8, and as the command takes them
    std::string refused;
    for (const size_t i : m_list.Selection()) {
        const Row& row = m_rows[i];
        if (row.programUtf8.empty() || std::any_of(seen.begin(), seen.end(), [&](const std::string& taken) {
                return SameProgram(taken, row.programUtf8);
            }))
            continue;
        seen.push_back(row.programUtf8);
        // The command works in the code page, as records do.
        if (const std::optional<std::string> program = ToAnsi(row.program))
            programs.push_back(*program);
        else
            refused += BatchLineText(row.programUtf8, ProtectMessageText(ProtectResult::NotInCodePage, "", ""));
    }
    if (programs.empty() && refused.empty())
        return;
    StopLook();
    if (!refused.empty())
        MessageBoxW(m_hWnd, FromUtf8(refused).c_str(), ToWide(AfxAppTitle()).c_str(), MB_OK | MB_ICONEXCLAMATION);
    // One password dialog a program, naming it; Cancel ends them all. The rows of a whole look
    // are what a new look would find; a look cut short leaves the command to look itself.
    for (const std::string& program : programs)
        if (KeepProgram(program, PasswordSource::FromDialog(m_hWnd), m_foundWhole ? &m_found : nullptr) ==
            CommandResult::Cancelled)
            break;
    ShowKept();
    StartLook();
}

void CShortcutsDlg::OnUnkeepSelected()
{
    std::vector<std::string> programs;
    HWND list = GetDlgItem(m_hWnd, IDC_KEPTLIST);
    for (size_t i = 0; i < m_kept.size(); ++i)
        if (SendMessageW(list, LB_GETSEL, i, 0) > 0)
            programs.push_back(m_kept[i]);
    if (programs.empty()) {
        const std::vector<size_t> selection = m_list.Selection();
        for (const std::string& kept : m_kept)
            if (std::any_of(selection.begin(), selection.end(),
                            [&](size_t i) { return SameProgram(m_rows[i].programUtf8, kept); }))
                programs.push_back(kept);
    }
    if (programs.empty()) {
        AfxMessageBox(text::NoKeptProgramSelected, MB_OK | MB_ICONINFORMATION);
        return;
    }
    for (const std::string& program : programs) {
        const std::wstring wide = FromUtf8(program);
        if (UnkeepProgram(ToAnsi(wide).value_or(program), PasswordSource::FromDialog(m_hWnd)) == CommandResult::Cancelled)
            break;
    }
    // Only the list of kept programs changed: the rows stay, their Kept column follows.
    ShowKept();
    ShowRows();
}

void CShortcutsDlg::OnCheckNow()
{
    StopLook();
    const HCURSOR before = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    CheckKeptPrograms(m_hWnd); // its box, modal to this window, tells what it changed
    SetCursor(before);
    ShowKept();
    StartLook();
}

void CShortcutsDlg::OnAddFolder()
{
    const std::wstring title = ToWide(text::AddFolderTitle);
    BROWSEINFOW browse = {};
    browse.hwndOwner = m_hWnd;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    const UniqueItemList folder(SHBrowseForFolderW(&browse));
    if (!folder)
        return;
    std::wstring path(MAX_PATH, L'\0');
    if (!SHGetPathFromIDListW(folder.get(), &path[0]))
        return;
    path.resize(wcsnlen(path.c_str(), path.size()));
    m_folders.push_back(path);
    StartLook();
}

void CShortcutsDlg::OnOK()
{
    OnOpenFolder();
}

void CShortcutsDlg::OnCancel()
{
    // Closing while it looks ends the look first: nothing runs on after the window.
    StopLook();
    CDialog::OnCancel();
}

BOOL CShortcutsDlg::OnCommand(UINT id, UINT notifyCode)
{
    if (notifyCode != BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDC_SHOWALL: ShowRows(); return TRUE;
    case IDC_REFRESH: StartLook(); return TRUE;
    case IDC_ADDFOLDER: OnAddFolder(); return TRUE;
    case IDC_STOPLOOK: // what was found so far arrives and stays
        m_look.RequestStop();
        m_stopAsked = true;
        return TRUE;
    case IDC_PROTECTSELECTED: OnProtectSelected(true); return TRUE;
    case IDC_REMOVESELECTED: OnProtectSelected(false); return TRUE;
    case IDC_HISTORY: ShowHistoryWindow(m_hWnd); return TRUE;
    case IDC_KEEPSELECTED: OnKeepSelected(); return TRUE;
    case IDC_UNKEEPSELECTED: OnUnkeepSelected(); return TRUE;
    case IDC_CHECKNOW: OnCheckNow(); return TRUE;
    default: return FALSE;
    }
}

BOOL CShortcutsDlg::OnNotify(UINT controlId, NMHDR* header, LRESULT& result)
{
    return controlId == IDC_SHORTCUTLIST && m_list.OnNotify(header, result);
}

INT_PTR CShortcutsDlg::OnMessage(UINT message, WPARAM, LPARAM, bool& handled)
{
    if (message != WM_LOOK_NEWS)
        return 0;
    OnLookNews();
    handled = true;
    return TRUE;
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
