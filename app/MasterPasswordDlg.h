// The Master Password dialog: the new master password typed twice; both blank clears it.
#pragma once

#include "framework/Framework.h"

#include <string>

class CMasterPasswordDlg : public CDialog {
public:
    explicit CMasterPasswordDlg(HWND parent = nullptr);
    ~CMasterPasswordDlg() override;

    std::string m_password;
    std::string m_retype;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
};
