// How a command ended, for whoever started it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

enum class CommandResult {
    Succeeded,
    Failed,    // refused, or the file work failed; a message said why (or nothing, where none is due)
    Cancelled, // the user cancelled a dialog; nothing was written
    NoDialog,  // a dialog of the command could not be opened; a message said so, nothing was written
};

// The process exit code for a command's result: 0 done, 1 refused or failed (a dialog that could
// not be opened included), 2 cancelled.
int ExitCodeOf(CommandResult result);

// What a command comes to when its modal dialog ended with modalResult other than OK: Cancelled
// (Cancel, Escape, the close box), or NoDialog when Windows could not open it, which is told in a
// message box here. Nothing when it ended with OK.
std::optional<CommandResult> UnansweredDialog(INT_PTR modalResult);

// Tells that a window could not be opened, with the system's reason for error.
void ShowWindowNotOpened(DWORD error);

// What a command on one shortcut came to, told as the single command tells it: by itself in a
// box, or as one line of a batch's.
struct CommandOutcome {
    bool succeeded = false;
    bool iconRefused = false; // told in a message of its own before the outcome
    std::string text;
};
