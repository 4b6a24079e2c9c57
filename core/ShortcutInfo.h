// The properties of one shortcut that Latchkey carries. The item-identifier list is not part of
// it: the target path stands for it.
#pragma once

#include <cstdint>
#include <string>

struct ShortcutInfo {
    std::string targetPath;
    std::string description;
    std::string workingDirectory;
    std::string arguments;
    std::string iconPath;
    int iconIndex = 0;
    std::uint16_t hotKey = 0;        // virtual key in the low byte, modifiers in the high byte; 0: none
    int showCommand = 1;             // how the program's window opens (1: normally)
    bool runAsAdministrator = false; // "Run as administrator" in the shortcut's advanced properties
};
