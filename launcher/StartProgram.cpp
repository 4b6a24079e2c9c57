#include "launcher/StartProgram.h"

#include "core/Paths.h"
#include "win/Process.h"
#include "win/Strings.h"

namespace {

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

std::string StartDirectory(const ProtectionRecord& record, const CommandLineParts& program)
{
    const std::string& stored = record.workingDirectory;
    if (!stored.empty()) {
        // Shortcuts often carry a working directory such as %HOMEDRIVE%%HOMEPATH%, which the
        // shell expands; a folder whose real name holds percent signs is used as it stands.
        if (stored.find('%') != std::string::npos && !IsFolder(stored))
            return ExpandEnvironment(stored).value_or(stored);
        return stored;
    }
    const std::string& target = program.targetPath;
    if (target.find_first_of("\\/") == std::string::npos)
        return std::string(); // a bare program name: start where the launcher was started
    std::string folder = FolderOf(target);
    // "C:" alone would mean the drive's current folder, not its root.
    if (folder.empty() || folder.back() == ':')
        folder += '\\';
    return folder;
}

DWORD StartProgram(const ProtectionRecord& record, const CommandLineParts& program)
{
    // The stored command line already quotes a target that holds a blank; passing it whole,
    // without an application name, gives the program exactly its original arguments.
    return StartProcess(record.commandLine, StartDirectory(record, program));
}

std::string ProgramDisplayName(const std::string& targetPath)
{
    return FileName(LongPathName(targetPath).value_or(targetPath));
}
