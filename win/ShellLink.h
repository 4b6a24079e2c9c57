// Shortcut access: the only code that touches .lnk files, always through the shell link object
// or Windows Installer. No windows are shown here.
#pragma once

#include "core/ShortcutInfo.h"

#include <windows.h>

#include <string>

// Fills info from the shortcut file. Empties the four texts first; the icon fields keep the
// caller's values unless the icon step succeeds. Returns the first failing step's result.
HRESULT ReadShortcut(const std::string& linkPath, ShortcutInfo& info);

// Writes a new shortcut holding only the five properties, replacing any file at linkPath.
// A refused icon location does not stop the save; *iconRefused tells the caller about it.
HRESULT WriteShortcut(const std::string& linkPath, const ShortcutInfo& info, bool* iconRefused = nullptr);

// True when Windows Installer knows linkPath as an advertised shortcut whose component is
// installed locally; targetPath then holds the component's path.
bool ResolveAdvertisedShortcut(const std::string& linkPath, std::string& targetPath);
