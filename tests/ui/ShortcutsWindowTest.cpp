// The shortcuts window, opened from the main window: the rows and states /report gives, the
// unprotected ones only while "Show all shortcuts" is ticked; a long look answers input
// throughout, stops on Stop keeping what it found, and ends with the window.
#include "tests/support/Files.h"
#include "tests/support/UnixShell.h"
#include "tests/ui/LatchkeyUi.h"
#include "tests/ui/SmallMachine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

constexpr char kShortcutsCaption[] = "Protected shortcuts";

// The list's rows as the report gives them: the Shortcut column is the file name and the Folder
// column its folder.
std::vector<Row> ListRows(HWND window)
{
    std::vector<Row> rows;
    for (const std::vector<std::string>& cells : ListViewRows(Control(window, IDC_SHORTCUTLIST), 4))
        if (cells.size() == 4)
            rows.push_back({cells[1] + "\\" + cells[0], cells[2], cells[3]});
    return rows;
}

HWND OpenShortcutsWindow(const Latchkey& app)
{
    Press(app.main, IDC_SHORTCUTS);
    HWND window = WaitForWindow(app.Id(), kShortcutsCaption);
    EXPECT_NE(window, nullptr) << "the shortcuts window did not open";
    return window;
}

bool Looking(HWND window)
{
    return ControlText(window, IDC_SUMMARY).rfind("Looking for shortcuts", 0) == 0;
}

// True once a look has ended and the summary tells what it found.
bool WaitForLookDone(HWND window)
{
    return WaitUntil([&] {
        const std::string summary = ControlText(window, IDC_SUMMARY);
        return !summary.empty() && !Looking(window);
    });
}

void ShowAll(HWND window, bool all)
{
    SetChecked(window, IDC_SHOWALL, all);
    Press(window, IDC_SHOWALL);
}

class ShortcutsWindow : public LauncherInstalledTest {};

TEST_F(ShortcutsWindow, ShowsTheShortcutsAndStatesOfTheReport)
{
    SmallMachine machine("lk window");
    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);
    HWND window = OpenShortcutsWindow(app);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForLookDone(window));
    EXPECT_NE(ControlText(window, IDC_SUMMARY).find(" broken."), std::string::npos)
        << ControlText(window, IDC_SUMMARY);

    std::vector<Row> notPlain;
    for (const Row& row : machine.expected)
        if (row.state != "Not protected")
            notPlain.push_back(row);
    EXPECT_EQ(machine.Mine(ListRows(window)), notPlain);

    ShowAll(window, true);
    EXPECT_TRUE(WaitUntil([&] { return machine.Mine(ListRows(window)) == machine.expected; }))
        << "with every shortcut shown";
    ShowAll(window, false);
    EXPECT_TRUE(WaitUntil([&] { return machine.Mine(ListRows(window)) == notPlain; }));

    Press(window, IDCANCEL);
    EXPECT_TRUE(WaitForWindowGone(window));
    Press(app.main, IDCANCEL);
    DWORD exitCode = 1;
    EXPECT_TRUE(app.process.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(ShortcutsWindow, ALongLookAnswersInputStopsKeepingWhatItFoundAndEndsWithTheWindow)
{
    // Many shortcuts in one profile's desktop: copies of one, made by the system in one go.
    ScratchFolder scratch("lk many shortcuts");
    const std::string desktop = scratch.Folder("Many\\Desktop");
    TestProfiles profiles(scratch.Folder("Many"), scratch.Folder("Empty"), scratch.Folder("Public"));
    LinkSpec wanted;
    wanted.target = SystemFolder() + "\\notepad.exe";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(desktop + "\\One.lnk", wanted));
    ASSERT_EQ(RunLinux("cd '" + UnixPath(desktop) + "' && seq -f Copy-%g.lnk 6000 | "
                       "xargs -n 500 sh -c 'tee $@ <One.lnk >/dev/null' copy"),
              0);

    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);
    HWND window = OpenShortcutsWindow(app);
    ASSERT_NE(window, nullptr);
    ShowAll(window, true);
    // It answers while it looks.
    ASSERT_TRUE(WaitUntil([&] { return ControlText(window, IDC_SUMMARY).find(" found so far") != std::string::npos; }))
        << ControlText(window, IDC_SUMMARY);
    int answered = 0;
    for (int i = 0; i < 5 && Looking(window); ++i) {
        DWORD_PTR result = 0;
        answered += SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &result) != 0;
    }
    EXPECT_GT(answered, 0) << "the window did not answer within 100 ms while it looked";

    // Stop keeps what was found so far: the list shows as many shortcuts as the summary counts.
    Press(window, IDC_STOPSCAN);
    ASSERT_TRUE(WaitForLookDone(window));
    const std::string summary = ControlText(window, IDC_SUMMARY);
    const size_t counted = std::strtoul(summary.c_str(), nullptr, 10);
    EXPECT_GT(counted, 0u) << summary;
    EXPECT_EQ(ListRows(window).size(), counted) << summary;

    // Closed while it looks again: the window goes, and the tool goes on.
    Press(window, IDC_REFRESH);
    ASSERT_TRUE(WaitUntil([&] { return Looking(window); }));
    Press(window, IDCANCEL);
    EXPECT_TRUE(WaitForWindowGone(window));
    Press(app.main, IDCANCEL);
    DWORD exitCode = 1;
    EXPECT_TRUE(app.process.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

} // namespace
