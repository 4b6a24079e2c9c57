// Latchkey.exe /report <file>: every shortcut in every profile's places and its state, as CSV,
// after a look that changes nothing, on a machine in small.
#include "tests/support/Files.h"
#include "tests/ui/LatchkeyUi.h"
#include "tests/ui/SmallMachine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

// The rows of a CSV report, header left out; fails unless the report begins with the byte-order
// mark and the header and every line ends in CR LF.
std::vector<Row> ReportRows(const std::string& csv)
{
    const std::string head = "\xEF\xBB\xBFShortcut,Program,State\r\n";
    EXPECT_EQ(csv.substr(0, head.size()), head);
    std::vector<Row> rows;
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = head.size(); i < csv.size(); ++i) {
        const char c = csv[i];
        if (quoted) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"')
                fields.back() += csv[++i];
            else if (c == '"')
                quoted = false;
            else
                fields.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\r') {
            EXPECT_TRUE(i + 1 < csv.size() && csv[i + 1] == '\n') << "a line not ended by CR LF";
            ++i;
            EXPECT_EQ(fields.size(), 3u) << fields[0];
            fields.resize(3);
            rows.push_back({fields[0], fields[1], fields[2]});
            fields.assign(1, std::string());
        } else {
            fields.back() += c;
        }
    }
    EXPECT_EQ(fields, std::vector<std::string>(1)) << "the last line is not ended";
    return rows;
}

// Every file and folder below root with its bytes and its creation and last-write times.
std::map<std::string, std::string> Snapshot(const std::string& root)
{
    std::map<std::string, std::string> snapshot;
    std::vector<std::string> folders{root};
    while (!folders.empty()) {
        const std::string folder = folders.back();
        folders.pop_back();
        for (const std::string& name : FolderEntries(folder)) {
            const std::string path = folder + "\\" + name;
            WIN32_FILE_ATTRIBUTE_DATA data = {};
            if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
                continue;
            std::ostringstream state;
            state << data.ftCreationTime.dwLowDateTime << ' ' << data.ftCreationTime.dwHighDateTime << ' '
                  << data.ftLastWriteTime.dwLowDateTime << ' ' << data.ftLastWriteTime.dwHighDateTime << ' '
                  << data.dwFileAttributes;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (name != "Loop")
                    folders.push_back(path);
            } else {
                state << ' ' << ReadFileBytes(path).value_or("(unreadable)");
            }
            snapshot[path] = state.str();
        }
    }
    return snapshot;
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
    std::map<std::string, std::string> before = Snapshot(scratch.Path());
    ASSERT_EQ(Report(report), 0u);
    std::map<std::string, std::string> after = Snapshot(scratch.Path());
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

} // namespace
