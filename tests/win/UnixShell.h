// For Wine tests that need the Linux side: a root Wine process is stopped by neither the
// read-only attribute nor Unix permissions, only by the immutable flag (chattr +i).
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>

namespace lktest {

// The Linux path of a Windows path, through Wine's own export; empty outside Wine.
inline std::string UnixPath(const std::string& windowsPath)
{
    using WineGetUnixFileName = char*(CDECL*)(LPCWSTR);
    auto convert = reinterpret_cast<WineGetUnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!convert)
        return std::string();
    std::wstring wide(windowsPath.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    if (n <= 0)
        return std::string();
    char* unixPath = convert(wide.c_str());
    if (!unixPath)
        return std::string();
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

// Runs a shell command line (no double quotes in it) on the Linux side and waits for it with a
// deadline. Wine gives no waitable handle for a Linux process, so the command leaves its exit
// status in a file. Returns that status, or -1.
inline int RunUnixShell(const std::string& command, DWORD timeoutMs = 10000)
{
    static int counter = 0;
    char temp[MAX_PATH + 1] = {};
    if (GetTempPathA(sizeof temp, temp) == 0)
        return -1;
    const std::string status = std::string(temp) + "lk_shell_" + std::to_string(GetCurrentProcessId()) + "_" +
                               std::to_string(++counter) + ".status";
    DeleteFileA(status.c_str());
    const std::string unixStatus = UnixPath(status);
    if (unixStatus.empty())
        return -1;
    std::string line = "/bin/sh -c \"" + command + "; echo $? > '" + unixStatus + ".part' && mv '" + unixStatus +
                       ".part' '" + unixStatus + "'\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < deadline) {
        HANDLE file = CreateFileA(status.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char text[32] = {};
            DWORD read = 0;
            ReadFile(file, text, sizeof text - 1, &read, nullptr);
            CloseHandle(file);
            DeleteFileA(status.c_str());
            return std::atoi(text);
        }
        Sleep(10);
    }
    return -1;
}

// Sets the immutable flag on a file or folder for its lifetime, and always clears it again.
class ScopedImmutable {
public:
    explicit ScopedImmutable(const std::string& windowsPath) : m_unixPath(UnixPath(windowsPath))
    {
        m_set = !m_unixPath.empty() && RunUnixShell("chattr +i '" + m_unixPath + "'") == 0;
    }
    ~ScopedImmutable() { Clear(); }
    ScopedImmutable(const ScopedImmutable&) = delete;
    ScopedImmutable& operator=(const ScopedImmutable&) = delete;

    bool IsSet() const { return m_set; }
    bool Clear()
    {
        if (!m_set)
            return true;
        m_set = RunUnixShell("chattr -i '" + m_unixPath + "'") != 0;
        return !m_set;
    }

private:
    std::string m_unixPath;
    bool m_set = false;
};

} // namespace lktest
