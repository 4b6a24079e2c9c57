// The create command's file work, without windows: read the picked shortcut, then write the
// record and the protected shortcut. Each step returns which message the caller shows.
#pragma once

#include "shortcut/Shortcut.h"

#include <string>

extern const char LauncherFileName[]; // "lkrun3.exe"

enum class ProtectMessage {
    None,                  // go on (after loading) / nothing to show
    ReadFailed,            // "Failed to get the shortcut information.\n(Only a shortcut ...)"
    AlreadyProtected,      // "The shortcut you selected is already a password protected link."
    RecordWriteFailed,     // "Failed to write the protection record file:\n" + record path + ...
    SystemDirectoryFailed, // "GetSystemDirectory failed!"
    CreateLinkFailed,      // "Create Link failed!"
    Succeeded,             // "Password protection link for\n" + base name + ...
};

struct LoadedShortcut {
    ProtectMessage message = ProtectMessage::None; // None: ready for the password dialog
    HRESULT status = 1;                            // the read's status
    ShortcutInfo info;                             // targetPath already in its short form
};

// Steps before the password dialog: advertised or plain read, short form, already-protected test.
LoadedShortcut LoadShortcutForProtection(const std::string& pickedPath);

struct ProtectOutcome {
    ProtectMessage message = ProtectMessage::None;
    HRESULT status = 0;     // what CreateProtection returns
    std::string recordPath; // for the record-write message
};

// Steps after the password dialog: record, launcher path, icon choice, protected shortcut.
ProtectOutcome ApplyProtection(const std::string& pickedPath, const ShortcutInfo& info, const std::string& password,
                               bool useOriginalIcon, const std::string& timeStamp);

// The text of a message; baseName is used by Succeeded, recordPath by RecordWriteFailed.
std::string ProtectMessageText(ProtectMessage message, const std::string& baseName, const std::string& recordPath);
