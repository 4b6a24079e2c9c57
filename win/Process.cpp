#include "win/Process.h"

#include "win/Scoped.h"

DWORD StartProcess(const std::string& programPath, const std::string& commandLine, const std::string& directory,
                   bool passOnShowCommand)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    // Only the show command: our title, position and standard handles are not the program's.
    if (passOnShowCommand) {
        STARTUPINFOA ours = {};
        ours.cb = sizeof ours;
        GetStartupInfoA(&ours);
        startup.dwFlags = ours.dwFlags & STARTF_USESHOWWINDOW;
        startup.wShowWindow = ours.wShowWindow;
    }
    std::string writable = commandLine; // CreateProcessA may write into it
    ScopedProcessInfo process;
    if (!CreateProcessA(programPath.c_str(), &writable[0], nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, process.Out()))
        return GetLastError();
    return 0;
}

int OwnShowCommand()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
}
