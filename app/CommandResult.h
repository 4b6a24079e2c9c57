// How a command ended, for whoever started it.
#pragma once

#include <string>

enum class CommandResult {
    Succeeded,
    Failed,    // refused, or the file work failed; a message said why
    Cancelled, // the user cancelled a dialog; nothing was written
};

// What a command on one shortcut came to, told as the single command tells it: by itself in a
// box, or as one line of a batch's.
struct CommandOutcome {
    bool succeeded = false;
    bool iconRefused = false; // told in a message of its own before the outcome
    std::string text;
};
