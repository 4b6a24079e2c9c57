#include "launcher/LaunchRequest.h"

#include "storage/Scramble.h"

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

LaunchRequest ReadLaunchRequest(const std::string& argument)
{
    LaunchRequest request;
    if (argument.empty())
        return request;
    request.recordPath = UnscramblePassword(argument);
    // A NUL would end the path early at the file system and open some other file.
    if (request.recordPath.find('\0') != std::string::npos) {
        request.problem = LaunchProblem::CannotOpen;
        return request;
    }
    RecordReadResult read = ReadProtectionRecord(request.recordPath);
    if (read.status == RecordStatus::CannotOpen) {
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

std::string LaunchProblemText(const LaunchRequest& request)
{
    // The path is shown as far as a message box can show it: up to a NUL.
    const std::string path = request.recordPath.substr(0, request.recordPath.find('\0'));
    switch (request.problem) {
    case LaunchProblem::NoArgument:
        return "No protection record was given.\nThis program starts the programs of password protected "
               "shortcuts; open the shortcut instead.";
    case LaunchProblem::CannotOpen:
        return "The protection record of this shortcut cannot be opened:\n" + path +
               "\nThe program has not been started.";
    case LaunchProblem::Damaged:
        return "The protection record of this shortcut is damaged:\n" + path + "\nThe program has not been started.";
    case LaunchProblem::None:
        break;
    }
    return std::string();
}

void ClearSecret(std::string& secret)
{
    // Growing within the capacity never reallocates, so the zeros cover every byte the text
    // ever had in this buffer; a volatile write keeps the compiler from dropping them.
    secret.resize(secret.capacity());
    volatile char* bytes = &secret[0];
    for (std::string::size_type i = 0; i < secret.size(); ++i)
        bytes[i] = '\0';
    secret.clear();
}
