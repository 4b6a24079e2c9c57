#include "win/SystemLauncher.h"

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
    return IsSystemLauncher(targetPath, *system, ShortPathName(*system).value_or(std::string()));
}

bool IsLocalRecordFile(const std::string& path)
{
    if (!IsLocalRecordPath(path))
        return false;
    // A drive letter mapped to a share is a server too.
    const std::string root = path.substr(0, 3);
    return GetDriveTypeA(root.c_str()) != DRIVE_REMOTE;
}
