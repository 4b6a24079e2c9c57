// The Security dialog in front of a protected program: shows the program's name and takes
// its password; OK closes it only when the password is right. After too many wrong passwords in a
// row it accepts none for a while (core/LockOut): it says how long, and OK stays disabled.
#pragma once

#include "core/History.h"
#include "framework/Framework.h"

#include <string>

class CLaunchPasswordDlg : public CDialog {
public:
    // recordPath names the count of wrong passwords. Each wrong password, and a dialog that opens
    // while the wait runs, goes into the history as an attempt through shortcut on targetPath.
    CLaunchPasswordDlg(const std::string& program, const std::string& expectedPassword, const std::string& recordPath,
                       const std::wstring& shortcut, const std::string& targetPath);
    ~CLaunchPasswordDlg() override;

    std::string m_program;  // edit 1005, read-only
    std::string m_password; // edit 1006, masked

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    // Shows the wait while one runs (OK disabled, the time left) and the prompt again after it;
    // true while it runs.
    bool ShowLockOut();

    std::string m_strExpected;
    std::string m_strRecordPath;
    std::wstring m_strShortcut;
    std::string m_target;
    std::string m_strPrompt; // the template's text, shown again when the wait ends
    bool m_bWaiting = false;
};
