#include "core/ProtectRules.h"

#include "core/Paths.h"

bool IsAlreadyProtected(const std::string& targetPath)
{
    const std::string launcher = LowerAscii(LauncherFileName);
    return LowerAscii(LastCharacters(targetPath, launcher.size())) == launcher;
}

IconChoice ChooseOriginalIcon(const std::string& iconPath, int iconIndex, const std::string& targetPath,
                              const std::string& systemDirectory, const std::string& timeStamp)
{
    IconChoice choice;
    if (FileName(targetPath).find('.') == std::string::npos) {
        choice.iconPath = systemDirectory + "\\SHELL32.dll";
        choice.iconIndex = 3;
        return choice;
    }
    choice.copyFrom = iconPath.empty() ? targetPath : iconPath;
    choice.iconPath = systemDirectory + "\\" + timeStamp + LowerAscii(LastCharacters(choice.copyFrom, 4));
    choice.iconIndex = iconIndex;
    return choice;
}
