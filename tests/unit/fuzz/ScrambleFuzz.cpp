// Scrambling loses nothing: unscrambling undoes it and the reverse, byte for byte, length kept.
// Every stored field, the record path in a shortcut and the master password depend on it.
#include "core/Scramble.h"

#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = WholeInput(data, size);
    const std::string scrambled = Scramble(text);
    const std::string unscrambled = Unscramble(text);
    Require(scrambled.size() == text.size() && unscrambled.size() == text.size(), "scrambling keeps the length");
    Require(Unscramble(scrambled) == text, "Unscramble(Scramble(x)) == x");
    Require(Scramble(unscrambled) == text, "Scramble(Unscramble(x)) == x");
    return 0;
}
