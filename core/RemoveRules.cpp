#include "core/RemoveRules.h"

ShortcutInfo RestoredShortcutInfo(const ShortcutInfo& protectedLink, const ProtectionRecord& record,
                                  const CommandLineParts& commandLine)
{
    ShortcutInfo restored;
    restored.targetPath = commandLine.targetPath;
    restored.arguments = commandLine.arguments;
    restored.workingDirectory = record.workingDirectory;
    restored.iconPath = protectedLink.iconPath.empty() ? restored.targetPath : protectedLink.iconPath;
    restored.iconIndex = protectedLink.iconIndex;
    return restored;
}
