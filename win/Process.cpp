#include "win/Process.h"

#include "win/Scoped.h"

DWORD StartProcess(const std::string& programPath, const std::string& commandLine, const std::string& directory,
                   bool passOnStartupInfo)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (passOnStartupInfo)
        GetStartupInfoA(&startup);
    std::string writable = commandLine; // CreateProcessA may write into it
    ScopedProcessInfo process;
    if (!CreateProcessA(programPath.c_str(), &writable[0], nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, process.Out()))
        return GetLastError();
    return 0;
}
