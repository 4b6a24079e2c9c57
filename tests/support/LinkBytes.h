// Shortcut files made byte by byte from the published format, with what the shell link object
// of the test machine does not write: console and property-store blocks, an environment-variable
// target, known and special folders, the run-as flag. Plain C++, shared by the native and the
// Windows tests; written apart from Latchkey's own reader, so that each checks the other.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lktest {

struct LinkFixture {
    std::string target; // the local path in the link info, in the code page
    std::u16string description, relativePath, workingDir, arguments, iconLocation; // empty: absent
    std::int32_t iconIndex = 0;
    std::uint32_t showCommand = 1;
    std::uint16_t hotKey = 0;
    bool runAsUser = false;
    std::uint32_t moreFlags = 0;     // flags the blocks need (0x200 for the environment block)
    std::vector<std::string> blocks; // whole extra data blocks, in order
};

namespace linkbytes {

inline void Add(std::string& out, std::uint32_t value, int width)
{
    for (int i = 0; i < width; ++i, value >>= 8)
        out += static_cast<char>(value & 0xFF);
}

inline void AddWide(std::string& out, const std::u16string& text)
{
    for (char16_t unit : text)
        Add(out, unit, 2);
}

inline std::string Block(std::uint32_t signature, const std::string& body)
{
    std::string block;
    Add(block, static_cast<std::uint32_t>(body.size() + 8), 4);
    Add(block, signature, 4);
    return block + body;
}

} // namespace linkbytes

inline std::string MakeLinkBytes(const LinkFixture& link)
{
    using namespace linkbytes;
    std::uint32_t flags = 0x2 | 0x80 | link.moreFlags; // link info, Unicode
    const std::pair<std::uint32_t, const std::u16string*> texts[] = {
        {0x4, &link.description}, {0x8, &link.relativePath}, {0x10, &link.workingDir},
        {0x20, &link.arguments},  {0x40, &link.iconLocation}};
    for (const auto& [flag, text] : texts) {
        if (!text->empty())
            flags |= flag;
    }
    if (link.runAsUser)
        flags |= 0x2000;

    std::string out;
    Add(out, 0x4C, 4);
    out += std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
    Add(out, flags, 4);
    Add(out, 0x20, 4);           // archive
    out.append(24, '\x11');      // creation, access and write times
    Add(out, 1234, 4);           // file size
    Add(out, static_cast<std::uint32_t>(link.iconIndex), 4);
    Add(out, link.showCommand, 4);
    Add(out, link.hotKey, 2);
    out.append(10, '\0');

    // Link info: a fixed volume without a label and the local path.
    std::string volume;
    Add(volume, 0x11, 4);
    Add(volume, 3, 4);          // fixed drive
    Add(volume, 0x1234ABCD, 4); // serial number
    Add(volume, 0x10, 4);       // label offset
    volume += '\0';
    const std::uint32_t headerSize = 0x1C;
    const std::uint32_t basePathAt = headerSize + static_cast<std::uint32_t>(volume.size());
    const std::uint32_t suffixAt = basePathAt + static_cast<std::uint32_t>(link.target.size()) + 1;
    std::string info;
    Add(info, suffixAt + 1, 4);
    Add(info, headerSize, 4);
    Add(info, 1, 4); // volume ID and local base path
    Add(info, headerSize, 4);
    Add(info, basePathAt, 4);
    Add(info, 0, 4);
    Add(info, suffixAt, 4);
    info += volume + link.target + '\0' + '\0';
    out += info;

    for (const auto& [flag, text] : texts) {
        if (flags & flag) {
            Add(out, static_cast<std::uint32_t>(text->size()), 2);
            AddWide(out, *text);
        }
    }
    for (const std::string& block : link.blocks)
        out += block;
    Add(out, 0, 4);
    return out;
}

// Console settings: colours, buffer and window size, font, history, colour table.
inline std::string ConsoleBlock()
{
    std::string body;
    linkbytes::Add(body, 0x1E, 2); // yellow on blue
    linkbytes::Add(body, 0xF5, 2);
    for (std::uint32_t size : {120u, 9001u, 120u, 40u, 0u, 0u})
        linkbytes::Add(body, size, 2);
    body.append(8, '\0');
    linkbytes::Add(body, 0x00100000, 4); // font 16 high
    linkbytes::Add(body, 0x36, 4);
    linkbytes::Add(body, 400, 4);
    std::string face;
    linkbytes::AddWide(face, u"Consolas");
    face.resize(64, '\0');
    body += face;
    for (std::uint32_t value : {25u, 0u, 1u, 1u, 0u, 50u, 4u, 0u})
        linkbytes::Add(body, value, 4);
    for (std::uint32_t colour = 0; colour < 16; ++colour)
        linkbytes::Add(body, colour * 0x0F0F0F, 4);
    return linkbytes::Block(0xA0000002, body);
}

// A property store holding System.AppUserModel.ID.
inline std::string AppIdBlock(const std::u16string& appId)
{
    using linkbytes::Add;
    std::string value;
    Add(value, 5, 4); // the property's id
    value += '\0';
    Add(value, 0x1F, 2); // a wide string
    Add(value, 0, 2);
    std::u16string text = appId + u'\0';
    if (text.size() % 2)
        text += u'\0';
    Add(value, static_cast<std::uint32_t>(appId.size() + 1), 4);
    linkbytes::AddWide(value, text);
    std::string values;
    Add(values, static_cast<std::uint32_t>(value.size() + 4), 4);
    values += value;
    Add(values, 0, 4);
    std::string storage;
    Add(storage, static_cast<std::uint32_t>(values.size() + 24), 4);
    storage += "1SPS";
    storage += std::string("\x55\x28\x4C\x9F\x79\x9F\x39\x4B\xA8\xD0\xE1\xD4\x2D\xE1\xD5\xF3", 16);
    storage += values;
    Add(storage, 0, 4);
    return linkbytes::Block(0xA0000009, storage);
}

// A target named through environment variables (the 0x200 flag goes with it).
inline std::string EnvironmentBlock(const std::string& target)
{
    std::string ansi = target, wide;
    ansi.resize(260, '\0');
    std::u16string units(target.begin(), target.end());
    linkbytes::AddWide(wide, units);
    wide.resize(520, '\0');
    return linkbytes::Block(0xA0000001, ansi + wide);
}

// The Desktop known folder, and the Program Files special folder, both at offset 0.
inline std::string KnownFolderBlock()
{
    std::string body("\x3A\xCC\xBF\xB4\x2C\xDB\x4C\x42\xB0\x29\x7F\xE9\x9A\x87\xC6\x41", 16);
    linkbytes::Add(body, 0, 4);
    return linkbytes::Block(0xA000000B, body);
}

inline std::string SpecialFolderBlock()
{
    std::string body;
    linkbytes::Add(body, 0x26, 4);
    linkbytes::Add(body, 0, 4);
    return linkbytes::Block(0xA0000005, body);
}

} // namespace lktest
