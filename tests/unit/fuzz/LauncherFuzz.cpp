// The launcher's argument handling: any command line gives its argument without harm, the
// argument after the program name comes back byte for byte, and a request either names a
// problem or gives a program with a target whose fields are exactly the record's.
#include "core/LaunchRequest.h"
#include "core/Messages.h"
#include "core/ProtectRules.h"
#include "core/Scramble.h"

#include "FuzzInput.h"
#include "MemoryFiles.h"

namespace {

std::optional<std::string> ReadNothing(const std::string&)
{
    return std::nullopt;
}

bool SameRecord(const ProtectionRecord& a, const ProtectionRecord& b)
{
    return a.password == b.password && a.commandLine == b.commandLine && a.workingDirectory == b.workingDirectory;
}

void SplitArbitraryCommandLine(const std::string& commandLine)
{
    const std::string argument = LauncherArgument(commandLine);
    Require(argument.size() <= commandLine.size() &&
                commandLine.compare(commandLine.size() - argument.size(), std::string::npos, argument) == 0,
            "the argument is the command line's end");
}

// However the shell names the launcher, the argument after it is given back whole.
void ArgumentAfterProgramName(const std::string& argument, const std::string& folder)
{
    Require(LauncherArgument("lkrun3.exe " + argument) == argument, "bare name, blank: argument whole");
    Require(LauncherArgument("lkrun3.exe\t" + argument) == argument, "bare name, tab: argument whole");
    Require(LauncherArgument("\"C:\\Windows\\System32\\lkrun3.exe\" " + argument) == argument,
            "quoted path: argument whole");
    // A folder as a shell would write it: quoted if it holds anything but a quote.
    if (folder.find('"') == std::string::npos)
        Require(LauncherArgument("\"" + folder + "\\lkrun3.exe\" " + argument) == argument,
                "any quoted folder: argument whole");
    if (!folder.empty() && folder[0] != '"' && folder.find_first_of(" \t") == std::string::npos)
        Require(LauncherArgument(folder + "\\lkrun3.exe " + argument) == argument,
                "any unquoted folder without blanks: argument whole");
}

// The argument names a record held in memory with arbitrary bytes.
void RequestArbitraryRecord(const std::string& argument, const std::string& recordBytes)
{
    MemoryFiles().clear();
    MemoryFiles()[Unscramble(argument)] = recordBytes;
    LaunchRequest request = ReadLaunchRequest(argument, ReadMemoryFile);
    if (argument.empty()) {
        Require(request.problem == LaunchProblem::NoArgument, "no argument is its own problem");
        return;
    }
    Require(request.recordPath == Unscramble(argument), "the record path is the argument unscrambled");
    const bool nul = request.recordPath.find('\0') != std::string::npos;
    if (request.problem != LaunchProblem::None) {
        Require(request.problem == (nul ? LaunchProblem::CannotOpen : LaunchProblem::Damaged),
                "a record in hand is refused as damaged; a path with a NUL is never opened");
        Require(request.record.password.empty(), "a refused request keeps no password");
        Require(!LaunchProblemText(request.problem, request.recordPath).empty(), "a problem has a message");
    } else {
        Require(!nul, "a path with a NUL is never opened");
        const RecordReadResult read = ParseProtectionRecord(recordBytes);
        Require(read.status == RecordStatus::Ok, "only a whole record is started");
        Require(SameRecord(request.record, read.record), "the request holds the record's fields");
        Require(request.program.ok && !request.program.targetPath.empty(), "a started program has a target");
        const CommandLineParts parts = SplitCommandLine(read.record.commandLine);
        Require(request.program.targetPath == parts.targetPath && request.program.arguments == parts.arguments,
                "the program is the record's command line");
    }
    Require(ReadLaunchRequest(argument, ReadNothing).problem == LaunchProblem::CannotOpen,
            "a record that cannot be read is 'cannot open'");
}

// A record protect writes, named in the shortcut as protect names it, started through the shell's
// command line: the launcher starts exactly the original target with its arguments.
void RequestProtectedShortcut(FuzzFields fields)
{
    ProtectionRecord record;
    std::string target, arguments;
    if (!ProtectableRecord(fields, record, target, arguments))
        return;
    const std::string recordPath = MakeRecordPath(target, "01012026120000");
    MemoryFiles().clear();
    MemoryFiles()[recordPath] = FormatProtectionRecord(record);

    const std::string commandLine = "\"C:\\Windows\\System32\\lkrun3.exe\" " + Scramble(recordPath);
    const LaunchRequest request = ReadLaunchRequest(LauncherArgument(commandLine), ReadMemoryFile);
    if (recordPath.find('\0') != std::string::npos) {
        Require(request.problem == LaunchProblem::CannotOpen, "a path with a NUL is never opened");
        return;
    }
    Require(request.problem == LaunchProblem::None, "a record protect wrote is started");
    Require(request.recordPath == recordPath, "the shortcut's argument names the record");
    Require(SameRecord(request.record, record), "the launcher reads the fields protect wrote");
    Require(request.program.targetPath == target && request.program.arguments == arguments,
            "the launcher starts the original target with its arguments");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SplitArbitraryCommandLine(WholeInput(data, size));

    FuzzFields fields(data, size);
    const std::string argument = fields.Next();
    const std::string folder = fields.Next();
    const std::string recordBytes = fields.Next();
    ArgumentAfterProgramName(argument, folder);
    RequestArbitraryRecord(argument, recordBytes);
    RequestProtectedShortcut(fields);
    return 0;
}
