#include "tests/support/Paths.h"

#include <windows.h>

namespace lktest {

namespace {

// For the calls that fill a buffer of the size given and return the length written, or the size
// they need (terminator included) when it is too small, or 0 on failure.
template <class Fill>
std::string Grown(Fill fill)
{
    constexpr DWORD MaxSize = 1u << 20; // far beyond any path; stops a call that keeps asking
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD n = fill(&buffer[0], size);
        if (n == 0)
            return std::string();
        if (n < size) {
            buffer.resize(n);
            return buffer;
        }
        if (n >= MaxSize)
            return std::string();
        buffer.resize(static_cast<std::string::size_type>(n) + 1);
    }
}

// For the code-page conversions: asked first with no buffer for the size they need.
template <class Text, class Convert>
Text Converted(Convert convert)
{
    const int n = convert(nullptr, 0);
    Text text(static_cast<typename Text::size_type>(n > 0 ? n : 0), '\0');
    if (n > 0 && convert(&text[0], n) != n)
        text.clear();
    return text;
}

} // namespace

std::string SystemFolder()
{
    return Grown([](char* buffer, DWORD size) { return GetSystemDirectoryA(buffer, size); });
}

std::string WindowsFolder()
{
    return Grown([](char* buffer, DWORD size) { return GetWindowsDirectoryA(buffer, size); });
}

std::string TempFolder()
{
    return Grown([](char* buffer, DWORD size) { return GetTempPathA(size, buffer); });
}

std::string CurrentFolder()
{
    return Grown([](char* buffer, DWORD size) { return GetCurrentDirectoryA(size, buffer); });
}

std::string ShortPath(const std::string& path)
{
    return Grown([&](char* buffer, DWORD size) { return GetShortPathNameA(path.c_str(), buffer, size); });
}

std::string LongPath(const std::string& path)
{
    return Grown([&](char* buffer, DWORD size) { return GetLongPathNameA(path.c_str(), buffer, size); });
}

std::wstring Widen(const std::string& text)
{
    return Converted<std::wstring>([&](wchar_t* out, int size) {
        return MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out, size);
    });
}

std::string Narrow(const std::wstring& text)
{
    return Converted<std::string>([&](char* out, int size) {
        return WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out, size, nullptr, nullptr);
    });
}

} // namespace lktest
