// Whole-file reading and checked writing.
#pragma once

#include <optional>
#include <string>

// A whole file's bytes; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Creates or truncates the file and writes bytes: every write, the flush to disk and the close
// are checked. False when any of them fails.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

// Writes bytes into a new file beside path, then moves it over path: the old file stays exactly
// as it was unless the new one is on disk whole. The new file is removed on failure.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes);
