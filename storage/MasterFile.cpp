#include "storage/MasterFile.h"

#include "storage/MasterPassword.h"
#include "storage/ProtectionRecord.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

bool WriteNewFile(const std::string& path, const std::string& bytes)
{
    HANDLE raw = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE)
        return false;
    UniqueHandle file(raw);
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    // On disk before it takes the old file's place.
    if (!FlushFileBuffers(file.get()))
        return false;
    return CloseHandle(file.release()) != FALSE;
}

} // namespace

std::optional<std::string> GetMasterFilePath()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        UINT n = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (n == 0)
            return std::nullopt;
        if (n < buffer.size())
            return std::string(buffer.data(), n) + "\\" + MasterFileName;
        // Too small: n is the size needed, terminator included.
        if (n > 32768)
            return std::nullopt;
        buffer.resize(n);
    }
}

std::optional<std::string> ReadMasterFile(const std::string& path)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return std::nullopt;
    return bytes;
}

bool WriteMasterFile(const std::string& path, const std::string& storedValue)
{
    // Unique per running copy of the tool, so that two copies never write into one new file.
    const std::string newPath = path + "." + std::to_string(GetCurrentProcessId()) + ".new";
    if (WriteNewFile(newPath, FormatMasterFile(storedValue)) &&
        MoveFileExA(newPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(newPath.c_str());
    return false;
}
