#include "app/ShortcutCommand.h"

#include "app/ProtectCommand.h"
#include "app/RemoveCommand.h"
#include "win/RemoveFiles.h"
#include "win/Scoped.h"

CommandResult RunShortcutCommand(ToolAction action, const std::wstring& linkPath)
{
    if (action == ToolAction::Decide) {
        ComApartment com;
        action = IsProtectedShortcut(linkPath) ? ToolAction::Remove : ToolAction::Protect;
    }
    return action == ToolAction::Remove ? RemoveProtection(linkPath) : ProtectShortcut(linkPath);
}
