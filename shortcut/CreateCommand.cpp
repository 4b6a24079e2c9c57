// The create command's windows: file picker, password dialog and messages around the file work.
#include "app/LinkProtectDlg.h"

HRESULT CLinkProtectDlg::CreateProtection(const std::string&)
{
    return E_NOTIMPL;
}

void CLinkProtectDlg::OnCreate() {}
