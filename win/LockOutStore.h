// Where the launcher keeps each user's count of wrong passwords: under the user's own registry
// key (HKCU\Software\Latchkey\LockOut), one value per record. The user can clear it, as anything
// of their own; it only has to outlive the launcher's process.
#pragma once

#include "core/LockOut.h"

#include <string>

// The state kept for the record; a fresh one when none is kept or it cannot be read.
LockOutState LoadLockOut(const std::string& recordPath);
// Keeps the state; a fresh state takes the record's value away. Failing quietly: the launcher
// still asks for the password without a count.
void SaveLockOut(const std::string& recordPath, const LockOutState& state);

// Seconds since 1970, UTC: time zones and daylight saving do not move it.
long long UtcSecondsNow();
