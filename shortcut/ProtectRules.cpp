#include "shortcut/ProtectRules.h"

namespace {

// ASCII only: the names compared here (the launcher's, file extensions) are ASCII, and the
// result must not depend on the locale.
std::string LowerCase(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string LastCharacters(const std::string& text, std::string::size_type count)
{
    return text.size() <= count ? text : text.substr(text.size() - count);
}

std::string FileNamePart(const std::string& path)
{
    std::string::size_type slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string ProtectMessageText(ProtectMessage message, const std::string& baseName, const std::string& recordPath)
{
    switch (message) {
    case ProtectMessage::None:
        return std::string();
    case ProtectMessage::ReadFailed:
        return "Failed to get the shortcut information.\n(Only a shortcut link (.lnk) can be password protected)";
    case ProtectMessage::AlreadyProtected:
        return "The shortcut you selected is already a password protected link.";
    case ProtectMessage::RecordWriteFailed:
        return "Failed to write the protection record file:\n" + recordPath + "\nThe shortcut has not been changed.";
    case ProtectMessage::SystemDirectoryFailed:
        return "GetSystemDirectory failed!";
    case ProtectMessage::CreateLinkFailed:
        return "Create Link failed!";
    case ProtectMessage::Succeeded:
        return "Password protection link for\n" + baseName + "\nhas been created successfully!";
    }
    return std::string();
}

std::string BaseName(const std::string& path)
{
    std::string name = FileNamePart(path);
    // Only a full stop in the file name itself starts an extension, never one in a folder name.
    std::string::size_type dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool IsAlreadyProtected(const std::string& targetPath)
{
    const std::string launcher = LowerCase(LauncherFileName);
    return LowerCase(LastCharacters(targetPath, launcher.size())) == launcher;
}

IconChoice ChooseOriginalIcon(const std::string& iconPath, int iconIndex, const std::string& targetPath,
                              const std::string& systemDirectory, const std::string& timeStamp)
{
    IconChoice choice;
    if (FileNamePart(targetPath).find('.') == std::string::npos) {
        choice.iconPath = systemDirectory + "\\SHELL32.dll";
        choice.iconIndex = 3;
        return choice;
    }
    choice.copyFrom = iconPath.empty() ? targetPath : iconPath;
    choice.iconPath = systemDirectory + "\\" + timeStamp + LowerCase(LastCharacters(choice.copyFrom, 4));
    choice.iconIndex = iconIndex;
    return choice;
}
