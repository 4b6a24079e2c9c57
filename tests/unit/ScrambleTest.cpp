#include "core/Scramble.h"

#include <gtest/gtest.h>

TEST(Scramble, KnownVectors)
{
    EXPECT_EQ(Scramble("abc"), "abb");
    EXPECT_EQ(Unscramble("abb"), "abc");
    EXPECT_EQ(Scramble("abcdefghijkl"), "abbbebdfhjab");
    EXPECT_EQ(Scramble(""), "");
    EXPECT_EQ(Unscramble(""), "");
}

TEST(Scramble, WrapsWithinTheByte)
{
    std::string text(11, 'x');
    text[5] = '\x05';
    text[10] = '\x03';
    std::string scrambled = Scramble(text);
    EXPECT_EQ(static_cast<unsigned char>(scrambled[5]), 0x01);
    EXPECT_EQ(static_cast<unsigned char>(scrambled[10]), 0xF9);
    EXPECT_EQ(Unscramble(scrambled), text);
}

TEST(Scramble, BlanksAndSpecialBytesByPosition)
{
    // A blank past the tenth byte is stored as 0x16; a dollar sign there as 0x1A.
    EXPECT_EQ(Scramble(std::string(10, 'a') + " ")[10], '\x16');
    EXPECT_EQ(Scramble(std::string(10, 'a') + "$")[10], '\x1A');
    EXPECT_EQ(Scramble(std::string(10, 'a') + "*")[10], ' ');
    EXPECT_EQ(Scramble("ab!")[2], ' ');
    EXPECT_EQ(Scramble("abc\"")[3], ' ');
    EXPECT_EQ(Scramble("abcde$")[5], ' ');
}

TEST(Scramble, EveryByteValueRoundTripsAtEveryShift)
{
    for (int shiftPosition = 0; shiftPosition < 12; ++shiftPosition) {
        std::string text;
        for (int b = 0; b < 256; ++b)
            text += std::string(static_cast<size_t>(shiftPosition), 'q') + static_cast<char>(b);
        std::string scrambled = Scramble(text);
        ASSERT_EQ(scrambled.size(), text.size());
        EXPECT_EQ(Unscramble(scrambled), text);
        EXPECT_EQ(Scramble(Unscramble(text)), text);
    }
}
