#include "core/KeptPrograms.h"

#include "core/Scramble.h"

namespace {

constexpr char FormatLine[] = "Latchkey kept programs 1";

} // namespace

std::string FormatKeptPrograms(const std::vector<KeptProgram>& programs)
{
    std::string bytes = std::string(FormatLine) + "\r\n";
    for (const KeptProgram& program : programs)
        bytes += program.programPath + "\r\n" + Scramble(program.password) + "\r\n";
    return bytes;
}

std::optional<std::vector<KeptProgram>> ParseKeptPrograms(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < bytes.size()) {
        const std::string::size_type end = bytes.find("\r\n", start);
        if (end == std::string::npos)
            return std::nullopt; // cut short
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    if (lines.empty() || lines[0] != FormatLine || lines.size() % 2 != 1)
        return std::nullopt;
    std::vector<KeptProgram> programs;
    for (std::size_t i = 1; i < lines.size(); i += 2) {
        KeptProgram program{lines[i], Unscramble(lines[i + 1])};
        if (program.programPath.empty() || program.password.empty() ||
            program.programPath.find('\n') != std::string::npos)
            return std::nullopt;
        programs.push_back(std::move(program));
    }
    return programs;
}
