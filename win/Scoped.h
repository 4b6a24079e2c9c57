// Scoped owners of what the Win32 API hands out: each releases its resource exactly once, when
// it goes out of scope.
#pragma once

#include "win/SystemLibrary.h"

#include <windows.h>

#include <objbase.h>

#include <memory>
#include <type_traits>

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// A kernel handle; CreateFile's INVALID_HANDLE_VALUE is taken as no handle.
using UniqueHandle = std::unique_ptr<void, HandleCloser>;
inline UniqueHandle OwnHandle(HANDLE handle)
{
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

struct FindCloser {
    void operator()(HANDLE find) const { FindClose(find); }
};
// A FindFirstFile search; INVALID_HANDLE_VALUE is taken as none.
using UniqueFind = std::unique_ptr<void, FindCloser>;
inline UniqueFind OwnFind(HANDLE find)
{
    return UniqueFind(find == INVALID_HANDLE_VALUE ? nullptr : find);
}

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
// An open registry key.
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;
inline UniqueKey OpenKey(HKEY parent, const wchar_t* name, REGSAM access)
{
    HKEY key = nullptr;
    return UniqueKey(RegOpenKeyExW(parent, name, 0, access, &key) == ERROR_SUCCESS ? key : nullptr);
}

// The process and thread handles CreateProcess fills in.
class ScopedProcessInfo {
public:
    ScopedProcessInfo() = default;
    ~ScopedProcessInfo()
    {
        if (m_info.hThread)
            CloseHandle(m_info.hThread);
        if (m_info.hProcess)
            CloseHandle(m_info.hProcess);
    }
    ScopedProcessInfo(const ScopedProcessInfo&) = delete;
    ScopedProcessInfo& operator=(const ScopedProcessInfo&) = delete;

    PROCESS_INFORMATION* Out() { return &m_info; }

private:
    PROCESS_INFORMATION m_info = {};
};

// Memory the system allocated with LocalAlloc for us (FormatMessage's buffer, say).
template <class T>
class LocalMemory {
public:
    LocalMemory() = default;
    ~LocalMemory()
    {
        if (m_memory)
            LocalFree(m_memory);
    }
    LocalMemory(const LocalMemory&) = delete;
    LocalMemory& operator=(const LocalMemory&) = delete;

    T** Out() { return &m_memory; }
    T* Get() const { return m_memory; }

private:
    T* m_memory = nullptr;
};

// BeginPaint and EndPaint around one WM_PAINT.
class PaintScope {
public:
    explicit PaintScope(HWND window) : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
    ~PaintScope() { EndPaint(m_window, &m_paint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Dc() const { return m_dc; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint = {};
    HDC m_dc;
};

// COM on this thread, in a single-threaded apartment, for the owner's lifetime. ole32 is loaded
// only here, when it is first needed.
class ComApartment {
public:
    ComApartment()
    {
        auto initialize = SystemFunction<decltype(&CoInitialize)>("ole32.dll", "CoInitialize");
        m_result = initialize ? initialize(nullptr) : E_NOTIMPL;
    }
    ~ComApartment()
    {
        if (SUCCEEDED(m_result)) {
            if (auto uninitialize = SystemFunction<decltype(&CoUninitialize)>("ole32.dll", "CoUninitialize"))
                uninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result = E_FAIL;
};
