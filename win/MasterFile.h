// Where the master password file lies, and reading and safely replacing it.
#pragma once

#include <optional>
#include <string>

// The Windows system directory followed by "\master2.lki"; nullopt when the directory
// cannot be queried.
std::optional<std::string> MasterFilePath();

struct MasterFileRead {
    bool missing = false;             // the file does not exist: no master password is set
    std::optional<std::string> bytes; // the file's bytes as they are; nullopt when it exists but
                                      // cannot be read (locked, access denied, a folder, too big)
};

// Reads the file; only "the file does not exist" counts as missing.
MasterFileRead ReadMasterFile(const std::string& path);

// Writes the file for a stored value (see FormatMasterFile) into a new file beside it, then
// moves that over the old one. Every write, the flush and the close are checked; on failure the
// new file is removed and the old one is left exactly as it was.
bool WriteMasterFile(const std::string& path, const std::string& storedValue);
