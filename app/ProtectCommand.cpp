#include "app/ProtectCommand.h"

#include "app/AddPasswordDlg.h"
#include "app/PickShortcut.h"
#include "core/Paths.h"
#include "core/ProtectionRecord.h"
#include "framework/Framework.h"
#include "win/HeldFolder.h"
#include "win/ProtectFiles.h"
#include "win/Scoped.h"

#include <ctime>

namespace {

std::string LocalTimeStamp()
{
    std::time_t now = std::time(nullptr);
    std::tm local = {};
    if (const std::tm* converted = std::localtime(&now))
        local = *converted;
    return FormatTimeStamp(local);
}

} // namespace

CommandResult ProtectShortcut(const std::string& pickedPath)
{
    // Shortcut access needs COM; it is started here, not with the program, so that a run that
    // protects nothing never loads it.
    ComApartment com;
    LoadedShortcut loaded = LoadShortcutForProtection(pickedPath);
    if (loaded.result != ProtectResult::None) {
        AfxMessageBox(ProtectMessageText(loaded.result, std::string(), std::string()));
        return CommandResult::Failed;
    }

    // Held from here to the write, so that both the shortcut and the record land in the folders
    // just read and checked. The program's folder may be missing: then the record cannot be
    // written, and the write says so.
    HeldFolder linkFolder(FolderOf(pickedPath));
    const std::string programFolder = FolderOf(loaded.info.targetPath);
    const bool programFolderExists = GetFileAttributesA(programFolder.c_str()) != INVALID_FILE_ATTRIBUTES;
    HeldFolder recordFolder(programFolderExists ? programFolder : std::string());
    auto foldersStayed = [&] {
        return linkFolder.StillThere() && (!programFolderExists || recordFolder.StillThere());
    };
    if (!foldersStayed()) {
        AfxMessageBox(text::FolderNotHeld);
        return CommandResult::Failed;
    }

    CAddPasswordDlg dlg;
    dlg.m_strTarget = loaded.info.targetPath;
    dlg.m_strProgram = BaseName(pickedPath);
    if (dlg.DoModal() != IDOK)
        return CommandResult::Cancelled;
    if (!foldersStayed()) {
        AfxMessageBox(text::FolderNotHeld);
        return CommandResult::Failed;
    }

    // One stamp names both the record and any icon copy.
    ProtectOutcome outcome =
        ApplyProtection(pickedPath, loaded.info, dlg.m_strPassword, dlg.m_bUseOriginalIcon, LocalTimeStamp());
    if (outcome.iconRefused)
        AfxMessageBox(text::SetIconFailed);

    std::string message = ProtectMessageText(outcome.result, dlg.m_strProgram, outcome.recordPath);
    if (outcome.result == ProtectResult::Succeeded) {
        if (outcome.iconNotCopied)
            message += std::string("\n") + text::IconNotCopied;
        MessageBoxA(AfxGetMainHwnd(), message.c_str(), text::ProtectSucceededCaption, MB_OK | MB_ICONINFORMATION);
        return CommandResult::Succeeded;
    }
    if (!message.empty())
        AfxMessageBox(message);
    return CommandResult::Failed;
}

CommandResult PickAndProtectShortcut()
{
    std::string pickedPath;
    if (!PickShortcut(text::PickToProtectTitle, pickedPath))
        return CommandResult::Cancelled;
    return ProtectShortcut(pickedPath);
}
