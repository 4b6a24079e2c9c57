#pragma once

#include "framework/Framework.h"

// lkrun3.exe: started by a protected shortcut with the scrambled record path as its argument;
// asks for the password and starts the program the record names.
class CLauncherApp : public CWinApp {
public:
    void InitInstance() override;
    int ExitInstance() override;

private:
    // The process exit code: 0 when started or cancelled, 1 when nothing could be started.
    int Launch(const std::string& commandLine);

    int m_exitCode = 1;
};
