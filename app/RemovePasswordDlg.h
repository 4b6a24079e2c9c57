// The Security dialog of the remove command: asks for the password that was set for the link.
#pragma once

#include "framework/Framework.h"

#include <string>
#include <vector>

class CRemovePasswordDlg : public CDialog {
public:
    explicit CRemovePasswordDlg(HWND parent = nullptr);
    ~CRemovePasswordDlg() override;

    std::string m_strPassword;     // typed by the user
    std::wstring m_strTarget;      // "Target shortcut: " and the picked path
    std::wstring m_strProgram;      // the picked shortcut's base name
    // The passwords of the records (one for a single shortcut), any of which is taken; never shown.
    std::vector<std::string> m_linkPasswords;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Closes only on the exact password of one of the records; a wrong one is refused and stays
    // in its box.
    void OnOK() override;
};
