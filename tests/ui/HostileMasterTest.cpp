// The master password gate fails closed: a master2.lki that exists but cannot be read ends the
// tool with exit code 1 before any window opens, and Set master password changes nothing; the
// word that stands for "no master password" cannot be set as a password.
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/UnixShell.h"
#include "tests/ui/LatchkeyUi.h"

#include "resource.h"
#include "core/MasterPassword.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

constexpr char kMasterDialog[] = "Master Password";
constexpr std::size_t kMiB = 1u << 20;

std::string MasterPath()
{
    return SystemFolder() + "\\master2.lki";
}

void RemoveMaster()
{
    SetFileAttributesA(MasterPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(MasterPath().c_str()))
        RemoveDirectoryA(MasterPath().c_str());
}

// The ways a master file can exist and yet not be read.
struct Unreadable {
    const char* name;
    std::optional<std::string> bytes; // the file; nullopt: a folder of that name
    bool heldOpen;                    // another program holds it open and shares nothing
};

const Unreadable kUnreadable[] = {
    {"a folder", std::nullopt, false},
    {"held open by another program", FormatMasterFile("Secret pw"), true},
    {"over 1 MiB", FormatMasterFile("Secret pw") + std::string(kMiB, ' '), false},
};

// An unreadable master file in place for its lifetime.
class UnreadableMaster {
public:
    explicit UnreadableMaster(const Unreadable& how) : m_how(how)
    {
        if (!how.bytes)
            EXPECT_TRUE(CreateDirectoryA(MasterPath().c_str(), nullptr));
        else
            EXPECT_TRUE(WriteFileBytes(MasterPath(), *how.bytes));
        if (how.heldOpen) {
            m_hHeld = CreateFileA(MasterPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            EXPECT_NE(m_hHeld, INVALID_HANDLE_VALUE);
        }
        m_nSystemEntries = FolderEntries(SystemFolder()).size();
    }
    ~UnreadableMaster()
    {
        Release();
        RemoveMaster();
    }
    UnreadableMaster(const UnreadableMaster&) = delete;
    UnreadableMaster& operator=(const UnreadableMaster&) = delete;

    // Lets it go, then expects it exactly as it was put there.
    void ExpectUntouched()
    {
        Release();
        if (m_how.bytes)
            EXPECT_TRUE(ReadFileBytes(MasterPath()) == m_how.bytes) << "the master file changed";
        else
            EXPECT_TRUE(GetFileAttributesA(MasterPath().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
        EXPECT_EQ(FolderEntries(SystemFolder()).size(), m_nSystemEntries) << "a file was left in the system folder";
    }

private:
    void Release()
    {
        if (m_hHeld != INVALID_HANDLE_VALUE)
            CloseHandle(m_hHeld);
        m_hHeld = INVALID_HANDLE_VALUE;
    }

    const Unreadable& m_how;
    HANDLE m_hHeld = INVALID_HANDLE_VALUE;
    std::size_t m_nSystemEntries = 0;
};

// Expects a message box of pid with exactly this text under the tool's caption, and closes it.
void ExpectMessage(DWORD pid, const std::string& text)
{
    MessageBoxInfo box = WaitForMessageBox(pid);
    ASSERT_NE(box.window, nullptr) << "no message box; expected \"" << text << "\"";
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, kAppTitle);
    EXPECT_TRUE(PressToClose(box.window));
}

void TypeNewPassword(HWND dialog, const std::string& password, const std::string& retype)
{
    SetControlText(dialog, IDC_PASSWORD, password);
    SetControlText(dialog, IDC_RETYPE, retype);
    Press(dialog, IDOK);
}

// A master file left behind would stop every later UI test at the prompt: each test starts and
// ends without one.
class HostileMaster : public ::testing::Test {
protected:
    void SetUp() override { RemoveMaster(); }
    void TearDown() override
    {
        RemoveMaster();
        EXPECT_EQ(GetFileAttributesA(MasterPath().c_str()), INVALID_FILE_ATTRIBUTES);
    }
};

} // namespace

TEST_F(HostileMaster, AMasterFileThatCannotBeReadClosesTheToolAtStartUp)
{
    for (const Unreadable& how : kUnreadable) {
        SCOPED_TRACE(how.name);
        UnreadableMaster master(how);
        Process tool = Process::Start(LatchkeyExe(), DistDir());
        ASSERT_NE(tool.Id(), 0u);
        MessageBoxInfo box = WaitForMessageBox(tool.Id());
        ASSERT_NE(box.window, nullptr) << "no message";
        EXPECT_EQ(box.text, "The master password file cannot be read:\n" + MasterPath() + "\nLatchkey will now close.");
        EXPECT_EQ(box.caption, kAppTitle);
        EXPECT_EQ(TopWindows(tool.Id()).size(), 1u) << "another window is open beside the message";
        ASSERT_TRUE(PressToClose(box.window));
        bool sawWindow = false;
        EXPECT_TRUE(WaitUntil([&] {
            if (!TopWindows(tool.Id()).empty())
                sawWindow = true;
            return !tool.Running();
        }));
        EXPECT_FALSE(sawWindow) << "a prompt or the main window opened after the message";
        DWORD exitCode = 0;
        EXPECT_TRUE(tool.WaitForExit(&exitCode));
        EXPECT_EQ(exitCode, 1u);
        master.ExpectUntouched();
    }
}

// The immutable flag stops writes, not reads: the gate still reads the password and asks for it.
// (Under Wine, which runs the tests as root, no permission can make a file unreadable; a file
// held open without sharing stands for a locked one above.)
TEST_F(HostileMaster, AnImmutableMasterFileIsStillReadAndItsPasswordAsked)
{
    const std::string bytes = FormatMasterFile("Secret pw");
    ASSERT_TRUE(WriteFileBytes(MasterPath(), bytes));
    ScopedImmutable lock(MasterPath());
    ASSERT_TRUE(lock.IsSet()) << "cannot set the immutable flag";

    Process tool = Process::Start(LatchkeyExe(), DistDir());
    HWND prompt = WaitForWindow(tool.Id(), kSecurity);
    ASSERT_NE(prompt, nullptr) << "no Security prompt";
    EXPECT_EQ(WaitForMessageBox(tool.Id(), 500).window, nullptr);
    SetControlText(prompt, IDC_PASSWORD, "Secret pw");
    Press(prompt, IDOK);
    HWND main = WaitForWindow(tool.Id(), kMainCaption);
    ASSERT_NE(main, nullptr);
    Press(main, IDCANCEL);
    DWORD exitCode = 1;
    EXPECT_TRUE(tool.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    ASSERT_TRUE(lock.Clear());
    EXPECT_EQ(ReadFileBytes(MasterPath()), bytes);
}

TEST_F(HostileMaster, SetMasterPasswordChangesNothingWhenTheFileCannotBeRead)
{
    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);
    for (const Unreadable& how : kUnreadable) {
        SCOPED_TRACE(how.name);
        UnreadableMaster master(how);
        Press(app.main, IDC_SETMASTER);
        ExpectMessage(app.Id(), "The master password file cannot be read:\n" + MasterPath());
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.main) != FALSE; }));
        EXPECT_EQ(TopWindows(app.Id()), std::vector<HWND>{app.main}) << "a prompt or dialog opened";
        master.ExpectUntouched();
    }
    Press(app.main, IDCANCEL);
    DWORD exitCode = 1;
    EXPECT_TRUE(app.process.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

// Without a master password and with one: "openaccess" is refused, the dialog stays, and the
// file stays as it was.
TEST_F(HostileMaster, TheMarkerWordIsRefusedAsANewMasterPassword)
{
    const std::optional<std::string> masterFiles[] = {std::nullopt, FormatMasterFile("Secret pw")};
    for (const std::optional<std::string>& bytes : masterFiles) {
        SCOPED_TRACE(bytes ? "with a master password" : "without one");
        if (bytes)
            ASSERT_TRUE(WriteFileBytes(MasterPath(), *bytes));
        Latchkey app;
        app.process = Process::Start(LatchkeyExe(), DistDir());
        if (bytes) {
            HWND prompt = WaitForWindow(app.Id(), kSecurity);
            ASSERT_NE(prompt, nullptr);
            SetControlText(prompt, IDC_PASSWORD, "Secret pw");
            Press(prompt, IDOK);
        }
        app.main = WaitForWindow(app.Id(), kMainCaption);
        ASSERT_NE(app.main, nullptr);

        Press(app.main, IDC_SETMASTER);
        if (bytes) {
            HWND prompt = WaitForWindow(app.Id(), kSecurity);
            ASSERT_NE(prompt, nullptr);
            SetControlText(prompt, IDC_PASSWORD, "Secret pw");
            Press(prompt, IDOK);
        }
        HWND dialog = WaitForWindow(app.Id(), kMasterDialog);
        ASSERT_NE(dialog, nullptr);
        TypeNewPassword(dialog, "openaccess", "openaccess");
        ExpectMessage(app.Id(), "This word cannot be used as a password.");
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog closed";
        ASSERT_TRUE(PressToClose(dialog, IDCANCEL));
        EXPECT_EQ(WaitForMessageBox(app.Id(), 500).window, nullptr) << "a message followed the refusal";
        EXPECT_TRUE(ReadFileBytes(MasterPath()) == bytes) << "the master file changed";

        Press(app.main, IDCANCEL);
        EXPECT_TRUE(app.process.WaitForExit());
        RemoveMaster();
    }
}
