// Splitting Windows paths as text: no file system is asked. Both '\' and '/' separate. The
// UTF-16 forms are for a shortcut's own path, which may hold any character.
#pragma once

#include <string>

// The last part of a path: the text after its last separator (the whole path when it has none).
std::string FileName(const std::string& path);
std::wstring FileName(const std::wstring& path);

// The file name without its extension; only a full stop in the file name itself starts one.
std::string BaseName(const std::string& path);
std::wstring BaseName(const std::wstring& path);

// The text before the last separator; empty when there is none.
std::string FolderOf(const std::string& path);
std::wstring FolderOf(const std::wstring& path);

// FolderOf as a folder that can be opened: a drive's root keeps its backslash ("C:\"), which
// "C:" alone does not name (that is the drive's current folder).
std::string FolderToOpen(const std::string& path);
std::wstring FolderToOpen(const std::wstring& path);

// True for a drive's root ("C:\", "C:" or "C:/"): a whole drive, not a file in it.
bool IsDriveRoot(const std::string& path);

// ASCII letters lower-cased, every other byte kept: the names compared here (the launcher's, file
// extensions) are ASCII, and the result must not depend on the locale.
std::string LowerAscii(std::string text);

// A number in decimal digits, with leading zeros up to width. Written out here because the
// runtime's formatting would bring all of printf into the programs.
std::string DecimalText(unsigned long number, std::size_t width = 1);

// The last count bytes of text, or all of it when it is shorter.
std::string LastCharacters(const std::string& text, std::string::size_type count);

// True for a path in a drive letter's form ("C:\..."): not a server's (\\server\share), a device's
// or a raw one (\\.\, \\?\), nor a relative one. Whether the letter is a network drive, the caller
// asks Windows.
bool HasDriveLetterForm(const std::string& path);
bool HasDriveLetterForm(const std::wstring& path);

// A report path that names a device (\\.\, \\?\) or a file's stream (a ':' after the drive), never
// a file in a folder.
bool IsDeviceOrStreamPath(const std::string& path);
