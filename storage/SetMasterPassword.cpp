#include "app/LinkProtectDlg.h"

void CLinkProtectDlg::SetMasterPassword() {}
