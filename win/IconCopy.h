// The icon copies protect puts in the system folder: nothing but the icon the shortcut shows.
#pragma once

#include <optional>
#include <string>

// The icon a shortcut with this icon location shows, as the bytes of an icon file: an .ico file
// as it is, or the icon group at index in a program or library read as data (a negative index
// names the group's resource id), environment variables expanded as the shell does. Nullopt
// when the source holds no such icon, or one larger than an icon copy may be, or is not local.
std::optional<std::string> ReadShownIcon(const std::wstring& source, int index);

// Writes bytes as a new <stamp>.ico in the system directory, never over a file or through a
// link already there: a name in use moves the stamp on by a second, as a record's does. Returns
// the path written, or nullopt when no file could be written.
std::optional<std::string> WriteIconCopy(const std::string& systemDirectory, const std::string& timeStamp,
                                         const std::string& bytes);
