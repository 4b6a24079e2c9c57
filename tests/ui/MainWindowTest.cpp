// The main window as a user sees it: caption, buttons, texts, placement, and the ways to leave.
#include "tests/ui/LatchkeyUi.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ui;

namespace {

// The texts of a dialog's children in tab order, with the class of each: what a user reads.
std::vector<std::string> ChildTexts(HWND dialog)
{
    std::vector<std::string> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        bool icon = ClassName(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        texts.push_back(ClassName(child) + ":" + (icon ? "<icon>" : WindowText(child)));
    }
    return texts;
}

std::vector<std::string> StaticTexts(HWND dialog)
{
    std::vector<std::string> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassName(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            texts.push_back(WindowText(child));
    return texts;
}

POINT Centre(const RECT& r)
{
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

} // namespace

TEST(MainWindow, ShowsItsButtonsAndTextsCentredOnTheScreen)
{
    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);

    EXPECT_EQ(WindowText(app.main), "Latchkey!");
    EXPECT_EQ(ClassName(app.main), "#32770");
    EXPECT_TRUE(GetWindowLongA(app.main, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    const struct {
        int id;
        const char* text;
    } buttons[] = {
        {IDC_CREATE, "Pick a shortcut to CREATE password protection..."},
        {IDC_REMOVE, "Pick a shortcut to REMOVE password protection..."},
        {IDC_SETMASTER, "Set master password..."},
        {IDC_README, "Help"},
        {IDC_ABOUT, "About..."},
        {IDCANCEL, "Exit"},
    };
    for (const auto& button : buttons) {
        SCOPED_TRACE(button.id);
        ASSERT_NE(Control(app.main, button.id), nullptr);
        EXPECT_EQ(ControlText(app.main, button.id), button.text);
        EXPECT_TRUE(IsWindowEnabled(Control(app.main, button.id)));
    }
    EXPECT_EQ(Control(app.main, IDOK), nullptr) << "the main window has no OK button";
    EXPECT_EQ(StaticTexts(app.main),
              (std::vector<std::string>{"Welcome to Latchkey program links protection.",
                                        "This program adds a password prompt to a program shortcut link so that "
                                        "only the user who knows the password can access the program via the "
                                        "shortcut."}));

    // The CREATE button, first in tab order, has the focus. (Wine does not answer WM_GETICON
    // across processes, so the icons are checked on scripts/run's screenshot.)
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(app.main, nullptr), &thread));
    EXPECT_EQ(thread.hwndFocus, Control(app.main, IDC_CREATE));

    RECT window, screen;
    GetWindowRect(app.main, &window);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
    POINT w = Centre(window), s = Centre(screen);
    EXPECT_LE(std::abs(w.x - s.x), 2) << "not centred across the screen";
    EXPECT_LE(std::abs(w.y - s.y), 2) << "not centred down the screen";

    // Minimised it paints its icon itself; restored it is the same window, still answering. A user
    // minimises the window once it is the active one, and again when the first click did nothing:
    // Wine activates a new window a little after showing it, and an activation (or a loss of it,
    // seen as a grey caption on a window that stayed open) that comes after the minimise shows the
    // window again, even after the window was reported active.
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == app.main; })) << "never became the active window";
    bool minimised = false;
    for (int clicks = 0; clicks < 3 && !minimised; ++clicks) {
        PostSysCommand(app.main, SC_MINIMIZE);
        minimised = WaitUntil([&] { return IsIconic(app.main) != FALSE; }, 3000);
    }
    ASSERT_TRUE(minimised) << "did not minimise";
    RedrawWindow(app.main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    PostSysCommand(app.main, SC_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return !IsIconic(app.main); })) << "did not come back";
    EXPECT_EQ(ControlText(app.main, IDC_CREATE), "Pick a shortcut to CREATE password protection...");
    EXPECT_TRUE(app.process.Running());
}

// Exit, the Escape key and the close box each end the program at once, without a question.
TEST(MainWindow, ExitEscapeAndTheCloseBoxEndTheProgram)
{
    for (const WayToCancel& way : kWaysToCancel) {
        SCOPED_TRACE(way.how);
        Latchkey app = StartLatchkey();
        ASSERT_NE(app.main, nullptr);
        way.press(app.main);
        DWORD exitCode = 1;
        EXPECT_TRUE(app.process.WaitForExit(&exitCode)) << "still running";
        EXPECT_EQ(exitCode, 0u);
    }
}

// The About button and the system menu's About entry, its last one, show the same box, centred
// over the main window; Powered by leaves it open; OK closes it and the main window goes on.
TEST(MainWindow, AboutButtonAndSystemMenuEntryShowTheSameAboutBox)
{
    Latchkey app = StartLatchkey();
    ASSERT_NE(app.main, nullptr);

    const std::vector<std::string> expected = {
        "Static:<icon>",
        "Static:Latchkey program shortcut links password protection",
        "Static:Copyright (C) 2026 Halvorn",
        "Button:OK",
        "Static:Version 3.0 Developed by Halvorn",
        "Button:Powered by Halvorn",
        "Static:Comments are welcome and please send to : latchkey@halvorn.example",
    };
    const struct {
        const char* how;
        void (*open)(HWND);
    } ways[] = {
        {"About button", [](HWND main) { Press(main, IDC_ABOUT); }},
        {"last entry of the system menu",
         [](HWND main) {
             ASSERT_NE(OpenSystemMenu(main), nullptr) << "no system menu";
             PressKey(main, VK_END);
             PressKey(main, VK_RETURN);
         }},
        {"system command 16", [](HWND main) { PostSysCommand(main, IDM_ABOUTBOX); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        way.open(app.main);
        HWND about = WaitForWindow(app.Id(), "About");
        ASSERT_NE(about, nullptr) << "no About box";
        EXPECT_EQ(ChildTexts(about), expected);
        EXPECT_EQ(GetWindow(about, GW_OWNER), app.main);
        RECT box, main;
        GetWindowRect(about, &box);
        GetWindowRect(app.main, &main);
        POINT b = Centre(box), m = Centre(main);
        EXPECT_LE(std::abs(b.x - m.x), 2) << "not centred over the main window";
        EXPECT_LE(std::abs(b.y - m.y), 2) << "not centred over the main window";

        // Powered by opens the maker's site (no browser here) and leaves the box open. The focus,
        // moved after the click was posted, tells when the click has been handled.
        HWND poweredBy = Control(about, IDC_POWEREDBY);
        Press(about, IDC_POWEREDBY);
        PostMessageA(about, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(poweredBy), TRUE);
        EXPECT_TRUE(WaitUntil([&] {
            GUITHREADINFO thread = {};
            thread.cbSize = sizeof thread;
            return GetGUIThreadInfo(GetWindowThreadProcessId(about, nullptr), &thread) && thread.hwndFocus == poweredBy;
        }));
        EXPECT_TRUE(IsWindowVisible(about)) << "Powered by closed the About box";

        ASSERT_TRUE(PressToClose(about)) << "OK did not close the About box";
        EXPECT_TRUE(IsWindowVisible(app.main));
    }
    Press(app.main, IDCANCEL);
    EXPECT_TRUE(app.process.WaitForExit());
}
