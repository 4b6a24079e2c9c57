// Latchkey.exe's application object: the master-password gate, then the main window.
#pragma once

#include "framework/Framework.h"

class CLatchkeyApp : public CWinApp {
public:
    void InitInstance() override;
    int ExitInstance() override { return m_nExitCode; }

private:
    int m_nExitCode = 0;
};
