// Texts the system hands out through a caller's buffer, however long they are.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Calls fill(buffer, size) with a growing buffer until the text fits. fill returns what the
// usual Win32 call returns: 0 on failure; the length copied (without the terminator) when it
// fits; otherwise the size needed, or the buffer's size when the call only truncates. Char is
// wchar_t for the calls' wide forms.
template <class Char = char, class Fill>
std::optional<std::basic_string<Char>> GrowString(Fill fill)
{
    constexpr DWORD MaxSize = 1u << 16; // beyond any path or message Windows makes
    std::basic_string<Char> buffer(MAX_PATH, Char());
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD n = fill(&buffer[0], size);
        if (n == 0)
            return std::nullopt;
        if (n < size) {
            buffer.resize(n);
            return buffer;
        }
        if (size >= MaxSize)
            return std::nullopt;
        buffer.resize(n > size ? n : size * 2);
    }
}

// The Windows system folder (C:\Windows\System32) and the Windows folder.
std::optional<std::string> SystemDirectory();
std::optional<std::string> WindowsDirectory();
// The 8.3 form of an existing path; nullopt when the file system gives none.
std::optional<std::string> ShortPathName(const std::string& path);
// The long form of an existing path; nullopt when it does not exist.
std::optional<std::string> LongPathName(const std::string& path);
std::optional<std::wstring> LongPathName(const std::wstring& path);
// A program (ANSI, any path form) named as the kept store and the history name it: its long form
// when it exists, else the path as given, in UTF-8.
std::string LongFormUtf8(const std::string& path);
// The full path of a loaded module (nullptr: the program itself).
std::optional<std::wstring> ModulePath(HMODULE module);
std::optional<std::string> CurrentDirectory();
// Environment variables in text expanded.
std::optional<std::string> ExpandEnvironment(const std::string& text);
std::optional<std::wstring> ExpandEnvironment(const std::wstring& text);
// A string from the module's string table.
std::optional<std::string> LoadResourceString(HINSTANCE module, UINT id);

// UTF-16 text in the ANSI code page; nullopt when a character has no exact form there (it
// would come back as '?' or a look-alike).
std::optional<std::string> ToAnsi(const std::wstring& text);
// ANSI text in UTF-16.
std::wstring ToWide(const std::string& text);
// UTF-16 text in UTF-8 (a lone surrogate becomes U+FFFD), and back.
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);
// The absolute form of a path, relative to the current folder.
std::optional<std::string> FullPathName(const std::string& path);
std::optional<std::wstring> FullPathName(const std::wstring& path);
