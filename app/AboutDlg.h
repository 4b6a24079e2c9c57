// The About box: what the tool is, its version, and the maker's web site.
#pragma once

#include "framework/Framework.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    BOOL OnCommand(UINT id, UINT notifyCode) override;

private:
    void OnPoweredBy();
};
