// The remove command's file work, without windows: read the protected shortcut and its record,
// then write the shortcut back from the record. Each step returns one outcome and shows nothing;
// the caller decides what to show. The shortcut's own path is UTF-16: its name may hold any
// character.
#pragma once

#include "core/ProtectionRecord.h"
#include "core/RemoveRules.h"
#include "core/ShortcutInfo.h"
#include "win/Strings.h"

#include <string>

struct LoadedProtection {
    RemoveResult result = RemoveResult::Ready; // Ready, or why it cannot be restored
    ShortcutInfo info;       // the protected shortcut as read
    std::string recordPath;  // unscrambled from its arguments
    ProtectionRecord record; // unscrambled
    CommandLineParts commandLine;

    // Ready for the password dialog: the shortcut was read and its record is whole.
    bool Ready() const { return result == RemoveResult::Ready; }
};

// True when the file is a shortcut that starts the launcher in the system folder (COM must be
// initialised).
bool IsProtectedShortcut(const std::wstring& linkPath);
inline bool IsProtectedShortcut(const std::string& linkPath) { return IsProtectedShortcut(ToWide(linkPath)); }

// Steps before the password dialog: read the shortcut, find, read and check its record.
// Nothing is written and nothing is shown.
LoadedProtection LoadProtectedShortcut(const std::wstring& pickedPath);
inline LoadedProtection LoadProtectedShortcut(const std::string& pickedPath)
{
    return LoadProtectedShortcut(ToWide(pickedPath));
}

struct RemoveOutcome {
    RemoveResult result = RemoveResult::RestoreFailed; // Succeeded, or why not; never Ready
    bool iconRefused = false; // the shell link object refused the icon location; saved without it
};

// Step after the password dialog: write the picked shortcut anew from a Ready() load.
RemoveOutcome RestoreShortcut(const std::wstring& pickedPath, const LoadedProtection& loaded);
inline RemoveOutcome RestoreShortcut(const std::string& pickedPath, const LoadedProtection& loaded)
{
    return RestoreShortcut(ToWide(pickedPath), loaded);
}
