// The Add Password Protection dialog: the password twice and the "Use original icon" choice.
#pragma once

#include "framework/Framework.h"

#include <string>

class CAddPasswordDlg : public CDialog {
public:
    explicit CAddPasswordDlg(HWND parent = nullptr);
    ~CAddPasswordDlg() override;

    std::wstring m_strProgram;   // base name of the picked shortcut (read-only box)
    std::string m_strPassword;
    std::string m_strRetype;
    std::string m_strTarget;    // the target's short form (read-only box)
    bool m_bUseOriginalIcon = false;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Stays open on an empty password or a retype that differs.
    void OnOK() override;
};
