#include "core/IconFile.h"

#include <cstdint>

namespace {

constexpr std::size_t HeaderBytes = 6;     // reserved, type, count: 16 bits each
constexpr std::size_t FileEntryBytes = 16; // size, colours, planes, bits, byte count, offset
constexpr std::size_t GroupEntryBytes = 14; // the same, the 32-bit offset replaced by a 16-bit id

unsigned Read16(const std::string& bytes, std::size_t at)
{
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

std::uint32_t Read32(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(Read16(bytes, at)) | static_cast<std::uint32_t>(Read16(bytes, at + 2)) << 16;
}

void Append16(std::string& bytes, unsigned value)
{
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>((value >> 8) & 0xFF);
}

void Append32(std::string& bytes, std::uint32_t value)
{
    Append16(bytes, value & 0xFFFF);
    Append16(bytes, value >> 16);
}

// The image count of a header that says "icon"; 0 when it does not.
unsigned IconCount(const std::string& bytes)
{
    if (bytes.size() < HeaderBytes || Read16(bytes, 0) != 0 || Read16(bytes, 2) != 1)
        return 0;
    return Read16(bytes, 4);
}

} // namespace

bool IsIconFile(const std::string& bytes)
{
    const unsigned count = IconCount(bytes);
    const std::size_t entriesEnd = HeaderBytes + count * FileEntryBytes;
    if (count == 0 || bytes.size() > MaxIconFileBytes || bytes.size() < entriesEnd)
        return false;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = HeaderBytes + i * FileEntryBytes;
        const std::uint32_t size = Read32(bytes, entry + 8);
        const std::uint32_t offset = Read32(bytes, entry + 12);
        if (size == 0 || offset < entriesEnd || offset > bytes.size() || size > bytes.size() - offset)
            return false;
    }
    return true;
}

std::optional<std::string> IconFileFromGroup(const std::string& group, const IconImageReader& readImage)
{
    const unsigned count = IconCount(group);
    if (count == 0 || group.size() < HeaderBytes + count * GroupEntryBytes)
        return std::nullopt;
    std::string header = group.substr(0, HeaderBytes);
    std::string images;
    std::size_t offset = HeaderBytes + count * FileEntryBytes;
    if (offset > MaxIconFileBytes)
        return std::nullopt;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = HeaderBytes + i * GroupEntryBytes;
        std::optional<std::string> image = readImage(Read16(group, entry + 12));
        if (!image || image->empty() || image->size() > MaxIconFileBytes - offset)
            return std::nullopt;
        // Width, height, colours, reserved, planes and bits as the group gives them; the byte
        // count the image really has, and where it lies in the file.
        header += group.substr(entry, 8);
        Append32(header, static_cast<std::uint32_t>(image->size()));
        Append32(header, static_cast<std::uint32_t>(offset));
        offset += image->size();
        images += *image;
    }
    return header + images;
}
