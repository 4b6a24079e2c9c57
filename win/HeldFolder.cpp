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

// Only the attributes are asked: the volume's serial number, which GetFileInformationByHandle
// brings too, costs far more than everything else here.
bool IsPlainFolder(HANDLE folder)
{
    FILE_ATTRIBUTE_TAG_INFO info;
    return GetFileInformationByHandleEx(folder, FileAttributeTagInfo, &info, sizeof info) &&
           (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
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
    if (!folder || !IsPlainFolder(folder.get()))
        return;
    // A link or junction anywhere on the way makes the real path another one than the long form
    // of the path given. Most paths come in their long form already: only one that differs is
    // asked for it.
    const std::wstring reached = WideFinalPath(folder.get());
    if (!SameWidePath(reached, path)) {
        const std::wstring longPath = LongPathName(path).value_or(path);
        if (!SameWidePath(reached, longPath))
            return;
        m_path = longPath;
    }
    m_handle = std::move(folder);
}

bool HeldFolder::StillThere() const
{
    if (!m_handle)
        return false;
    // A folder has one real path: when the held one and the one its path opens now both have
    // this path, they are the same folder, reached through no link.
    UniqueHandle again =
        OpenFolder(m_path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    // (The held one is not asked whether it is a plain folder: with the same path, it is the one
    // opened again, which is asked.)
    return again && IsPlainFolder(again.get()) && SameWidePath(WideFinalPath(again.get()), m_path) &&
           SameWidePath(WideFinalPath(m_handle.get()), m_path);
}
