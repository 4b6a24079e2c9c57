// The remove command's split of a record's command line: any text is split without harm, and
// every target protect accepts comes back whole with its arguments, into the restored shortcut.
#include "core/ProtectRules.h"
#include "core/ProtectionRecord.h"
#include "core/RemoveRules.h"

#include "FuzzInput.h"

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
    Require(parts.arguments.size() < commandLine.size() &&
                commandLine.compare(commandLine.size() - parts.arguments.size(), std::string::npos,
                                    parts.arguments) == 0,
            "the arguments are the command line's end");
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

    ProtectionRecord record{"", MakeCommandLine(target, arguments), workingDirectory};
    ShortcutInfo protectedLink;
    protectedLink.iconPath = iconPath;
    const ShortcutInfo restored = RestoredShortcutInfo(protectedLink, record, parts);
    Require(restored.targetPath == target && restored.arguments == arguments &&
                restored.workingDirectory == workingDirectory && restored.description.empty(),
            "the restored shortcut starts what the original did");
    Require(restored.iconPath == (iconPath.empty() ? target : iconPath), "the restored shortcut has an icon");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SplitArbitraryText(WholeInput(data, size));
    MakeThenSplit(FuzzFields(data, size));
    return 0;
}
