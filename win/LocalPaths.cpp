#include "win/LocalPaths.h"

#include "core/Paths.h"
#include "win/Strings.h"

#include <windows.h>

bool LocalPaths::LocalDrive(wchar_t letter)
{
    signed char& local = m_drives[static_cast<unsigned>((letter | 0x20) - L'a')];
    if (local == 0) {
        const wchar_t root[] = {letter, L':', L'\\', L'\0'};
        // Answered from the drive's mapping: a mapped letter is remote without the server being asked.
        local = GetDriveTypeW(root) == DRIVE_REMOTE ? -1 : 1;
    }
    return local > 0;
}

bool LocalPaths::IsLocal(const std::wstring& path)
{
    if (!HasDriveLetterForm(path) || !LocalDrive(path[0]))
        return false;
    if (path.find(L'%') == std::wstring::npos)
        return true;
    const std::optional<std::wstring> expanded = ExpandEnvironment(path);
    return expanded && HasDriveLetterForm(*expanded) && LocalDrive((*expanded)[0]);
}

bool IsLocalPath(const std::wstring& path)
{
    return LocalPaths().IsLocal(path);
}

bool IsLocalPath(const std::string& path)
{
    return IsLocalPath(ToWide(path));
}
