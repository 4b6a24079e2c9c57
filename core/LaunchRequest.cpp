#include "core/LaunchRequest.h"

#include "core/Paths.h"
#include "core/Scramble.h"
#include "core/Secret.h"

std::string LauncherArgument(const std::string& commandLine)
{
    std::string::size_type end;
    if (!commandLine.empty() && commandLine[0] == '"') {
        end = commandLine.find('"', 1);
        end = end == std::string::npos ? commandLine.size() : end + 1;
    } else {
        end = commandLine.find_first_of(" \t");
        if (end == std::string::npos)
            end = commandLine.size();
    }
    // Only the one separator is dropped; whatever follows belongs to the argument.
    if (end < commandLine.size() && (commandLine[end] == ' ' || commandLine[end] == '\t'))
        ++end;
    return commandLine.substr(end);
}

bool IsProgramFile(const std::string& targetPath)
{
    const std::string name = FileName(targetPath);
    const std::string::size_type dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    const std::string extension = LowerAscii(name.substr(dot));
    return extension == ".exe" || extension == ".com";
}

LaunchRequest ReadLaunchRequest(const std::string& argument, FileReader readFile)
{
    LaunchRequest request;
    if (argument.empty())
        return request;
    request.recordPath = Unscramble(argument);
    // A NUL would end the path early at the file system and open some other file.
    if (request.recordPath.find('\0') != std::string::npos) {
        request.problem = LaunchProblem::CannotOpen;
        return request;
    }
    std::optional<std::string> bytes = readFile(request.recordPath);
    RecordReadResult read = ParseRecordFile(bytes);
    if (bytes)
        ClearSecret(*bytes);
    if (read.status == RecordStatus::CannotOpen) {
        ClearSecret(read.record.password);
        request.problem = LaunchProblem::CannotOpen;
        return request;
    }
    request.record = std::move(read.record);
    request.program = SplitCommandLine(request.record.commandLine);
    if (read.status != RecordStatus::Ok || !request.program.ok || request.program.targetPath.empty()) {
        ClearSecret(request.record.password);
        request.problem = LaunchProblem::Damaged;
        return request;
    }
    request.problem = LaunchProblem::None;
    return request;
}
