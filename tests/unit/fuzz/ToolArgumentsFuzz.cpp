// The tool's own command line (Latchkey.exe's switches and path): any text is read without harm
// into one consistent request, and a path given back to it in quotes is read back the same.
#include "core/ToolArguments.h"

#include "FuzzInput.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool AllBlank(const std::string& text)
{
    for (char c : text)
        if (!IsBlank(c))
            return false;
    return true;
}

void ReadArbitraryArguments(const std::string& arguments)
{
    const ToolRequest request = ParseToolArguments(arguments);
    Require((request.action == ToolAction::Invalid) == !request.error.empty(), "only a refusal says why");
    Require((request.action == ToolAction::MainWindow) == AllBlank(arguments), "nothing given opens the window");
    const bool command = request.action == ToolAction::Protect || request.action == ToolAction::Remove ||
                         request.action == ToolAction::Decide || request.action == ToolAction::Report;
    Require(command != request.path.empty(), "a command, and only a command, names a file");
    if (!command)
        return;
    Require(arguments.find(request.path) != std::string::npos, "the path is taken from the arguments");
    // Given back in quotes after its switch, the path reads back as the same request.
    if (request.path.find('"') != std::string::npos)
        return;
    const char* word = request.action == ToolAction::Protect  ? "/protect "
                       : request.action == ToolAction::Remove ? "-REMOVE\t"
                       : request.action == ToolAction::Report ? "/Report "
                                                              : "";
    const ToolRequest again = ParseToolArguments(std::string(word) + "\"" + request.path + "\" ");
    Require(again.action == request.action && again.path == request.path, "a quoted path reads back the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadArbitraryArguments(WholeInput(data, size));
    return 0;
}
