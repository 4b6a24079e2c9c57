// The properties of one shortcut that Latchkey carries. The item-identifier list is not part of
// it: the target path stands for it. The texts a record holds are ANSI, as the record keeps them;
// the description and the icon location never go into a record, so they are UTF-16 and keep any
// character.
#pragma once

#include <cstdint>
#include <string>

struct ShortcutInfo {
    std::string targetPath;
    std::wstring description;
    std::string workingDirectory;
    std::string arguments;
    std::wstring iconPath;
    int iconIndex = 0;
    std::uint16_t hotKey = 0;        // virtual key in the low byte, modifiers in the high byte; 0: none
    int showCommand = 1;             // how the program's window opens (1: normally)
    bool runAsAdministrator = false; // "Run as administrator" in the shortcut's advanced properties
};
