// The protect command's decisions that need no Windows API: the already-protected test and the
// icon choice.
#pragma once

#include "core/ProtectionRecord.h"

#include <string>

// The launcher that protected shortcuts start, from the Windows system directory.
inline constexpr char LauncherFileName[] = "lkrun3.exe";

// True when the target's path ends in the launcher's file name, in any case: such a shortcut
// already starts the launcher.
bool IsAlreadyProtected(const std::string& targetPath);

// True for a path protect can put a record beside: a drive letter, a colon and a backslash, or
// a UNC path (\\server\share\...). Empty, relative and virtual targets are not.
// Nor is one holding a character no file name holds (control characters included).
bool IsAbsoluteFileSystemPath(const std::string& path);

// True when every field's scrambled form is free of line ends, so that the record's lines come
// apart where they were written and read back as the same fields.
bool IsStorableRecord(const ProtectionRecord& record);

// True when text's scrambled form holds a line end (it cannot be one line of a stored file).
bool ScramblesToLineEnd(const std::string& text);

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
