#include "core/Scramble.h"

namespace {

// 10 mod (i + 1): 0 0 1 2 0 4 3 2 1 0, then 10 from the eleventh byte on.
unsigned char Shift(std::string::size_type position)
{
    return static_cast<unsigned char>(10 % (position + 1));
}

std::string ShiftEach(const std::string& text, int direction)
{
    std::string result(text);
    for (std::string::size_type i = 0; i < result.size(); ++i) {
        unsigned int byte = static_cast<unsigned char>(result[i]);
        result[i] = static_cast<char>((byte + 256u + direction * Shift(i)) & 0xFFu);
    }
    return result;
}

} // namespace

std::string Scramble(const std::string& text)
{
    return ShiftEach(text, -1);
}

std::string Unscramble(const std::string& text)
{
    return ShiftEach(text, +1);
}
