#include "app/PickShortcut.h"

#include "core/Messages.h"
#include "framework/Framework.h"
#include "win/Scoped.h"
#include "win/Strings.h"
#include "win/SystemLibrary.h"

#include <commdlg.h>


bool PickShortcut(const std::string& title, std::wstring& pickedPath)
{
    // Room for the longest path Windows knows, so no pick is ever cut short.
    std::wstring file(32768, L'\0');
    const std::wstring wideTitle = ToWide(title);
    const std::wstring filter = ToWide(std::string(text::ShortcutFilter, sizeof text::ShortcutFilter)); // its nulls too

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = AfxGetMainHwnd();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = &file[0];
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = wideTitle.c_str();
    ofn.lpstrDefExt = L"lnk";
    // Without OFN_NOCHANGEDIR the dialog leaves the current directory at the picked folder.
    ofn.Flags = OFN_EXPLORER | OFN_NODEREFERENCELINKS | OFN_HIDEREADONLY;
    // The dialog shows the shell's folders, which need COM; comdlg32 is loaded on the first pick,
    // not at start-up.
    ComApartment com;
    auto getOpenFileName = SystemFunction<decltype(&GetOpenFileNameW)>("comdlg32.dll", "GetOpenFileNameW");
    if (!getOpenFileName || !getOpenFileName(&ofn))
        return false;
    // Taken in UTF-16, so that no look-alike of a backslash or quote becomes the real one.
    pickedPath = file.c_str();
    return true;
}
