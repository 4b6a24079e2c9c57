// Latchkey's own store of original shortcuts, under %ProgramData%\Latchkey\Shortcuts: one entry
// per protection record, readable and writable by Administrators and SYSTEM only, so that what
// remove gives back is what protect took and nobody else could change it.
#pragma once

#include "core/StoredShortcut.h"

#include <optional>
#include <string>

// The store's folder, made (or taken over) with its own protected security: owned by
// Administrators, full control for Administrators and SYSTEM, nothing inherited from ProgramData.
// nullopt when it cannot be made so, or is reached through a link or junction.
std::optional<std::string> ShortcutStoreFolder();

// Writes the entry whole (a new file, then renamed over any older one for the same record).
bool KeepOriginalShortcut(const StoredShortcut& entry);

// The entry kept for recordPath; nullopt when there is none or it is damaged.
std::optional<StoredShortcut> KeptOriginalShortcut(const std::string& recordPath);

// The entry kept for recordPath as it lies, read without making or securing the store's folders:
// for a look, which changes nothing. nullopt when there is none, it is damaged, or it is not this
// record's.
std::optional<StoredShortcut> PeekOriginalShortcut(const std::string& recordPath);

// Writes the record at recordPath again with exactly the bytes the entry kept for it holds: only a
// local record file, created where nothing is. True when it is on disk whole.
bool RestoreRecordFromStore(const std::string& recordPath);

// Deletes the entry kept for recordPath, if any.
void ForgetOriginalShortcut(const std::string& recordPath);

// One record's entry, for a command that reads it and then deletes it: the store's folder is
// found and checked once, for both. Only Administrators can change that folder, so it does not
// turn into another between the two.
class StoreEntry {
public:
    explicit StoreEntry(const std::string& recordPath);

    // KeptOriginalShortcut and ForgetOriginalShortcut, in the folder as it was checked.
    std::optional<StoredShortcut> Read() const;
    void Forget() const;

private:
    std::optional<std::string> m_path;
};
