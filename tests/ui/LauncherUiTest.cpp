// lkrun3.exe as a user meets it: a protected shortcut opened the way the shell opens it asks
// for its password and starts its program exactly; bad input is reported and starts nothing.
#include "LauncherResource.h"
#include "resource.h"
#include "win/Files.h"
#include "win/ProtectFiles.h"
#include "win/ShellLink.h"
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "tests/support/Files.h"
#include "tests/support/LaunchProbe.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/ui/LatchkeyUi.h"
#include "tests/ui/UiDriver.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

constexpr char kLauncherTitle[] = "lkrun3";

class LauncherUi : public LauncherInstalledTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_FALSE(ProbeProgram().empty());
        ExpectProbeReportAt(report);
    }

    // Writes a shortcut to target and protects it with the protect command's own file work.
    // keepLongTarget stands for a volume without short names: the target keeps its blanks.
    std::string Protect(const std::string& linkName, const ShortcutInfo& original, const std::string& password,
                        bool keepLongTarget = false)
    {
        const std::string link = scratch.Path() + "\\" + linkName;
        EXPECT_GE(WriteShortcut(link, original), 0);
        LoadedShortcut loaded = LoadShortcutForProtection(link);
        EXPECT_EQ(loaded.result, ProtectResult::Ready);
        if (keepLongTarget)
            loaded.info.targetPath = original.targetPath;
        ProtectOutcome outcome = ApplyProtection(link, loaded, password, false, NextStamp());
        EXPECT_EQ(outcome.result, ProtectResult::Succeeded);
        return link;
    }

    // Opens a file as the shell does when the user double-clicks it.
    static void Open(const std::string& path)
    {
        HINSTANCE result = ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        EXPECT_GT(reinterpret_cast<INT_PTR>(result), 32) << path;
    }

    // Waits for the launcher's Security dialog.
    static HWND WaitForSecurity() { return WaitForWindow(0, kSecurity); }

    // Nothing was started: the launcher's job never held another process, and no report came.
    void ExpectNothingStarted(DWORD processesInJob)
    {
        EXPECT_EQ(processesInJob, 1u) << "the launcher started a program";
        EXPECT_EQ(GetFileAttributesA(report.c_str()), INVALID_FILE_ATTRIBUTES);
    }

    std::string NextStamp() { return "010120260000" + std::to_string(10 + m_nStamps++); }

    ScratchFolder scratch{"lk launcher ui"};
    std::string report = scratch.Path() + "\\report.bin";

private:
    int m_nStamps = 0;
};

TEST_F(LauncherUi, TheRightPasswordStartsTheProgramExactlyAfterAWrongOne)
{
    const std::string longProgram = PlaceProbe(scratch, "Launch Probe Folder\\Launch Probe Program.exe");
    const std::string blankFolderProgram = PlaceProbe(scratch, "Folder With Blanks\\probe program.exe");
    const std::string workDir = scratch.Folder("Work Dir ;%&^!'(),");
    struct Case {
        const char* name;
        std::string target;
        const char* arguments;
        std::string workingDirectory;
        bool keepLongTarget;
        std::string expectedFolder;
    } cases[] = {
        {"risky arguments", longProgram, "\"quoted arg\" \"\" x\"\"y %PATH% ^& | < > ; $X * ? ! \\\" end\\  ", workDir,
         false, workDir},
        {"no arguments, no working directory", longProgram, "", "", false, scratch.Path() + "\\Launch Probe Folder"},
        {"quoted target", blankFolderProgram, "-x \"a b\"", "", true, scratch.Path() + "\\Folder With Blanks"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectProbeReportAt(report);
        ShortcutInfo original;
        original.targetPath = c.target;
        original.arguments = c.arguments;
        original.workingDirectory = c.workingDirectory;
        const std::string link = Protect(std::string(c.name) + ".lnk", original, "Open Sesame", c.keepLongTarget);
        const std::string storedTarget = c.keepLongTarget ? c.target : ShortPath(c.target);

        Open(link);
        HWND dialog = WaitForSecurity();
        ASSERT_NE(dialog, nullptr);
        WindowProcess launcher(dialog, true);
        EXPECT_EQ(_stricmp(launcher.ImagePath().c_str(), SystemLauncher().c_str()), 0) << launcher.ImagePath();
        EXPECT_EQ(ControlText(dialog, IDC_PROGRAM), c.target.substr(c.target.rfind('\\') + 1));
        EXPECT_EQ(ControlText(dialog, IDC_PASSWORD), "");

        // Case and a trailing blank count. The wrong text stays, all of it selected in the
        // focused box, so that the next try replaces it.
        for (const char* wrong : {"open sesame", "Open Sesame "}) {
            SetControlText(dialog, IDC_PASSWORD, wrong);
            // Clicked with the mouse: the focus moves to OK first.
            PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(dialog, IDOK)), TRUE);
            Press(dialog, IDOK);
            MessageBoxInfo box = WaitForMessageBox(launcher.Id());
            ASSERT_NE(box.window, nullptr);
            EXPECT_EQ(box.caption, kLauncherTitle);
            EXPECT_EQ(box.text, "Password not correct!");
            ASSERT_TRUE(PressToClose(box.window));
            EXPECT_TRUE(IsWindowVisible(dialog));
            EXPECT_EQ(ControlText(dialog, IDC_PASSWORD), wrong);
            HWND passwordBox = Control(dialog, IDC_PASSWORD);
            DWORD_PTR selection = 0;
            EXPECT_TRUE(WaitUntil([&] {
                SendMessageTimeoutA(passwordBox, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &selection);
                return FocusedWindow(dialog) == passwordBox && LOWORD(selection) == 0 &&
                       HIWORD(selection) == std::string(wrong).size();
            })) << "not all of the wrong text is selected in the focused password box: focus on "
                << ClassName(FocusedWindow(dialog)) << ", selection " << LOWORD(selection) << " to "
                << HIWORD(selection);
            EXPECT_EQ(launcher.ProcessesInJob(), 1u) << "a wrong password started a program";
        }

        SetControlText(dialog, IDC_PASSWORD, "Open Sesame");
        Press(dialog, IDOK);
        EXPECT_EQ(launcher.WaitForExit(), 0u);
        // The job sees the one program started, so its count of 1 elsewhere means nothing was.
        EXPECT_EQ(launcher.ProcessesInJob(), 2u);
        ProbeReport started = WaitForProbeReport(report);
        ASSERT_TRUE(started.arrived);
        EXPECT_EQ(started.commandLine, MakeCommandLine(storedTarget, c.arguments));
        EXPECT_EQ(started.commandLine.substr(started.commandLine.size() - std::string(c.arguments).size()),
                  c.arguments);
        EXPECT_EQ(LongPath(started.directory), c.expectedFolder);
    }
}

TEST_F(LauncherUi, AShortcutProtectedByLatchkeyOpensItsProgram)
{
    const std::string masterFile = SystemLauncher().substr(0, SystemLauncher().rfind('\\')) + "\\master2.lki";
    ASSERT_EQ(GetFileAttributesA(masterFile.c_str()), INVALID_FILE_ATTRIBUTES) << "a master password would be asked";
    ShortcutInfo original;
    original.targetPath = PlaceProbe(scratch, "Editor Folder\\Long Editor Name.exe");
    original.arguments = "--open \"My File.txt\" 100%";
    original.workingDirectory = scratch.Folder("Editor Documents");
    const std::string link = scratch.Path() + "\\Long Editor.lnk";
    ASSERT_GE(WriteShortcut(link, original), 0);

    // Protected by the tool itself, as a user does it.
    {
        Latchkey app = StartLatchkey();
        ASSERT_NE(app.main, nullptr);
        HWND add = PickForPassword(app, link);
        ASSERT_NE(add, nullptr);
        SetControlText(add, IDC_PASSWORD, "s3cret!");
        SetControlText(add, IDC_RETYPE, "s3cret!");
        Press(add, IDOK);
        MessageBoxInfo box = WaitForMessageBox(app.Id());
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, "Succeed!") << box.text;
        ASSERT_TRUE(PressToClose(box.window));
        Press(app.main, IDCANCEL);
        EXPECT_TRUE(app.process.WaitForExit());
    }

    Open(link);
    HWND dialog = WaitForSecurity();
    ASSERT_NE(dialog, nullptr);
    WindowProcess launcher(dialog, true);
    EXPECT_EQ(ControlText(dialog, IDC_PROGRAM), "Long Editor Name.exe");
    SetControlText(dialog, IDC_PASSWORD, "s3cret!");
    Press(dialog, IDOK);
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    ProbeReport started = WaitForProbeReport(report);
    ASSERT_TRUE(started.arrived);
    EXPECT_EQ(started.commandLine, ShortPath(original.targetPath) + " " + original.arguments);
    EXPECT_EQ(started.directory, original.workingDirectory);
}

TEST_F(LauncherUi, CancelEscapeAndTheCloseBoxStartNothing)
{
    ShortcutInfo original;
    original.targetPath = PlaceProbe(scratch, "Cancelled Program.exe");
    original.arguments = "-never";
    const std::string link = Protect("cancelled.lnk", original, "pw");

    for (const WayToCancel& way : kWaysToCancel) {
        SCOPED_TRACE(way.how);
        ExpectProbeReportAt(report);
        Open(link);
        HWND dialog = WaitForSecurity();
        ASSERT_NE(dialog, nullptr);
        WindowProcess launcher(dialog, true);
        SetControlText(dialog, IDC_PASSWORD, "pw"); // typed, but not confirmed
        way.press(dialog);
        EXPECT_EQ(launcher.WaitForExit(), 0u);
        ExpectNothingStarted(launcher.ProcessesInJob());
    }
}

TEST_F(LauncherUi, BadInputIsReportedAndStartsNothing)
{
    ShortcutInfo original;
    original.targetPath = PlaceProbe(scratch, "Probe.exe");
    original.arguments = "-x";
    const std::string link = Protect("good.lnk", original, "pw");
    ShortcutInfo protectedLink;
    ASSERT_GE(ReadShortcut(link, protectedLink), 0);
    const std::string goodRecord = Unscramble(protectedLink.arguments);

    const std::string damaged = scratch.Path() + "\\damaged record.lki";
    ASSERT_TRUE(WriteWholeFile(damaged, FormatProtectionRecord({"pw", ShortPath(original.targetPath), ""}))); // no blank
    const std::string missing = scratch.Path() + "\\01012026999999.lki";

    struct Case {
        const char* name;
        std::string argument;
        std::string named; // the record path the message names
    } cases[] = {
        {"no argument", "", ""},
        {"missing record", Scramble(missing), missing},
        {"damaged record", Scramble(damaged), damaged},
        {"record path not scrambled", goodRecord, Unscramble(goodRecord)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectProbeReportAt(report);
        Process launcher = Process::StartInJob(SystemLauncher(), scratch.Path(), c.argument);
        ASSERT_NE(launcher.Id(), 0u);
        MessageBoxInfo box = WaitForMessageBox(launcher.Id());
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, kLauncherTitle);
        if (!c.named.empty())
            EXPECT_NE(box.text.find("\n" + c.named + "\n"), std::string::npos) << box.text;
        EXPECT_EQ(FindTopWindow(launcher.Id(), kSecurity), nullptr);
        ASSERT_TRUE(PressToClose(box.window));
        DWORD exitCode = 0;
        ASSERT_TRUE(launcher.WaitForExit(&exitCode));
        EXPECT_EQ(exitCode, 1u);
        ExpectNothingStarted(launcher.ProcessesInJob());
    }
}

TEST_F(LauncherUi, AProgramThatCannotStartIsReportedWithTheSystemsText)
{
    // The program is gone from a folder with a blank: no short form, so the target is quoted.
    ShortcutInfo original;
    original.targetPath = scratch.Folder("Gone Folder") + "\\gone program.exe";
    original.arguments = "-x";
    const std::string link = Protect("gone.lnk", original, "pw");
    ShortcutInfo protectedLink;
    ASSERT_GE(ReadShortcut(link, protectedLink), 0);
    RecordReadResult stored = ParseRecordFile(ReadWholeFile(Unscramble(protectedLink.arguments)));
    ASSERT_EQ(stored.status, RecordStatus::Ok);
    EXPECT_EQ(stored.record.commandLine, "\"" + original.targetPath + "\" -x");

    Open(link);
    HWND dialog = WaitForSecurity();
    ASSERT_NE(dialog, nullptr);
    WindowProcess launcher(dialog, true);
    SetControlText(dialog, IDC_PASSWORD, "pw");
    Press(dialog, IDOK);
    MessageBoxInfo box = WaitForMessageBox(launcher.Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, kLauncherTitle);
    EXPECT_NE(box.text.find(original.targetPath), std::string::npos) << box.text;
    char systemText[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND, 0,
                   systemText, sizeof systemText, nullptr);
    std::string expected = systemText;
    expected = expected.substr(0, expected.find_last_not_of("\r\n ") + 1);
    EXPECT_NE(box.text.find(expected), std::string::npos) << box.text;
    ASSERT_TRUE(PressToClose(box.window));
    EXPECT_EQ(launcher.WaitForExit(), 1u);
}

// The show command a shortcut gives (here: minimised) reaches the program through the launcher,
// while the launcher's own dialog opens normally, so that the password can be typed.
TEST_F(LauncherUi, TheProgramOpensWithTheShowCommandTheLauncherWasGiven)
{
    const std::string notepad = WindowsFolder() + "\\notepad.exe";
    const std::string record = scratch.Path() + "\\01012026000099.lki";
    ASSERT_TRUE(WriteWholeFile(record, FormatProtectionRecord({"pw", MakeCommandLine(notepad, ""), ""})));

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    std::string commandLine = "\"" + SystemLauncher() + "\" " + Scramble(record);
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessA(SystemLauncher().c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               scratch.Path().c_str(), &startup, &started));
    CloseHandle(started.hThread);
    const std::vector<HWND> before = TopWindows(0);
    HWND dialog = WaitForSecurity();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsIconic(dialog)) << "the password dialog opened minimised";
    SetControlText(dialog, IDC_PASSWORD, "pw");
    Press(dialog, IDOK);
    EXPECT_EQ(WaitForSingleObject(started.hProcess, kWaitMs), WAIT_OBJECT_0);
    CloseHandle(started.hProcess);

    HWND window = WaitForWindowWhere(0, [&](HWND candidate) {
        return ClassName(candidate) == "Notepad" && std::find(before.begin(), before.end(), candidate) == before.end();
    });
    ASSERT_NE(window, nullptr) << "Notepad did not open";
    EXPECT_TRUE(IsIconic(window)) << "the program did not open minimised";
    EXPECT_TRUE(CloseProgramOf(window));
}

} // namespace
