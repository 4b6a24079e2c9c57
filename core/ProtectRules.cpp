#include "core/ProtectRules.h"

#include "core/Paths.h"
#include "core/Scramble.h"
#include "core/Secret.h"

bool IsSystemLauncher(const std::string& targetPath, const std::string& systemDirectory,
                      const std::string& shortSystemDirectory)
{
    const std::string target = LowerAscii(targetPath);
    for (const std::string* folder : {&systemDirectory, &shortSystemDirectory}) {
        if (!folder->empty() && target == LowerAscii(*folder + "\\" + LauncherFileName))
            return true;
    }
    return false;
}

bool IsLocalRecordPath(const std::string& path)
{
    auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    // A NUL would end the path early at the file system and open another file.
    return path.size() > 7 && isLetter(path[0]) && path[1] == ':' && path[2] == '\\' &&
           path.find('\0') == std::string::npos && path.find_first_of("\"<>|?*:", 2) == std::string::npos &&
           LowerAscii(LastCharacters(path, 4)) == ".lki" && path[path.size() - 5] != '\\';
}

bool IsAbsoluteFileSystemPath(const std::string& path)
{
    auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    // No file name holds these; a quote would also end the record's quoted target early. A '?'
    // is what a character lost in a conversion to ANSI became: such a path names no real file.
    if (path.find_first_of("\"<>|?*") != std::string::npos)
        return false;
    // Nor a control character; a tab would also end the program's name where Windows reads it
    // from a command line, and so start another program than the one named.
    for (char c : path) {
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
    }
    if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && path[2] == '\\')
        return true;
    // \\server\share\...: a server and a share name, each at least one character.
    if (path.size() < 5 || path.compare(0, 2, "\\\\") != 0 || path[2] == '\\' || path[2] == '?' || path[2] == '.')
        return false;
    std::string::size_type share = path.find('\\', 2);
    return share != std::string::npos && share + 1 < path.size() && path[share + 1] != '\\';
}

bool ScramblesToLineEnd(const std::string& text)
{
    // The text is often a password: its scrambled form is cleared too.
    std::string scrambled = Scramble(text);
    const bool lineEnd = scrambled.find_first_of("\r\n") != std::string::npos;
    ClearSecret(scrambled);
    return lineEnd;
}

bool IsStorableRecord(const ProtectionRecord& record)
{
    return !ScramblesToLineEnd(record.password) && !ScramblesToLineEnd(record.commandLine) &&
           !ScramblesToLineEnd(record.workingDirectory);
}

IconChoice ChooseOriginalIcon(const std::wstring& iconPath, int iconIndex, const std::wstring& targetPath,
                              const std::wstring& systemDirectory)
{
    IconChoice choice;
    if (FileName(targetPath).find(L'.') == std::wstring::npos) {
        choice.iconPath = systemDirectory + L"\\SHELL32.dll";
        choice.iconIndex = 3;
        return choice;
    }
    choice.copyFrom = iconPath.empty() ? targetPath : iconPath;
    choice.copyIndex = iconIndex;
    return choice;
}

std::string IconCopyPath(const std::string& systemDirectory, const std::string& timeStamp)
{
    return systemDirectory + "\\" + timeStamp + ".ico";
}
