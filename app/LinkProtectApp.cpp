#include "app/LinkProtectApp.h"

#include "app/LinkProtectDlg.h"
#include "app/MasterPasswordGate.h"

// The one application object.
CLinkProtectApp theApp;

BOOL CLinkProtectApp::InitInstance()
{
    AfxEnableControlContainer();
    RunMasterPasswordGate();

    CLinkProtectDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
