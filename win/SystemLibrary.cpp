#include "win/SystemLibrary.h"

void LoadDllsFromSystemFolderOnly()
{
    // Looked up by name: Windows 7 has it only with its security update installed.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    if (auto set = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories"))))
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    else
        SetDllDirectoryA(""); // at least not the current folder
}

FARPROC SystemProc(const char* dll, const char* name)
{
    HMODULE module = GetModuleHandleA(dll);
    if (!module)
        module = LoadLibraryExA(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Stays loaded for the life of the process, as an imported DLL would.
    return module ? GetProcAddress(module, name) : nullptr;
}
