#include "win/SystemLauncher.h"

#include "core/Paths.h"
#include "core/ProtectRules.h"
#include "win/Strings.h"

#include <windows.h>

std::optional<std::string> SystemLauncherPath()
{
    const std::optional<std::string> system = SystemDirectory();
    if (!system)
        return std::nullopt;
    return *system + "\\" + LauncherFileName;
}

bool IsSystemLauncherTarget(const std::string& targetPath)
{
    const std::optional<std::string> system = SystemDirectory();
    if (!system)
        return false;
    // The system folder's short form is asked of the file system only for a target that is not
    // the launcher in its long form and bears the launcher's name (its own short name).
    if (IsSystemLauncher(targetPath, *system, std::string()))
        return true;
    if (LowerAscii(BaseName(targetPath)) != LowerAscii(LauncherFileName))
        return false;
    return IsSystemLauncher(targetPath, *system, ShortPathName(*system).value_or(std::string()));
}

namespace {

// A drive letter mapped to a share is a server too.
bool IsServerDrive(char letter)
{
    const char root[] = {letter, ':', '\\', '\0'};
    return GetDriveTypeA(root) == DRIVE_REMOTE;
}

} // namespace

bool IsLocalRecordFile(const std::string& path)
{
    return IsLocalRecordPath(path) && !IsServerDrive(path[0]);
}

bool LocalRecordFiles::Allows(const std::string& path)
{
    if (!IsLocalRecordPath(path))
        return false;
    signed char& local = m_local[static_cast<unsigned char>(path[0] | 0x20) - 'a']; // a letter, as checked
    if (local == 0)
        local = IsServerDrive(path[0]) ? -1 : 1;
    return local > 0;
}
