// The remove command's file work, without windows: read the protected shortcut and its record,
// then write the shortcut back from the record. Each step returns which message the caller shows.
#pragma once

#include "shortcut/Shortcut.h"
#include "storage/ProtectionRecord.h"

#include <string>

enum class RemoveMessage {
    None,          // go on (after loading) / nothing to show
    NotProtected,  // "The shortcut you selected doesn't seem to be a protected one.\n(Failed to open lki file)"
    RecordDamaged, // "The protection record of this shortcut is damaged:\n" + record path + ...
    RestoreFailed, // "Failed to restore original Link."
    Succeeded,     // "Password protection for\n" + base name + "\nhas been removed successfully."
};

struct LoadedProtection {
    RemoveMessage message = RemoveMessage::None;
    HRESULT status = 0;      // the read's result; -1 when a message ends the command
    ShortcutInfo info;       // the protected shortcut as read
    std::string recordPath;  // unscrambled from its arguments
    ProtectionRecord record; // unscrambled
    CommandLineParts commandLine;

    // Ready for the password dialog: the shortcut was read and its record is whole.
    bool Ready() const { return message == RemoveMessage::None && status >= 0; }
};

// Steps before the password dialog: read the shortcut, find, read and check its record.
// Nothing is written and nothing is shown.
LoadedProtection LoadProtectedShortcut(const std::string& pickedPath);

// The shortcut as it is written back: the record's target, arguments and working directory,
// no description, and the protected shortcut's icon (the restored target when it names none).
ShortcutInfo RestoredShortcutInfo(const LoadedProtection& loaded);

struct RemoveOutcome {
    RemoveMessage message = RemoveMessage::None;
    HRESULT status = 0; // what RemoveProtection returns
};

// Step after the password dialog: write the picked shortcut anew from a Ready() load.
RemoveOutcome RestoreShortcut(const std::string& pickedPath, const LoadedProtection& loaded);

// The text of a message; baseName is used by Succeeded, recordPath by RecordDamaged.
std::string RemoveMessageText(RemoveMessage message, const std::string& baseName, const std::string& recordPath);
