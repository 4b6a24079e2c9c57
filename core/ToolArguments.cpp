#include "core/ToolArguments.h"

#include "core/Messages.h"
#include "core/Paths.h"

namespace {

std::string Trimmed(const std::string& text)
{
    const std::string::size_type first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The path in text: quoted (what follows the closing quote must be blank) or the whole text.
// False when the quotes do not close or more follows them.
bool TakePath(const std::string& text, std::string& path)
{
    if (text.empty() || text[0] != '"') {
        path = text;
        return true;
    }
    const std::string::size_type close = text.find('"', 1);
    if (close == std::string::npos || !Trimmed(text.substr(close + 1)).empty())
        return false;
    path = text.substr(1, close - 1);
    return true;
}

// The commands whose path names the file they write, not a shortcut.
bool WritesFile(ToolAction action)
{
    return action == ToolAction::Report || action == ToolAction::History;
}

} // namespace

ToolRequest ParseToolArguments(const std::string& arguments)
{
    ToolRequest request;
    const std::string rest = Trimmed(arguments);
    if (rest.empty())
        return request;

    std::string pathText = rest;
    if (rest[0] == '/' || rest[0] == '-') {
        const std::string::size_type end = rest.find_first_of(" \t");
        const std::string word = rest.substr(0, end);
        const std::string name = LowerAscii(word.substr(1));
        pathText = end == std::string::npos ? std::string() : Trimmed(rest.substr(end));
        if (name == "?") {
            request.action = pathText.empty() ? ToolAction::Usage : ToolAction::Invalid;
            if (!pathText.empty())
                request.error = UnexpectedAfterUsageText(pathText);
            return request;
        }
        if (name == "protect")
            request.action = ToolAction::Protect;
        else if (name == "remove")
            request.action = ToolAction::Remove;
        else if (name == "report")
            request.action = ToolAction::Report;
        else if (name == "history")
            request.action = ToolAction::History;
        else {
            request.action = ToolAction::Invalid;
            request.error = UnknownSwitchText(word);
            return request;
        }
        if (pathText.empty()) {
            request.error = SwitchNeedsPathText(word, WritesFile(request.action));
            request.action = ToolAction::Invalid;
            return request;
        }
    } else {
        request.action = ToolAction::Decide;
    }

    if (!TakePath(pathText, request.path) || request.path.empty()) {
        request.error = NotOnePathText(pathText, WritesFile(request.action));
        request.action = ToolAction::Invalid;
        request.path.clear();
    }
    return request;
}
