// Which paths the elevated tool may look at when someone else chose them: on Windows, opening,
// listing or even asking the attributes of a path on a server sends the administrator's network
// credentials to that server.
#pragma once

#include <array>
#include <string>

// A path is local when its text says so, before anything is asked of the file system: a drive
// letter that is not a network drive, in the path as written and again with its environment
// variables expanded. A server's, a device's or a relative path is not.
bool IsLocalPath(const std::wstring& path);
bool IsLocalPath(const std::string& path);

// IsLocalPath for a look over many paths, asking Windows about each drive letter once. Hold one
// for one look only: a letter mapped to a server after its first use is not seen.
class LocalPaths {
public:
    bool IsLocal(const std::wstring& path);

private:
    bool LocalDrive(wchar_t letter);

    std::array<signed char, 26> m_drives{}; // by letter: 0 not asked yet, 1 local, -1 a server's
};
