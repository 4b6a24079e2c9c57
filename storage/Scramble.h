// The keyless, length-preserving byte shift applied to everything Latchkey stores scrambled:
// record fields, the record path in a protected shortcut and the master password.
#pragma once

#include <string>

std::string ScramblePassword(const std::string& text);
std::string UnscramblePassword(const std::string& text);
