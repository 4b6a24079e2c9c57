#include "core/MasterPassword.h"

#include "core/Scramble.h"

#include <utility>

const char MasterFileName[] = "master2.lki";
const char OpenAccessMarker[] = "openaccess";

std::string MasterStoredValue(const std::string& newPassword)
{
    return newPassword.empty() ? std::string(OpenAccessMarker) : newPassword;
}

std::string FormatMasterFile(const std::string& storedValue)
{
    return Scramble(storedValue) + "\r\n";
}

std::string ParseMasterFile(const std::string& bytes)
{
    // Line-wise, not word-wise: scrambled bytes may be blanks or 0x1A anywhere in the value.
    std::string::size_type end = bytes.find('\n');
    if (end == std::string::npos)
        end = bytes.size();
    else if (end > 0 && bytes[end - 1] == '\r')
        --end;
    return Unscramble(bytes.substr(0, end));
}

MasterPasswordDecision DecideMasterPassword(const std::optional<std::string>& fileBytes)
{
    MasterPasswordDecision decision;
    if (!fileBytes)
        return decision;
    std::string stored = ParseMasterFile(*fileBytes);
    if (stored.empty() || stored == OpenAccessMarker)
        return decision;
    decision.promptNeeded = true;
    decision.required = std::move(stored);
    return decision;
}
