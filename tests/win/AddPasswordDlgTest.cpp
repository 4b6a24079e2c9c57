// The Add Password Protection dialog driven from a second thread, as a user would.
#include "app/AddPasswordDlg.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

HWND WaitForWindow(const std::string& caption, HWND after = nullptr)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", caption.c_str()); w;
             w = FindWindowExA(nullptr, w, "#32770", caption.c_str())) {
            if (w != after && IsWindowVisible(w))
                return w;
        }
        Sleep(10);
    }
    return nullptr;
}

bool WaitGone(HWND window)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        Sleep(10);
    }
    return true;
}

std::string ControlText(HWND dialog, int id)
{
    return GetWindowString(GetDlgItem(dialog, id));
}

void Click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Clicks OK and returns the text of the message box that answers, closing it.
std::string OkAndMessage(HWND dialog)
{
    Click(dialog, IDOK);
    HWND box = WaitForWindow(AfxAppTitle());
    if (!box)
        return "(no message box)";
    std::string text = ControlText(box, 0xFFFF);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    WaitGone(box);
    return text;
}

// Shows the dialog modally on this thread while drive works it from another.
INT_PTR RunDialog(CAddPasswordDlg& dialog, const std::function<void(HWND)>& drive)
{
    std::thread driver([&] {
        HWND window = WaitForWindow("Add Password Protection");
        if (!window)
            return;
        drive(window);
        // Whatever drive left open is cancelled, so that DoModal always returns.
        if (IsWindow(window))
            Click(window, IDCANCEL);
    });
    INT_PTR result = dialog.DoModal();
    driver.join();
    return result;
}

} // namespace

TEST(AddPasswordDialog, RefusesAnEmptyOrMistypedPasswordThenTakesTheValues)
{
    CAddPasswordDlg dialog;
    dialog.m_strProgram = "My Editor";
    dialog.m_strTarget = "C:\\PROG~FBU\\LONG~O0U.EXE";
    std::string shown[3], messages[2];
    int focusedId = 0;
    INT_PTR result = RunDialog(dialog, [&](HWND window) {
        shown[0] = ControlText(window, IDC_PROGRAM);
        shown[1] = ControlText(window, IDC_TARGET);
        // Focus arrives once the dialog has been activated.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        do {
            GUITHREADINFO gui = {sizeof gui};
            if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui) && gui.hwndFocus &&
                GetParent(gui.hwndFocus) == window)
                focusedId = GetDlgCtrlID(gui.hwndFocus);
            if (focusedId != 0)
                break;
            Sleep(10);
        } while (std::chrono::steady_clock::now() < deadline);
        shown[2] = std::to_string(IsDlgButtonChecked(window, IDC_USEORIGINALICON));

        SetDlgItemTextA(window, IDC_RETYPE, "typed");
        messages[0] = OkAndMessage(window);
        SetDlgItemTextA(window, IDC_PASSWORD, "Secret");
        SetDlgItemTextA(window, IDC_RETYPE, "secret");
        messages[1] = OkAndMessage(window);
        SetDlgItemTextA(window, IDC_RETYPE, "Secret");
        CheckDlgButton(window, IDC_USEORIGINALICON, BST_CHECKED);
        Click(window, IDOK);
        WaitGone(window);
    });
    EXPECT_EQ(shown[0], "My Editor");
    EXPECT_EQ(shown[1], "C:\\PROG~FBU\\LONG~O0U.EXE");
    EXPECT_EQ(shown[2], "0");
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
        SetDlgItemTextA(window, IDC_PASSWORD, "one");
        SetDlgItemTextA(window, IDC_RETYPE, "other");
        Click(window, IDCANCEL);
        WaitGone(window);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, "#32770", AfxAppTitle().c_str()), nullptr);
}
