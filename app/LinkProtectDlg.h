// The main window: a launch pad for the protect, remove and master-password commands.
#pragma once

#include "framework/Framework.h"

#include <string>

class CLinkProtectDlg : public CDialog {
public:
    CLinkProtectDlg();

    // The commands; each returns an HRESULT-style status (negative: failure) that the
    // button handlers ignore.
    HRESULT CreateProtection(const std::string& pickedPath);
    HRESULT RemoveProtection(const std::string& pickedPath);
    void SetMasterPassword();

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT notifyCode) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void OnCreate();
    void OnRemove();
    void OnReadMe();
    void OnAbout();
    // True when it handled the command (the About entry of the system menu).
    bool OnSysCommand(UINT id);
    // True when it painted (the icon of the minimised window).
    bool OnPaint();

    HICON m_hMainIcon;
    std::string m_szStartDir; // the current directory when the window opened; Help returns to it
};
