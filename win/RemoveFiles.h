// The remove command's file work, without windows: read the protected shortcut and its record,
// then write the shortcut back from the record. Each step returns an outcome, which the caller
// shows as a message.
#pragma once

#include "core/Messages.h"
#include "core/ProtectionRecord.h"
#include "core/ShortcutInfo.h"

#include <windows.h>

#include <string>

struct LoadedProtection {
    RemoveResult result = RemoveResult::None;
    HRESULT status = 0;      // the read's result; -1 when a message ends the command
    ShortcutInfo info;       // the protected shortcut as read
    std::string recordPath;  // unscrambled from its arguments
    ProtectionRecord record; // unscrambled
    CommandLineParts commandLine;

    // Ready for the password dialog: the shortcut was read and its record is whole.
    bool Ready() const { return result == RemoveResult::None && status >= 0; }
};

// True when the file is a shortcut that starts the launcher in the system folder (COM must be
// initialised).
bool IsProtectedShortcut(const std::string& linkPath);

// Steps before the password dialog: read the shortcut, find, read and check its record.
// Nothing is written and nothing is shown.
LoadedProtection LoadProtectedShortcut(const std::string& pickedPath);

struct RemoveOutcome {
    RemoveResult result = RemoveResult::None;
    HRESULT status = 0;       // negative: failure
    bool iconRefused = false; // the shell link object refused the icon location; saved without it
};

// Step after the password dialog: write the picked shortcut anew from a Ready() load.
RemoveOutcome RestoreShortcut(const std::string& pickedPath, const LoadedProtection& loaded);
