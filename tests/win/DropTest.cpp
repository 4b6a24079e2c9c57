// Files dropped on the real main window. Wine gives a test no way to drag from Explorer, and the
// file list of a drop (an HDROP) is memory of the receiving process, so the test runs the main
// window modally on its own thread and, from a second thread, posts it WM_DROPFILES with a list
// built as the shell builds it.
#include "app/MainWindow.h"

#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/ui/LatchkeyUi.h"
#include "tests/ui/UiDriver.h"

#include "resource.h"
#include "core/Messages.h"
#include "core/Paths.h"
#include "core/Scramble.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {


// The file list of a drop as the shell hands it over: a DROPFILES header, then each path ended by
// a NUL and the list by one more; wide as Explorer sends it, or in the ANSI code page.
HGLOBAL MakeDropList(const std::vector<std::string>& paths, bool wide)
{
    std::string list;
    for (const std::string& path : paths) {
        if (wide) {
            const std::wstring text = Widen(path);
            list.append(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
        } else {
            list.append(path.c_str(), path.size() + 1);
        }
    }
    list.append(wide ? sizeof(wchar_t) : 1, '\0');

    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    if (!memory)
        return nullptr;
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = {20, 20};
    header->fNC = FALSE;
    header->fWide = wide;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    return memory;
}

// A wide list of one path as Explorer sends it, whatever the code page holds.
HGLOBAL MakeWideDropList(const std::wstring& path)
{
    const std::size_t bytes = (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
    if (!memory)
        return nullptr;
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

// Drops the list on the window; the window owns it from here on.
void DropList(HWND window, HGLOBAL list)
{
    ASSERT_NE(list, nullptr);
    if (!PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(list), 0)) {
        GlobalFree(list);
        FAIL() << "cannot post WM_DROPFILES";
    }
}

// Drops the files on the window; the window owns the list from here on.
void Drop(HWND window, const std::vector<std::string>& paths, bool wide = false)
{
    DropList(window, MakeDropList(paths, wide));
}

// The main window has taken its command back: it takes input and is our only window.
bool BackAtMainWindow(HWND main)
{
    return WaitUntil([&] {
        return IsWindowEnabled(main) && TopWindows(GetCurrentProcessId()) == std::vector<HWND>{main};
    });
}

// Shows the real main window modally on this thread, as Latchkey.exe does after the gate, while
// drive works it from a second thread. Whatever drive leaves open is closed, then the window.
void RunMainWindow(const std::function<void(HWND)>& drive)
{
    CWinApp app; // the dialogs of the commands take the main window as their owner from it
    CMainWindow window;
    app.m_pMainWnd = &window;
    std::thread driver([&] {
        const DWORD self = GetCurrentProcessId();
        HWND main = WaitForWindow(self, kMainCaption);
        if (!main) {
            ADD_FAILURE() << "the main window did not open";
            return;
        }
        drive(main);
        WaitUntil([&] {
            std::vector<HWND> open = TopWindows(self);
            for (HWND other : open)
                if (other != main)
                    PostMessageA(other, WM_COMMAND, IDCANCEL, 0);
            return open == std::vector<HWND>{main};
        });
        PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
    });
    window.DoModal();
    driver.join();
}

// A program, a plain shortcut to it, and the files that are no single shortcut.
class DropOnMainWindow : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_TRUE(WriteFileBytes(m_program, "MZ not really a program"));
        LinkSpec link;
        link.target = m_program;
        link.arguments = "-n";
        ASSERT_HRESULT_SUCCEEDED(MakeLink(m_link, link));
        ASSERT_HRESULT_SUCCEEDED(MakeLink(m_otherLink, link));
        ASSERT_TRUE(WriteFileBytes(m_notALink, "plain text\r\n"));
        ASSERT_TRUE(MakeFolders(m_folderLink));
    }

    ScratchFolder m_scratch{"lk drop"};
    const std::string m_program = m_scratch / "My Editor\\Long Editor Name.exe";
    const std::string m_programFolder = m_scratch.Folder("My Editor");
    const std::string m_link = m_scratch / "Links\\My Editor.lnk";
    const std::string m_otherLink = m_scratch / "Links\\Other.lnk";
    const std::string m_notALink = m_scratch / "Links\\notes.txt";
    const std::string m_folderLink = m_scratch / "Links\\Folder.lnk";
};

} // namespace

// The window takes drops; anything but one shortcut file gets one message, owned by the window,
// and changes nothing; the window then takes the next drop.
TEST_F(DropOnMainWindow, AnythingButOneShortcutGetsOneMessage)
{
    const struct {
        const char* what;
        std::vector<std::string> paths;
        bool wide;
    } drops[] = {
        {"two shortcuts", {m_link, m_otherLink}, true},
        {"a text file", {m_notALink}, true},
        {"a folder named like a shortcut", {m_folderLink}, false},
        {"a shortcut that is not there", {m_scratch / "Links\\Gone.lnk"}, false},
        {"an empty list", {}, false},
    };
    const std::optional<std::string> linkBytes = ReadFileBytes(m_link);
    const std::vector<std::string> programFiles = FolderEntries(m_programFolder);
    LONG_PTR exStyle = 0;
    RunMainWindow([&](HWND main) {
        exStyle = GetWindowLongPtrA(main, GWL_EXSTYLE);
        for (const auto& drop : drops) {
            SCOPED_TRACE(drop.what);
            Drop(main, drop.paths, drop.wide);
            MessageBoxInfo box = WaitForMessageBox(GetCurrentProcessId());
            ASSERT_NE(box.window, nullptr) << "no message";
            EXPECT_EQ(box.text, text::DropOneShortcut);
            EXPECT_EQ(box.caption, AfxAppTitle());
            EXPECT_EQ(GetWindow(box.window, GW_OWNER), main);
            ASSERT_TRUE(PressToClose(box.window));
            EXPECT_TRUE(BackAtMainWindow(main)) << "another window came after the message";
            EXPECT_EQ(ReadFileBytes(m_link), linkBytes);
            EXPECT_EQ(FolderEntries(m_programFolder), programFiles);
        }
    });
    EXPECT_TRUE(exStyle & WS_EX_ACCEPTFILES) << "the window does not take dropped files";
}

// One shortcut dropped runs the same decision as a bare path on the command line: a plain one
// opens the Add Password Protection dialog (cancelled: nothing written; confirmed: protected in
// place), and the protected one then opens the remove dialog (cancelled: nothing written).
TEST_F(DropOnMainWindow, OneShortcutOpensTheDialogOfItsCommand)
{
    const std::optional<std::string> plainBytes = ReadFileBytes(m_link);
    std::optional<std::string> protectedBytes;
    RunMainWindow([&](HWND main) {
        const DWORD self = GetCurrentProcessId();

        Drop(main, {m_link}, true);
        HWND dialog = WaitForWindow(self, kAddPasswordCaption);
        ASSERT_NE(dialog, nullptr) << "no Add Password Protection dialog";
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), main);
        EXPECT_EQ(ControlText(dialog, IDC_PROGRAM), "My Editor");
        EXPECT_EQ(ControlText(dialog, IDC_TARGET), ShortPath(m_program));
        ASSERT_TRUE(PressToClose(dialog, IDCANCEL));
        EXPECT_TRUE(BackAtMainWindow(main)) << "another window came after the cancel";
        EXPECT_EQ(ReadFileBytes(m_link), plainBytes);
        EXPECT_EQ(FolderEntries(m_programFolder), std::vector<std::string>{"Long Editor Name.exe"});

        Drop(main, {m_link}, false);
        dialog = WaitForWindow(self, kAddPasswordCaption);
        ASSERT_NE(dialog, nullptr) << "no Add Password Protection dialog";
        SetControlText(dialog, IDC_PASSWORD, "Drop pw");
        SetControlText(dialog, IDC_RETYPE, "Drop pw");
        Press(dialog, IDOK);
        MessageBoxInfo box = WaitForMessageBox(self);
        ASSERT_NE(box.window, nullptr) << "no success message";
        EXPECT_EQ(box.caption, text::ProtectSucceededCaption);
        EXPECT_EQ(box.text, "Password protection link for\nMy Editor\nhas been created successfully!");
        EXPECT_EQ(GetWindow(box.window, GW_OWNER), main);
        ASSERT_TRUE(PressToClose(box.window));
        EXPECT_TRUE(BackAtMainWindow(main));
        protectedBytes = ReadFileBytes(m_link);
        EXPECT_NE(protectedBytes, plainBytes);

        Drop(main, {m_link}, true);
        HWND security = WaitForWindow(self, kSecurity);
        ASSERT_NE(security, nullptr) << "no Security dialog for the removal";
        EXPECT_EQ(GetWindow(security, GW_OWNER), main);
        EXPECT_EQ(ControlText(security, IDC_PROGRAM), "My Editor");
        EXPECT_EQ(ControlText(security, IDC_TARGET), "Target shortcut: " + m_link);
        SetControlText(security, IDC_PASSWORD, "Drop pw");
        ASSERT_TRUE(PressToClose(security, IDCANCEL));
        EXPECT_TRUE(BackAtMainWindow(main)) << "another window came after the cancel";
        EXPECT_EQ(ReadFileBytes(m_link), protectedBytes);
    });

    // The dropped file itself was protected, with a record beside the program.
    LinkSpec link;
    ASSERT_HRESULT_SUCCEEDED(ReadLink(m_link, link));
    EXPECT_EQ(link.target, SystemFolder() + "\\lkrun3.exe");
    const std::string recordPath = Unscramble(link.arguments);
    EXPECT_EQ(recordPath.substr(0, recordPath.find_last_of('\\')), ShortPath(m_programFolder));
    EXPECT_TRUE(FileExists(recordPath));
    EXPECT_EQ(FolderEntries(m_programFolder).size(), 2u);
}

namespace {

// While a command's dialog is open, a second drop starts nothing: no second dialog on the same
// shortcut, no message; the open dialog's cancel then leaves both shortcuts as they were. A
// posted handle that holds no file list is never released, and the window keeps working.
TEST_F(DropOnMainWindow, DropsWhileACommandRunsAndHandlesThatAreNoListChangeNothing)
{
    const std::optional<std::string> linkBytes = ReadFileBytes(m_link);
    const std::optional<std::string> otherBytes = ReadFileBytes(m_otherLink);
    HGLOBAL tooSmall = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
    ASSERT_NE(tooSmall, nullptr);
    RunMainWindow([&](HWND main) {
        const DWORD self = GetCurrentProcessId();
        Drop(main, {m_link}, true);
        HWND dialog = WaitForWindow(self, kAddPasswordCaption);
        ASSERT_NE(dialog, nullptr) << "no Add Password Protection dialog";
        for (const std::string& again : {m_link, m_otherLink}) {
            SCOPED_TRACE(again);
            Drop(main, {again}, true);
            // Nothing comes of it: the dialog stays the only window besides the main one.
            EXPECT_FALSE(WaitUntil([&] { return TopWindows(self).size() > 2; }, 1500));
            EXPECT_EQ(FindTopWindow(self, kAddPasswordCaption), dialog);
        }
        ASSERT_TRUE(PressToClose(dialog, IDCANCEL));
        EXPECT_TRUE(BackAtMainWindow(main)) << "a window came after the cancel";

        // Handles that hold no file list: the message for a drop that is no shortcut, nothing freed.
        for (WPARAM handle : {WPARAM(0), reinterpret_cast<WPARAM>(tooSmall)}) {
            ASSERT_TRUE(PostMessageA(main, WM_DROPFILES, handle, 0));
            MessageBoxInfo box = WaitForMessageBox(self);
            ASSERT_NE(box.window, nullptr) << "no message";
            EXPECT_EQ(box.text, text::DropOneShortcut);
            ASSERT_TRUE(PressToClose(box.window));
            EXPECT_TRUE(BackAtMainWindow(main));
        }
        EXPECT_EQ(GlobalSize(tooSmall), 4u) << "a block that is no drop list was released";
    });
    GlobalFree(tooSmall);
    EXPECT_EQ(ReadFileBytes(m_link), linkBytes);
    EXPECT_EQ(ReadFileBytes(m_otherLink), otherBytes);
    EXPECT_EQ(FolderEntries(m_programFolder), std::vector<std::string>{"Long Editor Name.exe"});
}

// A dropped name is taken as the characters it holds, whatever they are: full-width backslashes
// never become real ones (which would name the plain shortcut beside it), and a name in Greek
// opens the dialog as any other, which names it as it is. Cancelled, nothing is written.
TEST_F(DropOnMainWindow, NamesAreTakenAsTheyAre)
{
    const std::wstring names[] = {L"Notes\uFF3C..\uFF3CMy Editor",
                                  L"\u03A0\u03C1\u03CC\u03B3\u03C1\u03B1\u03BC\u03BC\u03B1"};
    const std::optional<std::string> linkBytes = ReadFileBytes(m_link);
    for (const std::wstring& name : names) {
        const std::wstring path = Widen(FolderOf(m_link)) + L"\\" + name + L".lnk";
        ASSERT_TRUE(CopyFileW(Widen(m_link).c_str(), path.c_str(), FALSE));
        struct Gone {
            std::wstring path;
            ~Gone() { DeleteFileW(path.c_str()); }
        } gone{path};
        RunMainWindow([&](HWND main) {
            const DWORD self = GetCurrentProcessId();
            DropList(main, MakeWideDropList(path));
            HWND dialog = WaitForWindow(self, kAddPasswordCaption);
            ASSERT_NE(dialog, nullptr) << "no Add Password Protection dialog";
            EXPECT_EQ(WideControlText(dialog, IDC_PROGRAM), name);
            EXPECT_EQ(ControlText(dialog, IDC_TARGET), ShortPath(m_program));
            ASSERT_TRUE(PressToClose(dialog, IDCANCEL));
            EXPECT_TRUE(BackAtMainWindow(main)) << "a window came after the cancel";
        });
        EXPECT_EQ(ReadFileBytes(m_link), linkBytes);
        EXPECT_EQ(FolderEntries(m_programFolder), std::vector<std::string>{"Long Editor Name.exe"});
    }
}

} // namespace
