// A bare-dialog floor for the start-up benchmark: the program's own dialog template, icon and
// manifest (from its own .rc), shown by a dialog procedure that does nothing. What the real
// program takes beyond this is its own start-up work.
//
// Some variants import a DLL of the real program's (LK_FLOOR_MSI and the like), initialise COM
// first (LK_FLOOR_COINITIALIZE), or do what the launcher's dialog does when it opens: set the
// program's icon (LK_FLOOR_ICON) and come to the foreground (LK_FLOOR_FOREGROUND). They show what
// each costs before the window appears.
#include <windows.h>

#ifdef LK_FLOOR_LAUNCHER
#include "LauncherResource.h"
#define LK_FLOOR_DIALOG IDD_LAUNCHPASSWORD
#else
#include "resource.h"
#define LK_FLOOR_DIALOG IDD_LATCHKEY_DIALOG
#endif

#ifdef LK_FLOOR_MSI
#include <msi.h>
#endif
#ifdef LK_FLOOR_COMDLG32
#include <commdlg.h>
#endif
#ifdef LK_FLOOR_SHELL32
#include <shellapi.h>
#endif
#if defined(LK_FLOOR_OLE32) || defined(LK_FLOOR_COINITIALIZE)
#include <objbase.h>
#endif

#include <cstdlib>

namespace {

INT_PTR CALLBACK FloorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
#ifdef LK_FLOOR_ICON
        if (HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))) {
            SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
            SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        }
#endif
#ifdef LK_FLOOR_FOREGROUND
        SetForegroundWindow(dialog);
#endif
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// Never true: the calls below only make the program import their DLLs, as the real one does.
bool Never()
{
    return __argc > 1000;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (Never()) {
#ifdef LK_FLOOR_MSI
        MsiGetShortcutTargetA(nullptr, nullptr, nullptr, nullptr);
#endif
#ifdef LK_FLOOR_COMDLG32
        GetOpenFileNameA(nullptr);
#endif
#ifdef LK_FLOOR_SHELL32
        ShellExecuteA(nullptr, nullptr, nullptr, nullptr, nullptr, 0);
#endif
#ifdef LK_FLOOR_OLE32
        CoCreateInstance(GUID_NULL, nullptr, 0, GUID_NULL, nullptr);
#endif
    }
#ifdef LK_FLOOR_COINITIALIZE
    CoInitialize(nullptr);
#endif
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(LK_FLOOR_DIALOG), nullptr, FloorProc, 0));
}
