#include "win/ProtectFiles.h"

#include "core/ProtectRules.h"
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "win/Files.h"
#include "win/ShellLink.h"
#include "win/Strings.h"

LoadedShortcut LoadShortcutForProtection(const std::string& pickedPath)
{
    LoadedShortcut loaded;
    // An advertised shortcut installed here is taken at its component's path and nothing else.
    if (!ResolveAdvertisedShortcut(pickedPath, loaded.info.targetPath))
        loaded.status = ReadShortcut(pickedPath, loaded.info);

    // The path as it is when the file system gives no short form.
    loaded.info.targetPath = ShortPathName(loaded.info.targetPath).value_or(loaded.info.targetPath);
    if (FAILED(loaded.status)) {
        loaded.message = ProtectMessage::ReadFailed;
    } else if (IsAlreadyProtected(loaded.info.targetPath)) {
        loaded.message = ProtectMessage::AlreadyProtected;
        loaded.status = -1;
    }
    return loaded;
}

ProtectOutcome ApplyProtection(const std::string& pickedPath, const ShortcutInfo& info, const std::string& password,
                               bool useOriginalIcon, const std::string& timeStamp)
{
    ProtectOutcome outcome;
    outcome.recordPath = MakeRecordPath(info.targetPath, timeStamp);

    // A shortcut that starts the launcher without its record would lock the user out, so
    // nothing goes further unless the record is on disk whole.
    ProtectionRecord record;
    record.password = password;
    record.commandLine = MakeCommandLine(info.targetPath, info.arguments);
    record.workingDirectory = info.workingDirectory;
    if (!WriteWholeFile(outcome.recordPath, FormatProtectionRecord(record))) {
        outcome.message = ProtectMessage::RecordWriteFailed;
        outcome.status = RecordWriteFailedStatus;
        return outcome;
    }

    const std::optional<std::string> systemDirectory = SystemDirectory();
    if (!systemDirectory) {
        outcome.message = ProtectMessage::SystemDirectoryFailed;
        outcome.status = 0;
        return outcome;
    }

    ShortcutInfo protectedLink;
    protectedLink.targetPath = *systemDirectory + "\\" + LauncherFileName;
    protectedLink.arguments = Scramble(outcome.recordPath);
    protectedLink.description = info.description;
    if (useOriginalIcon) {
        IconChoice icon = ChooseOriginalIcon(info.iconPath, info.iconIndex, info.targetPath, *systemDirectory, timeStamp);
        // Without its copy the icon source itself is the best look-alike left.
        if (!icon.copyFrom.empty() && !CopyFileA(icon.copyFrom.c_str(), icon.iconPath.c_str(), FALSE))
            icon.iconPath = icon.copyFrom;
        protectedLink.iconPath = icon.iconPath;
        protectedLink.iconIndex = icon.iconIndex;
    }

    outcome.status = WriteShortcut(pickedPath, protectedLink, &outcome.iconRefused);
    outcome.message = FAILED(outcome.status) ? ProtectMessage::CreateLinkFailed : ProtectMessage::Succeeded;
    return outcome;
}
