#include "win/MasterFile.h"

#include "core/MasterPassword.h"
#include "win/Files.h"
#include "win/Strings.h"

std::optional<std::string> MasterFilePath()
{
    std::optional<std::string> system = SystemDirectory();
    if (!system)
        return std::nullopt;
    return *system + "\\" + MasterFileName;
}

std::optional<std::string> ReadMasterFile(const std::string& path)
{
    return ReadWholeFile(path);
}

bool WriteMasterFile(const std::string& path, const std::string& storedValue)
{
    return ReplaceWholeFile(path, FormatMasterFile(storedValue));
}
