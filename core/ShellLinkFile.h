// The stored form of a shortcut file (.lnk), read and written as bytes: the header's fields that
// the shell link object cannot be trusted to keep, and the extra data blocks at its end. Bounded
// and safe on any bytes: a file that does not follow the format is refused, never guessed at.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace linkfile {

// Header flags used here.
inline constexpr std::uint32_t HasIdList = 0x1;
inline constexpr std::uint32_t HasLinkInfo = 0x2;
inline constexpr std::uint32_t HasName = 0x4;
inline constexpr std::uint32_t HasRelativePath = 0x8;
inline constexpr std::uint32_t HasWorkingDir = 0x10;
inline constexpr std::uint32_t HasArguments = 0x20;
inline constexpr std::uint32_t HasIconLocation = 0x40;
inline constexpr std::uint32_t IsUnicode = 0x80;
inline constexpr std::uint32_t HasExpString = 0x200;
inline constexpr std::uint32_t HasDarwinId = 0x1000;
inline constexpr std::uint32_t RunAsUser = 0x2000;
inline constexpr std::uint32_t HasExpIcon = 0x4000;

// Extra data block signatures.
inline constexpr std::uint32_t EnvironmentBlock = 0xA0000001;
inline constexpr std::uint32_t ConsoleBlock = 0xA0000002;
inline constexpr std::uint32_t TrackerBlock = 0xA0000003;
inline constexpr std::uint32_t ConsoleFeBlock = 0xA0000004;
inline constexpr std::uint32_t SpecialFolderBlock = 0xA0000005;
inline constexpr std::uint32_t DarwinBlock = 0xA0000006;
inline constexpr std::uint32_t IconEnvironmentBlock = 0xA0000007;
inline constexpr std::uint32_t PropertyStoreBlock = 0xA0000009;
inline constexpr std::uint32_t KnownFolderBlock = 0xA000000B;

inline constexpr std::size_t HeaderSize = 76;

struct ExtraBlock {
    std::uint32_t signature = 0;
    std::string bytes; // the whole block, its size and signature included
};

// The texts of the string data, as stored (UTF-16 code units, or code-page bytes widened).
struct StringData {
    std::optional<std::u16string> name, relativePath, workingDir, arguments, iconLocation;
};

struct ShellLinkFile {
    std::string head; // header, ID list, link info and string data, as stored
    std::uint32_t flags = 0;
    std::uint32_t showCommand = 1;
    std::uint16_t hotKey = 0;
    std::int32_t iconIndex = 0;
    StringData strings;
    std::vector<ExtraBlock> blocks; // in their order, the terminal block not among them
    std::string tail;               // the terminal block and anything after it

    const ExtraBlock* Find(std::uint32_t signature) const;
};

// The parts of a shortcut file; nullopt when the bytes are not one (a size that runs past the
// end, a wrong header, a missing terminal block).
std::optional<ShellLinkFile> Parse(std::string_view bytes);

// The bytes of link: its head with flags, show command, hot key and icon index written in, then
// its blocks and its tail.
std::string Format(const ShellLinkFile& link);

// The blocks of a shortcut that describe how its program's window looks or which app it belongs
// to, and nothing of where its target is: they can be carried onto a shortcut with another
// target. An environment-variable target, known or special folder, darwin or tracker block would
// point that shortcut back at the old target, or override it.
bool IsCarriedBlock(std::uint32_t signature);

// built (a shortcut the shell link object saved) with the original's show command, hot key and
// run-as flag, and the original's carried blocks in place of its own of the same kind. nullopt
// when either is not a shortcut file.
std::optional<std::string> CarryOver(std::string_view built, std::string_view original);

} // namespace linkfile
