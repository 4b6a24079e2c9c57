#include "core/RemoveRules.h"

bool FitsInShortcut(const ShortcutInfo& restored)
{
    for (const std::string* text : {&restored.targetPath, &restored.arguments, &restored.workingDirectory}) {
        if (text->size() > MaxShortcutText)
            return false;
    }
    return restored.description.size() <= MaxShortcutText && restored.iconPath.size() <= MaxShortcutText;
}

ShortcutInfo RestoredShortcutInfo(const ShortcutInfo& protectedLink, const ProtectionRecord& record,
                                  const CommandLineParts& commandLine)
{
    ShortcutInfo restored;
    restored.targetPath = commandLine.targetPath;
    restored.arguments = commandLine.arguments;
    restored.workingDirectory = record.workingDirectory;
    restored.iconPath = protectedLink.iconPath;
    restored.iconIndex = protectedLink.iconIndex;
    restored.description = protectedLink.description;
    restored.hotKey = protectedLink.hotKey;
    restored.showCommand = protectedLink.showCommand;
    restored.runAsAdministrator = protectedLink.runAsAdministrator;
    return restored;
}
