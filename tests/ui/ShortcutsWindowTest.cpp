// The shortcuts window, opened from the main window: the rows and states /report gives, the
// unprotected ones only while "Show all shortcuts" is ticked; a long look answers input
// throughout, stops on Stop keeping what it found, and ends with the window; a folder added for
// the run is looked in; Ctrl+A selects all; Open folder shows the selected shortcut's folder; the
// programs kept protected, kept and let go from the window, the rows a check would change, and a
// check on demand.
#include "core/Messages.h"
#include "core/Paths.h"
#include "core/ProtectRules.h"
#include "core/ProtectionRecord.h"
#include "core/RemoveRules.h"
#include "core/Scramble.h"
#include "tests/support/Files.h"
#include "tests/support/UnixShell.h"
#include "tests/ui/LatchkeyUi.h"
#include "tests/ui/SmallMachine.h"
#include "win/KeptStore.h"
#include "win/Files.h"
#include "win/LogonTask.h"
#include "win/RemoveFiles.h"
#include "win/Strings.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

// The list's rows as the report gives them: the Shortcut column is the file name and the Folder
// column its folder.
std::vector<Row> ListRows(HWND window)
{
    std::vector<Row> rows;
    for (const std::vector<std::string>& cells : ListViewRows(Control(window, IDC_SHORTCUTLIST), 4))
        if (cells.size() == 4)
            rows.push_back({cells[1] + "\\" + cells[0], cells[2], cells[3]});
    return rows;
}

// How the summary begins while the window looks, followed by the count so far.
constexpr char kLooking[] = "Looking for shortcuts: ";

bool Looking(HWND window)
{
    return ControlText(window, IDC_SUMMARY).rfind(kLooking, 0) == 0;
}

// How many shortcuts the look has found so far, by the summary; 0 when it is not looking.
size_t FoundSoFar(HWND window)
{
    const std::string summary = ControlText(window, IDC_SUMMARY);
    return summary.rfind(kLooking, 0) == 0 ? std::strtoul(summary.c_str() + sizeof kLooking - 1, nullptr, 10) : 0;
}

// True once a look has ended and the summary tells what it found.
bool WaitForLookDone(HWND window)
{
    return WaitUntil([&] {
        const std::string summary = ControlText(window, IDC_SUMMARY);
        return !summary.empty() && !Looking(window);
    });
}

void ShowAll(HWND window, bool all)
{
    SetChecked(window, IDC_SHOWALL, all);
    Press(window, IDC_SHOWALL);
}

class ShortcutsWindow : public LauncherInstalledTest {};

// This account's places that are reached through a link (Wine links its Desktop to $HOME): the
// look does not enter them, and counts them as places not read.
int OwnLinkedPlaces()
{
    int linked = 0;
    for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_STARTMENU}) {
        char path[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
            continue;
        HANDLE folder = CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (folder == INVALID_HANDLE_VALUE)
            continue;
        char final[1024] = {};
        const DWORD n = GetFinalPathNameByHandleA(folder, final, sizeof final, FILE_NAME_NORMALIZED);
        CloseHandle(folder);
        const std::string reached = n > 4 && n < sizeof final ? std::string(final + 4, n - 4) : std::string();
        if (LowerAscii(reached) != LowerAscii(LongPath(path)))
            ++linked;
    }
    return linked;
}

TEST_F(ShortcutsWindow, ShowsTheShortcutsAndStatesOfTheReport)
{
    SmallMachine machine("lk window");
    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);
    HWND window = OpenShortcutsWindow(app);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForLookDone(window));
    // The damaged shortcut and the locked folder could not be read, nor this account's linked places.
    const std::string notRead = " 2 broken. " + std::to_string(2 + OwnLinkedPlaces()) + " places could not be read.";
    EXPECT_NE(ControlText(window, IDC_SUMMARY).find(notRead), std::string::npos) << ControlText(window, IDC_SUMMARY);

    std::vector<Row> notPlain;
    for (const Row& row : machine.expected)
        if (row.state != "Not protected")
            notPlain.push_back(row);
    EXPECT_EQ(machine.Mine(ListRows(window)), notPlain);

    ShowAll(window, true);
    EXPECT_TRUE(WaitUntil([&] { return machine.Mine(ListRows(window)) == machine.expected; }))
        << "with every shortcut shown";
    ShowAll(window, false);
    EXPECT_TRUE(WaitUntil([&] { return machine.Mine(ListRows(window)) == notPlain; }));

    CloseWindowAndTool(app, window);
}

TEST_F(ShortcutsWindow, ALongLookAnswersInputStopsKeepingWhatItFoundAndEndsWithTheWindow)
{
    // Many shortcuts in one profile's desktop: copies of one, made by the system in one go.
    ScratchFolder scratch("lk many shortcuts");
    const std::string desktop = scratch.Folder("Many\\Desktop");
    TestProfiles profiles(scratch.Folder("Many"), scratch.Folder("Empty"), scratch.Folder("Public"));
    LinkSpec wanted;
    wanted.target = SystemFolder() + "\\notepad.exe";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(desktop + "\\One.lnk", wanted));
    ASSERT_EQ(RunLinux("cd '" + UnixPath(desktop) + "' && seq -f Copy-%g.lnk 6000 | "
                       "xargs -n 500 sh -c 'tee $@ <One.lnk >/dev/null' copy"),
              0);

    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);
    HWND window = OpenShortcutsWindow(app);
    ASSERT_NE(window, nullptr);
    ShowAll(window, true);
    // It answers while it looks. (Its count starts at nought; stopped before it found one, it
    // would rightly keep none.)
    ASSERT_TRUE(WaitUntil([&] { return FoundSoFar(window) > 0; }))
        << ControlText(window, IDC_SUMMARY);
    // Asked right after the first count, while it looks: each answer within 100 ms. The questions
    // do not wait on the look, which may be over before the last of them.
    int answered = 0;
    for (int i = 0; i < 5; ++i) {
        DWORD_PTR result = 0;
        answered += SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &result) != 0;
    }
    EXPECT_EQ(answered, 5) << "the window did not answer within 100 ms while it looked";

    // Stop keeps what was found so far: the list shows as many shortcuts as the summary counts.
    Press(window, IDC_STOPLOOK);
    ASSERT_TRUE(WaitForLookDone(window));
    const std::string summary = ControlText(window, IDC_SUMMARY);
    const size_t counted = std::strtoul(summary.c_str(), nullptr, 10);
    EXPECT_GT(counted, 0u) << summary;
    EXPECT_EQ(ListRows(window).size(), counted) << summary;

    // Closed while it looks again: the window goes, and the tool goes on.
    Press(window, IDC_REFRESH);
    ASSERT_TRUE(WaitUntil([&] { return Looking(window); }));
    CloseWindowAndTool(app, window);
}

// The list's index of each shortcut that is listed, in the order given. (Polled while the list
// changes: it leaves the judging to the caller.)
std::vector<int> RowsOf(HWND window, const std::vector<std::string>& shortcuts)
{
    const std::vector<Row> rows = ListRows(window);
    std::vector<int> indexes;
    for (const std::string& shortcut : shortcuts)
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].shortcut == shortcut)
                indexes.push_back(static_cast<int>(i));
    return indexes;
}

// True once the look is done and each shortcut is listed in its state.
bool WaitForStates(HWND window, const std::vector<std::pair<std::string, std::string>>& states)
{
    return WaitUntil([&] {
        if (Looking(window))
            return false;
        const std::vector<Row> rows = ListRows(window);
        return std::all_of(states.begin(), states.end(), [&](const std::pair<std::string, std::string>& wanted) {
            return std::any_of(rows.begin(), rows.end(), [&](const Row& row) {
                return row.shortcut == wanted.first && row.state == wanted.second;
            });
        });
    });
}

// The password a protected shortcut's record holds; empty when it is not protected.
std::string RecordPassword(const std::string& link)
{
    LinkSpec read;
    if (FAILED(ReadLink(link, read)) || _stricmp(read.target.c_str(), SystemLauncher().c_str()) != 0)
        return std::string();
    const RecordReadResult record = ParseRecordFile(ReadFileBytes(Unscramble(read.arguments)));
    return record.status == RecordStatus::Ok ? record.record.password : std::string();
}

// Presses a button that opens a modal dialog, and waits for the dialog.
HWND PressFor(HWND window, int id, const std::string& caption)
{
    Press(window, id);
    HWND dialog = WaitForWindow(ProcessOf(window), caption);
    EXPECT_NE(dialog, nullptr) << "no \"" << caption << "\"";
    return dialog;
}

// Batches through the window: each shortcut goes through the single command's checks and file
// work, a refusal and a record holding another password included, and one box tells it all.
TEST_F(ShortcutsWindow, ProtectsAndRemovesTheSelectedShortcutsWithOnePassword)
{
    ScratchFolder scratch("lk batch");
    const std::string desktop = scratch.Folder("Ann\\Desktop");
    TestProfiles profiles(scratch.Folder("Ann"), scratch.Folder("Bob"), scratch.Folder("Public"));
    auto link = [&](const std::string& name, const std::string& target, const std::string& arguments) {
        LinkSpec wanted;
        wanted.target = target;
        wanted.arguments = arguments;
        EXPECT_HRESULT_SUCCEEDED(MakeLink(desktop + "\\" + name, wanted));
        return desktop + "\\" + name;
    };
    const std::string alpha = scratch / "Apps\\Alpha.exe", beta = scratch / "Apps\\Beta.exe",
                      delta = scratch / "Apps\\Delta.exe";
    ASSERT_TRUE(WriteFileBytes(alpha, "MZ") && WriteFileBytes(beta, "MZ") && WriteFileBytes(delta, "MZ"));
    const std::string deltaRecord = scratch / "Apps\\01012026000009.lki";
    ASSERT_TRUE(WriteFileBytes(deltaRecord, FormatProtectionRecord({"other", ShortPath(delta) + " -d", ""})));
    const std::string a = link("Alpha.lnk", alpha, "--a"), b = link("Beta.lnk", beta, "");
    const std::string c = link("Server.lnk", "\\\\server\\share\\Tool.exe", "");
    const std::string d = link("Delta.lnk", SystemLauncher(), Scramble(deltaRecord));

    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);
    HWND window = OpenShortcutsWindow(app);
    ASSERT_NE(window, nullptr);
    ShowAll(window, true);
    // Shown once the look is done and the tick has shown every shortcut.
    ASSERT_TRUE(WaitForStates(window, {{a, "Not protected"}, {b, "Not protected"}, {c, "Not protected"}, {d, "Protected"}}));

    // Protect: the three plain ones selected (and the protected one, which Protect leaves alone).
    SelectListViewRows(Control(window, IDC_SHORTCUTLIST), RowsOf(window, {a, b, c, d}));
    HWND add = PressFor(window, IDC_PROTECTSELECTED, kAddPasswordCaption);
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(ControlText(add, IDC_PROGRAM), "2 shortcuts");
    SetControlText(add, IDC_PASSWORD, "batch");
    SetControlText(add, IDC_RETYPE, "batch");
    Press(add, IDOK);
    MessageBoxInfo box = WaitForMessageBox(app.Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, BatchLineText("Server", ProtectMessageText(ProtectResult::NetworkTarget, "", "")) +
                            BatchLineText("Alpha", ProtectMessageText(ProtectResult::Succeeded, "Alpha", "")) +
                            BatchLineText("Beta", ProtectMessageText(ProtectResult::Succeeded, "Beta", "")));
    ASSERT_TRUE(PressToClose(box.window));
    EXPECT_EQ(RecordPassword(a), "batch");
    EXPECT_EQ(RecordPassword(b), "batch");
    EXPECT_EQ(RecordPassword(d), "other");
    LinkSpec server;
    ASSERT_HRESULT_SUCCEEDED(ReadLink(c, server));
    EXPECT_EQ(server.target, "\\\\server\\share\\Tool.exe");

    // Remove: a password no record holds is refused; one that some hold opens those only.
    // The window looks again after a batch; selected before that look is done, the selection
    // would be the old list's.
    ASSERT_TRUE(WaitForStates(window, {{a, "Protected"}, {b, "Protected"}, {c, "Not protected"}, {d, "Protected"}}));
    ASSERT_EQ(RowsOf(window, {a, b, c, d}).size(), 4u);
    SelectListViewRows(Control(window, IDC_SHORTCUTLIST), RowsOf(window, {a, b, c, d}));
    HWND security = PressFor(window, IDC_REMOVESELECTED, kSecurity);
    ASSERT_NE(security, nullptr);
    SetControlText(security, IDC_PASSWORD, "nope");
    Press(security, IDOK);
    MessageBoxInfo wrong = WaitForMessageBox(app.Id());
    EXPECT_EQ(wrong.text, text::PasswordNotCorrect);
    ASSERT_TRUE(PressToClose(wrong.window));
    SetControlText(security, IDC_PASSWORD, "batch");
    Press(security, IDOK);
    box = WaitForMessageBox(app.Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, BatchLineText("Alpha", RemoveMessageText(RemoveResult::Succeeded, "Alpha", "")) +
                            BatchLineText("Beta", RemoveMessageText(RemoveResult::Succeeded, "Beta", "")) +
                            BatchLineText("Delta", text::PasswordDoesNotMatch));
    ASSERT_TRUE(PressToClose(box.window));
    LinkSpec restored;
    ASSERT_HRESULT_SUCCEEDED(ReadLink(a, restored));
    // The shortcut as it was, long target and all.
    EXPECT_EQ(_stricmp(restored.target.c_str(), alpha.c_str()), 0) << restored.target;
    EXPECT_EQ(restored.arguments, "--a");
    EXPECT_EQ(RecordPassword(b), "");
    EXPECT_EQ(RecordPassword(d), "other");

    CloseWindowAndTool(app, window);
}

// Shortcuts whose names hold characters outside the code page are listed by their names, and
// protected and given back byte for byte as a batch; the box names each as it is.
TEST_F(ShortcutsWindow, ShortcutsNamedInAnyScriptAreProtectedAndRemovedAsABatch)
{
    ScratchFolder scratch("lk names");
    const std::string desktop = scratch.Folder("Ann\\Desktop");
    TestProfiles profiles(scratch.Folder("Ann"), scratch.Folder("Bob"), scratch.Folder("Public"));
    const std::string program = scratch / "Apps\\Alpha.exe";
    ASSERT_TRUE(WriteFileBytes(program, "MZ"));
    LinkSpec wanted;
    wanted.target = program;
    const std::string made = desktop + "\\made.lnk";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(made, wanted));
    const std::optional<std::string> original = ReadFileBytes(made);
    ASSERT_TRUE(original);
    const std::wstring names[] = {L"\u03A0\u03C1\u03CC\u03B3\u03C1\u03B1\u03BC\u03BC\u03B1",
                                  L"\u30D7\u30ED\u30B0\u30E9\u30E0"};
    std::vector<std::wstring> paths;
    std::vector<std::string> listed; // as the list shows them
    for (const std::wstring& name : names) {
        paths.push_back(ToWide(desktop) + L"\\" + name + L".lnk");
        ASSERT_TRUE(CopyFileW(ToWide(made).c_str(), paths.back().c_str(), FALSE));
        listed.push_back(ToUtf8(paths.back()));
    }
    ASSERT_TRUE(DeleteFileA(made.c_str()));
    // Each name's line of the batch's box, wherever the list put it.
    const auto expectLines = [&](const std::wstring& text, bool protect) {
        for (const std::wstring& name : names) {
            const std::string utf8 = ToUtf8(name);
            const std::string told = protect ? ProtectMessageText(ProtectResult::Succeeded, utf8, "")
                                             : RemoveMessageText(RemoveResult::Succeeded, utf8, "");
            EXPECT_NE(text.find(FromUtf8(BatchLineText(utf8, told))), std::wstring::npos) << ToUtf8(text);
        }
    };

    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);
    HWND window = OpenShortcutsWindow(app);
    ASSERT_NE(window, nullptr);
    ShowAll(window, true);
    ASSERT_TRUE(WaitForStates(window, {{listed[0], "Not protected"}, {listed[1], "Not protected"}}));
    SelectListViewRows(Control(window, IDC_SHORTCUTLIST), RowsOf(window, listed));
    HWND add = PressFor(window, IDC_PROTECTSELECTED, kAddPasswordCaption);
    ASSERT_NE(add, nullptr);
    SetControlText(add, IDC_PASSWORD, "names");
    SetControlText(add, IDC_RETYPE, "names");
    Press(add, IDOK);
    MessageBoxInfo box = WaitForMessageBox(app.Id());
    ASSERT_NE(box.window, nullptr);
    expectLines(WideControlText(box.window, 0xFFFF), true);
    ASSERT_TRUE(PressToClose(box.window));
    for (const std::wstring& path : paths)
        EXPECT_TRUE(LoadProtectedShortcut(path).Ready()) << ToUtf8(path);

    ASSERT_TRUE(WaitForStates(window, {{listed[0], "Protected"}, {listed[1], "Protected"}}));
    SelectListViewRows(Control(window, IDC_SHORTCUTLIST), RowsOf(window, listed));
    HWND security = PressFor(window, IDC_REMOVESELECTED, kSecurity);
    ASSERT_NE(security, nullptr);
    SetControlText(security, IDC_PASSWORD, "names");
    Press(security, IDOK);
    box = WaitForMessageBox(app.Id());
    ASSERT_NE(box.window, nullptr);
    expectLines(WideControlText(box.window, 0xFFFF), false);
    ASSERT_TRUE(PressToClose(box.window));
    for (const std::wstring& path : paths)
        EXPECT_EQ(ReadWholeFile(path), original) << ToUtf8(path);

    CloseWindowAndTool(app, window);
}

// The folder picker's caption differs between Windows versions: it is the dialog of the tool's
// process that holds a folder tree.
HWND WaitForFolderPicker(DWORD pid, HWND besides)
{
    return WaitForWindowWhere(pid, [&](HWND window) {
        return window != besides && ClassName(window) == "#32770" &&
               FindWindowExA(window, nullptr, "SysTreeView32", nullptr) != nullptr;
    });
}

// The text of the folder tree's selected item.
std::wstring SelectedFolderName(HWND tree)
{
    const HTREEITEM selected = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!selected)
        return std::wstring();
    constexpr int kChars = 260;
    const RemoteMemory remote(ProcessOf(tree), sizeof(TVITEMW) + kChars * sizeof(wchar_t));
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = selected;
    item.pszText = reinterpret_cast<wchar_t*>(remote.Address() + sizeof(TVITEMW));
    item.cchTextMax = kChars;
    std::wstring name(kChars, L'\0');
    if (!remote.Write(&item, sizeof item) || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.Address())) ||
        !remote.Read(&name[0], kChars * sizeof(wchar_t), sizeof(TVITEMW)))
        return std::wstring();
    name.resize(wcsnlen(name.c_str(), name.size()));
    return name;
}

// Chooses folder in the tool's folder picker as a user who went to it would: the picker is told
// to select it, and looked at until it shows it selected. (Wine's picker may fill its tree again
// a moment after it opens, which drops the selection; a user would click once more.)
bool ChooseFolder(HWND picker, const std::string& folder)
{
    HWND tree = FindWindowExA(picker, nullptr, "SysTreeView32", nullptr);
    const std::wstring path = Widen(folder);
    const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    const RemoteMemory remote(ProcessOf(picker), (path.size() + 1) * sizeof(wchar_t));
    if (!tree || !remote.Write(path.c_str(), (path.size() + 1) * sizeof(wchar_t)))
        return false;
    for (int tries = 0; tries < 10; ++tries) {
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote.Address()));
        Sleep(300);
        if (SelectedFolderName(tree) != name)
            continue;
        Sleep(300);
        if (SelectedFolderName(tree) == name)
            return true;
    }
    return false;
}

TEST_F(ShortcutsWindow, LooksInAnAddedFolderSelectsAllAndOpensTheFolderOfTheSelectedShortcut)
{
    ScratchFolder scratch("lk add folder");
    TestProfiles profiles(scratch.Folder("Ann"), scratch.Folder("Bob"), scratch.Folder("Public"));
    const std::string extra = scratch.Folder("Extra Place\\Deeper");
    LinkSpec wanted;
    wanted.target = SystemFolder() + "\\notepad.exe";
    const std::string tool = extra + "\\Tool Of Mine.lnk";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(tool, wanted));
    ASSERT_HRESULT_SUCCEEDED(MakeLink(scratch / "Extra Place\\Other.lnk", wanted));

    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);
    HWND window = OpenShortcutsWindow(app);
    ASSERT_NE(window, nullptr);
    ShowAll(window, true);
    ASSERT_TRUE(WaitForLookDone(window));
    for (const Row& row : ListRows(window))
        EXPECT_NE(row.shortcut, tool) << "listed before its folder was added";

    // Added: the look starts again, in that folder too; Cancel in the picker adds nothing.
    Press(window, IDC_ADDFOLDER);
    HWND picker = WaitForFolderPicker(app.Id(), window);
    ASSERT_NE(picker, nullptr) << "no folder picker";
    Press(picker, IDCANCEL);
    ASSERT_TRUE(WaitForWindowGone(picker));
    Press(window, IDC_ADDFOLDER);
    picker = WaitForFolderPicker(app.Id(), window);
    ASSERT_NE(picker, nullptr) << "no folder picker";
    ASSERT_TRUE(ChooseFolder(picker, scratch / "Extra Place"));
    Press(picker, IDOK);
    ASSERT_TRUE(WaitForWindowGone(picker));
    ASSERT_TRUE(WaitUntil([&] {
        for (const Row& row : ListRows(window))
            if (row.shortcut == tool)
                return row.state == "Not protected";
        return false;
    })) << "the added folder's shortcut is not listed";

    // Ctrl+A selects every row.
    HWND list = Control(window, IDC_SHORTCUTLIST);
    ASSERT_TRUE(TypeCtrlKey(window, IDC_SHORTCUTLIST, 'A'));
    const LRESULT rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    EXPECT_GT(rows, 1);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == rows; }))
        << SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) << " of " << rows << " selected";

    // Open folder (the button, or Enter): a window of another program shows the shortcut's folder.
    SelectListViewRows(Control(window, IDC_SHORTCUTLIST), RowsOf(window, {tool}));
    Press(window, IDOK);
    HWND folderWindow = WaitForWindowWhere(0, [&](HWND shown) {
        return ProcessOf(shown) != app.Id() && WindowText(shown).find("Deeper") != std::string::npos;
    });
    ASSERT_NE(folderWindow, nullptr) << "no window shows the shortcut's folder";
    PostMessageA(folderWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitForWindowGone(folderWindow));

    CloseWindowAndTool(app, window);
}

// The cells of each listed shortcut's row, by its path: folder\shortcut, program, state, kept.
std::map<std::string, std::vector<std::string>> RowsByPath(HWND window)
{
    std::map<std::string, std::vector<std::string>> rows;
    for (const std::vector<std::string>& cells : ListViewRows(Control(window, IDC_SHORTCUTLIST), 5))
        if (cells.size() == 5)
            rows[cells[1] + "\\" + cells[0]] = {cells[2], cells[3], cells[4]};
    return rows;
}

// True once the look is done and each shortcut is listed with its state and Kept column.
bool WaitForKept(HWND window, const std::vector<std::vector<std::string>>& wanted)
{
    return WaitUntil([&] {
        if (Looking(window))
            return false;
        const std::map<std::string, std::vector<std::string>> rows = RowsByPath(window);
        return std::all_of(wanted.begin(), wanted.end(), [&](const std::vector<std::string>& row) {
            const auto found = rows.find(row[0]);
            return found != rows.end() && found->second[1] == row[1] && found->second[2] == row[2];
        });
    });
}

// Nothing kept once the test is over, whatever its outcome: a kept program or the logon check left
// behind would change what later tests see.
struct NothingKeptAtEnd {
    ~NothingKeptAtEnd()
    {
        EXPECT_TRUE(WriteKeptPrograms({}));
        EXPECT_HRESULT_SUCCEEDED(DeleteCheckTask());
    }
};

// The record a protected shortcut names.
std::string RecordOf(const std::string& link)
{
    LinkSpec read;
    EXPECT_HRESULT_SUCCEEDED(ReadLink(link, read));
    return Unscramble(read.arguments);
}

// Answers a password dialog of the kept commands with the password (twice where it asks twice),
// then the box that tells what became of it: its caption.
std::string AnswerPassword(HWND dialog, const std::string& password, bool twice)
{
    SetControlText(dialog, IDC_PASSWORD, password);
    if (twice)
        SetControlText(dialog, IDC_RETYPE, password);
    Press(dialog, IDOK);
    MessageBoxInfo box = WaitForMessageBox(ProcessOf(dialog));
    EXPECT_NE(box.window, nullptr) << "nothing told";
    EXPECT_TRUE(box.window && PressToClose(box.window));
    return box.caption;
}

TEST_F(ShortcutsWindow, KeepsTheSelectedProgramsShowsWhatACheckWouldChangeChecksAndStopsKeeping)
{
    ScratchFolder scratch("lk keep");
    NothingKeptAtEnd nothingKept;
    const std::string ann = scratch.Folder("Ann\\Desktop"), bob = scratch.Folder("Bob\\Desktop"),
                      pub = scratch.Folder("Public\\Desktop");
    TestProfiles profiles(scratch.Folder("Ann"), scratch.Folder("Bob"), scratch.Folder("Public"));
    const std::string alpha = scratch / "Apps\\Alpha.exe", beta = scratch / "Apps\\Beta.exe";
    ASSERT_TRUE(WriteFileBytes(alpha, "MZ") && WriteFileBytes(beta, "MZ"));
    auto link = [&](const std::string& path, const std::string& target) {
        LinkSpec wanted;
        wanted.target = target;
        EXPECT_HRESULT_SUCCEEDED(MakeLink(path, wanted));
        return LongPath(path);
    };
    const std::string a1 = link(ann + "\\Alpha.lnk", alpha), a2 = link(pub + "\\Alpha.lnk", alpha);
    const std::string b1 = link(ann + "\\Beta.lnk", beta);
    const std::string other = link(ann + "\\Other.lnk", SystemFolder() + "\\notepad.exe");

    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);
    HWND window = OpenShortcutsWindow(app);
    ASSERT_NE(window, nullptr);
    HWND keptList = Control(window, IDC_KEPTLIST);
    EXPECT_TRUE(ListBoxItems(keptList).empty());
    EXPECT_FALSE(IsWindowEnabled(Control(window, IDC_UNKEEPSELECTED))) << "nothing is kept";
    EXPECT_FALSE(IsWindowEnabled(Control(window, IDC_CHECKNOW))) << "nothing is kept";
    ShowAll(window, true);
    ASSERT_TRUE(WaitForKept(window, {{a1, "Not protected", ""}, {a2, "Not protected", ""}, {b1, "Not protected", ""}}));

    // Cancel in the first program's dialog ends them all: nothing kept, nothing protected. A click
    // on History, posted then, opens it once the click on Keep protected... is done with, or in
    // the loop of a next program's dialog, which then exists (shown or not yet).
    SelectListViewRows(Control(window, IDC_SHORTCUTLIST), RowsOf(window, {a1, a2, b1}));
    Press(window, IDC_KEEPSELECTED);
    HWND first = WaitForWindow(app.Id(), kAddPasswordCaption);
    ASSERT_NE(first, nullptr);
    Press(first, IDCANCEL);
    ASSERT_TRUE(WaitForWindowGone(first));
    Press(window, IDC_HISTORY);
    HWND history = WaitForWindow(app.Id(), "History");
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, "#32770", kAddPasswordCaption), nullptr) << "a next program's dialog";
    ASSERT_TRUE(PressToClose(history, IDCANCEL));
    ASSERT_TRUE(WaitForKept(window, {{a1, "Not protected", ""}, {a2, "Not protected", ""}, {b1, "Not protected", ""}}));
    EXPECT_TRUE(ListBoxItems(keptList).empty());
    const std::optional<std::vector<KeptProgram>> keptNone = ReadKeptPrograms();
    EXPECT_TRUE(keptNone && keptNone->empty());

    // Keep protected...: both programs of the three rows, each asked once in a dialog naming it,
    // each told; every shortcut of each protected with its password.
    SelectListViewRows(Control(window, IDC_SHORTCUTLIST), RowsOf(window, {a1, a2, b1}));
    Press(window, IDC_KEEPSELECTED);
    std::vector<std::string> asked;
    for (int i = 0; i < 2; ++i) {
        HWND add = WaitForWindow(app.Id(), kAddPasswordCaption);
        ASSERT_NE(add, nullptr) << "no password dialog for the program " << i + 1;
        const std::string program = ControlText(add, IDC_PROGRAM);
        asked.push_back(program);
        EXPECT_EQ(AnswerPassword(add, program == "Alpha" ? "alpha" : "beta", true), "Kept protected") << program;
        ASSERT_TRUE(WaitForWindowGone(add));
    }
    EXPECT_EQ(asked, (std::vector<std::string>{"Alpha", "Beta"}));
    const std::vector<std::string> both{LongPath(alpha), LongPath(beta)};
    ASSERT_TRUE(WaitUntil([&] { return ListBoxItems(keptList).size() == 2; }));
    const std::vector<std::string> items = ListBoxItems(keptList);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(_stricmp(items[i].c_str(), both[i].c_str()), 0) << items[i];
    EXPECT_EQ(RecordPassword(a1), "alpha");
    EXPECT_EQ(RecordPassword(a2), "alpha");
    EXPECT_EQ(RecordPassword(b1), "beta");
    ASSERT_TRUE(WaitForKept(window, {{a1, "Protected", "Yes"}, {a2, "Protected", "Yes"}, {b1, "Protected", "Yes"}}));
    EXPECT_TRUE(IsWindowEnabled(Control(window, IDC_CHECKNOW)));

    // An update puts a plain shortcut back on Bob's desktop and deletes Alpha's records: shown
    // for what a check would do, the plain one without the tick too (with its records gone,
    // nothing guards Alpha: its new shortcut is plainly "Not protected").
    const std::string record1 = RecordOf(a1), record2 = RecordOf(a2);
    const std::optional<std::string> bytes1 = ReadFileBytes(record1), bytes2 = ReadFileBytes(record2);
    ASSERT_TRUE(bytes1 && bytes2);
    ASSERT_TRUE(DeleteFileA(record1.c_str()) && DeleteFileA(record2.c_str()));
    const std::string a3 = link(bob + "\\Alpha.lnk", alpha);
    ShowAll(window, false);
    Press(window, IDC_REFRESH);
    ASSERT_TRUE(WaitForKept(window, {{a1, "Protected, record missing", text::KeptCheckRestores},
                                     {a2, "Protected, record missing", text::KeptCheckRestores},
                                     {a3, "Not protected", text::KeptCheckProtects},
                                     {b1, "Protected", "Yes"}}));

    // Check now: the new one protected with the kept password, the records back byte for byte.
    Press(window, IDC_CHECKNOW);
    MessageBoxInfo told = WaitForMessageBox(app.Id());
    ASSERT_NE(told.window, nullptr) << "the check told nothing";
    EXPECT_EQ(GetWindow(told.window, GW_OWNER), window);
    EXPECT_FALSE(IsWindowEnabled(window)) << "the window takes input under the check's box";
    ASSERT_TRUE(PressToClose(told.window));
    ASSERT_TRUE(WaitForKept(window, {{a1, "Protected", "Yes"}, {a2, "Protected", "Yes"}, {a3, "Protected", "Yes"}}));
    EXPECT_EQ(ReadFileBytes(record1), bytes1);
    EXPECT_EQ(ReadFileBytes(record2), bytes2);
    EXPECT_EQ(RecordPassword(a3), "alpha");

    // Stop keeping... with a row that starts no kept program: it says what to select.
    ShowAll(window, true);
    ASSERT_TRUE(WaitForKept(window, {{other, "Not protected", ""}}));
    SelectListViewRows(Control(window, IDC_SHORTCUTLIST), RowsOf(window, {other}));
    Press(window, IDC_UNKEEPSELECTED);
    MessageBoxInfo select = WaitForMessageBox(app.Id());
    EXPECT_EQ(select.text, text::NoKeptProgramSelected);
    ASSERT_TRUE(select.window && PressToClose(select.window));

    // ... the kept program of a selected row, its kept password asked (a wrong one refused).
    SelectListViewRows(Control(window, IDC_SHORTCUTLIST), RowsOf(window, {a3}));
    Press(window, IDC_UNKEEPSELECTED);
    HWND security = WaitForWindow(app.Id(), kSecurity);
    ASSERT_NE(security, nullptr);
    SetControlText(security, IDC_PASSWORD, "beta");
    Press(security, IDOK);
    MessageBoxInfo wrong = WaitForMessageBox(app.Id());
    EXPECT_EQ(wrong.text, text::PasswordNotCorrect);
    ASSERT_TRUE(wrong.window && PressToClose(wrong.window));
    EXPECT_EQ(AnswerPassword(security, "alpha", false), "Kept protected");
    ASSERT_TRUE(WaitUntil([&] { return ListBoxItems(keptList).size() == 1; }));
    EXPECT_EQ(_stricmp(ListBoxItems(keptList)[0].c_str(), LongPath(beta).c_str()), 0);
    ASSERT_TRUE(WaitForKept(window, {{a1, "Protected", ""}, {a3, "Protected", ""}, {b1, "Protected", "Yes"}}));
    EXPECT_EQ(RecordPassword(a1), "alpha") << "its protection stays";

    // Removing the protection of a kept program's shortcut offers to stop keeping it: taken, the
    // list of kept programs follows.
    SelectListViewRows(Control(window, IDC_SHORTCUTLIST), RowsOf(window, {b1}));
    security = PressFor(window, IDC_REMOVESELECTED, kSecurity);
    ASSERT_NE(security, nullptr);
    SetControlText(security, IDC_PASSWORD, "beta");
    Press(security, IDOK);
    MessageBoxInfo removed = WaitForMessageBox(app.Id());
    ASSERT_TRUE(removed.window && PressToClose(removed.window));
    MessageBoxInfo offer = WaitForMessageBox(app.Id());
    ASSERT_NE(offer.window, nullptr) << "no offer to stop keeping";
    EXPECT_EQ(offer.text, StopKeepingQuestionText(LongPath(beta)));
    ASSERT_TRUE(PressToClose(offer.window, IDYES));
    MessageBoxInfo unkept = WaitForMessageBox(app.Id());
    EXPECT_EQ(unkept.caption, "Kept protected");
    ASSERT_TRUE(unkept.window && PressToClose(unkept.window));
    ASSERT_TRUE(WaitUntil([&] { return ListBoxItems(keptList).empty(); }));
    EXPECT_FALSE(IsWindowEnabled(Control(window, IDC_CHECKNOW)));
    ASSERT_TRUE(WaitForKept(window, {{b1, "Not protected", ""}}));

    // Stop keeping... the program selected in the kept list, whatever rows are selected.
    SelectListViewRows(Control(window, IDC_SHORTCUTLIST), RowsOf(window, {b1}));
    HWND add = PressFor(window, IDC_KEEPSELECTED, kAddPasswordCaption);
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(AnswerPassword(add, "beta again", true), "Kept protected");
    ASSERT_TRUE(WaitUntil([&] { return ListBoxItems(keptList).size() == 1; }));
    SelectListViewRows(Control(window, IDC_SHORTCUTLIST), RowsOf(window, {a1}));
    SelectListBoxItems(keptList, {0});
    Press(window, IDC_UNKEEPSELECTED);
    security = WaitForWindow(app.Id(), kSecurity);
    ASSERT_NE(security, nullptr);
    EXPECT_EQ(AnswerPassword(security, "beta again", false), "Kept protected");
    ASSERT_TRUE(WaitUntil([&] { return ListBoxItems(keptList).empty(); }));
    ASSERT_TRUE(WaitForKept(window, {{b1, "Protected", ""}}));
    EXPECT_EQ(RecordPassword(b1), "beta again");

    CloseWindowAndTool(app, window);
}

} // namespace
