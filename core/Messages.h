// The texts of the message boxes Latchkey and its launcher show, the file dialogs' titles and the
// command line's usage and mistakes, by command. The outcomes they tell are declared beside the
// code that decides them; whoever shows an outcome (a command's box, a batch's summary, a report)
// turns it into these texts. Only the dialogs' own texts are elsewhere, in their templates (res/*.rc).
#pragma once

#include <cstddef>
#include <string>

// The outcomes told here (core/ProtectRules.h, core/RemoveRules.h, core/ShortcutState.h,
// core/LaunchRequest.h); a caller that names their values includes their own header.
enum class ProtectResult;
enum class RemoveResult;
enum class ShortcutState;
enum class LaunchProblem;

// The text of a message (Ready has none); baseName is used by Succeeded, recordPath by
// RecordWriteFailed and CreateLinkFailed.
std::string ProtectMessageText(ProtectResult message, const std::string& baseName, const std::string& recordPath);

// The text of a message (Ready has none); baseName is used by Succeeded, recordPath by
// RecordDamaged.
std::string RemoveMessageText(RemoveResult message, const std::string& baseName, const std::string& recordPath);

// Fixed texts of the tool's dialogs and commands.
namespace text {
inline constexpr char PasswordNotCorrect[] = "Password not correct!";
inline constexpr char EmptyPassword[] = "You cannot have empty password.";
inline constexpr char RetypeDiffers[] = "The password you retyped is not the same as the first one. Try again.";
inline constexpr char PasswordNotStorable[] =
    "This password holds a character that Latchkey cannot store. Type another password.";
inline constexpr char MarkerNotAPassword[] = "This word cannot be used as a password.";
inline constexpr char FolderNotHeld[] =
    "The folder of the shortcut or of its program is reached through a link or junction, or was moved or replaced "
    "while Latchkey was working on it.\nThe shortcut has not been changed.";
inline constexpr char SetIconFailed[] = "SetIconLocation failed!";
inline constexpr char IconNotCopied[] = "Its own icon could not be copied: the shortcut shows the launcher's icon.";
inline constexpr char ProtectSucceededCaption[] = "Succeed!";
inline constexpr char RemoveSucceededCaption[] = "Removal Succeed";
inline constexpr char PickToProtectTitle[] = "SELECT THE SHORTCUT YOU WANT TO ADD PASSWORD PROTECTION";
inline constexpr char PickToRemoveTitle[] =
    "*** REMOVE password protection -- select the shortcut you want to remove password protection";
inline constexpr char HelpFailed[] = "Failed to use notepad to read help file.";
inline constexpr char Wrong32BitTool[] =
    "This is the 32-bit Latchkey. On 64-bit Windows, install and run the 64-bit Latchkey.";
inline constexpr char DropOneShortcut[] =
    "Drop one shortcut (.lnk) on this window to protect it, or to remove its protection.";

inline constexpr char GateNoSystemFolder[] = "GetSystemDirectory failed when finding master password info.";
inline constexpr char SetNoSystemFolder[] = "GetSystemDirectory failed when setting up master password!";
inline constexpr char MasterUpdated[] = "Master password has been updated.";
inline constexpr char MasterUpdatedCaption[] = "Succeed";
inline constexpr char BlankMasterQuestion[] = "You didn't enter anything as the master password.\n"
                                              "Blank master password means everyone can access this program.\n"
                                              "Are you sure to do it?";
inline constexpr char BlankMasterCaption[] = "Disabling master password";
// The shortcuts window's columns and its folder picker.
inline constexpr char ColumnShortcut[] = "Shortcut";
inline constexpr char ColumnFolder[] = "Folder";
inline constexpr char ColumnProgram[] = "Program";
inline constexpr char ColumnState[] = "State";
inline constexpr char AddFolderTitle[] = "Choose a folder whose shortcuts to show too";
// The shortcuts window's column that tells a kept program's shortcuts, and what a check would do
// to each: protect a plain one, or restore the record of a protected one.
inline constexpr char ColumnKept[] = "Kept";
inline constexpr char KeptYes[] = "Yes";
inline constexpr char KeptCheckProtects[] = "Yes, check protects it";
inline constexpr char KeptCheckRestores[] = "Yes, check restores it";
// Stop keeping... with nothing kept selected.
inline constexpr char NoKeptProgramSelected[] =
    "Select a program in the list of kept programs, or a shortcut that starts one.";
// A batch remove: a shortcut whose record holds another password than the one typed.
inline constexpr char PasswordDoesNotMatch[] = "password does not match";
// The history window's columns, its count and its Save as dialog.
inline constexpr char ColumnTime[] = "Time";
inline constexpr char ColumnUser[] = "User";
inline constexpr char ColumnResult[] = "Result";
inline constexpr char SaveHistoryTitle[] = "Save the history as";
inline constexpr char CsvFilter[] = "CSV file (*.csv)\0*.csv\0All files\0*.*\0";
// The file dialog's choice of files: pairs of display text and pattern, each ended by a null.
inline constexpr char ShortcutFilter[] = "Program Link (*.lnk)\0*.lnk\0";
} // namespace text

// The remove dialog's line naming the shortcut.
std::string TargetShortcutText(const std::string& linkPath);

// A window of the tool could not be opened; systemText is the system's text for why.
std::string WindowNotOpenedText(const std::string& systemText);

// The system's text for an error was not to be had.
std::string SystemErrorNumberText(unsigned long error);

// The command line's usage (Latchkey /?), and its mistakes.
std::string ToolUsageText();
std::string NotAShortcutFileText(const std::string& path);
std::string UnexpectedAfterUsageText(const std::string& rest);
std::string UnexpectedAfterSwitchText(const std::string& word, const std::string& rest);
std::string UnknownSwitchText(const std::string& word);
// What a switch's path names.
enum class PathKind { Shortcut, ReportFile, PasswordFile, Program };
std::string SwitchNeedsPathText(const std::string& word, PathKind kind);
std::string NotOnePathText(const std::string& text, PathKind kind);

// The master password could not be saved at path.
std::string MasterSaveFailedText(const std::string& path);

// The master password file exists but cannot be read; atStartUp adds that the tool closes.
std::string MasterUnreadableText(const std::string& path, bool atStartUp);

// The launcher: the program could not be started; systemText is the system's text for the error.
std::string StartFailureText(const std::string& targetPath, const std::string& systemText);

// "Protected", "Protected, record missing", ... as the report and the window show them.
const char* ShortcutStateText(ShortcutState state);

// For example "37 shortcuts: 5 protected, 2 not protected that start a protected program,
// 1 broken.", then how many places could not be read, when any, and that the look stopped at its
// limit of maxShortcuts shortcuts and maxFolders folders, when it did.
std::string LookSummaryText(size_t shortcuts, size_t protectedCount, size_t startsProtected, size_t broken,
                            int unreadable, bool limitReached, size_t maxShortcuts, size_t maxFolders);

// A batch of the shortcuts window: one shortcut's line in the summary, and how the dialog names
// the batch ("3 shortcuts").
std::string BatchLineText(const std::string& shortcutName, const std::string& text);
std::string ShortcutsCountText(size_t count);

// The shortcuts window while it looks: how many it has found so far.
std::string LookProgressText(size_t found);

// /report: the report could not be written to path; systemText is the system's text for why.
std::string ReportWriteFailedText(const std::string& path, const std::string& systemText);
// /report: the reasons of ReportWriteFailedText that are the tool's own.
namespace text {
inline constexpr char ReportNotAFile[] =
    "This names a device or a stream of a file. Name a file in a folder, such as C:\\Reports\\shortcuts.csv.";
inline constexpr char ReportFolderNotHeld[] =
    "Its folder is reached through a link or junction, or was moved or replaced while Latchkey was looking.";
} // namespace text

// /history and the history window's Save as: the CSV could not be written to path.
std::string HistoryWriteFailedText(const std::string& path, const std::string& systemText);

// The history window: how many entries it shows.
std::string HistoryCountText(size_t entries);

// The launcher's password dialog while it waits after too many wrong passwords.
std::string LockedOutText(long long secondsLeft);

// The message for a request that cannot be carried out; recordPath is shown up to a NUL.
std::string LaunchProblemText(LaunchProblem problem, const std::string& recordPath);

// Kept protection: /keep, /unkeep, /check, and removing a kept program's protection.
namespace text {
inline constexpr char KeptStoreUnreadable[] =
    "Latchkey cannot read or write its list of kept programs in its folder under ProgramData.\n"
    "Nothing has been changed.";
inline constexpr char NoPasswordOnInput[] = "No password could be read from standard input.\nNothing has been changed.";
inline constexpr char PasswordLineNotStorable[] =
    "The password holds a character that Latchkey cannot store.\nNothing has been changed.";
inline constexpr char KeptPasswordNotCorrect[] =
    "This is not the password the program is kept protected with.\nNothing has been changed.";
inline constexpr char RecordRestored[] = "its protection record has been written again.";
inline constexpr char NoPasswordSource[] =
    "Nobody can answer a dialog here: give the password in a file only Administrators and SYSTEM can read "
    "(/password-file) or on standard input.";
inline constexpr char MasterNotAskedUnattended[] =
    "A master password is set, and nobody can answer its prompt here. Run the command at the desktop.";
inline constexpr char KeepProtectingCaption[] = "Kept protected";
} // namespace text

// The program to keep protected is no program file on this computer's own disks.
std::string NotALocalProgramText(const std::string& path);
// The password file can be read by others, cannot be read (systemText says why), or is no file.
std::string PasswordFileNotPrivateText(const std::string& path);
std::string PasswordFileUnreadableText(const std::string& path, const std::string& systemText);
std::string PasswordFileNotAFileText(const std::string& path);
// /keep of a program kept with another password; /unkeep of one that is not kept.
std::string KeptWithOtherPasswordText(const std::string& program);
std::string NotKeptText(const std::string& program);
// The logon task could not be registered or deleted; systemText says why.
std::string CheckTaskNotRegisteredText(const std::string& systemText);
std::string CheckTaskNotDeletedText(const std::string& systemText);
// What /keep did: protectedNow shortcuts protected now, alreadyProtected found protected.
std::string KeptText(const std::string& program, size_t protectedNow, size_t alreadyProtected);
std::string UnkeptText(const std::string& program);
// /check: a missing record that could not be written again at recordPath.
std::string RecordNotRestoredText(const std::string& recordPath);
// After removing the protection of a kept program's shortcut: the next check would protect it again.
std::string StopKeepingQuestionText(const std::string& program);
