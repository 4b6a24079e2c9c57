#include "launcher/StartProgram.h"

#include "core/LaunchRequest.h"
#include "core/Paths.h"
#include "win/Process.h"
#include "win/Scoped.h"
#include "win/Strings.h"
#include "win/SystemLibrary.h"

#include <shellapi.h>

#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740L // the program's manifest asks for administrator rights
#endif

namespace {

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Opens the target as the shell opens it: a document with its program, a folder in a window, a
// program that needs elevation (verb "runas") after the consent prompt.
DWORD ShellStart(const CommandLineParts& program, const std::string& directory, const char* verb)
{
    // The shell's handlers may use COM; shell32 is loaded only when it is needed.
    ComApartment com;
    auto shellExecute = SystemFunction<decltype(&ShellExecuteExA)>("shell32.dll", "ShellExecuteExA");
    if (!shellExecute)
        return ERROR_PROC_NOT_FOUND;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    // Our own message box reports a failure; the launcher ends right after the start.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = verb;
    info.lpFile = program.targetPath.c_str();
    info.lpParameters = program.arguments.empty() ? nullptr : program.arguments.c_str();
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = OwnShowCommand(); // as the protected shortcut asked
    if (shellExecute(&info))
        return 0;
    const DWORD error = GetLastError();
    return error != 0 ? error : ERROR_NO_ASSOCIATION;
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
    const std::string directory = StartDirectory(record, program);
    if (!IsProgramFile(program.targetPath))
        return ShellStart(program, directory, nullptr);
    // The program is named apart from the command line, so that exactly the checked file starts
    // whatever the line holds; the line, passed whole, gives it exactly its original arguments.
    const DWORD error = StartProcess(program.targetPath, record.commandLine, directory, true);
    if (error == ERROR_ELEVATION_REQUIRED)
        return ShellStart(program, directory, "runas");
    return error;
}

std::string ProgramDisplayName(const std::string& targetPath)
{
    return FileName(LongPathName(targetPath).value_or(targetPath));
}
