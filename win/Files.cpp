#include "win/Files.h"

#include "core/Paths.h"
#include "core/Secret.h"
#include "win/Scoped.h"

#include <algorithm>
#include <utility>

namespace {

// Writes all of bytes, flushes them to disk and closes the file, each step checked.
bool WriteAllAndClose(UniqueHandle file, const std::string& bytes)
{
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

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    // Sharing with writers lets a file that another program has open still be read.
    UniqueHandle file = OwnHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    // Checked before the first read, which on a pipe or device could wait or never end.
    LARGE_INTEGER size = {};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        size.QuadPart > static_cast<LONGLONG>(MaxReadBytes))
        return std::nullopt;
    // Read into the buffer's own memory, of the file's size: a record or master file read here
    // leaves no copy of its scrambled password in a buffer on the stack or in freed memory.
    std::string bytes(static_cast<std::size_t>(size.QuadPart) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        DWORD n = 0;
        const DWORD room = static_cast<DWORD>(bytes.size() - done);
        if (!ReadFile(file.get(), &bytes[done], room, &n, nullptr)) {
            ClearSecret(bytes);
            return std::nullopt;
        }
        done += n;
        if (n == 0) {
            bytes.resize(done);
            return bytes;
        }
        // A file that grows while it is read is still bounded; the smaller buffer is cleared.
        if (done == bytes.size()) {
            if (bytes.size() > MaxReadBytes) {
                ClearSecret(bytes);
                return std::nullopt;
            }
            std::string larger(std::min<std::size_t>(bytes.size() * 2, MaxReadBytes + 1), '\0');
            larger.replace(0, done, bytes);
            ClearSecret(bytes);
            bytes.swap(larger);
        }
    }
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    UniqueHandle file = OwnHandle(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAllAndClose(std::move(file), bytes);
}

NewFileResult WriteNewWholeFile(const std::string& path, const std::string& bytes)
{
    UniqueHandle file = OwnHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NewFileResult::Exists
                                                                           : NewFileResult::Failed;
    }
    if (WriteAllAndClose(std::move(file), bytes))
        return NewFileResult::Written;
    DeleteFileA(path.c_str());
    return NewFileResult::Failed;
}

bool ReplaceWholeFile(const std::string& path, const std::string& bytes)
{
    // Unique per running copy of the tool, so that two copies never write into one new file.
    const std::string newPath = path + "." + DecimalText(GetCurrentProcessId()) + ".new";
    if (WriteWholeFile(newPath, bytes) &&
        MoveFileExA(newPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(newPath.c_str());
    return false;
}

bool CanReplaceFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return false;
        // What the replacement needs: to take the old file away and to set its attributes. A
        // program that holds it without letting others delete it makes this fail.
        UniqueHandle file = OwnHandle(CreateFileA(path.c_str(), DELETE | FILE_WRITE_ATTRIBUTES,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file)
            return false;
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    // Made and gone again: it leaves nothing behind, whatever happens next.
    const std::string probe = NewFileBeside(path);
    UniqueHandle made = OwnHandle(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return made != nullptr;
}

bool ReplaceWithNewFile(const std::string& path, const std::string& newPath)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // Some ReplaceFile would put the file in a folder's place, and the folder would be lost.
        DeleteFileA(newPath.c_str());
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (MoveFileExA(newPath.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        DeleteFileA(newPath.c_str());
        SetLastError(error);
        return false;
    }
    // A read-only file cannot be replaced: the attribute is taken off for the replacement and
    // put on the new file after it (or back on the old one when the replacement fails).
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly)
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    // ReplaceFile gives the new file the old one's attributes; they are set here as well, for a
    // system whose ReplaceFile keeps fewer of them.
    SetFileAttributesA(newPath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (ReplaceFileA(path.c_str(), newPath.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        if (readOnly)
            SetFileAttributesA(path.c_str(), attributes);
        return true;
    }
    const DWORD error = GetLastError();
    if (readOnly)
        SetFileAttributesA(path.c_str(), attributes);
    // Without a backup name the old file may already be gone when the new one could not be
    // renamed: the new one is then all that is left, and it is moved, or kept, never deleted.
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (MoveFileExA(newPath.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH))
            return true;
    } else {
        DeleteFileA(newPath.c_str());
    }
    SetLastError(error);
    return false;
}

std::string NewFileBeside(const std::string& path)
{
    const std::string folder = FolderOf(path);
    return (folder.empty() ? std::string() : folder + "\\") + "lk" + DecimalText(GetCurrentProcessId()) + ".new";
}
