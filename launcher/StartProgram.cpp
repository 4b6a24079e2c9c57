#include "launcher/StartProgram.h"

#include <vector>

namespace {

std::string LongPathName(const std::string& path)
{
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetLongPathNameA(path.c_str(), &buffer[0], static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return path;
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(n);
    }
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ExpandEnvironment(const std::string& text)
{
    std::string buffer(text.size() + 1, '\0');
    for (;;) {
        DWORD n = ExpandEnvironmentStringsA(text.c_str(), &buffer[0], static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return text;
        if (n <= buffer.size()) {
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            return buffer;
        }
        buffer.resize(n);
    }
}

} // namespace

std::string StartDirectory(const ProtectionRecord& record, const CommandLineParts& program)
{
    const std::string& stored = record.workingDirectory;
    if (!stored.empty()) {
        // Shortcuts often carry a working directory such as %HOMEDRIVE%%HOMEPATH%, which the
        // shell expands; a folder whose real name holds percent signs is used as it stands.
        if (stored.find('%') != std::string::npos && !IsFolder(stored))
            return ExpandEnvironment(stored);
        return stored;
    }
    const std::string& target = program.targetPath;
    std::string::size_type slash = target.find_last_of("\\/");
    if (slash == std::string::npos)
        return std::string(); // a bare program name: start where the launcher was started
    std::string folder = target.substr(0, slash);
    // "C:" alone would mean the drive's current folder, not its root.
    if (folder.empty() || folder.back() == ':')
        folder += '\\';
    return folder;
}

DWORD StartProgram(const ProtectionRecord& record, const CommandLineParts& program)
{
    // The stored command line already quotes a target that holds a blank; passing it whole,
    // without an application name, gives the program exactly its original arguments.
    std::vector<char> commandLine(record.commandLine.begin(), record.commandLine.end());
    commandLine.push_back('\0');
    const std::string directory = StartDirectory(record, program);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &process))
        return GetLastError();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

std::string SystemErrorText(DWORD error)
{
    char* buffer = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (n != 0 && buffer)
        text.assign(buffer, n);
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (text.empty())
        text = "Error " + std::to_string(error) + ".";
    return text;
}

std::string StartFailureText(const std::string& targetPath, DWORD error)
{
    return "The program could not be started:\n" + targetPath + "\n" + SystemErrorText(error);
}

std::string ProgramDisplayName(const std::string& targetPath)
{
    const std::string path = LongPathName(targetPath);
    std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
