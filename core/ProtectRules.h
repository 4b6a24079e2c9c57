// The protect command's decisions that need no Windows API: the already-protected test and the
// icon choice.
#pragma once

#include <string>

// The launcher that protected shortcuts start, from the Windows system directory.
inline constexpr char LauncherFileName[] = "lkrun3.exe";

// True when the target's path ends in the launcher's file name, in any case: such a shortcut
// already starts the launcher.
bool IsAlreadyProtected(const std::string& targetPath);

// How the protected shortcut keeps the look of the original icon.
struct IconChoice {
    std::string copyFrom; // the icon source to copy to iconPath; empty: nothing to copy
    std::string iconPath;
    int iconIndex = 0;
};

// The icon source is the shortcut's icon file, else its target. A target without an extension
// (a folder, say) gets the folder icon of SHELL32.dll; otherwise the source is copied into the
// system directory as stamp + its last four characters, lower-cased, keeping the icon index.
// When that copy fails, the caller uses copyFrom itself as the icon path.
IconChoice ChooseOriginalIcon(const std::string& iconPath, int iconIndex, const std::string& targetPath,
                              const std::string& systemDirectory, const std::string& timeStamp);
