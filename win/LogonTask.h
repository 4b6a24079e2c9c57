// The scheduled task "Latchkey check": Latchkey.exe /check at every user's logon, as SYSTEM with
// the highest rights, so that kept programs are protected again whoever logs on.
#pragma once

#include <windows.h>

#include <string>

extern const wchar_t CheckTaskName[];

// Registers the task for toolPath, or updates it when it is there. Needs COM on the thread.
HRESULT RegisterCheckTask(const std::wstring& toolPath);
// Deletes the task; S_OK also when there is none.
HRESULT DeleteCheckTask();
// True when the task is registered.
bool CheckTaskRegistered();
