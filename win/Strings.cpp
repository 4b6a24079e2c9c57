#include "win/Strings.h"

#include "core/Secret.h"

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

std::optional<std::wstring> LongPathName(const std::wstring& path)
{
    return GrowString<wchar_t>([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(path.c_str(), buffer, size); });
}

std::string LongFormUtf8(const std::string& path)
{
    return ToUtf8(ToWide(LongPathName(path).value_or(path)));
}

std::optional<std::wstring> ModulePath(HMODULE module)
{
    // A cut path comes back as the buffer's full size, which GrowString takes as "too small".
    return GrowString<wchar_t>([&](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(module, buffer, size); });
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

std::optional<std::wstring> ExpandEnvironment(const std::wstring& text)
{
    return GrowString<wchar_t>([&](wchar_t* buffer, DWORD size) -> DWORD {
        DWORD n = ExpandEnvironmentStringsW(text.c_str(), buffer, size);
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

std::optional<std::string> ToAnsi(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int units = static_cast<int>(text.size());
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), units, nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy)
        return std::nullopt;
    std::string ansi(static_cast<size_t>(n), '\0');
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), units, &ansi[0], n, nullptr, &lossy) != n ||
        lossy) {
        ClearSecret(ansi); // what was converted of a password
        return std::nullopt;
    }
    return ansi;
}

std::wstring ToWide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int bytes = static_cast<int>(text.size());
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, &wide[0], n);
    return wide;
}

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int units = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), units, &utf8[0], n, nullptr, nullptr);
    return utf8;
}

std::wstring FromUtf8(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int bytes = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), bytes, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), bytes, &wide[0], n);
    return wide;
}

std::optional<std::string> FullPathName(const std::string& path)
{
    return GrowString([&](char* buffer, DWORD size) { return GetFullPathNameA(path.c_str(), size, buffer, nullptr); });
}

std::optional<std::wstring> FullPathName(const std::wstring& path)
{
    return GrowString<wchar_t>(
        [&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(path.c_str(), size, buffer, nullptr); });
}
