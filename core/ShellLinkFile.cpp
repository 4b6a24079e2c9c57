#include "core/ShellLinkFile.h"

namespace linkfile {

namespace {

constexpr std::uint32_t HeaderSizeField = 0x4C;
// The shell link class, {00021401-0000-0000-C000-000000000046}, as stored.
constexpr unsigned char LinkClass[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::size_t FlagsAt = 20, IconIndexAt = 56, ShowCommandAt = 60, HotKeyAt = 64;

std::uint32_t Get(std::string_view bytes, std::size_t at, std::size_t width)
{
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void Put(std::string& bytes, std::size_t at, std::size_t width, std::uint32_t value)
{
    for (std::size_t i = 0; i < width; ++i, value >>= 8)
        bytes[at + i] = static_cast<char>(value & 0xFF);
}

// Reads little-endian fields in order, never past the end.
class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    bool Has(std::size_t count) const { return count <= m_bytes.size() - m_at; }
    std::size_t At() const { return m_at; }
    bool Number(std::size_t width, std::uint32_t& value)
    {
        if (!Has(width))
            return false;
        value = Get(m_bytes, m_at, width);
        m_at += width;
        return true;
    }
    bool Skip(std::size_t count)
    {
        if (!Has(count))
            return false;
        m_at += count;
        return true;
    }

private:
    std::string_view m_bytes;
    std::size_t m_at = 0;
};

bool ReadString(Reader& in, bool unicode, std::optional<std::u16string>& text)
{
    std::uint32_t count = 0;
    if (!in.Number(2, count))
        return false;
    std::u16string read;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t unit = 0;
        if (!in.Number(unicode ? 2 : 1, unit))
            return false;
        read.push_back(static_cast<char16_t>(unit));
    }
    text = std::move(read);
    return true;
}

} // namespace

const ExtraBlock* ShellLinkFile::Find(std::uint32_t signature) const
{
    for (const ExtraBlock& block : blocks) {
        if (block.signature == signature)
            return &block;
    }
    return nullptr;
}

std::optional<ShellLinkFile> Parse(std::string_view bytes)
{
    Reader in(bytes);
    std::uint32_t size = 0;
    if (!in.Number(4, size) || size != HeaderSizeField || !in.Has(HeaderSize - 4) ||
        bytes.substr(4, sizeof LinkClass) != std::string_view(reinterpret_cast<const char*>(LinkClass), sizeof LinkClass))
        return std::nullopt;
    ShellLinkFile link;
    link.flags = Get(bytes, FlagsAt, 4);
    link.iconIndex = static_cast<std::int32_t>(Get(bytes, IconIndexAt, 4));
    link.showCommand = Get(bytes, ShowCommandAt, 4);
    link.hotKey = static_cast<std::uint16_t>(Get(bytes, HotKeyAt, 2));
    in.Skip(HeaderSize - 4);

    std::uint32_t sectionSize = 0;
    if ((link.flags & HasIdList) && !(in.Number(2, sectionSize) && in.Skip(sectionSize)))
        return std::nullopt;
    // The link info's size counts its own four bytes.
    if ((link.flags & HasLinkInfo) && !(in.Number(4, sectionSize) && sectionSize >= 4 && in.Skip(sectionSize - 4)))
        return std::nullopt;
    const bool unicode = (link.flags & IsUnicode) != 0;
    StringData& strings = link.strings;
    const std::pair<std::uint32_t, std::optional<std::u16string>*> texts[] = {
        {HasName, &strings.name},           {HasRelativePath, &strings.relativePath},
        {HasWorkingDir, &strings.workingDir}, {HasArguments, &strings.arguments},
        {HasIconLocation, &strings.iconLocation}};
    for (const auto& [flag, text] : texts) {
        if ((link.flags & flag) && !ReadString(in, unicode, *text))
            return std::nullopt;
    }
    link.head.assign(bytes.substr(0, in.At()));

    // Blocks until one whose size is under four: the terminal block.
    for (;;) {
        const std::size_t start = in.At();
        std::uint32_t blockSize = 0;
        if (!in.Number(4, blockSize))
            return std::nullopt;
        if (blockSize < 4) {
            link.tail.assign(bytes.substr(start));
            break;
        }
        std::uint32_t signature = 0;
        if (blockSize < 8 || !in.Number(4, signature) || !in.Skip(blockSize - 8))
            return std::nullopt;
        link.blocks.push_back({signature, std::string(bytes.substr(start, blockSize))});
    }
    return link;
}

std::string Format(const ShellLinkFile& link)
{
    std::string bytes = link.head;
    if (bytes.size() < HeaderSize)
        bytes.resize(HeaderSize, '\0');
    Put(bytes, FlagsAt, 4, link.flags);
    Put(bytes, IconIndexAt, 4, static_cast<std::uint32_t>(link.iconIndex));
    Put(bytes, ShowCommandAt, 4, link.showCommand);
    Put(bytes, HotKeyAt, 2, link.hotKey);
    for (const ExtraBlock& block : link.blocks)
        bytes += block.bytes;
    return bytes + (link.tail.size() >= 4 ? link.tail : std::string(4, '\0'));
}

bool IsCarriedBlock(std::uint32_t signature)
{
    return signature == ConsoleBlock || signature == ConsoleFeBlock || signature == PropertyStoreBlock;
}

std::optional<std::string> CarryOver(std::string_view built, std::string_view original)
{
    std::optional<ShellLinkFile> result = Parse(built);
    const std::optional<ShellLinkFile> from = Parse(original);
    if (!result || !from)
        return std::nullopt;
    result->showCommand = from->showCommand;
    result->hotKey = from->hotKey;
    result->flags = (result->flags & ~RunAsUser) | (from->flags & RunAsUser);
    std::vector<ExtraBlock> blocks;
    for (ExtraBlock& block : result->blocks) {
        if (!IsCarriedBlock(block.signature) || !from->Find(block.signature))
            blocks.push_back(std::move(block));
    }
    for (const ExtraBlock& block : from->blocks) {
        if (IsCarriedBlock(block.signature))
            blocks.push_back(block);
    }
    result->blocks = std::move(blocks);
    return Format(*result);
}

} // namespace linkfile
