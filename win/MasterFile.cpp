#include "win/MasterFile.h"

#include "core/MasterPassword.h"
#include "core/Secret.h"
#include "win/Files.h"
#include "win/Strings.h"

#include <windows.h>

std::optional<std::string> MasterFilePath()
{
    std::optional<std::string> system = SystemDirectory();
    if (!system)
        return std::nullopt;
    return *system + "\\" + MasterFileName;
}

MasterFileRead ReadMasterFile(const std::string& path)
{
    MasterFileRead read;
    read.bytes = ReadWholeFile(path);
    if (!read.bytes)
        read.missing = GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND;
    return read;
}

bool WriteMasterFile(const std::string& path, const std::string& storedValue)
{
    std::string bytes = FormatMasterFile(storedValue);
    const bool written = ReplaceWholeFile(path, bytes);
    ClearSecret(bytes);
    return written;
}
