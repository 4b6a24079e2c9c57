// The 32-bit Latchkey.exe started on 64-bit Windows, where it would see another system folder
// than the shell and the 64-bit tool: it says which one to take and ends, before the master
// password and without writing anything.
#include "core/MasterPassword.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/UnixShell.h"
#include "tests/ui/LatchkeyUi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

using namespace lktest;
using namespace ui;

namespace {

// What a folder holds: every file's name with its size and last write time.
std::map<std::string, std::string> Snapshot(const std::string& folder)
{
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do {
        files[entry.cFileName] = std::to_string(entry.nFileSizeLow) + " " + std::to_string(entry.nFileSizeHigh) +
                                 " " + std::to_string(entry.ftLastWriteTime.dwLowDateTime) + " " +
                                 std::to_string(entry.ftLastWriteTime.dwHighDateTime);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return files;
}

TEST(Wow64, The32BitToolSaysToTakeThe64BitOneAndEndsBeforeTheMasterPasswordWritingNothing)
{
    const char* dist32 = std::getenv("LK_DIST_DIR_WIN32");
    ASSERT_NE(dist32, nullptr);
    const std::string tool = DosPath(dist32) + "\\Latchkey.exe";
    ASSERT_TRUE(FileExists(tool)) << tool;

    char wow64[MAX_PATH] = {};
    UINT n = GetSystemWow64DirectoryA(wow64, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH) << "not 64-bit Windows";
    const std::string system32 = SystemFolder();
    // A master password where the 32-bit tool would look for it: its prompt must not come first.
    const std::string master = std::string(wow64) + "\\master2.lki";
    ASSERT_TRUE(WriteFileBytes(master, FormatMasterFile("Secret pw")));
    RemoveAtEnd removeMaster;
    removeMaster.Add(master);

    ScratchFolder start("lkui wow64");
    const auto before32 = Snapshot(system32), beforeWow64 = Snapshot(wow64), beforeStart = Snapshot(start.Path());

    Process latchkey = Process::Start(tool, start.Path());
    ASSERT_NE(latchkey.Id(), 0u);
    MessageBoxInfo box = WaitForMessageBox(latchkey.Id());
    ASSERT_NE(box.window, nullptr) << "no message";
    EXPECT_EQ(box.text, "This is the 32-bit Latchkey. On 64-bit Windows, install and run the 64-bit Latchkey.");
    EXPECT_EQ(box.caption, kAppTitle);
    EXPECT_EQ(TopWindows(latchkey.Id()), std::vector<HWND>{box.window}) << "another window is open";
    ASSERT_TRUE(PressToClose(box.window));
    DWORD exitCode = 0;
    ASSERT_TRUE(latchkey.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 1u);

    EXPECT_EQ(Snapshot(system32), before32);
    EXPECT_EQ(Snapshot(wow64), beforeWow64);
    EXPECT_EQ(Snapshot(start.Path()), beforeStart);
}

} // namespace
