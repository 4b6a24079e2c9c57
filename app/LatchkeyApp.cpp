#include "app/LatchkeyApp.h"

#include "app/MainWindow.h"
#include "app/MasterPasswordCommand.h"

// The one application object.
CLatchkeyApp theApp;

BOOL CLatchkeyApp::InitInstance()
{
    // Giving up at the gate ends the program, with exit code 0, before any window opens; a
    // master password file that cannot be read ends it with exit code 1.
    switch (PassMasterPasswordGate()) {
    case GateResult::Open: break;
    case GateResult::Closed: return FALSE;
    case GateResult::Unreadable: m_nExitCode = 1; return FALSE;
    }

    CMainWindow window;
    m_pMainWnd = &window;
    window.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
