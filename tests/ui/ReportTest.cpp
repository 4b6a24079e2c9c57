// Latchkey.exe /report <file>: every shortcut in every profile's places and its state, as CSV,
// after a look that changes nothing, on a machine in small.
#include "tests/support/Csv.h"
#include "tests/support/Files.h"
#include "tests/ui/LatchkeyUi.h"
#include "tests/ui/SmallMachine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

// The rows of a CSV report, header left out.
std::vector<Row> ReportRows(const std::string& csv)
{
    std::vector<Row> rows;
    for (const std::vector<std::string>& fields : CsvRows(csv, "\xEF\xBB\xBFShortcut,Program,State\r\n", 3))
        rows.push_back({fields[0], fields[1], fields[2]});
    return rows;
}

// Runs Latchkey.exe /report and returns its exit code once it ended.
DWORD Report(const std::string& reportPath)
{
    Process tool = Process::Start(LatchkeyExe(), DistDir(), "/report \"" + reportPath + "\"");
    DWORD exitCode = STILL_ACTIVE;
    EXPECT_TRUE(tool.WaitForExit(&exitCode)) << "the report did not end";
    return exitCode;
}

class ShortcutReport : public LauncherInstalledTest {};

TEST_F(ShortcutReport, ListsEveryShortcutInEveryProfileWithItsStateAndChangesNothing)
{
    SmallMachine machine("lk report");
    const ScratchFolder& scratch = machine.Scratch();

    const std::string reports = scratch.Folder("Reports");
    const std::string report = reports + "\\shortcuts.csv";
    std::map<std::string, std::string> before = TreeSnapshot(scratch.Path(), "Loop");
    ASSERT_EQ(Report(report), 0u);
    std::map<std::string, std::string> after = TreeSnapshot(scratch.Path(), "Loop");
    EXPECT_EQ(after.erase(report), 1u);
    // The report's own folder changes with it; nothing else does.
    before.erase(reports);
    after.erase(reports);
    EXPECT_EQ(after.size(), before.size()) << "the look made or removed a file";
    for (const auto& [path, state] : before)
        EXPECT_EQ(after[path], state) << path << ": the look changed its bytes or time stamps";

    const std::optional<std::string> csv = ReadFileBytes(report);
    ASSERT_TRUE(csv);
    EXPECT_EQ(machine.Mine(ReportRows(*csv)), machine.expected);

    // Without the launcher in the system folder, no protected shortcut starts anything.
    ASSERT_TRUE(DeleteFileA(SystemLauncher().c_str()));
    const DWORD exitCode = Report(report);
    EXPECT_TRUE(CopyFileA((DistDir() + "\\lkrun3.exe").c_str(), SystemLauncher().c_str(), FALSE));
    ASSERT_EQ(exitCode, 0u);
    std::vector<Row> withoutLauncher = machine.expected;
    for (Row& row : withoutLauncher)
        if (row.state == "Protected")
            row.state = "Protected, launcher missing";
    EXPECT_EQ(machine.Mine(ReportRows(ReadFileBytes(report).value_or(""))), withoutLauncher);
}

TEST_F(ShortcutReport, AReportThatCannotBeWrittenSaysWhyAndEndsWithExitCode1)
{
    ScratchFolder scratch("lk report failing");
    const std::string report = scratch.Path() + "\\no such folder\\shortcuts.csv";
    Process tool = Process::Start(LatchkeyExe(), DistDir(), "/report \"" + report + "\"");
    MessageBoxInfo box = WaitForMessageBox(tool.Id());
    ASSERT_NE(box.window, nullptr) << "no message";
    EXPECT_EQ(box.text.rfind("The report could not be written to\n" + report + "\n\n", 0), 0u) << box.text;
    ASSERT_TRUE(PressToClose(box.window));
    DWORD exitCode = 0;
    ASSERT_TRUE(tool.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 1u);
    EXPECT_FALSE(FileExists(report));
}

// Runs /report with a path it must refuse: its message, after the common opening, and exit code 1.
std::string RefusedReport(const std::string& reportPath)
{
    Process tool = Process::Start(LatchkeyExe(), DistDir(), "/report \"" + reportPath + "\"");
    MessageBoxInfo box = WaitForMessageBox(tool.Id());
    EXPECT_NE(box.window, nullptr) << "no message";
    if (!box.window)
        return std::string();
    const std::string opening = "The report could not be written to\n" + reportPath + "\n\n";
    EXPECT_EQ(box.text.rfind(opening, 0), 0u) << box.text;
    EXPECT_TRUE(PressToClose(box.window));
    DWORD exitCode = 0;
    EXPECT_TRUE(tool.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 1u);
    return box.text.substr(std::min(opening.size(), box.text.size()));
}

// What another user can put where the report goes: links at its name or on its way, or a name
// that is no file. Nothing outside the report is written, and a report replaced keeps its
// attributes.
TEST_F(ShortcutReport, NeverWritesThroughLinksNorIntoADeviceOrStream)
{
    ScratchFolder scratch("lk report links");
    const std::string share = scratch.Folder("Share");
    const std::string victim = scratch.Folder("Private") + "\\victim.txt";
    ASSERT_TRUE(WriteFileBytes(victim, "private"));
    const std::string notAFile =
        "This names a device or a stream of a file. Name a file in a folder, such as C:\\Reports\\shortcuts.csv.";
    EXPECT_EQ(RefusedReport(share + "\\report.csv:hidden"), notAFile);
    EXPECT_EQ(RefusedReport("\\\\.\\" + share + "\\report.csv"), notAFile);
    EXPECT_EQ(RefusedReport("\\\\?\\" + share + "\\report.csv"), notAFile);

    // A folder on the way that is a link to another one.
    FolderLink linked(share + "\\Linked", scratch / "Private");
    EXPECT_EQ(RefusedReport(share + "\\Linked\\report.csv"),
              "Its folder is reached through a link or junction, or was moved or replaced while Latchkey was "
              "looking.");
    EXPECT_FALSE(FileExists(scratch / "Private\\report.csv"));

    // A hard link and a symbolic link at the report's name: each is replaced, its file untouched.
    const std::string hard = share + "\\hard.csv", symbolic = share + "\\symbolic.csv";
    ASSERT_EQ(RunLinux("ln " + ShellQuote(UnixPath(victim)) + " " + ShellQuote(UnixPath(hard))), 0);
    ASSERT_EQ(RunLinux("ln -s " + ShellQuote(UnixPath(victim)) + " " + ShellQuote(UnixPath(symbolic))), 0);
    // A report of before, hidden and read-only.
    const std::string kept = share + "\\kept.csv";
    ASSERT_TRUE(WriteFileBytes(kept, "old report"));
    ASSERT_TRUE(SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    for (const std::string& report : {hard, symbolic, kept}) {
        ASSERT_EQ(Report(report), 0u) << report;
        EXPECT_EQ(ReadFileBytes(report).value_or("").rfind("\xEF\xBB\xBFShortcut,Program,State\r\n", 0), 0u)
            << report;
        EXPECT_EQ(ReadFileBytes(victim), "private") << report;
    }
    EXPECT_EQ(GetFileAttributesA(kept.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
    // Nothing is left beside the reports.
    std::vector<std::string> names = FolderEntries(share);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Linked", "hard.csv", "kept.csv", "symbolic.csv"}));
}

} // namespace
