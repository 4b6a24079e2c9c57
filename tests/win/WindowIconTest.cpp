// The main window's icons, on the real window in this process (Wine answers WM_GETICON only
// there): the title bar's small icon is the icon's own small image, not the large one shrunk.
#include "app/MainWindow.h"

#include "tests/ui/LatchkeyUi.h"
#include "tests/ui/UiDriver.h"

#include <gtest/gtest.h>

#include <thread>

using namespace ui;

namespace {

// The size of an icon's image; 0 x 0 without one.
SIZE IconSize(HICON icon)
{
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return SIZE{0, 0};
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    // A mask alone holds the picture's mask above its colours: twice the height.
    return SIZE{bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

} // namespace

TEST(MainWindowIcons, TheLargeAndTheSmallIconEachHaveTheirSize)
{
    CWinApp app;
    CMainWindow window;
    app.m_pMainWnd = &window;
    SIZE large = {}, small = {};
    std::thread driver([&] {
        HWND main = WaitForWindow(GetCurrentProcessId(), kMainCaption);
        if (!main) {
            ADD_FAILURE() << "the main window did not open";
            return;
        }
        large = IconSize(reinterpret_cast<HICON>(SendMessageA(main, WM_GETICON, ICON_BIG, 0)));
        small = IconSize(reinterpret_cast<HICON>(SendMessageA(main, WM_GETICON, ICON_SMALL, 0)));
        PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
    });
    window.DoModal();
    driver.join();
    EXPECT_EQ(large.cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(large.cy, GetSystemMetrics(SM_CYICON));
    EXPECT_EQ(small.cx, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(small.cy, GetSystemMetrics(SM_CYSMICON));
}
