// The launcher protected shortcuts start, in the system folder, and which paths the elevated
// tool treats as its records.
#pragma once

#include <array>
#include <optional>
#include <string>

// The launcher's path in the system folder; nullopt when the folder cannot be found.
std::optional<std::string> SystemLauncherPath();

// True when targetPath is the launcher in the system folder, in its long or short form, in any
// case: a shortcut that starts it is protected.
bool IsSystemLauncherTarget(const std::string& targetPath);

// True when path may be opened as a record: a ".lki" file on a drive letter of this computer's
// own disks, never a server's.
bool IsLocalRecordFile(const std::string& path);

// IsLocalRecordFile for a look over many records, asking Windows about each drive letter once:
// that costs more than reading a record. Hold one for one look only, as a letter mapped to a
// server after its first use is not seen.
class LocalRecordFiles {
public:
    bool Allows(const std::string& path);

private:
    std::array<signed char, 26> m_local{}; // by letter: 0 not asked yet, 1 a disk of this computer, -1 a server's
};
