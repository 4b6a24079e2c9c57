// The properties of one shortcut that Latchkey carries. Hot key, show command and the
// item-identifier list are not part of it.
#pragma once

#include <string>

struct ShortcutInfo {
    std::string targetPath;
    std::string description;
    std::string workingDirectory;
    std::string arguments;
    std::string iconPath;
    int iconIndex = 0;
};
