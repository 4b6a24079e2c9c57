// The remove command driven like a user: the picker, the Security dialog and its refusals,
// the messages, and what ends up on disk.
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/ui/LatchkeyUi.h"

#include "resource.h"
#include "win/ProtectFiles.h"
#include "win/ShellLink.h"
#include "core/ProtectionRecord.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

constexpr char kRemoveTitle[] =
    "*** REMOVE password protection -- select the shortcut you want to remove password protection";
constexpr char kPassword[] = "Open Sesame";

// The Security dialog's controls in their order (the label just before the box it names, as a
// screen reader reads it; the focus moves from the password box to OK, Cancel and the two
// lines), with their texts and the styles that matter: a masked password box with a border, two
// borderless read-only lines; the password box has the focus.
void ExpectSecurityTemplate(HWND security)
{
    struct Expected {
        int id;
        const char* className;
        const char* text; // null: not checked (the boxes the command fills)
    } expected[] = {
        {IDC_STATIC, "Static", "You must enter the password you set for this link in order to remove the protection."},
        {IDC_STATIC, "Static", "&Password:"},
        {IDC_PASSWORD, "Edit", nullptr},
        {IDOK, "Button", "OK"},
        {IDCANCEL, "Button", "Cancel"},
        {IDC_PROGRAM, "Edit", nullptr},
        {IDC_TARGET, "Edit", nullptr},
    };
    std::vector<HWND> children;
    for (HWND child = GetWindow(security, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(children.size(), std::size(expected));
    for (std::size_t i = 0; i < children.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        EXPECT_EQ(static_cast<int>(static_cast<short>(GetDlgCtrlID(children[i]))), expected[i].id);
        EXPECT_EQ(ClassName(children[i]), expected[i].className);
        if (expected[i].text)
            EXPECT_EQ(WindowText(children[i]), expected[i].text);
    }
    auto style = [&](int id) { return GetWindowLongA(Control(security, id), GWL_STYLE); };
    // The dialog manager draws an edit box's border as a client edge.
    auto bordered = [&](int id) {
        return (style(id) & WS_BORDER) || (GetWindowLongA(Control(security, id), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    };
    EXPECT_TRUE(style(IDC_PASSWORD) & ES_PASSWORD);
    EXPECT_TRUE(bordered(IDC_PASSWORD));
    EXPECT_TRUE(style(IDOK) & BS_DEFPUSHBUTTON);
    for (int id : {IDC_PROGRAM, IDC_TARGET}) {
        EXPECT_TRUE(style(id) & ES_READONLY) << id;
        EXPECT_FALSE(bordered(id)) << id;
        EXPECT_TRUE(style(id) & WS_TABSTOP) << id;
    }
    EXPECT_TRUE(WaitUntil([&] {
        GUITHREADINFO thread = {};
        thread.cbSize = sizeof thread;
        return GetGUIThreadInfo(GetWindowThreadProcessId(security, nullptr), &thread) &&
               thread.hwndFocus == Control(security, IDC_PASSWORD);
    })) << "the password box has no focus";
}

// A program with a long name in a folder with blanks, and a shortcut to it named with a blank,
// protected through the protect command's file work. Everything goes when the test ends.
class RemoveCommandTest : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_TRUE(WriteFileBytes(m_program, "MZ"));
    }

    // Writes the user's shortcut and protects it; returns the record path.
    std::string MakeProtectedShortcut(const std::string& stamp)
    {
        ShortcutInfo original;
        original.targetPath = m_program;
        original.arguments = "-f $HOME *.txt";
        original.workingDirectory = "C:\\Work Dir";
        original.description = L"the editor";
        EXPECT_GE(WriteShortcut(m_link, original), 0);
        m_original = ReadFileBytes(m_link);
        LoadedShortcut loaded = LoadShortcutForProtection(m_link);
        EXPECT_EQ(loaded.result, ProtectResult::Ready);
        ProtectOutcome outcome = ApplyProtection(m_link, loaded, kPassword, false, stamp);
        EXPECT_EQ(outcome.result, ProtectResult::Succeeded);
        return MakeRecordPath(loaded.info.targetPath, stamp);
    }

    // Presses the REMOVE button and picks the shortcut in the file dialog.
    void PickForRemoval(const Latchkey& app, const std::string& path)
    {
        Press(app.main, IDC_REMOVE);
        HWND picker = WaitForFileDialog(app.Id(), kRemoveTitle);
        ASSERT_NE(picker, nullptr) << "no file dialog titled for removal";
        ASSERT_TRUE(PickFile(picker, path));
    }

    // The command has returned once the main window takes input again.
    static bool CommandDone(const Latchkey& app)
    {
        return WaitUntil([&] { return IsWindowEnabled(app.main) && TopWindows(app.Id()).size() == 1; });
    }

    // Types text into the Security dialog, presses OK and expects the refusal, the dialog
    // kept open and the wrong text still in its box.
    static void ExpectRefused(const Latchkey& app, HWND security, const std::string& text, bool type = true)
    {
        SCOPED_TRACE("typed [" + text + "]");
        if (type)
            SetControlText(security, IDC_PASSWORD, text);
        Press(security, IDOK);
        MessageBoxInfo box = WaitForMessageBox(app.Id());
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, "Password not correct!");
        EXPECT_EQ(box.caption, kAppTitle);
        ASSERT_TRUE(PressToClose(box.window));
        EXPECT_TRUE(IsWindowVisible(security));
        EXPECT_EQ(ControlText(security, IDC_PASSWORD), text);
    }

    ScratchFolder m_scratch{"lk ui remove"};
    const std::string m_links = m_scratch.Folder("My Links");
    const std::string m_program = m_scratch / "My Editor\\Long Editor Name.exe";
    const std::string m_link = m_links + "\\My Editor.lnk";
    std::optional<std::string> m_original; // the shortcut before protect
};

} // namespace

TEST_F(RemoveCommandTest, RefusesWrongPasswordsThenRestoresTheShortcut)
{
    const std::string recordPath = MakeProtectedShortcut("01022027101010");
    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);
    PickForRemoval(app, m_link);

    HWND security = WaitForWindow(app.Id(), "Security");
    ASSERT_NE(security, nullptr);
    EXPECT_EQ(GetWindow(security, GW_OWNER), app.main);
    EXPECT_EQ(ControlText(security, IDC_PROGRAM), "My Editor");
    EXPECT_EQ(ControlText(security, IDC_TARGET), "Target shortcut: " + m_link);
    EXPECT_EQ(ControlText(security, IDC_PASSWORD), "");
    ExpectSecurityTemplate(security);

    ExpectRefused(app, security, "wrong");
    ExpectRefused(app, security, "wrong", false); // OK again, unchanged
    ExpectRefused(app, security, "open sesame");
    ExpectRefused(app, security, std::string(kPassword) + " ");
    ExpectRefused(app, security, std::string(" ") + kPassword);

    SetControlText(security, IDC_PASSWORD, kPassword);
    Press(security, IDOK);
    MessageBoxInfo box = WaitForMessageBox(app.Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "Removal Succeed");
    EXPECT_EQ(box.text, "Password protection for\nMy Editor\nhas been removed successfully.");
    EXPECT_EQ(GetWindow(box.window, GW_OWNER), app.main);
    EXPECT_FALSE(IsWindowVisible(security));
    ASSERT_TRUE(PressToClose(box.window));
    EXPECT_TRUE(CommandDone(app));

    // The very shortcut that was protected, long target and all.
    EXPECT_EQ(ReadFileBytes(m_link), m_original);
    ShortcutInfo restored;
    ASSERT_GE(ReadShortcut(m_link, restored), 0);
    EXPECT_EQ(restored.targetPath, m_program);
    EXPECT_EQ(restored.arguments, "-f $HOME *.txt");
    EXPECT_FALSE(ReadFileBytes(recordPath).value_or("").empty()) << "the record stays";

    PressCloseBox(app.main);
    EXPECT_TRUE(app.process.WaitForExit());
}

TEST_F(RemoveCommandTest, CancellingOrABadRecordWritesNothing)
{
    const std::string recordPath = MakeProtectedShortcut("01022027111111");
    const std::optional<std::string> protectedBytes = ReadFileBytes(m_link);
    ASSERT_FALSE(protectedBytes.value_or("").empty());
    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);

    // Cancelling the file dialog.
    Press(app.main, IDC_REMOVE);
    HWND picker = WaitForFileDialog(app.Id(), kRemoveTitle);
    ASSERT_NE(picker, nullptr);
    Press(picker, IDCANCEL);
    EXPECT_TRUE(CommandDone(app));

    // Cancelling the Security dialog, with the right password typed, by each way out.
    for (const WayToCancel& way : kWaysToCancel) {
        SCOPED_TRACE(way.how);
        PickForRemoval(app, m_link);
        HWND security = WaitForWindow(app.Id(), "Security");
        ASSERT_NE(security, nullptr);
        SetControlText(security, IDC_PASSWORD, kPassword);
        way.press(security);
        EXPECT_TRUE(CommandDone(app));
        EXPECT_EQ(ReadFileBytes(m_link), protectedBytes);
    }

    // A file that is not a shortcut ends the command without a word. (A message box left open
    // would stop the next pick.)
    const std::string notALink = m_links + "\\program.exe";
    ASSERT_TRUE(WriteFileBytes(notALink, "MZ not a link"));
    PickForRemoval(app, notALink);
    EXPECT_TRUE(CommandDone(app));
    EXPECT_EQ(ReadFileBytes(notALink), "MZ not a link");

    // A damaged record is reported before any password is asked; the shortcut stays as it is.
    ASSERT_TRUE(WriteFileBytes(recordPath, "only one line\r\n."));
    PickForRemoval(app, m_link);
    MessageBoxInfo box = WaitForMessageBox(app.Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, kAppTitle);
    EXPECT_EQ(box.text,
              "The protection record of this shortcut is damaged:\n" + recordPath + "\nThe shortcut has not been changed.");
    EXPECT_EQ(FindTopWindow(app.Id(), "Security"), nullptr);
    ASSERT_TRUE(PressToClose(box.window));
    EXPECT_TRUE(CommandDone(app));
    EXPECT_EQ(ReadFileBytes(m_link), protectedBytes);

    // Without its record the shortcut is not a protected one.
    ASSERT_TRUE(DeleteFileA(recordPath.c_str()));
    PickForRemoval(app, m_link);
    box = WaitForMessageBox(app.Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, kAppTitle);
    EXPECT_EQ(box.text, "The shortcut you selected doesn't seem to be a protected one.\n(Failed to open lki file)");
    ASSERT_TRUE(PressToClose(box.window));
    EXPECT_TRUE(CommandDone(app));
    EXPECT_EQ(ReadFileBytes(m_link), protectedBytes);

    PressCloseBox(app.main);
    EXPECT_TRUE(app.process.WaitForExit());
}
