// The remove command's split of a record's command line: any text is split without harm into
// exactly the parts it was made of, and every target protect accepts comes back whole with its
// arguments, into the restored shortcut; and Windows reads the stored line as the same program
// with the same arguments as the shortcut's own.
#include "core/ProtectRules.h"
#include "core/ProtectionRecord.h"
#include "core/RemoveRules.h"

#include "FuzzInput.h"
#include "WindowsCommandLine.h"

namespace {

bool Same(const CommandLineParts& a, const CommandLineParts& b)
{
    return a.ok == b.ok && a.targetPath == b.targetPath && a.arguments == b.arguments;
}

void SplitArbitraryText(const std::string& commandLine)
{
    const CommandLineParts parts = SplitCommandLine(commandLine);
    if (!parts.ok)
        return;
    // The parts put together again, as they were found, are the whole line: nothing is lost
    // or made up between the target and its arguments.
    const bool quoted = commandLine[0] == '"';
    Require(commandLine == (quoted ? "\"" + parts.targetPath + "\"" : parts.targetPath) + " " + parts.arguments,
            "the target, its separating blank and the arguments make up the line");
    Require(parts.targetPath.find(quoted ? '"' : ' ') == std::string::npos, "the target ends at the first end");
    // A split target written back splits the same way (a quote inside it cannot be quoted).
    if (parts.targetPath.find('"') == std::string::npos)
        Require(Same(SplitCommandLine(MakeCommandLine(parts.targetPath, parts.arguments)), parts),
                "a split command line made again splits the same");
}

void MakeThenSplit(FuzzFields fields)
{
    const std::string target = fields.Next();
    const std::string arguments = fields.Next();
    const std::string workingDirectory = fields.Next();
    const std::string iconPath = fields.Next();
    if (!IsAbsoluteFileSystemPath(target))
        return;
    const CommandLineParts parts = SplitCommandLine(MakeCommandLine(target, arguments));
    Require(parts.ok, "a command line protect makes splits");
    Require(parts.targetPath == target, "the split gives back the target");
    Require(parts.arguments == arguments, "the split gives back the arguments");

    // What Windows makes of the stored line: CreateProcess's program name and a program's own
    // first argument are the target, and the arguments come out as from the shortcut itself.
    const std::string commandLine = MakeCommandLine(target, arguments);
    Require(windows_rules::ProgramName(commandLine) == target, "Windows reads the target as the program name");
    std::vector<std::string> expected{target};
    const std::vector<std::string> own = windows_rules::Arguments(arguments);
    expected.insert(expected.end(), own.begin(), own.end());
    Require(windows_rules::ArgumentVector(commandLine) == expected,
            "Windows splits the stored line into the target and the shortcut's own arguments");

    ProtectionRecord record{"", MakeCommandLine(target, arguments), workingDirectory};
    ShortcutInfo protectedLink;
    protectedLink.iconPath.assign(iconPath.begin(), iconPath.end());
    const ShortcutInfo restored = RestoredShortcutInfo(protectedLink, record, parts);
    Require(restored.targetPath == target && restored.arguments == arguments &&
                restored.workingDirectory == workingDirectory && restored.description.empty(),
            "the restored shortcut starts what the original did");
    Require(restored.iconPath == protectedLink.iconPath, "the restored shortcut keeps the protected one's icon");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SplitArbitraryText(WholeInput(data, size));
    MakeThenSplit(FuzzFields(data, size));
    return 0;
}
