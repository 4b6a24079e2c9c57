// For Wine tests that need the Linux side: a root Wine process is stopped by neither the
// read-only attribute nor Unix permissions, only by the immutable flag (chattr +i).
#pragma once

#include <windows.h>

#include <cstdio>
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

// The Windows path of a Linux path, through Wine's own export; empty outside Wine.
inline std::string DosPath(const std::string& unixPath)
{
    using WineGetDosFileName = WCHAR*(CDECL*)(const char*);
    auto convert = reinterpret_cast<WineGetDosFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_dos_file_name")));
    if (!convert)
        return std::string();
    WCHAR* dos = convert(unixPath.c_str());
    if (!dos)
        return std::string();
    std::string result;
    int n = WideCharToMultiByte(CP_ACP, 0, dos, -1, nullptr, 0, nullptr, nullptr);
    if (n > 1) {
        result.resize(n);
        WideCharToMultiByte(CP_ACP, 0, dos, -1, &result[0], n, nullptr, nullptr);
        result.resize(n - 1);
    }
    HeapFree(GetProcessHeap(), 0, dos);
    return result;
}

// Quotes a text for the Linux shell.
inline std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs a Linux shell command from Wine and returns its exit status (-1 when it could not run or
// missed the deadline), its output in *output. Wine starts Linux programs but gives no handle to
// wait on, so the command leaves its status in a file that we wait for.
inline int RunLinux(const std::string& command, std::string* output = nullptr, DWORD timeoutMs = 20000)
{
    static int serial = 0;
    char temp[MAX_PATH + 1] = {};
    if (GetTempPathA(sizeof temp, temp) == 0)
        return -1;
    const std::string base = std::string(temp) + "lk-linux-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++serial);
    const std::string outFile = base + ".out", statusFile = base + ".status";
    const std::string unixOut = UnixPath(outFile), unixStatus = UnixPath(statusFile);
    if (unixOut.empty() || unixStatus.empty())
        return -1;
    // The status file appears whole (renamed into place) only once the command has ended.
    const std::string script = "(" + command + ") >" + ShellQuote(unixOut) + " 2>&1; echo $? >" +
                               ShellQuote(unixStatus + ".tmp") + "; mv " + ShellQuote(unixStatus + ".tmp") + " " +
                               ShellQuote(unixStatus);
    const std::string shell = DosPath("/bin/sh");
    if (shell.empty() || script.find('"') != std::string::npos)
        return -1; // a double quote inside would end the argument early
    std::string commandLine = "\"" + shell + "\" -c \"" + script + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    auto readAll = [](const std::string& path) {
        std::string bytes;
        if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
            char chunk[4096];
            size_t n;
            while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
                bytes.append(chunk, n);
            std::fclose(file);
        }
        return bytes;
    };
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetFileAttributesA(statusFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount64() > deadline)
            return -1;
        Sleep(10);
    }
    int status = std::atoi(readAll(statusFile).c_str());
    if (output)
        *output = readAll(outFile);
    DeleteFileA(statusFile.c_str());
    DeleteFileA(outFile.c_str());
    return status;
}

// Sets the immutable flag on a file or folder for its lifetime, and always clears it again.
class ScopedImmutable {
public:
    explicit ScopedImmutable(const std::string& windowsPath) : m_unixPath(UnixPath(windowsPath))
    {
        m_set = !m_unixPath.empty() && RunLinux("chattr +i " + ShellQuote(m_unixPath)) == 0;
    }
    ~ScopedImmutable() { Clear(); }
    ScopedImmutable(const ScopedImmutable&) = delete;
    ScopedImmutable& operator=(const ScopedImmutable&) = delete;

    bool IsSet() const { return m_set; }
    bool Clear()
    {
        if (!m_set)
            return true;
        m_set = RunLinux("chattr -i " + ShellQuote(m_unixPath)) != 0;
        return !m_set;
    }

private:
    std::string m_unixPath;
    bool m_set = false;
};

} // namespace lktest
