#include "app/LinkProtectApp.h"

#include "app/LinkProtectDlg.h"
#include "app/MasterPasswordGate.h"
#include "win/Wow64.h"

#include <cstdlib>

// The one application object.
CLinkProtectApp theApp;

BOOL CLinkProtectApp::InitInstance()
{
    // A 32-bit tool on 64-bit Windows would see another system folder than the shell and the
    // 64-bit tool: another master file, icon copies and launcher. Refuse before touching any.
    if (IsWow64()) {
        AfxMessageBox("This is the 32-bit Latchkey. On 64-bit Windows, install and run the 64-bit Latchkey.");
        std::exit(1);
    }
    AfxEnableControlContainer();
    RunMasterPasswordGate();

    CLinkProtectDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
