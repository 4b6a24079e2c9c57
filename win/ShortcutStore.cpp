#include "win/ShortcutStore.h"

#include "core/Secret.h"
#include "win/DataFolder.h"
#include "win/Files.h"
#include "win/Scoped.h"
#include "win/Strings.h"
#include "win/SystemLauncher.h"

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
    std::string bytes = path ? FormatStoredShortcut(entry) : std::string();
    SecretWiper clearBytes(bytes); // the record's password, scrambled
    return path && ReplaceWholeFile(*path, bytes);
}

std::optional<StoredShortcut> KeptOriginalShortcut(const std::string& recordPath)
{
    const std::optional<std::string> path = EntryPath(recordPath);
    if (!path)
        return std::nullopt;
    std::optional<std::string> bytes = ReadWholeFile(*path);
    if (!bytes)
        return std::nullopt;
    SecretWiper clearBytes(*bytes);
    return ParseStoredShortcut(*bytes);
}

std::optional<StoredShortcut> PeekOriginalShortcut(const std::string& recordPath)
{
    const std::optional<std::wstring> programData = ProgramDataFolder();
    const std::optional<std::string> folder = programData ? ToAnsi(*programData) : std::nullopt;
    if (!folder)
        return std::nullopt;
    std::optional<std::string> bytes =
        ReadWholeFile(*folder + "\\Latchkey\\Shortcuts\\" + StoredShortcutName(recordPath));
    if (!bytes)
        return std::nullopt;
    SecretWiper clearBytes(*bytes);
    std::optional<StoredShortcut> entry = ParseStoredShortcut(*bytes);
    return entry && entry->recordPath == recordPath ? entry : std::nullopt;
}

bool RestoreRecordFromStore(const std::string& recordPath)
{
    if (!IsLocalRecordFile(recordPath))
        return false;
    std::optional<StoredShortcut> entry = KeptOriginalShortcut(recordPath);
    if (!entry || entry->recordPath != recordPath || entry->recordBytes.empty())
        return false;
    return WriteNewWholeFile(recordPath, entry->recordBytes) == NewFileResult::Written;
}

void ForgetOriginalShortcut(const std::string& recordPath)
{
    if (const std::optional<std::string> path = EntryPath(recordPath))
        DeleteFileA(path->c_str());
}
