#include "core/KeptPrograms.h"
#include "core/Scramble.h"

#include <gtest/gtest.h>

TEST(KeptPrograms, WrittenAndReadBack)
{
    const std::vector<KeptProgram> programs = {
        {"C:\\Program Files\\Game\\game.exe", "Open sesame"},
        {"C:\\Tools\\\xCE\xB1.exe", "x y\tz"},
    };
    const std::string bytes = FormatKeptPrograms(programs);
    EXPECT_EQ(bytes.substr(0, 26), "Latchkey kept programs 1\r\n");
    EXPECT_EQ(bytes.find("Open sesame"), std::string::npos); // scrambled, not plain
    const auto read = ParseKeptPrograms(bytes);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ((*read)[1].programPath, programs[1].programPath);
    EXPECT_EQ((*read)[1].password, programs[1].password);

    const auto none = ParseKeptPrograms(FormatKeptPrograms({}));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
}

TEST(KeptPrograms, WhatIsNotSuchAFile)
{
    const std::string head = "Latchkey kept programs 1\r\n";
    for (const std::string& bytes : {
             std::string(),
             std::string("Latchkey kept programs 2\r\n"),
             head + "C:\\game.exe\r\n",                      // no password line
             head + "C:\\game.exe\r\n" + Scramble("pw"),      // cut short
             head + "\r\n" + Scramble("pw") + "\r\n",         // no program
             head + "C:\\game.exe\r\n\r\n",                   // no password
             head + "C:\\a\nb.exe\r\n" + Scramble("pw") + "\r\n",
         })
        EXPECT_FALSE(ParseKeptPrograms(bytes)) << bytes;
}
