// The Security dialog: asks for the existing master password. It checks nothing itself; its
// caller compares the typed text and runs it again with that text still in the box.
#pragma once

#include "framework/Framework.h"

#include <string>

class CMasterPromptDlg : public CDialog {
public:
    explicit CMasterPromptDlg(HWND parent = nullptr);
    ~CMasterPromptDlg() override;

    std::string m_password;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Always closes with IDOK: a typed text that does not convert is emptied, so the caller
    // finds it wrong like any other.
    void OnOK() override;
};
