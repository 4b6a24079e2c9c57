#include "core/IconFile.h"

#include <gtest/gtest.h>

#include <map>

using namespace std::string_literals;

namespace {

std::string Le16(unsigned value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
}

std::string Le32(unsigned value)
{
    return Le16(value & 0xFFFF) + Le16(value >> 16);
}

std::string Header(unsigned count)
{
    return Le16(0) + Le16(1) + Le16(count);
}

// An icon group of two images, ids 7 and 9, as a program's resources hold it.
const std::string kGroup = Header(2) + "\x10\x10\x00\x00"s + Le16(1) + Le16(32) + Le32(5) + Le16(7) +
                           "\x20\x20\x00\x00"s + Le16(1) + Le16(32) + Le32(3) + Le16(9);

} // namespace

TEST(IconFile, AGroupBecomesAnIconFileWithEveryImage)
{
    const std::map<unsigned, std::string> images = {{7, "small"}, {9, "BIG"}};
    auto read = [&](unsigned id) -> std::optional<std::string> {
        auto found = images.find(id);
        return found == images.end() ? std::nullopt : std::optional<std::string>(found->second);
    };
    std::optional<std::string> file = IconFileFromGroup(kGroup, read);
    ASSERT_TRUE(file);
    const std::size_t firstImage = 6 + 2 * 16;
    EXPECT_EQ(*file, Header(2) + "\x10\x10\x00\x00"s + Le16(1) + Le16(32) + Le32(5) + Le32(firstImage) +
                         "\x20\x20\x00\x00"s + Le16(1) + Le16(32) + Le32(3) + Le32(firstImage + 5) + "smallBIG");
    EXPECT_TRUE(IsIconFile(*file));

    // A missing or empty image, a header that is no icon's, entries cut short: no file.
    EXPECT_FALSE(IconFileFromGroup(kGroup, [](unsigned id) -> std::optional<std::string> {
        return id == 7 ? std::optional<std::string>("x") : std::nullopt;
    }));
    EXPECT_FALSE(IconFileFromGroup(kGroup, [](unsigned) { return std::optional<std::string>(""); }));
    EXPECT_FALSE(IconFileFromGroup(Le16(0) + Le16(2) + kGroup.substr(4), read)); // a cursor group
    EXPECT_FALSE(IconFileFromGroup(kGroup.substr(0, kGroup.size() - 1), read));
    EXPECT_FALSE(IconFileFromGroup(Header(0), read));
    // Images that would make the file bigger than a copy may be.
    EXPECT_FALSE(IconFileFromGroup(
        kGroup, [](unsigned) { return std::optional<std::string>(std::string(MaxIconFileBytes / 2, 'x')); }));
    EXPECT_FALSE(IconFileFromGroup(Header(0xFFFF) + std::string(0xFFFF * 14, '\0'), read));
}

TEST(IconFile, OnlyAnIconFileWhoseImagesLieInsideIsOne)
{
    const std::string one = Header(1) + "\x10\x10\x00\x00"s + Le16(1) + Le16(32) + Le32(4) + Le32(22) + "icon";
    EXPECT_TRUE(IsIconFile(one));
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"a private text", "Dear diary, my password is hunter2"},
        {"a program", "MZ\x90\x00\x03\x00\x00\x00\x04\x00\x00\x00\xFF\xFF\x00\x00"s},
        {"a cursor", Le16(0) + Le16(2) + one.substr(4)},
        {"no images", Header(0)},
        {"cut short", one.substr(0, one.size() - 1)},
        {"an image before the entries", one.substr(0, 18) + Le32(6) + "icon"},
        {"an image past the end", one.substr(0, 14) + Le32(0xFFFFFFFF) + Le32(22) + "icon"},
        {"an empty image", one.substr(0, 14) + Le32(0) + Le32(22) + "icon"},
        {"larger than a copy may be", one + std::string(MaxIconFileBytes, 'x')},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(IsIconFile(c.bytes)) << c.name;
}
