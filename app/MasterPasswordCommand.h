// The master password: the gate at start-up and the command that sets a new one.
#pragma once

enum class GateResult {
    Open,       // no master password is set, or it was typed
    Closed,     // the user gave up at the prompt, or the file's place cannot be found
    Unreadable, // the file exists but cannot be read; a message said so
    NoDialog,   // the prompt could not be opened; a message said so
};

GateResult PassMasterPasswordGate();

// The Set master password command: the current master password first, then the new one twice.
void SetMasterPassword();
