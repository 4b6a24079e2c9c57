// The remove command: pick a protected shortcut, check its own password, write the shortcut
// back from its record, and report the outcome in a message box.
#pragma once

#include "app/CommandResult.h"

#include <windows.h>

#include <string>
#include <vector>

// The whole command on a shortcut that has already been chosen.
CommandResult RemoveProtection(const std::wstring& pickedPath);

// The command on many shortcuts (the shortcuts window's selection): each record is read and
// checked as for a picked one; the password is asked once, and refused unless some record holds
// it; every shortcut whose record holds it is restored, the others stay ("password does not
// match"); then one box, owned by owner, with what became of each. Succeeded when every
// shortcut's protection was removed.
CommandResult RemoveProtections(const std::vector<std::wstring>& paths, HWND owner);

// The file-open dialog first; Cancelled when the user cancels it.
CommandResult PickAndRemoveProtection();
