// How Windows reads a command line, written out from its documented rules, so that what protect
// stores can be checked against the reader that will really see it.
#pragma once

#include <string>
#include <vector>

namespace windows_rules {

inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The program name CreateProcess takes from a command line (and a program's runtime takes as
// its first argument): quoted, up to the closing quote (or the end); otherwise up to the first
// blank or tab. No character escapes anything in it.
inline std::string ProgramName(const std::string& commandLine)
{
    if (!commandLine.empty() && commandLine[0] == '"') {
        const std::string::size_type close = commandLine.find('"', 1);
        return commandLine.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    std::string::size_type end = 0;
    while (end < commandLine.size() && !IsBlank(commandLine[end]))
        ++end;
    return commandLine.substr(0, end);
}

// The arguments CommandLineToArgvW finds in the text after the program name: blanks and tabs
// separate them; a quote starts or ends a quoted part, in which blanks count; 2n backslashes
// before a quote give n backslashes and the quote acts, 2n+1 give n and a literal quote; other
// backslashes are literal; inside a quoted part, two quotes in a row give one literal quote.
inline std::vector<std::string> Arguments(const std::string& text)
{
    std::vector<std::string> arguments;
    std::string::size_type i = 0;
    for (;;) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        if (i >= text.size())
            return arguments;
        std::string argument;
        bool quoted = false;
        while (i < text.size() && (quoted || !IsBlank(text[i]))) {
            if (text[i] == '\\') {
                std::string::size_type backslashes = 0;
                while (i < text.size() && text[i] == '\\') {
                    ++backslashes;
                    ++i;
                }
                if (i < text.size() && text[i] == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        argument += '"';
                        ++i;
                    }
                } else {
                    argument.append(backslashes, '\\');
                }
            } else if (text[i] == '"') {
                if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                    argument += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                argument += text[i++];
            }
        }
        arguments.push_back(argument);
    }
}

// The whole argument vector CommandLineToArgvW makes of a command line: the program name as
// above, then the arguments of what follows it.
inline std::vector<std::string> ArgumentVector(const std::string& commandLine)
{
    std::vector<std::string> vector{ProgramName(commandLine)};
    std::string::size_type rest = vector[0].size();
    if (!commandLine.empty() && commandLine[0] == '"')
        rest = std::min(commandLine.size(), rest + 2); // both quotes, where the closing one is there
    const std::vector<std::string> arguments = Arguments(commandLine.substr(rest));
    vector.insert(vector.end(), arguments.begin(), arguments.end());
    return vector;
}

} // namespace windows_rules
