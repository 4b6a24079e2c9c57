// The keyless, length-preserving byte shift applied to everything Latchkey stores scrambled:
// record fields, the record path in a protected shortcut and the master password.
#pragma once

#include <string>

std::string Scramble(const std::string& text);
std::string Unscramble(const std::string& text);
