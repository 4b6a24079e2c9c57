// Shortcut access: the only code that touches .lnk files, always through the shell link object.
#pragma once

#include <windows.h>

#include <string>

// The properties of one shortcut that Latchkey carries. Hot key, show command and the
// item-identifier list are not part of it.
struct ShortcutInfo {
    std::string targetPath;
    std::string description;
    std::string workingDirectory;
    std::string arguments;
    std::string iconPath;
    int iconIndex = 0;
};

// Fills info from the shortcut file. Empties the four texts first; the icon fields keep the
// caller's values unless the icon step succeeds. Returns the first failing step's result.
HRESULT ReadShortcut(const std::string& linkPath, ShortcutInfo& info);

// Writes a new shortcut holding only the five properties, replacing any file at linkPath.
HRESULT WriteShortcut(const std::string& linkPath, const ShortcutInfo& info);

// True when Windows Installer knows linkPath as an advertised shortcut whose component is
// installed locally; targetPath then holds the component's path.
bool ResolveAdvertisedShortcut(const std::string& linkPath, std::string& targetPath);
