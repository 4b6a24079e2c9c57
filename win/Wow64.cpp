#include "win/Wow64.h"

#include <windows.h>

bool IsWow64()
{
    // Looked up at run time: 32-bit Windows from before WoW64 existed lacks the function, and
    // there the answer is no.
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto isWow64Process = kernel ? reinterpret_cast<IsWow64ProcessFn>(
                                       reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                                 : nullptr;
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}
