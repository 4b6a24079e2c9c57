// Passwords do not linger in memory longer than they are needed.
#pragma once

#include <string>

// Overwrites a secret's whole buffer, then empties it.
void ClearSecret(std::string& secret);
