#include "app/LinkProtectDlg.h"

HRESULT CLinkProtectDlg::RemoveProtection(const std::string&)
{
    return E_NOTIMPL;
}

void CLinkProtectDlg::OnRemove() {}
