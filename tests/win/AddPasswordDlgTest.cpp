// The Add Password Protection dialog driven from a second thread with the UI driver, as a user would.
#include "app/AddPasswordDlg.h"
#include "tests/ui/UiDriver.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

using namespace ui;

namespace {

constexpr char kCaption[] = "Add Password Protection";

// Clicks OK and returns the text of the message box that answers, closing it.
std::string OkAndMessage(HWND dialog)
{
    Press(dialog, IDOK);
    MessageBoxInfo box = WaitForMessageBox(GetCurrentProcessId());
    if (!box.window)
        return "(no message box)";
    EXPECT_EQ(box.caption, AfxAppTitle());
    EXPECT_TRUE(PressToClose(box.window));
    return box.text;
}

// Shows the dialog modally on this thread while drive works it from another.
INT_PTR RunDialog(CAddPasswordDlg& dialog, const std::function<void(HWND)>& drive)
{
    std::thread driver([&] {
        HWND window = WaitForWindow(GetCurrentProcessId(), kCaption);
        if (!window)
            return;
        drive(window);
        // Whatever drive left open is cancelled, so that DoModal always returns.
        if (IsWindow(window) && IsWindowVisible(window))
            Press(window, IDCANCEL);
    });
    INT_PTR result = dialog.DoModal();
    driver.join();
    return result;
}

} // namespace

TEST(AddPasswordDialog, RefusesAnEmptyOrMistypedPasswordThenTakesTheValues)
{
    CAddPasswordDlg dialog;
    dialog.m_strProgram = L"My Editor";
    dialog.m_strTarget = "C:\\PROG~FBU\\LONG~O0U.EXE";
    std::string shown[3], messages[2];
    int focusedId = 0;
    INT_PTR result = RunDialog(dialog, [&](HWND window) {
        shown[0] = ControlText(window, IDC_PROGRAM);
        shown[1] = ControlText(window, IDC_TARGET);
        // Focus arrives once the dialog has been activated.
        WaitUntil([&] {
            HWND focus = FocusedWindow(window);
            focusedId = focus && GetParent(focus) == window ? GetDlgCtrlID(focus) : 0;
            return focusedId != 0;
        });
        shown[2] = IsChecked(window, IDC_USEORIGINALICON) ? "checked" : "unchecked";

        SetControlText(window, IDC_RETYPE, "typed");
        messages[0] = OkAndMessage(window);
        SetControlText(window, IDC_PASSWORD, "Secret");
        SetControlText(window, IDC_RETYPE, "secret");
        messages[1] = OkAndMessage(window);
        SetControlText(window, IDC_RETYPE, "Secret");
        SetChecked(window, IDC_USEORIGINALICON, true);
        Press(window, IDOK);
        WaitForWindowGone(window);
    });
    EXPECT_EQ(shown[0], "My Editor");
    EXPECT_EQ(shown[1], "C:\\PROG~FBU\\LONG~O0U.EXE");
    EXPECT_EQ(shown[2], "unchecked");
    EXPECT_EQ(messages[0], "You cannot have empty password.");
    EXPECT_EQ(messages[1], "The password you retyped is not the same as the first one. Try again.");
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_strPassword, "Secret");
    EXPECT_EQ(dialog.m_strRetype, "Secret");
    EXPECT_TRUE(dialog.m_bUseOriginalIcon);
    EXPECT_EQ(focusedId, IDC_PASSWORD);
}

TEST(AddPasswordDialog, CancelChecksNothing)
{
    CAddPasswordDlg dialog;
    INT_PTR result = RunDialog(dialog, [&](HWND window) {
        SetControlText(window, IDC_PASSWORD, "one");
        SetControlText(window, IDC_RETYPE, "other");
        Press(window, IDCANCEL);
        WaitForWindowGone(window);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(FindTopWindow(GetCurrentProcessId(), AfxAppTitle()), nullptr);
}
