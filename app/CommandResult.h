// How a command ended, for whoever started it.
#pragma once

enum class CommandResult {
    Succeeded,
    Failed,    // refused, or the file work failed; a message said why
    Cancelled, // the user cancelled a dialog; nothing was written
};
