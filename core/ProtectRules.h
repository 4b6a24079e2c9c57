// The protect command's decisions that need no Windows API: what counts as protected, which
// paths may hold a record, and the icon choice.
#pragma once

#include "core/ProtectionRecord.h"

#include <string>

// How a protect ended, or why it cannot go on (the file work in win/ProtectFiles decides it).
enum class ProtectResult {
    Ready,                 // only from loading: read and checked, the password dialog comes next
    ReadFailed,            // the shortcut could not be read
    AlreadyProtected,      // it already starts the launcher in the system folder
    TextTooLong,           // a text longer than the shortcut could be read with
    NotAFileTarget,        // no target, or not an absolute file-system path (This PC, say)
    DriveRoot,             // it opens a whole drive
    RecordFolderNotWritable, // the program's folder, where the record goes, takes no new file
    NetworkTarget,         // the target's folder, where the record goes, is on a server
    NotInCodePage,         // a character the ANSI code page has no form for
    NotStorable,           // a field whose scrambled form holds a line end
    RecordWriteFailed,     // the record could not be written; the shortcut is untouched
    SystemDirectoryFailed, // the system folder could not be found
    ShortcutNotWritable,   // the shortcut cannot be replaced; nothing was left behind
    OriginalNotKept,       // the original shortcut could not be kept in Latchkey's store; nothing was left behind
    CreateLinkFailed,      // the protected shortcut could not be saved, and its record stays
    Succeeded,
};

// The launcher that protected shortcuts start, from the Windows system directory.
inline constexpr char LauncherFileName[] = "lkrun3.exe";

// True when the target is the launcher in the system folder, given that folder's long and short
// forms, in any case: such a shortcut is protected. The launcher's name in another folder, or a
// program whose name only ends in it, is an ordinary program.
bool IsSystemLauncher(const std::string& targetPath, const std::string& systemDirectory,
                      const std::string& shortSystemDirectory);

// True for a path the elevated tool may open as a record: a file ending in ".lki" on a drive
// letter. A UNC or device path is not: opening it would reach out to a server before anyone has
// typed a password. (Whether the drive letter is a network drive the caller asks Windows.)
bool IsLocalRecordPath(const std::string& path);

// True for a path protect can put a record beside: a drive letter, a colon and a backslash, or
// a UNC path (\\server\share\...). Empty, relative and virtual targets are not.
// Nor is one holding a character no file name holds (control characters included).
bool IsAbsoluteFileSystemPath(const std::string& path);

// True when every field's scrambled form is free of line ends, so that the record's lines come
// apart where they were written and read back as the same fields.
bool IsStorableRecord(const ProtectionRecord& record);

// True when text's scrambled form holds a line end (it cannot be one line of a stored file).
bool ScramblesToLineEnd(const std::string& text);

// How the protected shortcut keeps the look of the original icon.
struct IconChoice {
    // The file whose icon is copied (an .ico file, or a program or library holding icon groups)
    // and which of its icons; empty: iconPath and iconIndex are used as they are.
    std::wstring copyFrom;
    int copyIndex = 0;
    std::wstring iconPath;
    int iconIndex = 0;
};

// The icon source is the shortcut's icon file, else its target, at the shortcut's icon index. A
// target without an extension (a folder, say) gets the folder icon of SHELL32.dll instead.
// All three paths are UTF-16: an icon location may hold any character.
IconChoice ChooseOriginalIcon(const std::wstring& iconPath, int iconIndex, const std::wstring& targetPath,
                              const std::wstring& systemDirectory);

// Where an icon copy goes: the system directory, the stamp and ".ico".
std::string IconCopyPath(const std::string& systemDirectory, const std::string& timeStamp);
