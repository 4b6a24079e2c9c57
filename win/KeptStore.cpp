#include "win/KeptStore.h"

#include "core/Secret.h"
#include "win/DataFolder.h"
#include "win/Files.h"
#include "win/Strings.h"

#include <windows.h>

namespace {

// Owner Administrators; a protected DACL (nothing inherited) giving full control to SYSTEM and
// Administrators: the passwords are only scrambled.
constexpr wchar_t KeptSecurity[] = L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

std::optional<std::string> KeptFilePath()
{
    const std::optional<std::wstring> folder = SecuredDataFolder(L"Kept", KeptSecurity);
    const std::optional<std::string> ansi = folder ? ToAnsi(*folder) : std::nullopt;
    return ansi ? std::optional<std::string>(*ansi + "\\programs.txt") : std::nullopt;
}

} // namespace

std::optional<std::vector<KeptProgram>> ReadKeptPrograms()
{
    // Nothing was ever kept: the folder is not made just to be read.
    const std::optional<std::wstring> programData = ProgramDataFolder();
    if (programData && GetFileAttributesW((*programData + L"\\Latchkey\\Kept").c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetLastError() == ERROR_FILE_NOT_FOUND)
        return std::vector<KeptProgram>();
    const std::optional<std::string> path = KeptFilePath();
    if (!path)
        return std::nullopt;
    std::optional<std::string> bytes = ReadWholeFile(*path);
    if (!bytes)
        return GetFileAttributesA(path->c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND
                   ? std::optional<std::vector<KeptProgram>>(std::vector<KeptProgram>())
                   : std::nullopt;
    SecretWiper clearBytes(*bytes);
    return ParseKeptPrograms(*bytes);
}

bool WriteKeptPrograms(const std::vector<KeptProgram>& programs)
{
    const std::optional<std::string> path = KeptFilePath();
    if (!path)
        return false;
    std::string bytes = FormatKeptPrograms(programs);
    SecretWiper clearBytes(bytes);
    return ReplaceWholeFile(*path, bytes);
}

std::vector<std::string> KeptProgramPaths()
{
    std::vector<std::string> paths;
    if (std::optional<std::vector<KeptProgram>> kept = ReadKeptPrograms()) {
        for (const KeptProgram& program : *kept)
            paths.push_back(program.programPath);
    }
    return paths;
}
