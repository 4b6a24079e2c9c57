// A folder held open from the moment a command reads what lies in it until it writes there, so
// that what is written lands in the folder that was read and checked, or nothing is written.
#pragma once

#include "win/Scoped.h"

#include <string>

// The path the system reached an open file or folder by, after every link and junction on the
// way, without its "\\?\" prefix.
std::string FinalPath(HANDLE file);

// Paths compared as the file system compares names here: without regard to ASCII case, and
// without a closing separator.
bool SamePath(std::string one, std::string other);

class HeldFolder {
public:
    // Opens the folder without letting anyone rename or delete it meanwhile. Not held when it
    // cannot be opened, or when it or a folder on the way to it is a link or junction (its real
    // path is not the path given).
    explicit HeldFolder(const std::string& path);
    explicit HeldFolder(const std::wstring& path);

    bool IsHeld() const { return m_handle != nullptr; }
    // True when the folder is held and its path still names this very folder, reached through no
    // link or junction.
    bool StillThere() const;

private:
    std::wstring m_path;
    UniqueHandle m_handle;
};
