#pragma once

// Returns only when the user may go on; otherwise ends the process with exit code 0.
void RunMasterPasswordGate();
