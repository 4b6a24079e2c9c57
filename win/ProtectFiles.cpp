#include "win/ProtectFiles.h"

#include "core/ProtectRules.h"
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "core/Secret.h"
#include "win/Files.h"
#include "win/IconCopy.h"
#include "win/LocalPaths.h"
#include "win/ShellLink.h"
#include "win/Strings.h"
#include "win/SystemLauncher.h"

namespace {

// How many later seconds are tried when the record's name is taken.
constexpr int RecordNameTries = 100;

ProtectResult ResultFor(ShortcutTextProblem problem)
{
    switch (problem) {
    case ShortcutTextProblem::TooLong: return ProtectResult::TextTooLong;
    case ShortcutTextProblem::NotInCodePage: return ProtectResult::NotInCodePage;
    case ShortcutTextProblem::None: break;
    }
    return ProtectResult::Ready;
}

// True when text passes through the shell link object's UTF-16 unchanged.
bool SurvivesCodePage(const std::string& text)
{
    return ToAnsi(ToWide(text)) == text;
}

} // namespace

LoadedShortcut LoadShortcutForProtection(const std::string& pickedPath)
{
    LoadedShortcut loaded;
    ShortcutTextProblem problem = ShortcutTextProblem::None;
    bool advertised = false;
    HRESULT read = ReadShortcut(pickedPath, loaded.info, &problem, &advertised);
    // An advertised shortcut installed here is taken at its component's path and nothing else.
    // Windows Installer is asked only about those: it loads the file once more.
    std::string componentPath;
    if (advertised && ResolveAdvertisedShortcut(pickedPath, componentPath)) {
        ShortcutInfo component;
        component.targetPath = componentPath;
        // How it is started stays the shortcut's own.
        component.hotKey = loaded.info.hotKey;
        component.showCommand = loaded.info.showCommand;
        component.runAsAdministrator = loaded.info.runAsAdministrator;
        loaded.info = component;
        read = S_OK;
        problem = ShortcutTextProblem::None;
    }

    // The path as it is when the file system gives no short form, or must not be asked: a target
    // on a server is refused below without being looked at.
    if (IsLocalPath(loaded.info.targetPath))
        loaded.info.targetPath = ShortPathName(loaded.info.targetPath).value_or(loaded.info.targetPath);
    if (FAILED(read)) {
        loaded.result = ProtectResult::ReadFailed;
        return loaded;
    }
    // Refused before anything is asked or written: what the record cannot keep exactly would
    // come back changed, or start something else, after protect and remove.
    if (IsSystemLauncherTarget(loaded.info.targetPath))
        loaded.result = ProtectResult::AlreadyProtected;
    else if (problem != ShortcutTextProblem::None)
        loaded.result = ResultFor(problem);
    else if (!IsAbsoluteFileSystemPath(loaded.info.targetPath))
        loaded.result = ProtectResult::NotAFileTarget;
    // Remove opens only a local record; one on a server could never be taken away again. Any
    // stamp will do: only the record's folder counts.
    else if (!IsLocalRecordFile(MakeRecordPath(loaded.info.targetPath, "01012000000000")))
        loaded.result = ProtectResult::NetworkTarget;
    else if (!SurvivesCodePage(loaded.info.targetPath))
        loaded.result = ProtectResult::NotInCodePage;
    else if (!IsStorableRecord({std::string(), MakeCommandLine(loaded.info.targetPath, loaded.info.arguments),
                                loaded.info.workingDirectory}))
        loaded.result = ProtectResult::NotStorable;
    return loaded;
}

ProtectOutcome ApplyProtection(const std::string& pickedPath, const ShortcutInfo& info, const std::string& password,
                               bool useOriginalIcon, const std::string& timeStamp)
{
    ProtectOutcome outcome;

    ProtectionRecord record;
    record.password = password;
    SecretWiper clearPassword(record.password);
    record.commandLine = MakeCommandLine(info.targetPath, info.arguments);
    record.workingDirectory = info.workingDirectory;
    if (!IsStorableRecord(record)) {
        outcome.result = ProtectResult::NotStorable;
        return outcome;
    }

    const std::optional<std::string> systemDirectory = SystemDirectory();
    const std::optional<std::string> launcher = SystemLauncherPath();
    if (!systemDirectory || !launcher) {
        outcome.result = ProtectResult::SystemDirectoryFailed;
        return outcome;
    }
    // Asked before the record is written: a record, with its password, for a shortcut that is
    // then not changed would be left behind for nothing.
    if (!CanReplaceFile(pickedPath)) {
        outcome.result = ProtectResult::ShortcutNotWritable;
        return outcome;
    }

    // Created, never overwritten: a record of the same second, or a link planted at its name,
    // stays as it is and the next second's name is tried. A shortcut that starts the launcher
    // without its record would lock the user out, so nothing goes further unless the record is
    // on disk whole.
    std::string stamp = timeStamp;
    std::string bytes = FormatProtectionRecord(record);
    SecretWiper clearBytes(bytes);
    NewFileResult written = NewFileResult::Exists;
    for (int tries = 0; tries < RecordNameTries && written == NewFileResult::Exists && !stamp.empty(); ++tries) {
        if (tries > 0)
            stamp = NextTimeStamp(stamp);
        outcome.recordPath = MakeRecordPath(info.targetPath, stamp);
        if (!SurvivesCodePage(Scramble(outcome.recordPath))) {
            outcome.result = ProtectResult::NotInCodePage;
            return outcome;
        }
        written = WriteNewWholeFile(outcome.recordPath, bytes);
    }
    if (written != NewFileResult::Written) {
        outcome.result = ProtectResult::RecordWriteFailed;
        return outcome;
    }

    ShortcutInfo protectedLink;
    std::string iconCopy; // made by this attempt
    protectedLink.targetPath = *launcher;
    protectedLink.arguments = Scramble(outcome.recordPath);
    // Kept on the protected shortcut, so that remove gives them back: a hot key then starts the
    // launcher, which asks; the show command reaches the program through it; run as
    // administrator starts the launcher, and with it the program, with the rights the owner gave.
    protectedLink.description = info.description;
    protectedLink.hotKey = info.hotKey;
    protectedLink.showCommand = info.showCommand;
    protectedLink.runAsAdministrator = info.runAsAdministrator;
    if (useOriginalIcon) {
        IconChoice icon = ChooseOriginalIcon(info.iconPath, info.iconIndex, info.targetPath, *systemDirectory);
        if (!icon.copyFrom.empty()) {
            // Only the icon itself is copied, never the file it lies in, and never over a file
            // already there. Without it the shortcut shows the launcher's icon, and says so.
            const std::optional<std::string> shown = ReadShownIcon(icon.copyFrom, icon.copyIndex);
            const std::optional<std::string> copy = shown ? WriteIconCopy(*systemDirectory, stamp, *shown)
                                                          : std::nullopt;
            icon.iconPath = copy.value_or(std::string());
            icon.iconIndex = 0;
            iconCopy = icon.iconPath;
            outcome.iconNotCopied = !copy;
        }
        protectedLink.iconPath = icon.iconPath;
        protectedLink.iconIndex = icon.iconIndex;
    }

    if (SUCCEEDED(WriteShortcut(pickedPath, protectedLink, &outcome.iconRefused))) {
        outcome.result = ProtectResult::Succeeded;
        return outcome;
    }
    // The shortcut is as it was: what this attempt made goes again, the password first.
    const bool recordGone = DeleteFileA(outcome.recordPath.c_str()) != FALSE;
    if (!iconCopy.empty())
        DeleteFileA(iconCopy.c_str());
    outcome.result = recordGone ? ProtectResult::ShortcutNotWritable : ProtectResult::CreateLinkFailed;
    return outcome;
}
