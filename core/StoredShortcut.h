// One entry of Latchkey's own store of original shortcuts: the shortcut as it was before protect
// changed it, with what ties it to its protection (the record, the protected shortcut as written).
// Plain length-prefixed fields, so that any bytes and any path round-trip exactly.
#pragma once

#include "core/Secret.h"

#include <optional>
#include <string>

struct StoredShortcut {
    std::string recordPath;     // as the protected shortcut's arguments name it, unscrambled
    std::string linkPath;       // where the shortcut was protected (UTF-8)
    std::string protectedBytes; // the protected shortcut as protect wrote it
    std::string originalBytes;  // the shortcut as it was before
    // The record file as protect wrote it, so that a record deleted by someone else (an updater
    // replacing the program's folder) can be given back; empty in entries of older versions.
    std::string recordBytes;

    // The record holds the password, scrambled: no copy of it is given back uncleared.
    ~StoredShortcut() { ClearSecret(recordBytes); }
};

// Made in one allocation, so that no buffer holding the record's bytes is given back uncleared;
// the caller clears the result.
std::string FormatStoredShortcut(const StoredShortcut& entry);
// nullopt for anything FormatStoredShortcut did not write.
std::optional<StoredShortcut> ParseStoredShortcut(const std::string& bytes);

// The entry's file name in the store, from the record path alone: one entry per record.
std::string StoredShortcutName(const std::string& recordPath);

// True when entry gives back the shortcut that now holds currentBytes and names recordPath: the
// shortcut is still exactly as protect wrote it, for this record.
bool BelongsTo(const StoredShortcut& entry, const std::string& recordPath, const std::string& currentBytes);
