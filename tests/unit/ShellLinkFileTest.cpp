// The shortcut format's reader and the carrying of header fields and blocks onto a protected
// shortcut, on bytes made by the tests' own generator.
#include "core/ShellLinkFile.h"
#include "tests/support/LinkBytes.h"

#include <gtest/gtest.h>

using namespace linkfile;
using lktest::LinkFixture;
using lktest::MakeLinkBytes;

namespace {

LinkFixture Original()
{
    LinkFixture link;
    link.target = "C:\\Program Files\\My Editor\\Long Editor Name.exe";
    link.description = u"Edits texts";
    link.workingDir = u"C:\\Users\\Ann\\Documents";
    link.arguments = u"/safe \"two words\"";
    link.iconLocation = u"%ProgramFiles%\\My Editor\\Icons.dll";
    link.iconIndex = 6;
    link.showCommand = 3;
    link.hotKey = 0x0641; // Ctrl+Shift+A
    link.runAsUser = true;
    link.moreFlags = HasExpString;
    link.blocks = {lktest::EnvironmentBlock("%ProgramFiles%\\My Editor\\Long Editor Name.exe"),
                   lktest::ConsoleBlock(), lktest::AppIdBlock(u"Maker.Editor.1"), lktest::KnownFolderBlock(),
                   lktest::SpecialFolderBlock()};
    return link;
}

// What the shell link object writes for a protected shortcut: launcher, arguments, icon.
LinkFixture Built()
{
    LinkFixture link;
    link.target = "C:\\windows\\system32\\lkrun3.exe";
    link.description = u"Edits texts";
    link.arguments = u"GVSYZ";
    link.iconLocation = u"C:\\windows\\system32\\20260101101010.ico";
    return link;
}

} // namespace

TEST(ShellLinkFileTest, ReadsHeaderStringsAndBlocks)
{
    const std::string bytes = MakeLinkBytes(Original());
    const std::optional<ShellLinkFile> link = Parse(bytes);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->showCommand, 3u);
    EXPECT_EQ(link->hotKey, 0x0641);
    EXPECT_EQ(link->iconIndex, 6);
    EXPECT_TRUE(link->flags & RunAsUser);
    EXPECT_EQ(link->strings.name, u"Edits texts");
    EXPECT_FALSE(link->strings.relativePath);
    EXPECT_EQ(link->strings.workingDir, u"C:\\Users\\Ann\\Documents");
    EXPECT_EQ(link->strings.arguments, u"/safe \"two words\"");
    EXPECT_EQ(link->strings.iconLocation, u"%ProgramFiles%\\My Editor\\Icons.dll");
    ASSERT_EQ(link->blocks.size(), 5u);
    const std::uint32_t signatures[] = {EnvironmentBlock, ConsoleBlock, PropertyStoreBlock, KnownFolderBlock,
                                        SpecialFolderBlock};
    for (std::size_t i = 0; i < link->blocks.size(); ++i)
        EXPECT_EQ(link->blocks[i].signature, signatures[i]) << i;
    EXPECT_EQ(link->Find(ConsoleBlock)->bytes, lktest::ConsoleBlock());
    EXPECT_EQ(link->Find(ConsoleBlock)->bytes.size(), 0xCCu);
    EXPECT_EQ(link->Find(TrackerBlock), nullptr);
    // Written back unchanged, byte for byte.
    EXPECT_EQ(Format(*link), bytes);
}

// A terminal block of another size under four, and bytes after it, as some writers leave them.
TEST(ShellLinkFileTest, KeepsTheTerminalBlockAndAnythingAfterIt)
{
    std::string bytes = MakeLinkBytes(Built());
    bytes[bytes.size() - 4] = '\3';
    bytes += std::string("\0\x7Ftrailing", 10);
    const std::optional<ShellLinkFile> link = Parse(bytes);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->tail, std::string("\3\0\0\0\0\x7Ftrailing", 14));
    EXPECT_EQ(Format(*link), bytes);
}

// Every cut of a shortcut, and sizes that run past the end, are refused rather than read.
TEST(ShellLinkFileTest, RefusesWhatIsNoShortcut)
{
    const std::string whole = MakeLinkBytes(Original());
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_FALSE(Parse(whole.substr(0, size))) << size;

    auto withByte = [&](std::size_t at, char value) {
        std::string changed = whole;
        changed[at] = value;
        return changed;
    };
    const std::size_t linkInfoAt = HeaderSize;
    const std::size_t firstBlockAt = Parse(whole)->head.size();
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"header size", withByte(0, 0x4D)},
        {"class", withByte(4, 0x02)},
        {"link info past the end", withByte(linkInfoAt + 3, 0x7F)},
        {"link info under its own size", MakeLinkBytes(Original()).replace(linkInfoAt, 4, std::string("\2\0\0\0", 4))},
        {"block past the end", withByte(firstBlockAt + 2, 0x7F)},
        {"block of five bytes", std::string(whole).replace(firstBlockAt, 4, std::string("\5\0\0\0", 4))},
        {"ID list past the end",
         std::string(whole).replace(20, 1, 1, static_cast<char>(whole[20] | HasIdList)).insert(HeaderSize, "\xFF\xFF")},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(Parse(c.bytes)) << c.what;
}

TEST(ShellLinkFileTest, CarriesHowItStartsAndLooksButNothingOfTheOldTarget)
{
    const std::string built = MakeLinkBytes(Built());
    const std::optional<std::string> carried = CarryOver(built, MakeLinkBytes(Original()));
    ASSERT_TRUE(carried);
    const std::optional<ShellLinkFile> link = Parse(*carried);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->showCommand, 3u);
    EXPECT_EQ(link->hotKey, 0x0641);
    EXPECT_TRUE(link->flags & RunAsUser);
    EXPECT_FALSE(link->flags & HasExpString);
    // The launcher's own strings and icon index stay.
    EXPECT_EQ(link->head.substr(HeaderSize), Parse(built)->head.substr(HeaderSize));
    EXPECT_EQ(link->strings.arguments, u"GVSYZ");
    EXPECT_EQ(link->iconIndex, 0);
    ASSERT_EQ(link->blocks.size(), 2u);
    EXPECT_EQ(link->blocks[0].bytes, lktest::ConsoleBlock());
    EXPECT_EQ(link->blocks[1].bytes, lktest::AppIdBlock(u"Maker.Editor.1"));
}

TEST(ShellLinkFileTest, CarryingReplacesBlocksOfTheSameKindAndKeepsTheRest)
{
    LinkFixture built = Built();
    built.runAsUser = true; // the original has no run-as flag: it goes
    built.blocks = {lktest::AppIdBlock(u"Launcher"), std::string("\x0C\0\0\0\x03\0\0\xA0\1\2\3\4", 12)};
    LinkFixture original = Built();
    original.blocks = {lktest::AppIdBlock(u"Maker.Editor.1")};
    const std::optional<ShellLinkFile> link = Parse(*CarryOver(MakeLinkBytes(built), MakeLinkBytes(original)));
    ASSERT_TRUE(link);
    EXPECT_FALSE(link->flags & RunAsUser);
    ASSERT_EQ(link->blocks.size(), 2u);
    EXPECT_EQ(link->blocks[0].signature, TrackerBlock);
    EXPECT_EQ(link->blocks[1].bytes, lktest::AppIdBlock(u"Maker.Editor.1"));

    EXPECT_FALSE(CarryOver(MakeLinkBytes(built), "not a shortcut"));
    EXPECT_FALSE(CarryOver("not a shortcut", MakeLinkBytes(original)));
}
