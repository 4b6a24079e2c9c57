#include "storage/Scramble.h"

#include <gtest/gtest.h>

TEST(Scramble, KnownVectors)
{
    EXPECT_EQ(ScramblePassword("abc"), "abb");
    EXPECT_EQ(UnscramblePassword("abb"), "abc");
    EXPECT_EQ(ScramblePassword("abcdefghijkl"), "abbbebdfhjab");
    EXPECT_EQ(ScramblePassword(""), "");
    EXPECT_EQ(UnscramblePassword(""), "");
}

TEST(Scramble, WrapsWithinTheByte)
{
    std::string text(11, 'x');
    text[5] = '\x05';
    text[10] = '\x03';
    std::string scrambled = ScramblePassword(text);
    EXPECT_EQ(static_cast<unsigned char>(scrambled[5]), 0x01);
    EXPECT_EQ(static_cast<unsigned char>(scrambled[10]), 0xF9);
    EXPECT_EQ(UnscramblePassword(scrambled), text);
}

TEST(Scramble, BlanksAndSpecialBytesByPosition)
{
    // A blank past the tenth byte is stored as 0x16; a dollar sign there as 0x1A.
    EXPECT_EQ(ScramblePassword(std::string(10, 'a') + " ")[10], '\x16');
    EXPECT_EQ(ScramblePassword(std::string(10, 'a') + "$")[10], '\x1A');
    EXPECT_EQ(ScramblePassword(std::string(10, 'a') + "*")[10], ' ');
    EXPECT_EQ(ScramblePassword("ab!")[2], ' ');
    EXPECT_EQ(ScramblePassword("abc\"")[3], ' ');
    EXPECT_EQ(ScramblePassword("abcde$")[5], ' ');
}

TEST(Scramble, EveryByteValueRoundTripsAtEveryShift)
{
    for (int shiftPosition = 0; shiftPosition < 12; ++shiftPosition) {
        std::string text;
        for (int b = 0; b < 256; ++b)
            text += std::string(static_cast<size_t>(shiftPosition), 'q') + static_cast<char>(b);
        std::string scrambled = ScramblePassword(text);
        ASSERT_EQ(scrambled.size(), text.size());
        EXPECT_EQ(UnscramblePassword(scrambled), text);
        EXPECT_EQ(ScramblePassword(UnscramblePassword(text)), text);
    }
}
