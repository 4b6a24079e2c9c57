// The master password: the gate at start-up and the command that sets a new one.
#pragma once

// True when the user may go on: no master password is set, or it was typed. False when the
// user gave up at the prompt or the password file's place cannot be found (a message said so).
bool PassMasterPasswordGate();

// The Set master password command: the current master password first, then the new one twice.
void SetMasterPassword();
