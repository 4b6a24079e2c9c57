// The master password file: one line in the system directory holding the scrambled master
// password, or the scrambled marker that stands for "no master password".
#pragma once

#include <optional>
#include <string>

// File name inside the Windows system directory.
extern const char MasterFileName[];
// Stored for a blank master password: nobody is asked.
extern const char OpenAccessMarker[];

// What a new master password is stored as: the password itself, or the marker for a blank one.
std::string MasterStoredValue(const std::string& newPassword);

// The exact bytes of the file for a stored value: the scrambled value, then CR LF.
std::string FormatMasterFile(const std::string& storedValue);

// The stored value held in the file's bytes: its first line (ending at CR LF or a lone LF, no
// other byte special), whole, unscrambled. An empty file gives the empty text.
std::string ParseMasterFile(const std::string& bytes);

struct MasterPasswordDecision {
    bool promptNeeded = false;
    std::string required; // what must be typed, exactly; empty when no prompt is needed
};

// Whether the tool must ask for the master password, given the file's bytes (nullopt when the
// file does not exist): not for a missing file, an empty value or the marker.
MasterPasswordDecision DecideMasterPassword(const std::optional<std::string>& fileBytes);
