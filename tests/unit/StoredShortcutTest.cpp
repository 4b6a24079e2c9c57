// Entries of the store of original shortcuts: exact round trips, refusal of anything else, and
// what ties an entry to a protected shortcut.
#include "core/StoredShortcut.h"

#include <gtest/gtest.h>

TEST(StoredShortcutTest, RoundTripsAnyBytes)
{
    const StoredShortcut entries[] = {
        {"C:\\PROGRA~1\\MYEDIT~1\\20260101101010.lki", "C:\\Users\\Ann\\Desktop\\\xCE\xB1.lnk",
         std::string("L\0\0\0\r\n\x1A protected", 16), std::string("L\0\0\0\nlink 5\r\n", 14)},
        {"", "", "", ""},
        {"C:\\P\\1.lki", "C:\\a.lnk", "protected", "original", std::string("pw\r\nC:\\P\\A.EXE \r\n\r\n.\0", 22)},
    };
    for (const StoredShortcut& entry : entries) {
        const std::optional<StoredShortcut> read = ParseStoredShortcut(FormatStoredShortcut(entry));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->recordPath, entry.recordPath);
        EXPECT_EQ(read->linkPath, entry.linkPath);
        EXPECT_EQ(read->protectedBytes, entry.protectedBytes);
        EXPECT_EQ(read->originalBytes, entry.originalBytes);
        EXPECT_EQ(read->recordBytes, entry.recordBytes);
    }
}

TEST(StoredShortcutTest, RefusesDamagedEntries)
{
    const std::string whole = FormatStoredShortcut({"C:\\P\\1.lki", "C:\\a.lnk", "protected", "original"});
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_FALSE(ParseStoredShortcut(whole.substr(0, size))) << size;
    EXPECT_FALSE(ParseStoredShortcut(whole + "x"));
    std::string longer = whole;
    longer.replace(longer.find("record 10"), 9, "record 11");
    EXPECT_FALSE(ParseStoredShortcut(longer));
    // A record's bytes, when there, are whole and not empty.
    const std::string withRecord =
        FormatStoredShortcut({"C:\\P\\1.lki", "C:\\a.lnk", "protected", "original", "record bytes"});
    for (std::size_t size = whole.size() + 1; size < withRecord.size(); ++size)
        EXPECT_FALSE(ParseStoredShortcut(withRecord.substr(0, size))) << size;
    EXPECT_FALSE(ParseStoredShortcut(whole + "recordfile 0\r\n\r\n"));
    std::string huge = whole;
    huge.replace(huge.find("record 10"), 9, "record 999999999");
    EXPECT_FALSE(ParseStoredShortcut(huge));
}

TEST(StoredShortcutTest, NamedByItsRecordAlone)
{
    const std::string name = StoredShortcutName("C:\\PROGRA~1\\MYEDIT~1\\20260101101010.lki");
    EXPECT_EQ(name.size(), 16u + 9u);
    EXPECT_EQ(name.substr(16), ".lnk.kept");
    EXPECT_EQ(name.find_first_not_of("0123456789abcdef"), 16u);
    EXPECT_EQ(StoredShortcutName("c:\\progra~1\\myedit~1\\20260101101010.LKI"), name); // one file on Windows
    EXPECT_NE(StoredShortcutName("C:\\PROGRA~1\\MYEDIT~1\\20260101101011.lki"), name);
}

TEST(StoredShortcutTest, BelongsOnlyToTheShortcutAsProtectWroteIt)
{
    const StoredShortcut entry{"C:\\P\\1.lki", "C:\\a.lnk", "protected bytes", "original bytes"};
    EXPECT_TRUE(BelongsTo(entry, "C:\\P\\1.lki", "protected bytes"));
    EXPECT_FALSE(BelongsTo(entry, "C:\\P\\2.lki", "protected bytes"));
    EXPECT_FALSE(BelongsTo(entry, "C:\\P\\1.lki", "protected bytes, changed"));
    EXPECT_FALSE(BelongsTo({"C:\\P\\1.lki", "C:\\a.lnk", "protected bytes", ""}, "C:\\P\\1.lki", "protected bytes"));
}
