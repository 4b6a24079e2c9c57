#include "win/ShortcutStore.h"

#include "core/Secret.h"
#include "win/DataFolder.h"
#include "win/Files.h"
#include "win/HeldFolder.h"
#include "win/Scoped.h"
#include "win/Strings.h"
#include "win/SystemLauncher.h"

#include <windows.h>

namespace {

// Owner Administrators; a protected DACL (nothing inherited) giving full control to SYSTEM and
// Administrators, handed down to every file and folder inside.
constexpr wchar_t StoreSecurity[] = L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// Makes or takes over the folder; on success context receives its path, which lives as long as
// the process.
BOOL CALLBACK SecureStoreFolder(INIT_ONCE*, void*, void** context)
{
    const std::optional<std::wstring> folder = SecuredDataFolder(L"Shortcuts", StoreSecurity);
    const std::optional<std::string> path = folder ? ToAnsi(*folder) : std::nullopt;
    if (!path)
        return FALSE;
    *context = new std::string(*path);
    return TRUE;
}

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
    // Made or taken over once per process (a protect asks twice, a batch for every shortcut):
    // once it is ours, only Administrators and SYSTEM can change it. A failure is not kept: the
    // next call tries again. Every call still finds it where it was, reached through no link.
    static INIT_ONCE secured = INIT_ONCE_STATIC_INIT;
    void* path = nullptr;
    if (!InitOnceExecuteOnce(&secured, SecureStoreFolder, nullptr, &path) || !path)
        return std::nullopt;
    const std::string& folder = *static_cast<const std::string*>(path);
    if (!HeldFolder(folder).IsHeld())
        return std::nullopt;
    return folder;
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
    return StoreEntry(recordPath).Read();
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
    StoreEntry(recordPath).Forget();
}

StoreEntry::StoreEntry(const std::string& recordPath) : m_path(EntryPath(recordPath)) {}

std::optional<StoredShortcut> StoreEntry::Read() const
{
    if (!m_path)
        return std::nullopt;
    std::optional<std::string> bytes = ReadWholeFile(*m_path);
    if (!bytes)
        return std::nullopt;
    SecretWiper clearBytes(*bytes);
    return ParseStoredShortcut(*bytes);
}

void StoreEntry::Forget() const
{
    if (m_path)
        DeleteFileA(m_path->c_str());
}
