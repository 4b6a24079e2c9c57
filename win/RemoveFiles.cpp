#include "win/RemoveFiles.h"

#include "core/ProtectRules.h"
#include "core/RemoveRules.h"
#include "core/Scramble.h"
#include "core/Secret.h"
#include "win/Files.h"
#include "win/LocalPaths.h"
#include "win/ShellLink.h"
#include "win/ShortcutStore.h"
#include "win/Strings.h"
#include "win/SystemLauncher.h"

namespace {

// The shortcut as the record gives it back; with no icon of its own it shows the program's.
ShortcutInfo RestoredFromRecord(const LoadedProtection& loaded)
{
    ShortcutInfo restored = RestoredShortcutInfo(loaded.info, loaded.record, loaded.commandLine);
    if (restored.iconPath.empty())
        restored.iconPath = ToWide(restored.targetPath);
    return restored;
}

} // namespace

bool IsProtectedShortcut(const std::wstring& linkPath)
{
    ShortcutInfo info;
    return SUCCEEDED(ReadShortcut(linkPath, info)) && IsSystemLauncherTarget(info.targetPath);
}

LoadedProtection LoadProtectedShortcut(const std::wstring& pickedPath)
{
    LoadedProtection loaded;
    LocalPaths local;
    if (FAILED(ReadShortcut(pickedPath, loaded.info, local, ShellLinkMaker()))) {
        loaded.result = RemoveResult::ReadFailed;
        return loaded;
    }

    loaded.recordPath = Unscramble(loaded.info.arguments);
    // Only a shortcut that starts the launcher in the system folder names a record, and only a
    // local .lki file is opened as one: the file named by any other shortcut's arguments is never
    // opened, nor a server's, before anyone has typed a password. (The record's drive is most often
    // the launcher's, which the read asked about already.)
    RecordReadResult read;
    SecretWiper clearPassword(read.record.password);
    if (IsSystemLauncherTarget(loaded.info.targetPath) && IsLocalRecordPath(loaded.recordPath) &&
        local.IsLocal(ToWide(loaded.recordPath))) {
        std::optional<std::string> bytes = ReadWholeFile(loaded.recordPath);
        read = ParseRecordFile(bytes);
        if (bytes)
            ClearSecret(*bytes);
    }
    if (read.status == RecordStatus::CannotOpen) {
        loaded.result = RemoveResult::NotProtected;
        return loaded;
    }
    loaded.commandLine = SplitCommandLine(read.record.commandLine);
    // Checked before anyone is asked for a password: a record that does not come apart into
    // its fields, or names no target, would restore a shortcut that starts nothing; one with a
    // field longer than a shortcut holds would restore it cut.
    if (read.status != RecordStatus::Ok || !loaded.commandLine.ok || loaded.commandLine.targetPath.empty() ||
        !FitsInShortcut(RestoredShortcutInfo(loaded.info, read.record, loaded.commandLine))) {
        loaded.result = RemoveResult::RecordDamaged;
        return loaded;
    }
    loaded.record = std::move(read.record);
    return loaded;
}

RemoveOutcome RestoreShortcut(const std::wstring& pickedPath, const LoadedProtection& loaded)
{
    RemoveOutcome outcome;
    // The original exactly as protect found it, when the store has it and it belongs to this
    // shortcut as protect left it: every field and block comes back, the long target included.
    // Otherwise (protected before the store, on another PC, or changed since) from the record.
    const StoreEntry entry(loaded.recordPath);
    const std::optional<StoredShortcut> kept = entry.Read();
    const std::optional<std::string> current = kept ? ReadWholeFile(pickedPath) : std::nullopt;
    const bool whole = kept && current && BelongsTo(*kept, loaded.recordPath, *current);
    const HRESULT written =
        whole ? PutShortcutBytes(pickedPath, kept->originalBytes)
              : WriteShortcut(pickedPath, RestoredFromRecord(loaded), &outcome.iconRefused);
    if (FAILED(written))
        return outcome;
    // Given back: the copy has done its work. One the shortcut did not match stays for the
    // shortcut it belongs to.
    if (whole)
        entry.Forget();
    outcome.result = RemoveResult::Succeeded;
    return outcome;
}
