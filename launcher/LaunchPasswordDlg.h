// The Security dialog in front of a protected program: shows the program's name and takes
// its password; OK closes it only when the password is right.
#pragma once

#include "framework/Framework.h"

#include <string>

class CLaunchPasswordDlg : public CDialog {
public:
    CLaunchPasswordDlg(const std::string& program, const std::string& expectedPassword);
    ~CLaunchPasswordDlg() override;

    std::string m_strProgram;  // edit 1005, read-only
    std::string m_strPassword; // edit 1006, masked

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

private:
    std::string m_strExpected;
};
