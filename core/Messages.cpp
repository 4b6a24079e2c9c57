#include "core/Messages.h"

#include "core/LaunchRequest.h"
#include "core/ProtectRules.h"
#include "core/RemoveRules.h"
#include "core/ShortcutState.h"

#include <string>

std::string ProtectMessageText(ProtectResult message, const std::string& baseName, const std::string& recordPath)
{
    switch (message) {
    case ProtectResult::Ready:
        return std::string();
    case ProtectResult::ReadFailed:
        return "Failed to get the shortcut information.\n(Only a shortcut link (.lnk) can be password protected)";
    case ProtectResult::AlreadyProtected:
        return "The shortcut you selected is already a password protected link.";
    case ProtectResult::TextTooLong:
        return "The shortcut holds a text longer than Latchkey can keep.\nThe shortcut has not been changed.";
    case ProtectResult::NotAFileTarget:
        return "The shortcut does not start a program or file on a disk, so it cannot be protected.\n"
               "The shortcut has not been changed.";
    case ProtectResult::DriveRoot:
        return "The shortcut opens a whole drive, not a program, so it cannot be protected.\n"
               "The shortcut has not been changed.";
    case ProtectResult::RecordFolderNotWritable:
        return "The protection record cannot be written into the program's folder: it is missing, or it does not "
               "allow changes.\nThe shortcut has not been changed.";
    case ProtectResult::NetworkTarget:
        return "The shortcut starts a program on a network share. Latchkey protects programs on this "
               "computer's own disks only.\nThe shortcut has not been changed.";
    case ProtectResult::NotInCodePage:
        return "The shortcut holds a character that Windows cannot pass on in the form Latchkey stores.\n"
               "The shortcut has not been changed.";
    case ProtectResult::NotStorable:
        return "The shortcut holds a character that a protection record cannot keep.\n"
               "The shortcut has not been changed.";
    case ProtectResult::RecordWriteFailed:
        return "Failed to write the protection record file:\n" + recordPath + "\nThe shortcut has not been changed.";
    case ProtectResult::SystemDirectoryFailed:
        return "GetSystemDirectory failed!";
    case ProtectResult::ShortcutNotWritable:
        return "The shortcut cannot be written: another program may have it open, or its folder may not "
               "allow changes.\nThe shortcut has not been changed.";
    case ProtectResult::OriginalNotKept:
        return "Latchkey could not keep a copy of the shortcut in its folder under ProgramData, from which "
               "removing the protection gives it back.\nThe shortcut has not been changed.";
    case ProtectResult::CreateLinkFailed:
        return "Create Link failed!\nThis protection record could not be removed again:\n" + recordPath;
    case ProtectResult::Succeeded:
        return "Password protection link for\n" + baseName + "\nhas been created successfully!";
    }
    return std::string();
}

std::string RemoveMessageText(RemoveResult message, const std::string& baseName, const std::string& recordPath)
{
    switch (message) {
    case RemoveResult::Ready:
        return std::string();
    case RemoveResult::ReadFailed:
        return "This file could not be read as a shortcut.";
    case RemoveResult::NotProtected:
        return "The shortcut you selected doesn't seem to be a protected one.\n(Failed to open lki file)";
    case RemoveResult::RecordDamaged:
        return "The protection record of this shortcut is damaged:\n" + recordPath + "\nThe shortcut has not been changed.";
    case RemoveResult::RestoreFailed:
        return "Failed to restore original Link.";
    case RemoveResult::Succeeded:
        return "Password protection for\n" + baseName + "\nhas been removed successfully.";
    }
    return std::string();
}

std::string TargetShortcutText(const std::string& linkPath)
{
    return "Target shortcut: " + linkPath;
}

std::string WindowNotOpenedText(const std::string& systemText)
{
    return "A window of Latchkey could not be opened:\n" + systemText;
}

std::string SystemErrorNumberText(unsigned long error)
{
    return "Error " + std::to_string(error) + ".";
}

std::string ToolUsageText()
{
    return "Usage:\n"
           "Latchkey\n"
           "      opens the main window.\n"
           "Latchkey /protect <shortcut>\n"
           "      puts a password prompt in front of the shortcut.\n"
           "Latchkey /remove <shortcut>\n"
           "      removes the shortcut's password protection.\n"
           "Latchkey <shortcut>\n"
           "      removes the protection of a protected shortcut, protects any other.\n"
           "Latchkey /report <file> [/quiet]\n"
           "      writes every shortcut on this computer and its state to the file (CSV).\n"
           "Latchkey /history <file>\n"
           "      writes who started or changed a protected program, and when, to the file (CSV).\n"
           "Latchkey /keep <program> [/password-file <file>]\n"
           "      protects every shortcut to the program, now and at every logon.\n"
           "Latchkey /unkeep <program> [/password-file <file>]\n"
           "      stops keeping the program protected; its shortcuts stay as they are.\n"
           "Latchkey /check\n"
           "      protects again what kept programs lost (run at every logon).\n"
           "\n"
           "Switches may also start with - and are not case-sensitive. Passwords are never taken from the\n"
           "command line: they are typed, or read from a private file or from standard input.\n"
           "Exit code: 0 done, 1 refused or failed, 2 cancelled.";
}

std::string NotAShortcutFileText(const std::string& path)
{
    return "This is not a shortcut file:\n" + path;
}

std::string UnexpectedAfterUsageText(const std::string& rest)
{
    return "Unexpected text after /?: " + rest;
}

std::string UnknownSwitchText(const std::string& word)
{
    return "Unknown switch: " + word + "\nType Latchkey /? for the usage.";
}

std::string UnexpectedAfterSwitchText(const std::string& word, const std::string& rest)
{
    return "Unexpected text after " + word + ": " + rest;
}

std::string SwitchNeedsPathText(const std::string& word, PathKind kind)
{
    const char* what = kind == PathKind::ReportFile     ? "the report file."
                       : kind == PathKind::PasswordFile ? "the password file."
                       : kind == PathKind::Program      ? "a program."
                                                        : "a shortcut.";
    return "The switch " + word + " needs the path of " + what;
}

std::string NotOnePathText(const std::string& text, PathKind kind)
{
    const char* what = kind == PathKind::Shortcut ? "shortcut: " : kind == PathKind::Program ? "program: " : "file: ";
    return std::string("This is not the path of one ") + what + text;
}

std::string MasterSaveFailedText(const std::string& path)
{
    return "Failed to save the master password:\n" + path +
           "\nThe master password has not been changed. Writing to the system folder needs administrator rights.";
}

std::string MasterUnreadableText(const std::string& path, bool atStartUp)
{
    return "The master password file cannot be read:\n" + path + (atStartUp ? "\nLatchkey will now close." : "");
}

std::string StartFailureText(const std::string& targetPath, const std::string& systemText)
{
    return "The program could not be started:\n" + targetPath + "\n" + systemText;
}

std::string LaunchProblemText(LaunchProblem problem, const std::string& recordPath)
{
    // The path is shown as far as a message box can show it: up to a NUL.
    const std::string path = recordPath.substr(0, recordPath.find('\0'));
    switch (problem) {
    case LaunchProblem::NoArgument:
        return "No protection record was given.\nThis program starts the programs of password protected "
               "shortcuts; open the shortcut instead.";
    case LaunchProblem::CannotOpen:
        return "The protection record of this shortcut cannot be opened:\n" + path +
               "\nThe program has not been started.";
    case LaunchProblem::Damaged:
        return "The protection record of this shortcut is damaged:\n" + path + "\nThe program has not been started.";
    case LaunchProblem::None:
        break;
    }
    return std::string();
}

const char* ShortcutStateText(ShortcutState state)
{
    switch (state) {
    case ShortcutState::Protected: return "Protected";
    case ShortcutState::RecordMissing: return "Protected, record missing";
    case ShortcutState::RecordDamaged: return "Protected, record damaged";
    case ShortcutState::LauncherMissing: return "Protected, launcher missing";
    case ShortcutState::StartsProtectedProgram: return "Not protected, starts a protected program";
    case ShortcutState::NotProtected: break;
    }
    return "Not protected";
}

namespace {

std::string Counted(size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

std::string LookSummaryText(size_t shortcuts, size_t protectedCount, size_t startsProtected, size_t broken,
                            int unreadable, bool limitReached, size_t maxShortcuts, size_t maxFolders)
{
    std::string text = Counted(shortcuts, "shortcut", "shortcuts") + ": " + std::to_string(protectedCount) +
                       " protected, " + std::to_string(startsProtected) + " not protected that " +
                       (startsProtected == 1 ? "starts" : "start") + " a protected program, " +
                       std::to_string(broken) + " broken.";
    if (unreadable > 0)
        text += " " + Counted(static_cast<size_t>(unreadable), "place", "places") + " could not be read.";
    if (limitReached)
        text += " The look stopped at its limit of " + Counted(maxShortcuts, "shortcut", "shortcuts") + " and " +
                Counted(maxFolders, "folder", "folders") + ": some were not looked at.";
    return text;
}

std::string ReportWriteFailedText(const std::string& path, const std::string& systemText)
{
    return "The report could not be written to\n" + path + "\n\n" + systemText;
}

std::string LookProgressText(size_t found)
{
    return "Looking for shortcuts: " + Counted(found, "shortcut", "shortcuts") + " found so far...";
}

std::string BatchLineText(const std::string& shortcutName, const std::string& text)
{
    return shortcutName + ": " + text + "\n";
}

std::string ShortcutsCountText(size_t count)
{
    return Counted(count, "shortcut", "shortcuts");
}

std::string HistoryWriteFailedText(const std::string& path, const std::string& systemText)
{
    return "The history could not be written to\n" + path + "\n\n" + systemText;
}

std::string HistoryCountText(size_t entries)
{
    return Counted(entries, "entry", "entries") + ", newest first.";
}

std::string LockedOutText(long long secondsLeft)
{
    const long long minutes = secondsLeft / 60, seconds = secondsLeft % 60;
    return "Too many wrong passwords. You can try again in " + std::to_string(minutes) + ":" +
           (seconds < 10 ? "0" : "") + std::to_string(seconds) + ".";
}

std::string NotALocalProgramText(const std::string& path)
{
    return "This is not a program file on this computer's own disks:\n" + path + "\nNothing has been changed.";
}

std::string PasswordFileNotPrivateText(const std::string& path)
{
    return "Other users than its owner, Administrators and SYSTEM can read the password file\n" + path +
           "\nLet only Administrators and SYSTEM read it. Nothing has been changed.";
}

std::string PasswordFileUnreadableText(const std::string& path, const std::string& systemText)
{
    return "The password file cannot be read:\n" + path + "\n\n" + systemText + "\nNothing has been changed.";
}

std::string PasswordFileNotAFileText(const std::string& path)
{
    return "This is not a password file (it is a folder or a device, or larger than 64 KB):\n" + path +
           "\nNothing has been changed.";
}

std::string KeptWithOtherPasswordText(const std::string& program)
{
    return program +
           "\nis already kept protected with another password. Stop keeping it first (Latchkey /unkeep), then keep "
           "it with the new one.\nNothing has been changed.";
}

std::string NotKeptText(const std::string& program)
{
    return "This program is not kept protected:\n" + program;
}

std::string CheckTaskNotRegisteredText(const std::string& systemText)
{
    return "The check at every logon (the scheduled task \"Latchkey check\") could not be registered:\n" + systemText +
           "\nNothing has been changed.";
}

std::string CheckTaskNotDeletedText(const std::string& systemText)
{
    return "The check at every logon (the scheduled task \"Latchkey check\") could not be deleted:\n" + systemText +
           "\nNothing has been changed.";
}

std::string KeptText(const std::string& program, size_t protectedNow, size_t alreadyProtected)
{
    return program + "\nis kept protected: " + Counted(protectedNow, "shortcut", "shortcuts") + " protected now, " +
           std::to_string(alreadyProtected) +
           " already protected. A check at every logon protects the shortcuts that updates put back.";
}

std::string UnkeptText(const std::string& program)
{
    return program + "\nis no longer kept protected. Its shortcuts stay as they are.";
}

std::string RecordNotRestoredText(const std::string& recordPath)
{
    return "its protection record is missing and could not be written again:\n" + recordPath;
}

std::string StopKeepingQuestionText(const std::string& program)
{
    return program +
           "\nis kept protected: the next check (at every logon) protects this shortcut again.\n\n"
           "Stop keeping the program protected?";
}
