// The master password as a user meets it: the Security prompt at start-up, and the Set master
// password command with its dialog, against the real master2.lki in the prefix's system folder.
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/UnixShell.h"
#include "tests/ui/LatchkeyUi.h"

#include "resource.h"
#include "core/MasterPassword.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

constexpr char kMasterDialog[] = "Master Password";
constexpr char kNotCorrect[] = "Password not correct!";
constexpr char kRetype[] = "The password you retyped is not the same as the first one. Try again.";
constexpr char kBlankQuestion[] = "You didn't enter anything as the master password.\n"
                                  "Blank master password means everyone can access this program.\n"
                                  "Are you sure to do it?";

std::string MasterPath()
{
    return SystemFolder() + "\\master2.lki";
}

// Files beside the master file that a write may have left: "master2.lki.*".
std::vector<std::string> MasterLeftovers()
{
    std::vector<std::string> names;
    for (const std::string& name : FolderEntries(SystemFolder()))
        if (name.size() > 12 && _strnicmp(name.c_str(), "master2.lki.", 12) == 0)
            names.push_back(name);
    return names;
}

// A master file left behind would stop every later UI test at the prompt: each test starts and
// ends without one.
class MasterPasswordUi : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(MasterPath().c_str()); }
    void TearDown() override
    {
        DeleteFileA(MasterPath().c_str());
        EXPECT_FALSE(FileExists(MasterPath()));
    }
};

// Starts Latchkey.exe and waits for its Security prompt; no main window may be open.
HWND StartToPrompt(Process& process)
{
    process = Process::Start(LatchkeyExe(), DistDir());
    EXPECT_NE(process.Id(), 0u);
    HWND prompt = WaitForWindow(process.Id(), kSecurity);
    EXPECT_NE(prompt, nullptr) << "no Security prompt";
    EXPECT_EQ(FindTopWindow(process.Id(), kMainCaption), nullptr) << "main window open before the password";
    return prompt;
}

// Presses OK on a Security prompt as it is. A wrong text gets "Password not correct!" (closed
// here) and the prompt again, holding that text, which is returned; the right text gives null.
HWND SubmitPrompt(DWORD pid, HWND prompt, bool expectWrong)
{
    const std::string text = ControlText(prompt, IDC_PASSWORD);
    Press(prompt, IDOK);
    EXPECT_TRUE(WaitForWindowGone(prompt));
    if (!expectWrong)
        return nullptr;
    MessageBoxInfo box = WaitForMessageBox(pid);
    EXPECT_EQ(box.caption, kAppTitle);
    EXPECT_EQ(box.text, kNotCorrect);
    EXPECT_TRUE(PressToClose(box.window));
    HWND again = WaitForWindow(pid, kSecurity);
    EXPECT_NE(again, nullptr) << "the prompt did not come back";
    if (again)
        EXPECT_EQ(ControlText(again, IDC_PASSWORD), text) << "the prompt lost the text typed last";
    return again;
}

HWND TypeIntoPrompt(DWORD pid, HWND prompt, const std::string& text, bool expectWrong)
{
    SetControlText(prompt, IDC_PASSWORD, text);
    return SubmitPrompt(pid, prompt, expectWrong);
}

// Fills both boxes of the Master Password dialog and presses OK.
void TypeNewPassword(HWND dialog, const std::string& password, const std::string& retype)
{
    SetControlText(dialog, IDC_PASSWORD, password);
    SetControlText(dialog, IDC_RETYPE, retype);
    Press(dialog, IDOK);
}

// The Succeed box, owned by the main window; closes it.
void ExpectSucceed(DWORD pid, HWND main)
{
    MessageBoxInfo box = WaitForMessageBox(pid);
    ASSERT_NE(box.window, nullptr) << "no success message";
    EXPECT_EQ(box.caption, "Succeed");
    EXPECT_EQ(box.text, "Master password has been updated.");
    EXPECT_EQ(GetWindow(box.window, GW_OWNER), main);
    EXPECT_TRUE(PressToClose(box.window));
}

void ExitLatchkey(Latchkey& app)
{
    Press(app.main, IDCANCEL);
    DWORD exitCode = 1;
    EXPECT_TRUE(app.process.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

} // namespace

// No file: no prompt. The command opens its dialog at once; the boxes must match (retype message
// first, even with one box blank), a blank pair asks first and No keeps the dialog; the password
// set is stored scrambled and the next start asks for it.
TEST_F(MasterPasswordUi, WithoutAFileNobodyIsAskedAndTheCommandSetsAPasswordForTheNextStart)
{
    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);
    EXPECT_EQ(FindTopWindow(app.Id(), kSecurity), nullptr);

    Press(app.main, IDC_SETMASTER);
    HWND dialog = WaitForWindow(app.Id(), kMasterDialog);
    ASSERT_NE(dialog, nullptr) << "no Master Password dialog";
    EXPECT_EQ(FindTopWindow(app.Id(), kSecurity), nullptr) << "asked for a password that is not set";
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), app.main);
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread));
    EXPECT_EQ(thread.hwndFocus, Control(dialog, IDCANCEL)) << "Cancel comes first";

    const struct {
        const char* password;
        const char* retype;
    } mismatches[] = {{"Secret pw", "secret pw"}, {"", "x"}, {"x", ""}};
    for (const auto& typed : mismatches) {
        SCOPED_TRACE(std::string(typed.password) + "/" + typed.retype);
        TypeNewPassword(dialog, typed.password, typed.retype);
        MessageBoxInfo box = WaitForMessageBox(app.Id());
        EXPECT_EQ(box.caption, kAppTitle);
        EXPECT_EQ(box.text, kRetype);
        EXPECT_EQ(GetWindow(box.window, GW_OWNER), dialog);
        ASSERT_TRUE(PressToClose(box.window));
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(ControlText(dialog, IDC_PASSWORD), typed.password);
        EXPECT_EQ(ControlText(dialog, IDC_RETYPE), typed.retype);
    }

    TypeNewPassword(dialog, "", "");
    MessageBoxInfo question = WaitForMessageBox(app.Id());
    EXPECT_EQ(question.caption, "Disabling master password");
    EXPECT_EQ(question.text, kBlankQuestion);
    EXPECT_EQ(GetWindow(question.window, GW_OWNER), dialog);
    EXPECT_NE(Control(question.window, IDYES), nullptr);
    ASSERT_TRUE(PressToClose(question.window, IDNO));
    EXPECT_TRUE(IsWindowVisible(dialog)) << "No closed the dialog";
    EXPECT_FALSE(FileExists(MasterPath()));

    TypeNewPassword(dialog, "Secret pw", "Secret pw");
    ExpectSucceed(app.Id(), app.main);
    EXPECT_TRUE(WaitForWindowGone(dialog));
    EXPECT_EQ(ReadFileBytes(MasterPath()), FormatMasterFile("Secret pw"));
    EXPECT_TRUE(MasterLeftovers().empty());
    ExitLatchkey(app);

    Process again;
    HWND prompt = StartToPrompt(again);
    ASSERT_NE(prompt, nullptr);
    TypeIntoPrompt(again.Id(), prompt, "Secret pw", false);
    Latchkey next;
    next.main = WaitForWindow(again.Id(), kMainCaption);
    next.process = std::move(again);
    ASSERT_NE(next.main, nullptr) << "the right password did not open the tool";
    ExitLatchkey(next);
}

// The gate refuses other letter case and added blanks, keeps the wrong text in the prompt, and
// opens on the exact text. The command then asks for the current password first; a blank new
// password (after Yes) stores the marker, and the next start asks nobody.
TEST_F(MasterPasswordUi, GateAndCommandAskForTheExactPasswordAndABlankOneOpensTheTool)
{
    ASSERT_TRUE(WriteFileBytes(MasterPath(), FormatMasterFile("Secret pw")));

    Latchkey app;
    HWND prompt = StartToPrompt(app.process);
    ASSERT_NE(prompt, nullptr);
    // No owner at start-up: centred on the screen.
    EXPECT_EQ(GetWindow(prompt, GW_OWNER), nullptr);
    RECT box, screen;
    GetWindowRect(prompt, &box);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
    EXPECT_LE(std::abs((box.left + box.right) / 2 - (screen.left + screen.right) / 2), 2);
    EXPECT_LE(std::abs((box.top + box.bottom) / 2 - (screen.top + screen.bottom) / 2), 2);
    for (const char* wrong : {"secret pw", "Secret pw ", " Secret pw", "Secret"}) {
        SCOPED_TRACE(wrong);
        prompt = TypeIntoPrompt(app.Id(), prompt, wrong, true);
        ASSERT_NE(prompt, nullptr);
        EXPECT_EQ(FindTopWindow(app.Id(), kMainCaption), nullptr);
    }
    // OK again on the text left in the box: refused again.
    prompt = SubmitPrompt(app.Id(), prompt, true);
    ASSERT_NE(prompt, nullptr);
    TypeIntoPrompt(app.Id(), prompt, "Secret pw", false);
    app.main = WaitForWindow(app.Id(), kMainCaption);
    ASSERT_NE(app.main, nullptr);

    // Cancelling the command's prompt ends the command and writes nothing.
    Press(app.main, IDC_SETMASTER);
    prompt = WaitForWindow(app.Id(), kSecurity);
    ASSERT_NE(prompt, nullptr) << "the command did not ask for the current password";
    EXPECT_EQ(GetWindow(prompt, GW_OWNER), app.main);
    prompt = TypeIntoPrompt(app.Id(), prompt, "SECRET PW", true);
    ASSERT_NE(prompt, nullptr);
    ASSERT_TRUE(PressToClose(prompt, IDCANCEL));
    EXPECT_EQ(FindTopWindow(app.Id(), kMasterDialog), nullptr);
    EXPECT_EQ(ReadFileBytes(MasterPath()), FormatMasterFile("Secret pw"));

    Press(app.main, IDC_SETMASTER);
    prompt = WaitForWindow(app.Id(), kSecurity);
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(ControlText(prompt, IDC_PASSWORD), "") << "each run of the command starts with an empty prompt";
    TypeIntoPrompt(app.Id(), prompt, "Secret pw", false);
    HWND dialog = WaitForWindow(app.Id(), kMasterDialog);
    ASSERT_NE(dialog, nullptr);
    TypeNewPassword(dialog, "", "");
    MessageBoxInfo question = WaitForMessageBox(app.Id());
    EXPECT_EQ(question.caption, "Disabling master password");
    ASSERT_TRUE(PressToClose(question.window, IDYES));
    ExpectSucceed(app.Id(), app.main);
    EXPECT_EQ(ReadFileBytes(MasterPath()), FormatMasterFile("openaccess"));
    ExitLatchkey(app);

    Latchkey open = StartLatchkey();
    ASSERT_NE(open.main, nullptr) << "the blank master password still asks";
    EXPECT_EQ(FindTopWindow(open.Id(), kSecurity), nullptr);
    ExitLatchkey(open);
}

// Giving up at the start-up prompt ends the program with exit code 0, silently, and the main
// window never opens.
TEST_F(MasterPasswordUi, CancelEscapeAndTheCloseBoxAtThePromptEndTheProgram)
{
    ASSERT_TRUE(WriteFileBytes(MasterPath(), FormatMasterFile("Secret pw")));
    for (const WayToCancel& way : kWaysToCancel) {
        SCOPED_TRACE(way.how);
        Process process;
        HWND prompt = StartToPrompt(process);
        ASSERT_NE(prompt, nullptr);
        SetControlText(prompt, IDC_PASSWORD, "Secret pw"); // even the right text, unsent
        way.press(prompt);
        bool sawOtherWindow = false;
        EXPECT_TRUE(WaitUntil([&] {
            for (HWND window : TopWindows(process.Id()))
                if (window != prompt)
                    sawOtherWindow = true;
            return !process.Running();
        })) << "still running";
        EXPECT_FALSE(sawOtherWindow) << "a main window or message appeared";
        DWORD exitCode = 1;
        EXPECT_TRUE(process.WaitForExit(&exitCode));
        EXPECT_EQ(exitCode, 0u);
    }
    EXPECT_EQ(ReadFileBytes(MasterPath()), FormatMasterFile("Secret pw"));
}

// A master file that cannot be replaced (the system folder or the file itself locked) is
// reported with its path, no success follows, and the old file stays byte for byte.
TEST_F(MasterPasswordUi, UnwritableLocationIsReportedAndTheOldFileSurvives)
{
    const std::string old = FormatMasterFile("Old pw");
    ASSERT_TRUE(WriteFileBytes(MasterPath(), old));
    Latchkey app;
    HWND prompt = StartToPrompt(app.process);
    ASSERT_NE(prompt, nullptr);
    TypeIntoPrompt(app.Id(), prompt, "Old pw", false);
    app.main = WaitForWindow(app.Id(), kMainCaption);
    ASSERT_NE(app.main, nullptr);

    for (const std::string& locked : {SystemFolder(), MasterPath()}) {
        SCOPED_TRACE(locked);
        ScopedImmutable lock(locked);
        ASSERT_TRUE(lock.IsSet()) << "cannot set the immutable flag";

        Press(app.main, IDC_SETMASTER);
        prompt = WaitForWindow(app.Id(), kSecurity);
        ASSERT_NE(prompt, nullptr);
        TypeIntoPrompt(app.Id(), prompt, "Old pw", false);
        HWND dialog = WaitForWindow(app.Id(), kMasterDialog);
        ASSERT_NE(dialog, nullptr);
        TypeNewPassword(dialog, "New pw", "New pw");

        MessageBoxInfo box = WaitForMessageBox(app.Id());
        EXPECT_EQ(box.caption, kAppTitle);
        EXPECT_EQ(box.text, "Failed to save the master password:\n" + MasterPath() +
                                "\nThe master password has not been changed. Writing to the system folder "
                                "needs administrator rights.");
        ASSERT_TRUE(PressToClose(box.window));
        EXPECT_TRUE(WaitForWindowGone(dialog));
        EXPECT_EQ(WaitForMessageBox(app.Id(), 500).window, nullptr) << "a message followed the failure";
        EXPECT_TRUE(IsWindowVisible(app.main));

        ASSERT_TRUE(lock.Clear()) << "cannot clear the immutable flag";
        EXPECT_EQ(ReadFileBytes(MasterPath()), old);
        EXPECT_TRUE(MasterLeftovers().empty());
    }
    ExitLatchkey(app);
}
