// Protecting a shortcut from the main window, as a user does it: the file-open dialog, the Add
// Password Protection dialog, the messages, and what ends up on disk.
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/ui/LatchkeyUi.h"

#include "resource.h"
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

constexpr int kFileTypeBox = 1136; // the file dialog's "Files of type" list
constexpr int kReadOnlyBox = 1040; // its "Open as read-only" check box

class ProtectFromMainWindow : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        m_strProgram = m_folder / "Program Files\\My Editor\\Long Editor Name.exe";
        ASSERT_TRUE(WriteFileBytes(m_strProgram, "MZ not really a program"));
        m_strProgramFolder = m_folder / "Program Files\\My Editor";
        m_strLink = m_folder / "Links\\My Editor.lnk";
        LinkSpec link;
        link.target = m_strProgram;
        link.arguments = "-n \"a file.txt\"";
        link.workingDirectory = "C:\\work here";
        link.description = "Edits text";
        ASSERT_HRESULT_SUCCEEDED(MakeLink(m_strLink, link));
        m_strLinkBytes = ReadFileBytes(m_strLink);
        ASSERT_TRUE(m_strLinkBytes);
        m_strNotALink = m_folder / "Links\\notes.txt";
        ASSERT_TRUE(WriteFileBytes(m_strNotALink, "plain text, not a shortcut\r\n"));
    }

    // Expects one message box with text and caption, answers it and sees it go.
    void ExpectMessage(const Latchkey& app, const std::string& text, const std::string& caption = kAppTitle)
    {
        MessageBoxInfo box = WaitForMessageBox(app.Id());
        ASSERT_NE(box.window, nullptr) << "no message box; expected \"" << text << "\"";
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, caption);
        EXPECT_TRUE(PressToClose(box.window));
    }

    // The command is over: the main window takes input again and nothing else of ours is open.
    void ExpectBackAtMainWindow(const Latchkey& app)
    {
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.main) != FALSE; })) << "the main window stays disabled";
        std::vector<HWND> open = TopWindows(app.Id());
        EXPECT_EQ(open, std::vector<HWND>{app.main});
    }

    void ExpectNothingWritten()
    {
        EXPECT_EQ(FolderEntries(m_strProgramFolder), std::vector<std::string>{"Long Editor Name.exe"});
        EXPECT_EQ(ReadFileBytes(m_strLink), m_strLinkBytes) << "the shortcut was changed";
    }

    ScratchFolder m_folder{"lkui-protect"};
    std::string m_strProgram, m_strProgramFolder, m_strLink, m_strNotALink;
    std::optional<std::string> m_strLinkBytes;
};

} // namespace

// Cancelling either dialog writes nothing and shows nothing; a wrong or empty password keeps the
// dialog open; a good one protects the shortcut, which is then refused as already protected.
TEST_F(ProtectFromMainWindow, CancelRefuseThenProtect)
{
    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);

    // The file-open dialog, cancelled.
    HWND picker = OpenProtectPicker(app);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(GetWindow(picker, GW_OWNER), app.main);
    EXPECT_EQ(ControlText(picker, kFileTypeBox), "Program Link (*.lnk)");
    HWND readOnly = Control(picker, kReadOnlyBox);
    EXPECT_TRUE(!readOnly || !IsWindowVisible(readOnly)) << "the read-only box is shown";
    ASSERT_TRUE(PressToClose(picker, IDCANCEL));
    ExpectBackAtMainWindow(app);
    ExpectNothingWritten();

    // The password dialog shows what was picked, and is cancelled.
    HWND dialog = PickForPassword(app, m_strLink);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(dialog, IDC_PROGRAM), "My Editor");
    EXPECT_EQ(ControlText(dialog, IDC_TARGET), ShortPath(m_strProgram));
    EXPECT_NE(ControlText(dialog, IDC_TARGET), m_strProgram) << "the target is not in its short form";
    EXPECT_FALSE(IsChecked(dialog, IDC_USEORIGINALICON));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), app.main);
    RECT box, main;
    GetWindowRect(dialog, &box);
    GetWindowRect(app.main, &main);
    EXPECT_LE(std::abs((box.left + box.right) / 2 - (main.left + main.right) / 2), 2) << "not centred on the main window";
    EXPECT_LE(std::abs((box.top + box.bottom) / 2 - (main.top + main.bottom) / 2), 2) << "not centred on the main window";
    ASSERT_TRUE(PressToClose(dialog, IDCANCEL));
    ExpectBackAtMainWindow(app);
    ExpectNothingWritten();

    // Refused passwords keep the dialog open.
    dialog = PickForPassword(app, m_strLink);
    ASSERT_NE(dialog, nullptr);
    const struct {
        const char* password;
        const char* retype;
        const char* message;
    } refused[] = {
        {"", "", "You cannot have empty password."},
        {"", "secret", "You cannot have empty password."},
        {"Secret", "secret", "The password you retyped is not the same as the first one. Try again."},
        {"secret", "secret ", "The password you retyped is not the same as the first one. Try again."},
    };
    for (const auto& attempt : refused) {
        SCOPED_TRACE(std::string("\"") + attempt.password + "\" / \"" + attempt.retype + "\"");
        SetControlText(dialog, IDC_PASSWORD, attempt.password);
        SetControlText(dialog, IDC_RETYPE, attempt.retype);
        Press(dialog, IDOK);
        ExpectMessage(app, attempt.message);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog closed";
    }
    ExpectNothingWritten();

    // Accepted.
    SetControlText(dialog, IDC_PASSWORD, "Secret pass");
    SetControlText(dialog, IDC_RETYPE, "Secret pass");
    Press(dialog, IDOK);
    MessageBoxInfo success = WaitForMessageBox(app.Id());
    ASSERT_NE(success.window, nullptr) << "no success message";
    EXPECT_EQ(success.caption, "Succeed!");
    EXPECT_EQ(success.text, "Password protection link for\nMy Editor\nhas been created successfully!");
    EXPECT_EQ(GetWindow(success.window, GW_OWNER), app.main);
    EXPECT_FALSE(IsWindowVisible(dialog)) << "the password dialog is still open";
    EXPECT_TRUE(PressToClose(success.window));
    ExpectBackAtMainWindow(app);

    // On disk: one record beside the program, and the shortcut starts the launcher with its path.
    std::vector<std::string> entries = FolderEntries(m_strProgramFolder);
    ASSERT_EQ(entries.size(), 2u);
    std::string recordName = entries[0] == "Long Editor Name.exe" ? entries[1] : entries[0];
    EXPECT_EQ(recordName.size(), 18u);
    EXPECT_EQ(recordName.substr(14), ".lki");
    std::string shortFolder = ShortPath(m_strProgramFolder);
    std::string recordPath = shortFolder + "\\" + recordName;

    EXPECT_EQ(recordName.find_first_not_of("0123456789"), 14u);
    ProtectionRecord expected{"Secret pass", ShortPath(m_strProgram) + " -n \"a file.txt\"", "C:\\work here"};
    EXPECT_EQ(ReadFileBytes(recordPath), FormatProtectionRecord(expected));

    LinkSpec link;
    ASSERT_HRESULT_SUCCEEDED(ReadLink(m_strLink, link));
    EXPECT_EQ(link.target, SystemFolder() + "\\lkrun3.exe");
    EXPECT_EQ(Unscramble(link.arguments), recordPath);
    EXPECT_EQ(link.workingDirectory, "");
    EXPECT_EQ(link.description, "Edits text");
    EXPECT_EQ(link.iconPath, "");

    // The same shortcut again, and a file that is no shortcut at all.
    picker = OpenProtectPicker(app);
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(PickFile(picker, m_strLink));
    ExpectMessage(app, "The shortcut you selected is already a password protected link.");
    ExpectBackAtMainWindow(app);

    picker = OpenProtectPicker(app);
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(PickFile(picker, m_strNotALink));
    ExpectMessage(app, "Failed to get the shortcut information.\n(Only a shortcut link (.lnk) can be password protected)");
    ExpectBackAtMainWindow(app);
    EXPECT_EQ(FolderEntries(m_strProgramFolder).size(), 2u);

    Press(app.main, IDCANCEL);
    EXPECT_TRUE(app.process.WaitForExit());
}

namespace {

// Folders in the way of every record name of the coming minutes, so that no record can be written.
class RecordNamesBlocked {
public:
    explicit RecordNamesBlocked(const std::string& folder)
    {
        std::time_t now = std::time(nullptr);
        // More seconds than the tool tries before it gives up on a taken name.
        for (std::time_t t = now - 1; t < now + 200; ++t) {
            std::string path = folder + "\\" + FormatTimeStamp(*std::localtime(&t)) + ".lki";
            if (CreateDirectoryA(path.c_str(), nullptr))
                m_vecFolders.push_back(path);
        }
    }
    ~RecordNamesBlocked()
    {
        for (const std::string& path : m_vecFolders)
            RemoveDirectoryA(path.c_str());
    }
    RecordNamesBlocked(const RecordNamesBlocked&) = delete;
    RecordNamesBlocked& operator=(const RecordNamesBlocked&) = delete;

private:
    std::vector<std::string> m_vecFolders;
};

} // namespace

// A record that cannot be written stops before the shortcut is touched; a shortcut that cannot be
// saved says so and leaves nothing behind; "Use original icon" on a program without an icon
// copies nothing and says so.
TEST_F(ProtectFromMainWindow, FailuresToWriteAndTheOriginalIcon)
{
    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);
    const std::string shortFolder = ShortPath(m_strProgramFolder);
    auto typePasswords = [](HWND dialog) {
        SetControlText(dialog, IDC_PASSWORD, "pw");
        SetControlText(dialog, IDC_RETYPE, "pw");
    };

    {
        RecordNamesBlocked blocked(m_strProgramFolder);
        HWND dialog = PickForPassword(app, m_strLink);
        ASSERT_NE(dialog, nullptr);
        typePasswords(dialog);
        Press(dialog, IDOK);
        MessageBoxInfo box = WaitForMessageBox(app.Id());
        ASSERT_NE(box.window, nullptr) << "no message for the record that cannot be written";
        EXPECT_EQ(box.caption, kAppTitle);
        const std::string head = "Failed to write the protection record file:\n" + shortFolder + "\\";
        const std::string tail = ".lki\nThe shortcut has not been changed.";
        EXPECT_EQ(box.text.substr(0, head.size()), head) << box.text;
        EXPECT_EQ(box.text.size(), head.size() + 14 + tail.size()) << box.text;
        EXPECT_EQ(box.text.substr(box.text.size() - std::min(box.text.size(), tail.size())), tail) << box.text;
        EXPECT_TRUE(PressToClose(box.window));
        ExpectBackAtMainWindow(app);
        EXPECT_EQ(ReadFileBytes(m_strLink), m_strLinkBytes) << "the shortcut was changed";
    }
    EXPECT_EQ(FolderEntries(m_strProgramFolder), std::vector<std::string>{"Long Editor Name.exe"});

    {
        HWND dialog = PickForPassword(app, m_strLink);
        ASSERT_NE(dialog, nullptr);
        typePasswords(dialog);
        // Another program holds the shortcut open, so it cannot be saved: found out before the
        // record is written.
        HANDLE held = CreateFileA(m_strLink.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        Press(dialog, IDOK);
        ExpectMessage(app, "The shortcut cannot be written: another program may have it open, or its folder may "
                           "not allow changes.\nThe shortcut has not been changed.");
        CloseHandle(held);
        ExpectBackAtMainWindow(app);
        EXPECT_EQ(ReadFileBytes(m_strLink), m_strLinkBytes) << "the shortcut was changed";
        EXPECT_EQ(FolderEntries(m_strProgramFolder), std::vector<std::string>{"Long Editor Name.exe"})
            << "a record was left behind";
    }

    {
        HWND dialog = PickForPassword(app, m_strLink);
        ASSERT_NE(dialog, nullptr);
        typePasswords(dialog);
        SetChecked(dialog, IDC_USEORIGINALICON, true);
        const std::vector<std::string> systemBefore = FolderEntries(SystemFolder());
        Press(dialog, IDOK);
        // The program holds no icon: nothing is copied, and the message says what shows instead.
        ExpectMessage(app,
                      "Password protection link for\nMy Editor\nhas been created successfully!\n"
                      "Its own icon could not be copied: the shortcut shows the launcher's icon.",
                      "Succeed!");
        ExpectBackAtMainWindow(app);

        LinkSpec link;
        ASSERT_HRESULT_SUCCEEDED(ReadLink(m_strLink, link));
        EXPECT_EQ(link.target, SystemFolder() + "\\lkrun3.exe");
        EXPECT_EQ(link.iconPath, "");
        EXPECT_EQ(link.iconIndex, 0);
        EXPECT_EQ(FolderEntries(SystemFolder()), systemBefore) << "something was copied";
    }

    Press(app.main, IDCANCEL);
    EXPECT_TRUE(app.process.WaitForExit());
}
