// Whether this process is a 32-bit program on 64-bit Windows.
#pragma once

// True when the process runs under WoW64, where the system folder and part of the registry it
// sees are redirected away from what 64-bit programs and the shell use. False for a 64-bit
// process, on 32-bit Windows, and when the system cannot tell.
bool IsWow64();
