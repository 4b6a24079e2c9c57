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

// Where the option /name (or -name) begins in text, as a word of its own outside quotes; npos
// when it is not there.
std::string::size_type FindOption(const std::string& text, const std::string& name)
{
    bool quoted = false;
    for (std::string::size_type i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        if (quoted || (text[i] != '/' && text[i] != '-') || (i > 0 && text[i - 1] != ' ' && text[i - 1] != '\t'))
            continue;
        const std::string::size_type end = i + 1 + name.size();
        if (LowerAscii(text.substr(i + 1, name.size())) == name &&
            (end == text.size() || text[end] == ' ' || text[end] == '\t'))
            return i;
    }
    return std::string::npos;
}

// Takes the option /name and what follows it off the end of text: true when it was there, with
// value holding the rest after it, trimmed.
bool TakeOption(std::string& text, const std::string& name, std::string& value)
{
    const std::string::size_type at = FindOption(text, name);
    if (at == std::string::npos)
        return false;
    value = Trimmed(text.substr(at + 1 + name.size()));
    text = Trimmed(text.substr(0, at));
    return true;
}

PathKind KindOfPath(ToolAction action)
{
    switch (action) {
    case ToolAction::Report:
    case ToolAction::History: return PathKind::ReportFile;
    case ToolAction::Keep:
    case ToolAction::Unkeep: return PathKind::Program;
    default: return PathKind::Shortcut;
    }
}

} // namespace

bool WritesFile(ToolAction action)
{
    return action == ToolAction::Report || action == ToolAction::History;
}

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
        else if (name == "keep")
            request.action = ToolAction::Keep;
        else if (name == "unkeep")
            request.action = ToolAction::Unkeep;
        else if (name == "check")
            request.action = ToolAction::Check;
        else {
            request.action = ToolAction::Invalid;
            request.error = UnknownSwitchText(word);
            return request;
        }
        std::string option;
        if (request.action == ToolAction::Check || request.action == ToolAction::Report) {
            const bool quietAsked = TakeOption(pathText, "quiet", option);
            if (quietAsked && !option.empty()) {
                request.action = ToolAction::Invalid;
                request.error = UnexpectedAfterSwitchText("/quiet", option);
                return request;
            }
            // A check runs from a logon task: nobody is there to answer.
            request.quiet = quietAsked || request.action == ToolAction::Check;
        }
        if (request.action == ToolAction::Check) {
            if (!pathText.empty()) {
                request.action = ToolAction::Invalid;
                request.error = UnexpectedAfterSwitchText(word, pathText);
            }
            return request;
        }
        if ((request.action == ToolAction::Keep || request.action == ToolAction::Unkeep) &&
            TakeOption(pathText, "password-file", option)) {
            if (!TakePath(option, request.passwordFile) || request.passwordFile.empty()) {
                request.action = ToolAction::Invalid;
                request.error = option.empty() ? SwitchNeedsPathText("/password-file", PathKind::PasswordFile)
                                               : NotOnePathText(option, PathKind::PasswordFile);
                request.passwordFile.clear();
                return request;
            }
        }
        if (pathText.empty()) {
            request.error = SwitchNeedsPathText(word, KindOfPath(request.action));
            request.action = ToolAction::Invalid;
            return request;
        }
    } else {
        request.action = ToolAction::Decide;
    }

    if (!TakePath(pathText, request.path) || request.path.empty()) {
        request.error = NotOnePathText(pathText, KindOfPath(request.action));
        request.action = ToolAction::Invalid;
        request.path.clear();
    }
    return request;
}
