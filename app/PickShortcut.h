// The file-open dialog both shortcut commands pick their shortcut with.
#pragma once

#include <string>

// Shows the file-open dialog for a shortcut file (.lnk), titled title and owned by the main
// window. Links are not followed, so the .lnk itself is returned, and the current directory is
// left at the picked file's folder. Returns false when the user cancels. The path is UTF-16, as
// the name may hold any character.
bool PickShortcut(const std::string& title, std::wstring& pickedPath);
