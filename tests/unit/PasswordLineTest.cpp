#include "core/PasswordLine.h"

#include <gtest/gtest.h>

TEST(PasswordLine, FirstLineOfAFileOrAPipe)
{
    struct Case {
        std::string text;
        std::string line;
    } cases[] = {
        {"secret", "secret"},
        {"secret\n", "secret"},
        {"secret\r\n", "secret"},
        {"secret\r\nsecond line\r\n", "secret"},
        {"\xEF\xBB\xBFsecret\r\n", "secret"},
        {"  blanks kept \n", "  blanks kept "},
        {"a\rb\n", "a\rb"}, // a lone CR is part of the line; the caller refuses it
        {"\n", ""},
        {"", ""},
        {"\xEF\xBB\xBF", ""},
        {"\xCE\xB1\xCE\xB2\n", "\xCE\xB1\xCE\xB2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstLine(c.text), c.line) << c.text;
}
