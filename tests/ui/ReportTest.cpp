// Latchkey.exe /report <file>: every shortcut in every profile's places and its state, as CSV,
// after a look that changes nothing. The fixture is a machine in small: two profiles of its own
// and a Public folder (registered in the profile list for the test), protected shortcuts with a
// sound, a damaged and a missing record, plain shortcuts to a protected program and to another,
// a damaged shortcut, a folder that leads back to itself, and shortcuts outside those places.
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"
#include "tests/ui/LatchkeyUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

constexpr char kProfileList[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const char* const kTestProfiles[] = {"S-1-5-21-1111-2222-3333-5001", "S-1-5-21-1111-2222-3333-5002"};

std::string RegistryText(HKEY key, const char* name)
{
    char value[1024] = {};
    DWORD size = sizeof value - 1, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return std::string();
    return value;
}

void SetRegistryText(HKEY key, const char* name, const std::string& value, DWORD type = REG_SZ)
{
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
}

// Two profiles of the test's own and its own Public folder in the machine's profile list, taken
// out again (and Public put back) whatever the outcome.
class TestProfiles {
public:
    TestProfiles(const std::string& ann, const std::string& bob, const std::string& publicFolder)
    {
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProfileList, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &m_list),
                  ERROR_SUCCESS);
        m_public = RegistryText(m_list, "Public");
        const std::string paths[] = {ann, bob};
        for (int i = 0; i < 2; ++i) {
            HKEY profile = nullptr;
            EXPECT_EQ(RegCreateKeyExA(m_list, kTestProfiles[i], 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                                      nullptr, &profile, nullptr),
                      ERROR_SUCCESS);
            SetRegistryText(profile, "ProfileImagePath", paths[i], REG_EXPAND_SZ);
            RegCloseKey(profile);
        }
        SetRegistryText(m_list, "Public", publicFolder, REG_EXPAND_SZ);
    }
    ~TestProfiles()
    {
        for (const char* profile : kTestProfiles)
            RegDeleteKeyExA(m_list, profile, KEY_WOW64_64KEY, 0);
        SetRegistryText(m_list, "Public", m_public, REG_EXPAND_SZ);
        RegCloseKey(m_list);
    }
    TestProfiles(const TestProfiles&) = delete;
    TestProfiles& operator=(const TestProfiles&) = delete;

private:
    HKEY m_list = nullptr;
    std::string m_public;
};

// A Unix symbolic link, which Wine shows as a folder: taken away before the scratch folder goes,
// so that its removal does not follow it.
class FolderLink {
public:
    FolderLink(const std::string& link, const std::string& target) : m_link(link)
    {
        EXPECT_EQ(RunLinux("ln -s '" + UnixPath(target) + "' '" + UnixPath(link) + "'"), 0);
    }
    ~FolderLink() { RunLinux("rm -f '" + UnixPath(m_link) + "'"); }
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;

private:
    std::string m_link;
};

struct Row {
    std::string shortcut, program, state;
    bool operator<(const Row& other) const { return shortcut < other.shortcut; }
    bool operator==(const Row& other) const
    {
        return shortcut == other.shortcut && program == other.program && state == other.state;
    }
};

std::ostream& operator<<(std::ostream& out, const Row& row)
{
    return out << row.shortcut << " | " << row.program << " | " << row.state;
}

// The rows of a CSV report, header left out, for the shortcuts under folder; fails unless the
// report begins with the byte-order mark and the header and every line ends in CR LF.
std::vector<Row> ReportRows(const std::string& csv, const std::string& folder)
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
            if (fields[0].compare(0, folder.size(), folder) == 0)
                rows.push_back({fields[0], fields[1], fields[2]});
            fields.assign(1, std::string());
        } else {
            fields.back() += c;
        }
    }
    EXPECT_EQ(fields, std::vector<std::string>(1)) << "the last line is not ended";
    std::sort(rows.begin(), rows.end());
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
    ScratchFolder scratch("lk report");
    const std::string ann = scratch.Folder("Profiles\\Ann");
    const std::string bob = scratch.Folder("Profiles\\Bob");
    const std::string publicFolder = scratch.Folder("Profiles\\Public");
    TestProfiles profiles(ann, bob, publicFolder);

    // The programs, a sound record, a damaged one and the name of one that is gone.
    const std::string game = scratch / "Apps\\Space Game\\Space Game.exe";
    const std::string editor = scratch / "Apps\\Editor.exe";
    ASSERT_TRUE(WriteFileBytes(game, "MZ game") && WriteFileBytes(editor, "MZ editor"));
    const std::string sound = scratch / "Apps\\Space Game\\01012026000001.lki";
    ASSERT_TRUE(WriteFileBytes(sound, FormatProtectionRecord({"pw", ShortPath(game) + " -x", ""})));
    const std::string damaged = scratch / "Apps\\01012026000002.lki";
    ASSERT_TRUE(WriteFileBytes(damaged, "not a record"));
    const std::string gone = scratch / "Apps\\01012026000003.lki";

    auto link = [](const std::string& path, const std::string& target, const std::string& arguments) {
        LinkSpec wanted;
        wanted.target = target;
        wanted.arguments = arguments;
        EXPECT_HRESULT_SUCCEEDED(MakeLink(path, wanted)) << path;
        return path;
    };
    const std::string startMenu = ann + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
    const std::string pinned = ann + "\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned";
    MakeFolders(startMenu + "\\Games");
    MakeFolders(pinned + "\\TaskBar");
    MakeFolders(ann + "\\Desktop");
    MakeFolders(bob + "\\Desktop");
    MakeFolders(publicFolder + "\\Desktop");
    MakeFolders(ann + "\\Documents");
    const std::vector<Row> expected = {
        {link(ann + "\\Desktop\\Space Game.lnk", SystemLauncher(), Scramble(sound)), game, "Protected"},
        // Its target in the short form: compared in the long form.
        {link(startMenu + "\\Games\\Space Game.lnk", ShortPath(game), ""), game,
         "Not protected, starts a protected program"},
        {link(pinned + "\\TaskBar\\Editor.lnk", editor, "--new"), editor, "Not protected"},
        {link(bob + "\\Desktop\\Broken Game.lnk", SystemLauncher(), Scramble(damaged)), "",
         "Protected, record damaged"},
        {link(bob + "\\Desktop\\Lost Game.lnk", SystemLauncher(), Scramble(gone)), "", "Protected, record missing"},
        {link(publicFolder + "\\Desktop\\Space Game.lnk", SystemLauncher(), Scramble(sound)), game, "Protected"},
    };
    // Not a shortcut, not readable as one, and not in a place shortcuts are kept.
    ASSERT_TRUE(WriteFileBytes(bob + "\\Desktop\\notes.txt", "notes"));
    ASSERT_TRUE(WriteFileBytes(bob + "\\Desktop\\Damaged.lnk", "this is no shortcut"));
    link(ann + "\\Documents\\Elsewhere.lnk", editor, "");
    // A folder that leads back to its own parent: each shortcut is still listed once.
    FolderLink loop(bob + "\\Desktop\\Loop", bob + "\\Desktop");

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

    std::vector<Row> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    const std::optional<std::string> csv = ReadFileBytes(report);
    ASSERT_TRUE(csv);
    EXPECT_EQ(ReportRows(*csv, scratch.Path() + "\\"), sorted);

    // Without the launcher in the system folder, no protected shortcut starts anything.
    ASSERT_TRUE(DeleteFileA(SystemLauncher().c_str()));
    const DWORD exitCode = Report(report);
    EXPECT_TRUE(CopyFileA((DistDir() + "\\lkrun3.exe").c_str(), SystemLauncher().c_str(), FALSE));
    ASSERT_EQ(exitCode, 0u);
    for (Row& row : sorted)
        if (row.state == "Protected")
            row.state = "Protected, launcher missing";
    EXPECT_EQ(ReportRows(ReadFileBytes(report).value_or(""), scratch.Path() + "\\"), sorted);
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
