// Reading the history and writing it out: apart from the formatting of an entry, which is all the
// launcher needs.
#include "core/History.h"

#include "core/Csv.h"

namespace {

constexpr HistoryResult Results[] = {
    HistoryResult::Started,   HistoryResult::WrongPassword,  HistoryResult::LockedOut,     HistoryResult::Protected,
    HistoryResult::Removed,   HistoryResult::ProtectedAgain, HistoryResult::RecordRestored,
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// YYYY-MM-DD HH:MM:SS
bool IsTime(const std::string& text)
{
    static const char pattern[] = "0000-00-00 00:00:00";
    if (text.size() != sizeof pattern - 1)
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (pattern[i] == '0' ? !IsDigit(text[i]) : text[i] != pattern[i])
            return false;
    return true;
}

// Well-formed UTF-8 without control characters.
bool IsCleanUtf8(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F)
            return false;
        size_t more = 0;
        unsigned long code = c;
        if (c >= 0x80) {
            if (c >= 0xC2 && c <= 0xDF)
                more = 1, code = c & 0x1F;
            else if (c >= 0xE0 && c <= 0xEF)
                more = 2, code = c & 0x0F;
            else if (c >= 0xF0 && c <= 0xF4)
                more = 3, code = c & 0x07;
            else
                return false;
        }
        if (more && i + more >= text.size())
            return false;
        for (size_t k = 1; k <= more; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and beyond Unicode.
        if ((more == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (more == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        i += more + 1;
    }
    return true;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

bool ParseEntry(const std::string& line, HistoryEntry& entry)
{
    const std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() != 5 || !IsTime(fields[0]) || fields[1].empty() || fields[4].empty())
        return false;
    for (const std::string& field : fields)
        if (!IsCleanUtf8(field))
            return false;
    for (HistoryResult result : Results) {
        if (fields[2] == HistoryResultText(result)) {
            entry = HistoryEntry{fields[0], fields[1], fields[3], fields[4], result};
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<HistoryEntry> ParseHistory(const std::string& bytes)
{
    std::vector<HistoryEntry> entries;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find('\n', start);
        // A last line without its line end may still be being written: it is no entry yet.
        if (end == std::string::npos)
            break;
        if (end > start && bytes[end - 1] == '\r') {
            HistoryEntry entry;
            if (ParseEntry(bytes.substr(start, end - 1 - start), entry))
                entries.push_back(std::move(entry));
        }
        start = end + 1;
    }
    return entries;
}

std::string NewestHistory(const std::vector<HistoryEntry>& entries, size_t maxBytes)
{
    size_t first = entries.size();
    size_t bytes = 0;
    while (first > 0) {
        const size_t size = FormatHistoryLine(entries[first - 1]).size();
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        --first;
    }
    std::string kept;
    kept.reserve(bytes);
    for (size_t i = first; i < entries.size(); ++i)
        kept += FormatHistoryLine(entries[i]);
    return kept;
}

std::string HistoryCsv(const std::vector<HistoryEntry>& entries)
{
    std::string csv = "\xEF\xBB\xBF" "Time,User,Shortcut,Program,Result\r\n";
    for (const HistoryEntry& entry : entries)
        csv += CsvField(entry.time) + ',' + CsvField(entry.user) + ',' + CsvField(entry.shortcut) + ',' +
               CsvField(entry.program) + ',' + CsvField(HistoryResultText(entry.result)) + "\r\n";
    return csv;
}
