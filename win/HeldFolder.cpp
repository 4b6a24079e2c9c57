#include "win/HeldFolder.h"

#include "core/Paths.h"
#include "win/Strings.h"

namespace {

// The folder itself, never what a link at its name points to. Only a handle that may list the
// folder takes part in sharing: one for its attributes alone would stop no rename.
UniqueHandle OpenFolder(const std::wstring& path, DWORD access, DWORD share)
{
    return OwnHandle(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool IsPlainFolder(HANDLE folder, BY_HANDLE_FILE_INFORMATION& info)
{
    return GetFileInformationByHandle(folder, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::wstring WideFinalPath(HANDLE file)
{
    const std::wstring path = GrowString<wchar_t>([file](wchar_t* buffer, DWORD size) {
                                  return GetFinalPathNameByHandleW(file, buffer, size, FILE_NAME_NORMALIZED);
                              }).value_or(std::wstring());
    return path.compare(0, 4, L"\\\\?\\") == 0 ? path.substr(4) : path;
}

// SamePath for UTF-16 paths.
bool SameWidePath(std::wstring one, std::wstring other)
{
    for (std::wstring* path : {&one, &other}) {
        while (path->size() > 3 && (path->back() == L'\\' || path->back() == L'/'))
            path->pop_back();
        for (wchar_t& c : *path) {
            if (c >= L'A' && c <= L'Z')
                c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return one == other;
}

} // namespace

std::string FinalPath(HANDLE file)
{
    const std::string path = GrowString([file](char* buffer, DWORD size) {
                                 return GetFinalPathNameByHandleA(file, buffer, size, FILE_NAME_NORMALIZED);
                             }).value_or(std::string());
    return path.compare(0, 4, "\\\\?\\") == 0 ? path.substr(4) : path;
}

bool SamePath(std::string one, std::string other)
{
    for (std::string* path : {&one, &other}) {
        while (path->size() > 3 && (path->back() == '\\' || path->back() == '/'))
            path->pop_back();
    }
    return LowerAscii(one) == LowerAscii(other);
}

HeldFolder::HeldFolder(const std::string& path) : HeldFolder(ToWide(path)) {}

HeldFolder::HeldFolder(const std::wstring& path) : m_path(path)
{
    // Readers and writers may share it; nobody may rename or delete it while it is held.
    UniqueHandle folder =
        OpenFolder(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE);
    BY_HANDLE_FILE_INFORMATION info;
    if (!folder || !IsPlainFolder(folder.get(), info))
        return;
    // A link or junction anywhere on the way makes the real path another one than the long form
    // of the path given.
    const std::wstring longPath = LongPathName(path).value_or(path);
    if (!SameWidePath(WideFinalPath(folder.get()), longPath))
        return;
    m_path = longPath;
    m_handle = std::move(folder);
}

bool HeldFolder::StillThere() const
{
    if (!m_handle)
        return false;
    UniqueHandle again =
        OpenFolder(m_path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    BY_HANDLE_FILE_INFORMATION held, now;
    return again && IsPlainFolder(m_handle.get(), held) && IsPlainFolder(again.get(), now) &&
           held.dwVolumeSerialNumber == now.dwVolumeSerialNumber && held.nFileIndexHigh == now.nFileIndexHigh &&
           held.nFileIndexLow == now.nFileIndexLow && SameWidePath(WideFinalPath(again.get()), m_path) &&
           SameWidePath(WideFinalPath(m_handle.get()), m_path);
}
