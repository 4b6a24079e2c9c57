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

TEST(Framework, WithoutBoxesTheTextGoesToStandardError)
{
    CWinApp app;
    app.m_noBoxes = true;
    HANDLE read = nullptr, write = nullptr;
    ASSERT_TRUE(CreatePipe(&read, &write, nullptr, 0));
    const HANDLE before = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_ERROR_HANDLE, write);
    // Nothing waits for an answer that nobody can give.
    EXPECT_EQ(AfxMessageBox("Could not write\nthe report."), IDOK);
    EXPECT_EQ(AfxMessageBox("Go on?", MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox("Retry?", MB_RETRYCANCEL), IDCANCEL);
    SetStdHandle(STD_ERROR_HANDLE, before);
    CloseHandle(write);
    std::string told(256, '\0');
    DWORD size = 0;
    ReadFile(read, &told[0], static_cast<DWORD>(told.size()), &size, nullptr);
    told.resize(size);
    CloseHandle(read);
    EXPECT_EQ(told, "Could not write\r\nthe report.\r\nGo on?\r\nRetry?\r\n");
}
