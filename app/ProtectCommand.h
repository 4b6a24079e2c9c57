// The protect command: pick a shortcut, take a password, write the record and the protected
// shortcut, and report the outcome in a message box. A shortcut's own path is UTF-16: its name may
// hold any character.
#pragma once

#include "app/CommandResult.h"
#include "core/History.h"

#include <windows.h>

#include <string>
#include <vector>

// The whole command on a shortcut that has already been chosen.
CommandResult ProtectShortcut(const std::wstring& pickedPath);

// The command on many shortcuts (the shortcuts window's selection): each is read and checked as a
// picked one; the password dialog once for those that can be protected, its password and icon
// choice for each; then one box, owned by owner, with what became of each, in the texts of the
// single command; Succeeded when every shortcut was protected. Nothing is written when the dialog
// is cancelled.
CommandResult ProtectShortcuts(const std::vector<std::wstring>& paths, HWND owner);

// The command on many shortcuts without a dialog (a kept program's): each is read, checked and
// written as a picked one, with password and the icon choice; change names it in the history.
// What became of each goes to summary.
void ProtectWithPassword(const std::vector<std::wstring>& paths, const std::string& password, bool useOriginalIcon,
                         HistoryResult change, BatchSummary& summary);

// The file-open dialog first; Cancelled when the user cancels it.
CommandResult PickAndProtectShortcut();
