// Functions of system DLLs, loaded on first use and from the system folder only: no DLL of the
// same name beside the program (a Downloads folder) can stand in for them, and start-up does not
// pay for what a run may never use.
#pragma once

#include <windows.h>

// Limits the DLL search of the whole process to the system folder. The first thing each program
// does, before anything can load a DLL by name.
void LoadDllsFromSystemFolderOnly();

// The function's address in the system DLL, null when either cannot be found.
FARPROC SystemProc(const char* dll, const char* name);

// Typed: SystemFunction<decltype(&CoInitialize)>("ole32.dll", "CoInitialize").
template <class Pointer>
Pointer SystemFunction(const char* dll, const char* name)
{
    return reinterpret_cast<Pointer>(reinterpret_cast<void*>(SystemProc(dll, name)));
}
