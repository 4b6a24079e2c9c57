#include "shortcut/UnprotectShortcut.h"

#include "storage/Scramble.h"

LoadedProtection LoadProtectedShortcut(const std::string& pickedPath)
{
    LoadedProtection loaded;
    loaded.status = ReadShortcut(pickedPath, loaded.info);
    if (FAILED(loaded.status))
        return loaded;

    loaded.recordPath = UnscramblePassword(loaded.info.arguments);
    RecordReadResult read = ReadProtectionRecord(loaded.recordPath);
    if (read.status == RecordStatus::CannotOpen) {
        loaded.message = RemoveMessage::NotProtected;
        loaded.status = -1;
        return loaded;
    }
    loaded.commandLine = SplitCommandLine(read.record.commandLine);
    // Checked before anyone is asked for a password: a record that does not come apart into
    // its fields would restore a shortcut that starts nothing.
    if (read.status != RecordStatus::Ok || !loaded.commandLine.ok) {
        loaded.message = RemoveMessage::RecordDamaged;
        loaded.status = -1;
        return loaded;
    }
    loaded.record = read.record;
    return loaded;
}

ShortcutInfo RestoredShortcutInfo(const LoadedProtection& loaded)
{
    ShortcutInfo restored;
    restored.targetPath = loaded.commandLine.targetPath;
    restored.arguments = loaded.commandLine.arguments;
    restored.workingDirectory = loaded.record.workingDirectory;
    restored.iconPath = loaded.info.iconPath.empty() ? restored.targetPath : loaded.info.iconPath;
    restored.iconIndex = loaded.info.iconIndex;
    return restored;
}

RemoveOutcome RestoreShortcut(const std::string& pickedPath, const LoadedProtection& loaded)
{
    RemoveOutcome outcome;
    outcome.status = WriteShortcut(pickedPath, RestoredShortcutInfo(loaded));
    outcome.message = FAILED(outcome.status) ? RemoveMessage::RestoreFailed : RemoveMessage::Succeeded;
    return outcome;
}

std::string RemoveMessageText(RemoveMessage message, const std::string& baseName, const std::string& recordPath)
{
    switch (message) {
    case RemoveMessage::NotProtected:
        return "The shortcut you selected doesn't seem to be a protected one.\n(Failed to open lki file)";
    case RemoveMessage::RecordDamaged:
        return "The protection record of this shortcut is damaged:\n" + recordPath + "\nThe shortcut has not been changed.";
    case RemoveMessage::RestoreFailed:
        return "Failed to restore original Link.";
    case RemoveMessage::Succeeded:
        return "Password protection for\n" + baseName + "\nhas been removed successfully.";
    case RemoveMessage::None:
        break;
    }
    return std::string();
}
