#include "win/ShortcutStore.h"

#include "win/DataFolder.h"
#include "win/Files.h"
#include "win/Scoped.h"
#include "win/Strings.h"

#include <windows.h>


namespace {

// Owner Administrators; a protected DACL (nothing inherited) giving full control to SYSTEM and
// Administrators, handed down to every file and folder inside.
constexpr wchar_t StoreSecurity[] = L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

std::optional<std::string> EntryPath(const std::string& recordPath)
{
    const std::optional<std::string> folder = ShortcutStoreFolder();
    if (!folder)
        return std::nullopt;
    return *folder + "\\" + StoredShortcutName(recordPath);
}

} // namespace

std::optional<std::string> ShortcutStoreFolder()
{
    const std::optional<std::wstring> folder = SecuredDataFolder(L"Shortcuts", StoreSecurity);
    return folder ? ToAnsi(*folder) : std::nullopt;
}

bool KeepOriginalShortcut(const StoredShortcut& entry)
{
    const std::optional<std::string> path = EntryPath(entry.recordPath);
    return path && ReplaceWholeFile(*path, FormatStoredShortcut(entry));
}

std::optional<StoredShortcut> KeptOriginalShortcut(const std::string& recordPath)
{
    const std::optional<std::string> path = EntryPath(recordPath);
    if (!path)
        return std::nullopt;
    const std::optional<std::string> bytes = ReadWholeFile(*path);
    return bytes ? ParseStoredShortcut(*bytes) : std::nullopt;
}

void ForgetOriginalShortcut(const std::string& recordPath)
{
    if (const std::optional<std::string> path = EntryPath(recordPath))
        DeleteFileA(path->c_str());
}
