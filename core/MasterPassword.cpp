#include "core/MasterPassword.h"

#include "core/Scramble.h"
#include "core/Secret.h"

#include <utility>

const char MasterFileName[] = "master2.lki";
const char OpenAccessMarker[] = "openaccess";

std::string MasterStoredValue(const std::string& newPassword)
{
    return newPassword.empty() ? std::string(OpenAccessMarker) : newPassword;
}

std::string FormatMasterFile(const std::string& storedValue)
{
    // One buffer of the final size: no copy of the scrambled password is left in freed memory.
    std::string bytes;
    bytes.reserve(storedValue.size() + 2);
    std::string scrambled = Scramble(storedValue);
    bytes += scrambled;
    ClearSecret(scrambled);
    bytes += "\r\n";
    return bytes;
}

std::string ParseMasterFile(const std::string& bytes)
{
    // Line-wise, not word-wise: scrambled bytes may be blanks or 0x1A anywhere in the value.
    std::string::size_type end = bytes.find('\n');
    if (end == std::string::npos)
        end = bytes.size();
    else if (end > 0 && bytes[end - 1] == '\r')
        --end;
    std::string line = bytes.substr(0, end);
    std::string value = Unscramble(line);
    ClearSecret(line);
    return value;
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
