#include "core/KeptPrograms.h"

#include "core/Scramble.h"

namespace {

constexpr char FormatLine[] = "Latchkey kept programs 1";

// The next code point of UTF-8 text at pos, which moves past it; a byte that starts no sequence
// stands for itself.
char32_t NextCodePoint(const std::string& text, std::size_t& pos)
{
    const unsigned char lead = static_cast<unsigned char>(text[pos++]);
    const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t point = more == 0 ? lead : lead & (0x3F >> more);
    for (int i = 0; i < more; ++i) {
        if (pos >= text.size() || (static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80)
            return lead; // cut short: compared as the byte it is
        point = (point << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
    }
    return point;
}

// The upper case Windows compares file names in, for the scripts programs are named in here.
char32_t UpperCase(char32_t c)
{
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) ||
        (c >= 0x430 && c <= 0x44F))
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    if (c == 0x3C2) // final sigma
        return 0x3A3;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    // Latin Extended-A: capital, then small, in pairs (two runs start on an odd code point).
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c & ~char32_t(1);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c : c - 1;
    return c;
}

} // namespace

std::string FormatKeptPrograms(const std::vector<KeptProgram>& programs)
{
    std::size_t size = sizeof FormatLine + 2;
    for (const KeptProgram& program : programs)
        size += program.programPath.size() + program.password.size() + 4;
    std::string bytes;
    bytes.reserve(size);
    bytes += FormatLine;
    bytes += "\r\n";
    for (const KeptProgram& program : programs) {
        bytes += program.programPath;
        bytes += "\r\n";
        std::string scrambled = Scramble(program.password);
        bytes += scrambled;
        ClearSecret(scrambled);
        bytes += "\r\n";
    }
    return bytes;
}

std::optional<std::vector<KeptProgram>> ParseKeptPrograms(const std::string& bytes)
{
    std::vector<std::string> lines;
    // The passwords' lines, scrambled, go as cleared as they came.
    struct Wipe {
        std::vector<std::string>& lines;
        ~Wipe()
        {
            for (std::string& line : lines)
                ClearSecret(line);
        }
    } wipe{lines};
    // Room for every line at once: growing would give back short lines' bytes uncleared.
    std::size_t count = 0;
    for (std::string::size_type at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2))
        ++count;
    lines.reserve(count);
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
    programs.reserve(lines.size() / 2);
    for (std::size_t i = 1; i < lines.size(); i += 2) {
        KeptProgram program{lines[i], Unscramble(lines[i + 1])};
        if (program.programPath.empty() || program.password.empty() ||
            program.programPath.find('\n') != std::string::npos)
            return std::nullopt;
        programs.push_back(std::move(program));
    }
    return programs;
}

bool SameProgram(const std::string& a, const std::string& b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size())
        if (UpperCase(NextCodePoint(a, i)) != UpperCase(NextCodePoint(b, j)))
            return false;
    return i == a.size() && j == b.size();
}

bool CheckWouldChange(const FoundShortcut& row, const std::vector<std::string>& keptPrograms)
{
    const bool direct = row.state == ShortcutState::NotProtected || row.state == ShortcutState::StartsProtectedProgram;
    if ((!direct && row.state != ShortcutState::RecordMissing) || row.program.empty())
        return false;
    for (const std::string& program : keptPrograms)
        if (SameProgram(row.program, program))
            return true;
    return false;
}
