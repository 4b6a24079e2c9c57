#include "framework/Framework.h"

#include <gtest/gtest.h>

TEST(Framework, MessageBoxCaptionIsTheProgramNameWithoutExtension)
{
    EXPECT_EQ(AfxAppTitle(), "framework_tests");
}

TEST(Framework, WindowTextIsReadWhole)
{
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    std::string longText(5000, 'x');
    longText += "end";
    SetWindowTextA(edit, longText.c_str());
    EXPECT_EQ(GetWindowString(edit), longText);
    DestroyWindow(edit);
}
