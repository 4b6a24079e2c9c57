// The create command's decisions that need no Windows API: names, the already-protected test,
// the icon choice and the texts of its messages.
#pragma once

#include <string>

// The launcher that protected shortcuts start, from the Windows system directory.
inline constexpr char LauncherFileName[] = "lkrun3.exe";

enum class ProtectMessage {
    None,                  // go on (after loading) / nothing to show
    ReadFailed,            // "Failed to get the shortcut information.\n(Only a shortcut ...)"
    AlreadyProtected,      // "The shortcut you selected is already a password protected link."
    RecordWriteFailed,     // "Failed to write the protection record file:\n" + record path + ...
    SystemDirectoryFailed, // "GetSystemDirectory failed!"
    CreateLinkFailed,      // "Create Link failed!"
    Succeeded,             // "Password protection link for\n" + base name + ...
};

// The text of a message; baseName is used by Succeeded, recordPath by RecordWriteFailed.
std::string ProtectMessageText(ProtectMessage message, const std::string& baseName, const std::string& recordPath);

// The file name of a path without its folder and without its extension.
std::string BaseName(const std::string& path);

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
