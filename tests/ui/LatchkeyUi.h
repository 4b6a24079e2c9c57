// What the Latchkey UI tests share: starting the tool, the texts of its windows, and the way
// into the protect command.
#pragma once

#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/ui/UiDriver.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <string>

namespace ui {

constexpr char kMainCaption[] = "Latchkey!";
constexpr char kAppTitle[] = "Latchkey"; // caption of the tool's standard message boxes
constexpr char kProtectPickTitle[] = "SELECT THE SHORTCUT YOU WANT TO ADD PASSWORD PROTECTION";
constexpr char kAddPasswordCaption[] = "Add Password Protection";
// The master prompt, the remove command's dialog and the launcher's share this caption.
constexpr char kSecurity[] = "Security";
constexpr char kShortcutsCaption[] = "Protected shortcuts";

// Where protected shortcuts look for the launcher.
inline std::string SystemLauncher()
{
    return lktest::SystemFolder() + "\\lkrun3.exe";
}

// COM for each test, and the built launcher where protected shortcuts look for it while the
// suite runs (this program's suite only: the tests that do so share a resource lock).
class LauncherInstalledTest : public lktest::ComTest {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(CopyFileA((DistDir() + "\\lkrun3.exe").c_str(), SystemLauncher().c_str(), FALSE));
    }
    static void TearDownTestSuite() { DeleteFileA(SystemLauncher().c_str()); }
};

inline std::string LatchkeyExe()
{
    return DistDir() + "\\Latchkey.exe";
}

// Latchkey.exe running in currentDir, with its main window open.
struct Latchkey {
    Process process;
    HWND main = nullptr;

    DWORD Id() const { return process.Id(); }
};

// Starts Latchkey.exe in currentDir (empty: the dist folder) and waits for its main window.
inline Latchkey StartLatchkey(const std::string& currentDir = std::string())
{
    Latchkey app;
    EXPECT_FALSE(DistDir().empty()) << "LK_DIST_DIR is not set";
    app.process = Process::Start(LatchkeyExe(), currentDir.empty() ? DistDir() : currentDir);
    if (app.Id() != 0) {
        app.main = WaitForWindow(app.Id(), kMainCaption);
        EXPECT_NE(app.main, nullptr) << "the main window did not open";
    }
    return app;
}

// Presses CREATE and waits for the file-open dialog; null (and a failure) when none came.
inline HWND OpenProtectPicker(const Latchkey& app)
{
    Press(app.main, IDC_CREATE);
    HWND picker = WaitForFileDialog(app.Id(), kProtectPickTitle);
    EXPECT_NE(picker, nullptr) << "no file-open dialog";
    return picker;
}

// Picks path in a new file-open dialog and waits for the Add Password Protection dialog; null
// (and a failure) when it did not come.
inline HWND PickForPassword(const Latchkey& app, const std::string& path)
{
    HWND picker = OpenProtectPicker(app);
    if (!picker || !PickFile(picker, path))
        return nullptr;
    HWND dialog = WaitForWindow(app.Id(), kAddPasswordCaption);
    EXPECT_NE(dialog, nullptr) << "no Add Password Protection dialog";
    return dialog;
}

// Presses the main window's Shortcuts button and waits for the shortcuts window; null (and a
// failure) when it did not open.
inline HWND OpenShortcutsWindow(const Latchkey& app)
{
    Press(app.main, IDC_SHORTCUTS);
    HWND window = WaitForWindow(app.Id(), kShortcutsCaption);
    EXPECT_NE(window, nullptr) << "the shortcuts window did not open";
    return window;
}

// Closes the shortcuts window, then the tool from its main window, which ends with exit code 0.
inline void CloseWindowAndTool(Latchkey& app, HWND window)
{
    Press(window, IDCANCEL);
    EXPECT_TRUE(WaitForWindowGone(window));
    Press(app.main, IDCANCEL);
    DWORD exitCode = 1;
    EXPECT_TRUE(app.process.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

} // namespace ui
