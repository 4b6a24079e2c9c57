// Kept protection through the real programs: /keep, /check and /unkeep run as a script or the
// logon task runs them (standard error, no window, exit codes), over every profile's places, an
// update that puts shortcuts back and deletes a record, and the launcher asking the kept password.
#include "LauncherResource.h"
#include "core/MasterPassword.h"
#include "core/Messages.h"
#include "core/Scramble.h"
#include "tests/support/Files.h"
#include "tests/support/LaunchProbe.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"
#include "tests/ui/LatchkeyUi.h"
#include "tests/ui/SmallMachine.h"
#include "win/History.h"
#include "win/LogonTask.h"
#include "win/RemoveFiles.h"
#include "win/ShellLink.h"
#include "win/Scoped.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

constexpr char kKeptPassword[] = "Kept pw 1";

// What a run of Latchkey.exe as a script left: its exit code, its standard error, and whether a
// window of it showed up.
struct ToolRun {
    DWORD exitCode = STILL_ACTIVE;
    std::string errors;
    bool windowShown = false;
};

// Runs Latchkey.exe with arguments, its standard error into errorFile and, when input is given,
// its standard input from a pipe holding it (else none), as a script runs it.
ToolRun RunTool(const std::string& arguments, const std::optional<std::string>& input, const std::string& errorFile)
{
    ToolRun run;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    UniqueHandle errors = OwnHandle(CreateFileA(errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (input) {
        EXPECT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherited, 0));
        SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(writeEnd, input->data(), static_cast<DWORD>(input->size()), &written, nullptr));
        CloseHandle(writeEnd);
    }
    UniqueHandle inputEnd = OwnHandle(readEnd);
    Process tool = Process::StartWithStandardHandles(LatchkeyExe(), DistDir(), arguments, inputEnd.get(), errors.get());
    if (!tool.Id())
        return run;
    // Watched until it ends: a window of a run nobody can answer would wait forever.
    const ULONGLONG deadline = GetTickCount64() + 60000;
    bool ended = false;
    while (!(ended = tool.WaitForExit(&run.exitCode, 20)) && GetTickCount64() < deadline)
        run.windowShown = run.windowShown || !TopWindows(tool.Id()).empty();
    if (!ended) {
        ADD_FAILURE() << "Latchkey.exe " << arguments << " did not end";
        run.exitCode = STILL_ACTIVE;
        tool.Kill();
    }
    errors.reset();
    run.errors = ReadFileBytes(errorFile).value_or("");
    return run;
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

bool StartsLauncher(const std::string& link)
{
    LinkSpec read;
    return SUCCEEDED(ReadLink(link, read)) && _stricmp(read.target.c_str(), SystemLauncher().c_str()) == 0;
}

// The record a protected shortcut names.
std::string RecordOf(const std::string& link)
{
    LinkSpec read;
    EXPECT_HRESULT_SUCCEEDED(ReadLink(link, read)) << link;
    return Unscramble(read.arguments);
}

std::string AllUsersPrograms()
{
    char folder[MAX_PATH] = {};
    EXPECT_HRESULT_SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_COMMON_STARTMENU, nullptr, SHGFP_TYPE_CURRENT, folder));
    return std::string(folder) + "\\Programs";
}

std::string LatchkeyData()
{
    char folder[MAX_PATH] = {};
    EXPECT_HRESULT_SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder));
    return std::string(folder) + "\\Latchkey";
}

// Nothing kept and no logon task, before and after each test: the kept store is the machine's.
void ForgetKeptPrograms()
{
    DeleteFileA((LatchkeyData() + "\\Kept\\programs.txt").c_str());
    ComApartment com;
    DeleteCheckTask();
}

class KeptProtection : public LauncherInstalledTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ForgetKeptPrograms();
        ASSERT_FALSE(ProbeProgram().empty());
        ASSERT_TRUE(MakeFolders(allUsers));
        for (const std::string& folder : {ann + "\\Desktop", bob + "\\Desktop", publicFolder + "\\Desktop"})
            ASSERT_TRUE(MakeFolders(folder));
        ASSERT_TRUE(WriteFileBytes(passwordFile, std::string(kKeptPassword) + "\r\nnot the password\r\n"));
    }
    void TearDown() override
    {
        ForgetKeptPrograms();
        RemoveTree(allUsers);
        LauncherInstalledTest::TearDown();
    }

    std::string Link(const std::string& path, const std::string& target)
    {
        LinkSpec wanted;
        wanted.target = target;
        wanted.arguments = "--level 3";
        EXPECT_HRESULT_SUCCEEDED(MakeLink(path, wanted)) << path;
        return path;
    }

    ToolRun Run(const std::string& arguments, const std::optional<std::string>& input = std::nullopt)
    {
        return RunTool(arguments, input, scratch / "stderr.txt");
    }

    void SetPasswordFileMode(const char* mode)
    {
        ASSERT_EQ(RunLinux(std::string("chmod ") + mode + " " + ShellQuote(UnixPath(passwordFile))), 0);
    }

    // The launcher opened as the shortcut opens it: a wrong password is refused and starts
    // nothing, the password given starts the program.
    void ExpectLauncherStartsFor(const std::string& link, const std::string& password)
    {
        ExpectLauncherStartsFor(ToWide(link), password);
    }
    void ExpectLauncherStartsFor(const std::wstring& wideLink, const std::string& password)
    {
        const std::string link = ToUtf8(wideLink);
        ExpectProbeReportAt(report);
        ShortcutInfo read;
        ASSERT_HRESULT_SUCCEEDED(ReadShortcut(wideLink, read));
        Process launcher = Process::StartInJob(SystemLauncher(), scratch.Path(), read.arguments);
        HWND dialog = WaitForWindow(launcher.Id(), kSecurity);
        ASSERT_NE(dialog, nullptr) << link;
        SetControlText(dialog, IDC_PASSWORD, "Not the kept pw");
        Press(dialog, IDOK);
        MessageBoxInfo box = WaitForMessageBox(launcher.Id());
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, "Password not correct!");
        ASSERT_TRUE(PressToClose(box.window));
        EXPECT_EQ(launcher.ProcessesInJob(), 1u) << "a wrong password started the program";
        SetControlText(dialog, IDC_PASSWORD, password);
        Press(dialog, IDOK);
        DWORD exitCode = STILL_ACTIVE;
        EXPECT_TRUE(launcher.WaitForExit(&exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_TRUE(WaitForProbeReport(report).arrived) << "the kept password did not start " << link;
    }

    ScratchFolder scratch{"lk keep"};
    const std::string ann = scratch.Folder("Profiles\\Ann"), bob = scratch.Folder("Profiles\\Bob"),
                      publicFolder = scratch.Folder("Profiles\\Public");
    TestProfiles profiles{ann, bob, publicFolder};
    const std::string allUsers = AllUsersPrograms() + "\\Latchkey keep test";
    const std::string passwordFile = scratch.Folder("Secrets") + "\\pw.txt";
    const std::string report = scratch / "probe.txt";
};

TEST_F(KeptProtection, KeepsAProgramProtectedThroughAnUpdateUntilItIsLetGo)
{
    const std::string game = PlaceProbe(scratch, "Apps\\Space Game\\Space Game.exe");
    const std::string editor = PlaceProbe(scratch, "Apps\\Editor\\Editor.exe");
    std::vector<std::string> links = {
        Link(ann + "\\Desktop\\Space Game.lnk", game),
        Link(bob + "\\Desktop\\Space Game.lnk", ShortPath(game)), // as an installer may write it
        Link(publicFolder + "\\Desktop\\Space Game.lnk", game),
        Link(allUsers + "\\Space Game.lnk", game),
    };
    const std::string editorLink = Link(ann + "\\Desktop\\Editor.lnk", editor);
    // A shortcut's own name may hold any character.
    const std::wstring greekLink = ToWide(ann) + L"\\Desktop\\\u03A0\u03B1\u03B9\u03C7\u03BD\u03AF\u03B4\u03B9.lnk";
    ASSERT_TRUE(MoveFileW(ToWide(Link(ann + "\\Desktop\\Greek.lnk", game)).c_str(), greekLink.c_str()));
    const std::string keep = "/keep " + Quoted(game) + " /password-file " + Quoted(passwordFile);

    // A password file others can read is refused, and nothing changes.
    SetPasswordFileMode("644");
    std::map<std::string, std::string> before = TreeSnapshot(scratch.Path());
    const std::map<std::string, std::string> menuBefore = TreeSnapshot(allUsers);
    ToolRun run = Run(keep);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_FALSE(run.windowShown);
    EXPECT_NE(run.errors.find("Other users than its owner, Administrators and SYSTEM can read the password file"),
              std::string::npos)
        << run.errors;
    std::map<std::string, std::string> after = TreeSnapshot(scratch.Path());
    after.erase(scratch / "stderr.txt");
    EXPECT_EQ(after, before);
    EXPECT_EQ(TreeSnapshot(allUsers), menuBefore);
    EXPECT_FALSE(FileExists(LatchkeyData() + "\\Kept\\programs.txt"));
    EXPECT_FALSE(CheckTaskRegistered());

    // A private one: every shortcut of the program in every place is protected, a record each.
    SetPasswordFileMode("600");
    run = Run(keep);
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_FALSE(run.windowShown);
    std::vector<std::string> records;
    for (const std::string& link : links) {
        EXPECT_TRUE(StartsLauncher(link)) << link;
        records.push_back(RecordOf(link));
        EXPECT_TRUE(FileExists(records.back())) << records.back();
    }
    EXPECT_EQ(std::set<std::string>(records.begin(), records.end()).size(), links.size());
    EXPECT_FALSE(StartsLauncher(editorLink));
    EXPECT_TRUE(CheckTaskRegistered());
    ExpectLauncherStartsFor(links[0], kKeptPassword);
    EXPECT_TRUE(LoadProtectedShortcut(greekLink).Ready());
    ExpectLauncherStartsFor(greekLink, kKeptPassword);

    // An update puts its shortcuts back, a new one too, and replaces the record of another.
    const std::string lostRecord = records[1];
    const std::optional<std::string> lostBytes = ReadFileBytes(lostRecord);
    ASSERT_TRUE(lostBytes);
    ASSERT_TRUE(DeleteFileA(lostRecord.c_str()));
    Link(links[0], game);
    links.push_back(Link(allUsers + "\\Space Game Safe Mode.lnk", game));
    run = Run("/check");
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_FALSE(run.windowShown);
    for (const std::string& link : links)
        EXPECT_TRUE(StartsLauncher(link)) << link;
    EXPECT_EQ(ReadFileBytes(lostRecord), lostBytes) << "the record did not come back byte for byte";
    EXPECT_FALSE(StartsLauncher(editorLink));
    ExpectLauncherStartsFor(links[1], kKeptPassword);
    ExpectLauncherStartsFor(links[0], kKeptPassword);
    std::vector<std::string> changes;
    for (const HistoryEntry& entry : ReadHistory())
        if (entry.shortcut.rfind(scratch.Path(), 0) == 0 || entry.shortcut.rfind(allUsers, 0) == 0)
            changes.push_back(std::string(HistoryResultText(entry.result)) + " " + entry.shortcut);
    for (const std::string& expected : {"Protected again " + links[0], "Record restored " + links[1],
                                        "Protected again " + links[4]})
        EXPECT_NE(std::find(changes.begin(), changes.end(), expected), changes.end()) << expected;

    // With nothing to do, a check changes nothing on disk.
    const size_t historyEntries = ReadHistory().size();
    before = TreeSnapshot(scratch.Path());
    const std::map<std::string, std::string> menu = TreeSnapshot(allUsers), data = TreeSnapshot(LatchkeyData());
    run = Run("/check");
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_EQ(run.errors, "");
    after = TreeSnapshot(scratch.Path());
    after.erase(scratch / "stderr.txt");
    before.erase(scratch / "stderr.txt");
    EXPECT_EQ(after, before);
    EXPECT_EQ(TreeSnapshot(allUsers), menu);
    EXPECT_EQ(TreeSnapshot(LatchkeyData()), data);
    EXPECT_EQ(ReadHistory().size(), historyEntries);

    // Standard input: a second program kept, a wrong password stops nothing, the right one does.
    run = Run("/keep " + Quoted(editor), std::string("Editor pw\n"));
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_FALSE(run.windowShown);
    EXPECT_TRUE(StartsLauncher(editorLink));
    run = Run("/unkeep " + Quoted(game), std::string("Editor pw\n"));
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.errors.find("This is not the password the program is kept protected with."), std::string::npos)
        << run.errors;
    run = Run("/unkeep " + Quoted(game), std::string(kKeptPassword) + "\r\n");
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_FALSE(run.windowShown);
    EXPECT_TRUE(CheckTaskRegistered()) << "the editor is still kept";

    // Let go, its protection stays, and new shortcuts to it are left alone.
    const std::string fresh = Link(bob + "\\Desktop\\Space Game Again.lnk", game);
    run = Run("/check");
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_FALSE(StartsLauncher(fresh));
    for (const std::string& link : links)
        EXPECT_TRUE(StartsLauncher(link)) << link;

    // The last one let go takes the logon check with it.
    run = Run("-UNKEEP " + Quoted(editor) + " -password-file " + Quoted(passwordFile));
    EXPECT_EQ(run.exitCode, 1u) << "the editor is kept with another password";
    EXPECT_TRUE(CheckTaskRegistered());
    ASSERT_TRUE(WriteFileBytes(passwordFile, "Editor pw"));
    run = Run("-UNKEEP " + Quoted(editor) + " -password-file " + Quoted(passwordFile));
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_FALSE(CheckTaskRegistered());
    EXPECT_TRUE(StartsLauncher(editorLink));
}

// What a script or the logon task meets: reasons on standard error and an exit code, never a box,
// and no master prompt in front of /keep with a password file or of /check; /report /quiet,
// which passes the gate, is refused where a master password would have to be asked.
TEST_F(KeptProtection, UnattendedRunsAnswerOnStandardErrorAndNeverWaitForABox)
{
    const std::string game = PlaceProbe(scratch, "Apps\\Game.exe");
    const std::string link = Link(ann + "\\Desktop\\Game.lnk", game);
    SetPasswordFileMode("600");
    struct Case {
        std::string arguments;
        std::optional<std::string> input;
        DWORD exitCode;
        std::string reason;
    } cases[] = {
        {"/keep " + Quoted(scratch.Path() + "\\missing.exe") + " /password-file " + Quoted(passwordFile), std::nullopt, 1,
         "This is not a program file on this computer's own disks:"},
        {"/keep " + Quoted(game) + " /password-file " + Quoted(scratch / "no such file.txt"), std::nullopt, 1,
         "The password file cannot be read:"},
        {"/keep " + Quoted(game), std::string("\r\n"), 1, "You cannot have empty password."},
        {"/unkeep " + Quoted(game), std::string("pw\n"), 1, "This program is not kept protected:"},
        {"/check now", std::nullopt, 1, "Unexpected text after /check: now"},
        {"/keep /password-file " + Quoted(passwordFile), std::nullopt, 1, "The switch /keep needs the path of a program."},
        {"/report " + Quoted(scratch.Path() + "\\no folder\\r.csv") + " /quiet", std::nullopt, 1,
         "The report could not be written to"},
    };
    for (const Case& c : cases) {
        const ToolRun run = Run(c.arguments, c.input);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
        EXPECT_EQ(run.errors.rfind(c.reason, 0), 0u) << c.arguments << ": " << run.errors;
        EXPECT_FALSE(run.windowShown) << c.arguments;
    }
    EXPECT_FALSE(StartsLauncher(link));

    // A master password guards the tool, not what a script that keeps a program may do.
    const std::string master = SystemFolder() + "\\master2.lki";
    RemoveAtEnd removeMaster;
    ASSERT_TRUE(WriteFileBytes(removeMaster.Add(master), FormatMasterFile("Master pw")));
    ToolRun run = Run("/keep " + Quoted(game) + " /password-file " + Quoted(passwordFile));
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_FALSE(run.windowShown);
    EXPECT_TRUE(StartsLauncher(link));
    Link(link, game);
    run = Run("/check");
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_FALSE(run.windowShown);
    EXPECT_TRUE(StartsLauncher(link));
    run = Run("/report " + Quoted(scratch / "r.csv") + " /quiet");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.errors.rfind("A master password is set, and nobody can answer its prompt here.", 0), 0u)
        << run.errors;
    EXPECT_FALSE(run.windowShown);
    EXPECT_FALSE(FileExists(scratch / "r.csv"));
}

// Removing the protection of a kept program's shortcut is not silently undone by the next check:
// the user is told so and may stop keeping the program with the password just typed.
TEST_F(KeptProtection, RemovingAKeptProgramsProtectionOffersToStopKeepingIt)
{
    const std::string game = PlaceProbe(scratch, "Apps\\Game.exe");
    const std::string link = Link(bob + "\\Desktop\\Game.lnk", game);
    SetPasswordFileMode("600");
    ToolRun run = Run("/keep " + Quoted(game) + " /password-file " + Quoted(passwordFile));
    ASSERT_EQ(run.exitCode, 0u) << run.errors;
    ASSERT_TRUE(StartsLauncher(link));

    for (const int answer : {IDNO, IDYES}) {
        if (answer == IDYES)
            Run("/check");
        ASSERT_TRUE(StartsLauncher(link));
        Process tool = Process::Start(LatchkeyExe(), DistDir(), "/remove " + Quoted(link));
        HWND security = WaitForWindow(tool.Id(), kSecurity);
        ASSERT_NE(security, nullptr);
        SetControlText(security, IDC_PASSWORD, kKeptPassword);
        Press(security, IDOK);
        MessageBoxInfo box = WaitForMessageBox(tool.Id());
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, "Removal Succeed");
        ASSERT_TRUE(PressToClose(box.window));
        box = WaitForMessageBox(tool.Id());
        ASSERT_NE(box.window, nullptr) << "no offer to stop keeping the program";
        EXPECT_EQ(box.text, LongPath(game) +
                                "\nis kept protected: the next check (at every logon) protects this shortcut again.\n\n"
                                "Stop keeping the program protected?");
        ASSERT_TRUE(PressToClose(box.window, answer));
        if (answer == IDYES) {
            box = WaitForMessageBox(tool.Id());
            ASSERT_NE(box.window, nullptr);
            EXPECT_EQ(box.text, LongPath(game) + "\nis no longer kept protected. Its shortcuts stay as they are.");
            ASSERT_TRUE(PressToClose(box.window));
        }
        DWORD exitCode = STILL_ACTIVE;
        EXPECT_TRUE(tool.WaitForExit(&exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_FALSE(StartsLauncher(link));
        EXPECT_EQ(CheckTaskRegistered(), answer == IDNO);
    }
    // Let go: the next check leaves the shortcut as the user made it.
    run = Run("/check");
    EXPECT_EQ(run.exitCode, 0u) << run.errors;
    EXPECT_FALSE(StartsLauncher(link));
}

// A batch remove in the shortcuts window offers the same, once for each kept program however many
// of its shortcuts were removed, and every answer stands: those let go stay let go.
TEST_F(KeptProtection, ABatchRemoveOffersToStopKeepingEachKeptProgramOnce)
{
    const std::map<std::string, int> answers{{"Alpha.exe", IDYES}, {"Beta.exe", IDNO}, {"Gamma.exe", IDYES}};
    std::map<std::string, std::string> programs; // by file name
    for (const auto& answer : answers) {
        programs[answer.first] = scratch / ("Apps\\" + answer.first);
        ASSERT_TRUE(WriteFileBytes(programs[answer.first], "MZ"));
    }
    const std::set<std::string> links{LongPath(Link(ann + "\\Desktop\\Alpha.lnk", programs["Alpha.exe"])),
                                      LongPath(Link(publicFolder + "\\Desktop\\Alpha.lnk", programs["Alpha.exe"])),
                                      LongPath(Link(bob + "\\Desktop\\Beta.lnk", programs["Beta.exe"])),
                                      LongPath(Link(ann + "\\Desktop\\Gamma.lnk", programs["Gamma.exe"]))};
    SetPasswordFileMode("600");
    for (const auto& program : programs) {
        const ToolRun run = Run("/keep " + Quoted(program.second) + " /password-file " + Quoted(passwordFile));
        ASSERT_EQ(run.exitCode, 0u) << run.errors;
    }

    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);
    HWND window = OpenShortcutsWindow(app);
    ASSERT_NE(window, nullptr);
    HWND list = Control(window, IDC_SHORTCUTLIST);
    std::vector<int> ours;
    ASSERT_TRUE(WaitUntil([&] {
        ours.clear();
        const std::vector<std::vector<std::string>> rows = ListViewRows(list, 4);
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].size() == 4 && rows[i][3] == "Protected" &&
                links.count(rows[i][1] + "\\" + rows[i][0]))
                ours.push_back(static_cast<int>(i));
        return ours.size() == links.size();
    }));
    SelectListViewRows(list, ours);
    Press(window, IDC_REMOVESELECTED);
    HWND security = WaitForWindow(app.Id(), kSecurity);
    ASSERT_NE(security, nullptr);
    SetControlText(security, IDC_PASSWORD, kKeptPassword);
    Press(security, IDOK);
    MessageBoxInfo box = WaitForMessageBox(app.Id());
    ASSERT_NE(box.window, nullptr) << "no summary of the batch";
    ASSERT_TRUE(PressToClose(box.window));

    // Each question answered by the program it names; after a Yes, the box that tells so.
    std::vector<std::string> offered;
    while (offered.size() < answers.size()) {
        box = WaitForMessageBox(app.Id());
        ASSERT_NE(box.window, nullptr) << "no offer after " << offered.size();
        const auto answer = std::find_if(answers.begin(), answers.end(), [&](const auto& program) {
            return box.text == StopKeepingQuestionText(LongPath(programs[program.first]));
        });
        ASSERT_NE(answer, answers.end()) << box.text;
        offered.push_back(answer->first);
        ASSERT_TRUE(PressToClose(box.window, answer->second));
        if (answer->second == IDYES) {
            box = WaitForMessageBox(app.Id());
            ASSERT_NE(box.window, nullptr);
            EXPECT_EQ(box.text, LongPath(programs[answer->first]) +
                                    "\nis no longer kept protected. Its shortcuts stay as they are.");
            ASSERT_TRUE(PressToClose(box.window));
        }
    }
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered, (std::vector<std::string>{"Alpha.exe", "Beta.exe", "Gamma.exe"}));
    // The window reads the kept programs again once the offers are over: only the one kept is left.
    HWND keptList = Control(window, IDC_KEPTLIST);
    ASSERT_TRUE(WaitUntil([&] { return ListBoxItems(keptList).size() == 1; }));
    EXPECT_EQ(_stricmp(ListBoxItems(keptList)[0].c_str(), LongPath(programs["Beta.exe"]).c_str()), 0);
    const std::vector<HWND> open = TopWindows(app.Id());
    EXPECT_TRUE(std::none_of(open.begin(), open.end(), IsMessageBox)) << "a box after the offers";
    EXPECT_TRUE(CheckTaskRegistered());
    for (const std::string& link : links)
        EXPECT_FALSE(StartsLauncher(link)) << link;

    CloseWindowAndTool(app, window);
}

} // namespace
