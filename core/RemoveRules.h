// The remove command's decision that needs no Windows API: what the restored shortcut holds.
#pragma once

#include "core/ProtectionRecord.h"
#include "core/ShortcutInfo.h"

// How a remove ended, or why it cannot go on (the file work in win/RemoveFiles decides it).
enum class RemoveResult {
    Ready,         // only from loading: the record is whole, the password dialog comes next
    ReadFailed,    // the file could not be read as a shortcut (the single command shows nothing)
    NotProtected,  // the record named by the shortcut cannot be opened
    RecordDamaged, // the record does not come apart into its fields
    RestoreFailed, // the shortcut could not be written back
    Succeeded,
};

// The most characters of one text the shell link object keeps; a longer one comes back cut.
inline constexpr std::size_t MaxShortcutText = 32767;

// True when a shortcut can hold the restored fields whole. A record written by protect always
// fits; a longer field can only come from a record made by hand, and is damage.
bool FitsInShortcut(const ShortcutInfo& restored);

// The shortcut as it is written back: the record's target, arguments and working directory;
// the protected shortcut's description, hot key, show command and run-as flag, which protect kept
// there; and its icon. An empty icon location stays empty: the caller, which can turn the ANSI
// target into UTF-16, names the target instead.
ShortcutInfo RestoredShortcutInfo(const ShortcutInfo& protectedLink, const ProtectionRecord& record,
                                  const CommandLineParts& commandLine);
