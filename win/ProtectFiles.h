// The protect command's file work, without windows: read the picked shortcut, then write the
// record and the protected shortcut. Each step returns one outcome and shows nothing; the caller
// decides what to show. The shortcut's own path is UTF-16: its name may hold any character.
#pragma once

#include "core/ProtectRules.h"
#include "core/ShortcutInfo.h"
#include "win/ShellLink.h"
#include "win/Strings.h"

#include <string>

struct LoadedShortcut {
    ProtectResult result = ProtectResult::Ready; // Ready, or why it cannot be protected
    ShortcutInfo info;                           // targetPath already in its short form
    // The program's folder, where the record goes, as the shortcut names it (most often in its
    // long form, which a held folder needs: the short form would be asked for it); empty for a
    // target on a server.
    std::string programFolder;
    // Made the shell link object that read the shortcut; makes the one the protected shortcut is
    // built in, without looking its class up again.
    ShellLinkMaker links;
};

// Steps before the password dialog: advertised or plain read, short form, the refusals.
LoadedShortcut LoadShortcutForProtection(const std::wstring& pickedPath);
inline LoadedShortcut LoadShortcutForProtection(const std::string& pickedPath)
{
    return LoadShortcutForProtection(ToWide(pickedPath));
}

struct ProtectOutcome {
    ProtectResult result = ProtectResult::CreateLinkFailed; // Succeeded, or why not; never Ready
    std::string recordPath;   // for the record-write message
    bool iconRefused = false; // the shell link object refused the icon location; saved without it
    bool iconNotCopied = false; // the original icon could not be copied; the launcher's icon shows
};

// Steps after the password dialog, on what LoadShortcutForProtection gave: record, launcher path,
// icon choice, protected shortcut saved over pickedPath. A record that cannot be written stops it
// before the shortcut is touched.
ProtectOutcome ApplyProtection(const std::wstring& pickedPath, const LoadedShortcut& loaded,
                               const std::string& password, bool useOriginalIcon, const std::string& timeStamp);
inline ProtectOutcome ApplyProtection(const std::string& pickedPath, const LoadedShortcut& loaded,
                                      const std::string& password, bool useOriginalIcon, const std::string& timeStamp)
{
    return ApplyProtection(ToWide(pickedPath), loaded, password, useOriginalIcon, timeStamp);
}
