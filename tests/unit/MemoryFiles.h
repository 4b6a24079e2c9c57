// Files held in memory for the launcher's reader, which is a plain function pointer: the unit
// tests and the fuzz targets put records here by path.
#pragma once

#include <map>
#include <optional>
#include <string>

inline std::map<std::string, std::string>& MemoryFiles()
{
    static std::map<std::string, std::string> files;
    return files;
}

inline std::optional<std::string> ReadMemoryFile(const std::string& path)
{
    auto found = MemoryFiles().find(path);
    if (found == MemoryFiles().end())
        return std::nullopt;
    return found->second;
}
