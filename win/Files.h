// Whole-file reading and checked writing. The UTF-16 forms take a path the ANSI code page cannot
// hold (a shortcut's own name may be any text); the ANSI forms are the same calls.
#pragma once

#include "win/HeldFolder.h"

#include <optional>
#include <string>

// The most ReadWholeFile reads: far more than any record or master file holds.
constexpr unsigned long MaxReadBytes = 1ul << 20;

// A whole file's bytes; nullopt when it cannot be opened or read, or is not a plain disk file of
// at most MaxReadBytes (a folder, a device, a pipe).
std::optional<std::string> ReadWholeFile(const std::string& path);
std::optional<std::string> ReadWholeFile(const std::wstring& path);

// Creates or truncates the file and writes bytes: every write, the flush to disk and the close
// are checked. False when any of them fails.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

enum class NewFileResult { Written, Exists, Failed };

// Creates a file that does not exist yet and writes bytes, checked as WriteWholeFile does. Never
// opens what is already there, a link or junction at that name included: Exists. A file that
// was created but not written whole is removed again.
NewFileResult WriteNewWholeFile(const std::string& path, const std::string& bytes);
NewFileResult WriteNewWholeFile(const std::wstring& path, const std::string& bytes);

// Writes bytes into a new file beside path, then moves it over path: the old file stays exactly
// as it was unless the new one is on disk whole. The new file is removed on failure.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes);

// ReplaceWholeFile for a file whose folder the caller holds (a place someone else may write in):
// the new file gets a name nobody can foresee and is created, never opened, without following a
// link at that name; it is written whole, and put in path's place only while the folder is still
// the one held: by ReplaceWithNewFile (ReplaceFile) when path exists, else renamed through its handle. On
// failure the new file is deleted (through its handle until it is closed) and path is as it was.
bool ReplaceWholeFile(const HeldFolder& folder, const std::string& path, const std::string& bytes);

// True when a new file can be made beside path: its folder is there and allows changes. Nothing
// is left behind.
bool CanMakeFileBeside(const std::string& path);

// Puts the finished file newPath in the place of path in one step, keeping the old file's
// attributes, read-only included (and, on Windows, its security and creation time); where path
// does not exist yet, newPath is simply renamed to it. On failure path is as it was and newPath
// is removed (unless the old file was lost on the way: newPath is then all that is left, and kept).
bool ReplaceWithNewFile(const std::string& path, const std::string& newPath);
bool ReplaceWithNewFile(const std::wstring& path, const std::wstring& newPath);

// A name for a new file in the folder of path that nobody can foresee (and so plant a link at), and
// no other running copy of the tool uses; empty when the system gives no random bytes.
std::string NewFileBeside(const std::string& path);
std::wstring NewFileBeside(const std::wstring& path);
