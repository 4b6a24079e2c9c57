#include "tests/support/UnixShell.h"

#include "tests/support/Files.h"
#include "tests/support/Paths.h"

#include <windows.h>

#include <cstdlib>

namespace lktest {

namespace {

// Wine's exports for path mapping; null outside Wine.
template <class Function>
Function WineExport(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), name)));
}

} // namespace

std::string UnixPath(const std::string& windowsPath)
{
    const auto convert = WineExport<char*(CDECL*)(LPCWSTR)>("wine_get_unix_file_name");
    const std::wstring wide = Widen(windowsPath);
    char* unixPath = convert && !wide.empty() ? convert(wide.c_str()) : nullptr;
    if (!unixPath)
        return std::string();
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

std::string DosPath(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return path;
    const auto convert = WineExport<WCHAR*(CDECL*)(const char*)>("wine_get_dos_file_name");
    WCHAR* dos = convert ? convert(path.c_str()) : nullptr;
    if (!dos)
        return std::string();
    std::string result = Narrow(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    return result;
}

std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

int RunLinux(const std::string& command, std::string* output, unsigned long timeoutMs)
{
    // Wine starts Linux programs but gives no handle to wait on, so the command leaves its status
    // in a file that we wait for.
    static int serial = 0;
    const std::string temp = TempFolder();
    if (temp.empty())
        return -1;
    const std::string base =
        temp + "lk-linux-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
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

    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!FileExists(statusFile)) {
        if (GetTickCount64() > deadline)
            return -1;
        Sleep(10);
    }
    const int status = std::atoi(ReadFileBytes(statusFile).value_or("-1").c_str());
    if (output)
        *output = ReadFileBytes(outFile).value_or(std::string());
    DeleteFileA(statusFile.c_str());
    DeleteFileA(outFile.c_str());
    return status;
}

ScopedImmutable::ScopedImmutable(const std::string& windowsPath) : m_unixPath(UnixPath(windowsPath))
{
    m_set = !m_unixPath.empty() && RunLinux("chattr +i " + ShellQuote(m_unixPath)) == 0;
}

bool ScopedImmutable::Clear()
{
    if (!m_set)
        return true;
    m_set = RunLinux("chattr -i " + ShellQuote(m_unixPath)) != 0;
    return !m_set;
}

} // namespace lktest
