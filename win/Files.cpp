#include "win/Files.h"

#include "win/Scoped.h"

#include <algorithm>

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    UniqueHandle file = OwnHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string bytes;
    char chunk[4096];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &n, nullptr))
            return std::nullopt;
        if (n == 0)
            return bytes;
        bytes.append(chunk, n);
    }
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    UniqueHandle file = OwnHandle(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    if (!FlushFileBuffers(file.get()))
        return false;
    return CloseHandle(file.release()) != FALSE;
}

bool ReplaceWholeFile(const std::string& path, const std::string& bytes)
{
    // Unique per running copy of the tool, so that two copies never write into one new file.
    const std::string newPath = path + "." + std::to_string(GetCurrentProcessId()) + ".new";
    if (WriteWholeFile(newPath, bytes) &&
        MoveFileExA(newPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(newPath.c_str());
    return false;
}
