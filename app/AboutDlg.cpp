#include "app/AboutDlg.h"

#include "resource.h"
#include "win/SystemLibrary.h"

#include <shellapi.h>

namespace {
const char MakerSite[] = "https://halvorn.example/latchkey";
}

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnCommand(UINT id, UINT notifyCode)
{
    if (id == IDC_POWEREDBY && notifyCode == BN_CLICKED) {
        OnPoweredBy();
        return TRUE;
    }
    return FALSE;
}

void CAboutDlg::OnPoweredBy()
{
    // The box stays open whether or not a browser could be started.
    if (auto shellExecute = SystemFunction<decltype(&ShellExecuteA)>("shell32.dll", "ShellExecuteA"))
        shellExecute(nullptr, "open", MakerSite, nullptr, nullptr, SW_SHOWNORMAL);
}
