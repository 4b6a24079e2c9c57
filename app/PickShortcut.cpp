#include "app/PickShortcut.h"

#include "core/Messages.h"
#include "framework/Framework.h"
#include "win/Scoped.h"
#include "win/SystemLibrary.h"

#include <commdlg.h>

#include <vector>

bool PickShortcut(const std::string& title, std::string& pickedPath)
{
    // Room for the longest path Windows knows, so no pick is ever cut short.
    std::vector<char> file(32768, '\0');

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = AfxGetMainHwnd();
    ofn.lpstrFilter = text::ShortcutFilter; // its closing null ends the list
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = "lnk";
    // Without OFN_NOCHANGEDIR the dialog leaves the current directory at the picked folder.
    ofn.Flags = OFN_EXPLORER | OFN_NODEREFERENCELINKS | OFN_HIDEREADONLY;
    // The dialog shows the shell's folders, which need COM; comdlg32 is loaded on the first pick,
    // not at start-up.
    ComApartment com;
    auto getOpenFileName = SystemFunction<decltype(&GetOpenFileNameA)>("comdlg32.dll", "GetOpenFileNameA");
    if (!getOpenFileName || !getOpenFileName(&ofn))
        return false;
    pickedPath.assign(file.data());
    return true;
}
