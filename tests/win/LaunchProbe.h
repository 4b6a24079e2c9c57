// Test side of the launch probe: where it is, a scratch folder to run it from, and waiting
// for its report.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace probe {

// The probe program built with the tests (a Unix path under Wine's Z: drive).
inline std::string ProbeProgram()
{
    const char* unixPath = std::getenv("LK_LAUNCH_PROBE");
    std::string path = unixPath ? unixPath : "";
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

inline std::string ShortPath(const std::string& path)
{
    std::string buffer(MAX_PATH, '\0');
    DWORD n = GetShortPathNameA(path.c_str(), &buffer[0], static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size())
        return std::string();
    buffer.resize(n);
    return buffer;
}

inline std::string LongPath(const std::string& path)
{
    std::string buffer(MAX_PATH, '\0');
    DWORD n = GetLongPathNameA(path.c_str(), &buffer[0], static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size())
        return path;
    buffer.resize(n);
    return buffer;
}

// A folder under the temporary folder, removed with everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
    {
        char temp[MAX_PATH + 1] = {};
        DWORD n = GetTempPathA(sizeof temp, temp);
        m_path = std::string(temp, n) + name + " " + std::to_string(GetCurrentProcessId());
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // Creates a sub-folder (and its parents) and returns its path.
    std::string Folder(const std::string& relative) const
    {
        std::string path = m_path + "\\" + relative;
        std::filesystem::create_directories(path);
        return path;
    }
    // Copies the probe program to a path inside; returns that path.
    std::string PlaceProbe(const std::string& relative) const
    {
        std::string path = m_path + "\\" + relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        CopyFileA(ProbeProgram().c_str(), path.c_str(), FALSE);
        return path;
    }

private:
    std::string m_path;
};

struct Report {
    bool arrived = false;
    std::string commandLine;
    std::string directory;
};

// Points the probe (started by us or by programs we start) at outPath, removing an old report.
inline void ExpectReportAt(const std::string& outPath)
{
    DeleteFileA(outPath.c_str());
    SetEnvironmentVariableA("LK_PROBE_OUT", outPath.c_str());
}

// Waits for the probe's report until the deadline.
inline Report WaitForReport(const std::string& outPath, std::chrono::milliseconds deadline = std::chrono::seconds(10))
{
    Report report;
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        std::FILE* file = std::fopen(outPath.c_str(), "rb");
        if (file) {
            std::string bytes;
            char chunk[4096];
            std::size_t n;
            while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
                bytes.append(chunk, n);
            std::fclose(file);
            std::string::size_type nul = bytes.find('\0');
            report.arrived = true;
            report.commandLine = bytes.substr(0, nul);
            report.directory = nul == std::string::npos ? std::string() : bytes.substr(nul + 1);
            return report;
        }
        if (std::chrono::steady_clock::now() >= end)
            return report;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace probe
