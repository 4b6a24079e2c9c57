// What the Latchkey UI tests share: starting the tool and the texts of its windows.
#pragma once

#include "tests/ui/UiDriver.h"

#include <gtest/gtest.h>

#include <string>

namespace ui {

constexpr char kMainCaption[] = "Latchkey!";
constexpr char kAppTitle[] = "Latchkey"; // caption of the tool's standard message boxes

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

} // namespace ui
