// The password of an unattended command, from a private file or standard input: never from the
// command line, where every user of the computer can read it.
#pragma once

#include <cstddef>
#include <string>

// The most bytes of a password file or of standard input that are read: a password is a line.
constexpr std::size_t MaxPasswordInputBytes = 64 * 1024;

// The first line of text: a UTF-8 byte-order mark before it is dropped, and the line ends at LF
// or CR LF (or with the text). The rest of the text is not looked at.
std::string FirstLine(const std::string& text);
