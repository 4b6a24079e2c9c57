#include "tests/support/LaunchProbe.h"

#include "tests/support/UnixShell.h"

#include <windows.h>

#include <cstdlib>
#include <thread>

namespace lktest {

std::string ProbeProgram()
{
    const char* path = std::getenv("LK_LAUNCH_PROBE");
    return path ? DosPath(path) : std::string();
}

std::string PlaceProbe(const ScratchFolder& folder, const std::string& relative)
{
    const std::string path = folder / relative;
    CopyFileA(ProbeProgram().c_str(), path.c_str(), FALSE);
    return path;
}

void ExpectProbeReportAt(const std::string& outPath)
{
    DeleteFileA(outPath.c_str());
    SetEnvironmentVariableA("LK_PROBE_OUT", outPath.c_str());
}

ProbeReport WaitForProbeReport(const std::string& outPath, std::chrono::milliseconds deadline)
{
    ProbeReport report;
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        // The probe renames its report into place, so a report that is there is whole.
        if (std::optional<std::string> bytes = ReadFileBytes(outPath)) {
            // The command line and the folder, split by a NUL.
            const std::string::size_type nul = bytes->find('\0');
            report.arrived = true;
            report.commandLine = bytes->substr(0, nul);
            report.directory = nul == std::string::npos ? std::string() : bytes->substr(nul + 1);
            return report;
        }
        if (std::chrono::steady_clock::now() >= end)
            return report;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace lktest
