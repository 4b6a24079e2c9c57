#include "win/Files.h"

#include "core/Paths.h"
#include "core/Secret.h"
#include "win/Scoped.h"
#include "win/Strings.h"

#include <ntsecapi.h>

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace {

bool WriteAll(HANDLE file, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// Writes all of bytes, flushes them to disk and closes the file, each step checked.
bool WriteAllAndClose(UniqueHandle file, const std::string& bytes)
{
    if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get()))
        return false;
    return CloseHandle(file.release()) != FALSE;
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    return ReadWholeFile(ToWide(path));
}

std::optional<std::string> ReadWholeFile(const std::wstring& path)
{
    // Sharing with writers lets a file that another program has open still be read.
    UniqueHandle file = OwnHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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
    return WriteNewWholeFile(ToWide(path), bytes);
}

NewFileResult WriteNewWholeFile(const std::wstring& path, const std::string& bytes)
{
    UniqueHandle file = OwnHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NewFileResult::Exists
                                                                           : NewFileResult::Failed;
    }
    if (WriteAllAndClose(std::move(file), bytes))
        return NewFileResult::Written;
    DeleteFileW(path.c_str());
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

namespace {

bool SetFileInfo(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* info, std::size_t size)
{
    return SetFileInformationByHandle(file, kind, info, static_cast<DWORD>(size)) != FALSE;
}

// Deletes the open file, whatever name it has by now; keeps the caller's error.
void DeleteThrough(UniqueHandle file)
{
    const DWORD error = GetLastError();
    FILE_DISPOSITION_INFO disposition = {TRUE};
    SetFileInfo(file.get(), FileDispositionInfo, &disposition, sizeof disposition);
    file.reset();
    SetLastError(error);
}

// True when the name at path is a link (a symbolic link, a junction, one the system does not
// mark as such) rather than a file: replacing it must not reach what it leads to.
bool IsLinkName(const std::string& path)
{
    constexpr DWORD anyone = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    UniqueHandle name = OwnHandle(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, anyone, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (name && GetFileInformationByHandle(name.get(), &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return true;
    UniqueHandle file = OwnHandle(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, anyone, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return !file || !SamePath(FinalPath(file.get()), LongPathName(path).value_or(path));
}

// Gives the open file the name path; replaceName: in the place of whatever has that name (a link
// itself, never what it leads to), else only where nothing has it by then.
bool RenameThrough(HANDLE file, const std::string& path, bool replaceName)
{
    const std::wstring name = ToWide(path);
    const std::size_t size = offsetof(FILE_RENAME_INFO, FileName) + (name.size() + 1) * sizeof(wchar_t);
    std::vector<unsigned char> buffer(size);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = replaceName;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::copy(name.begin(), name.end(), rename->FileName);
    return !name.empty() && SetFileInfo(file, FileRenameInfo, rename, size);
}

} // namespace

bool ReplaceWholeFile(const HeldFolder& folder, const std::string& path, const std::string& bytes)
{
    if (!folder.IsHeld()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    std::string newPath;
    UniqueHandle file;
    while (!file) {
        newPath = NewFileBeside(path);
        if (newPath.empty())
            return false;
        file = OwnHandle(CreateFileA(newPath.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
        DeleteThrough(std::move(file));
        return false;
    }
    if (!folder.StillThere()) {
        SetLastError(ERROR_ACCESS_DENIED);
        DeleteThrough(std::move(file));
        return false;
    }
    const bool nothingThere =
        GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND;
    // A link at the name is replaced itself: ReplaceFile would reach the file it leads to.
    if (nothingThere || IsLinkName(path)) {
        if (!RenameThrough(file.get(), path, !nothingThere)) {
            DeleteThrough(std::move(file));
            return false;
        }
        return CloseHandle(file.release()) != FALSE;
    }
    // ReplaceFile opens both files by name itself.
    if (!CloseHandle(file.release())) {
        DeleteFileA(newPath.c_str());
        return false;
    }
    return ReplaceWithNewFile(path, newPath);
}

bool CanMakeFileBeside(const std::string& path)
{
    // Made and gone again: it leaves nothing behind, whatever happens next.
    const std::wstring probe = ToWide(NewFileBeside(path));
    if (probe.empty())
        return false;
    UniqueHandle made = OwnHandle(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return made != nullptr;
}

bool ReplaceWithNewFile(const std::string& path, const std::string& newPath)
{
    return ReplaceWithNewFile(ToWide(path), ToWide(newPath));
}

bool ReplaceWithNewFile(const std::wstring& path, const std::wstring& newPath)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // Some ReplaceFile would put the file in a folder's place, and the folder would be lost.
        DeleteFileW(newPath.c_str());
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (MoveFileExW(newPath.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        DeleteFileW(newPath.c_str());
        SetLastError(error);
        return false;
    }
    // A read-only file cannot be replaced: the attribute is taken off for the replacement and
    // put on the new file after it (or back on the old one when the replacement fails).
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly)
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    // ReplaceFile gives the new file the old one's attributes; they are set here as well, for a
    // system whose ReplaceFile keeps fewer of them (most often the new file has them already).
    if (GetFileAttributesW(newPath.c_str()) != (attributes & ~FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(newPath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    // Some ReplaceFile makes a file of its own beside the old one and leaves it there when the old
    // one cannot be taken away (a program holds it, it may not be changed): that is asked first.
    const bool canTakeAway =
        OwnHandle(CreateFileW(path.c_str(), DELETE | FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr)) != nullptr;
    if (canTakeAway &&
        ReplaceFileW(path.c_str(), newPath.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        if (readOnly)
            SetFileAttributesW(path.c_str(), attributes);
        return true;
    }
    const DWORD error = GetLastError();
    if (readOnly)
        SetFileAttributesW(path.c_str(), attributes);
    // Without a backup name the old file may already be gone when the new one could not be
    // renamed: the new one is then all that is left, and it is moved, or kept, never deleted.
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (MoveFileExW(newPath.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH))
            return true;
    } else {
        DeleteFileW(newPath.c_str());
    }
    SetLastError(error);
    return false;
}

std::string NewFileBeside(const std::string& path)
{
    // 64 bits: nobody can plant a link at every name in advance. Short, for paths near the limit.
    unsigned char random[8];
    if (!RtlGenRandom(random, sizeof random))
        return std::string();
    std::string name = "lk";
    for (unsigned char byte : random) {
        name += "0123456789abcdef"[byte >> 4];
        name += "0123456789abcdef"[byte & 15];
    }
    const std::string folder = FolderOf(path);
    return (folder.empty() ? std::string() : folder + "\\") + name + ".new";
}

std::wstring NewFileBeside(const std::wstring& path)
{
    const std::string name = NewFileBeside(std::string());
    if (name.empty())
        return std::wstring();
    const std::wstring folder = FolderOf(path);
    return (folder.empty() ? std::wstring() : folder + L"\\") + ToWide(name);
}
