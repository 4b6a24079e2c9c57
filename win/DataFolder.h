// Latchkey's own folder under the machine's ProgramData, where its stores and its history are.
// Anyone may make folders in ProgramData, so each folder of ours is made or taken over with its
// own security, and never reached through a link or junction.
#pragma once

#include <optional>
#include <string>

// The machine's ProgramData as the system knows it, not as an environment variable says.
std::optional<std::wstring> ProgramDataFolder();

// %ProgramData%\Latchkey\<name>, made or taken over with the security sddl gives it (an owner
// and a protected access list); the Latchkey folder itself for Administrators and SYSTEM only.
// nullopt when either cannot be made so, or is reached through a link or junction.
std::optional<std::wstring> SecuredDataFolder(const std::wstring& name, const wchar_t* sddl);
