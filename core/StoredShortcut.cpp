#include "core/StoredShortcut.h"

#include "core/Paths.h"

#include <cstdint>

namespace {

constexpr char Magic[] = "Latchkey original shortcut 1\r\n";
// Far beyond any path or shortcut; bounds what a damaged entry could make us allocate.
constexpr std::size_t MaxField = 1u << 24;

void PutField(std::string& out, const char* name, const std::string& value)
{
    out += name;
    out += ' ';
    out += DecimalText(static_cast<unsigned long>(value.size()));
    out += "\r\n";
    out += value;
    out += "\r\n";
}

// Reads "<name> <size>\r\n<bytes>\r\n" at pos.
bool GetField(const std::string& in, std::size_t& pos, const char* name, std::string& value)
{
    const std::string prefix = std::string(name) + ' ';
    if (in.compare(pos, prefix.size(), prefix) != 0)
        return false;
    pos += prefix.size();
    std::size_t size = 0, digits = 0;
    while (pos < in.size() && in[pos] >= '0' && in[pos] <= '9' && digits < 9) {
        size = size * 10 + static_cast<std::size_t>(in[pos] - '0');
        ++pos;
        ++digits;
    }
    if (digits == 0 || size > MaxField || in.compare(pos, 2, "\r\n") != 0)
        return false;
    pos += 2;
    if (in.size() - pos < size + 2 || in.compare(pos + size, 2, "\r\n") != 0)
        return false;
    value.assign(in, pos, size);
    pos += size + 2;
    return true;
}

} // namespace

std::string FormatStoredShortcut(const StoredShortcut& entry)
{
    std::string out;
    out.reserve(sizeof Magic + entry.recordPath.size() + entry.linkPath.size() + entry.protectedBytes.size() +
                entry.originalBytes.size() + entry.recordBytes.size() + 5 * 32);
    out = Magic;
    PutField(out, "record", entry.recordPath);
    PutField(out, "link", entry.linkPath);
    PutField(out, "protected", entry.protectedBytes);
    PutField(out, "original", entry.originalBytes);
    // Left out when there is none, so that an entry reads as older versions wrote it.
    if (!entry.recordBytes.empty())
        PutField(out, "recordfile", entry.recordBytes);
    return out;
}

std::optional<StoredShortcut> ParseStoredShortcut(const std::string& bytes)
{
    StoredShortcut entry;
    std::size_t pos = sizeof Magic - 1;
    if (bytes.compare(0, pos, Magic) != 0 || !GetField(bytes, pos, "record", entry.recordPath) ||
        !GetField(bytes, pos, "link", entry.linkPath) || !GetField(bytes, pos, "protected", entry.protectedBytes) ||
        !GetField(bytes, pos, "original", entry.originalBytes))
        return std::nullopt;
    if (pos != bytes.size() && (!GetField(bytes, pos, "recordfile", entry.recordBytes) || entry.recordBytes.empty() ||
                                pos != bytes.size()))
        return std::nullopt;
    return entry;
}

std::string StoredShortcutName(const std::string& recordPath)
{
    // FNV-1a: a name, not a secret; the entry names its record, and that is what is checked.
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : LowerAscii(recordPath)) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    static const char digits[] = "0123456789abcdef";
    std::string name(16, '0');
    for (std::size_t i = 16; i-- > 0; hash >>= 4)
        name[i] = digits[hash & 0xF];
    return name + ".lnk.kept";
}

bool BelongsTo(const StoredShortcut& entry, const std::string& recordPath, const std::string& currentBytes)
{
    return entry.recordPath == recordPath && entry.protectedBytes == currentBytes && !entry.originalBytes.empty();
}
