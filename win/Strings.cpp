#include "win/Strings.h"

std::optional<std::string> SystemDirectory()
{
    return GrowString([](char* buffer, DWORD size) { return GetSystemDirectoryA(buffer, size); });
}

std::optional<std::string> WindowsDirectory()
{
    return GrowString([](char* buffer, DWORD size) { return GetWindowsDirectoryA(buffer, size); });
}

std::optional<std::string> ShortPathName(const std::string& path)
{
    return GrowString([&](char* buffer, DWORD size) { return GetShortPathNameA(path.c_str(), buffer, size); });
}

std::optional<std::string> LongPathName(const std::string& path)
{
    return GrowString([&](char* buffer, DWORD size) { return GetLongPathNameA(path.c_str(), buffer, size); });
}

std::optional<std::string> ModulePath(HMODULE module)
{
    // A cut path comes back as the buffer's full size, which GrowString takes as "too small".
    return GrowString([&](char* buffer, DWORD size) { return GetModuleFileNameA(module, buffer, size); });
}

std::optional<std::string> CurrentDirectory()
{
    return GrowString([](char* buffer, DWORD size) { return GetCurrentDirectoryA(size, buffer); });
}

std::optional<std::string> ExpandEnvironment(const std::string& text)
{
    return GrowString([&](char* buffer, DWORD size) -> DWORD {
        // Counts the terminator, whether it fits or not; an empty result counts as none.
        DWORD n = ExpandEnvironmentStringsA(text.c_str(), buffer, size);
        return n == 0 || n > size ? n : n - 1;
    });
}

std::optional<std::string> LoadResourceString(HINSTANCE module, UINT id)
{
    return GrowString([&](char* buffer, DWORD size) -> DWORD {
        int n = LoadStringA(module, id, buffer, static_cast<int>(size));
        // A string that fills the buffer may have been cut: ask again with more room.
        return n <= 0 ? 0 : static_cast<DWORD>(n) + 1 >= size ? size : static_cast<DWORD>(n);
    });
}
