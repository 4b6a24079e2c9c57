#include "tests/support/Files.h"

#include "tests/support/Paths.h"

#include <windows.h>

#include <cstdio>
#include <sstream>

namespace lktest {

std::optional<std::string> ReadFileBytes(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::nullopt;
    std::string bytes;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, n);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok)
        return std::nullopt;
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::map<std::string, std::string> TreeSnapshot(const std::string& root, const std::string& skipFolder)
{
    std::map<std::string, std::string> snapshot;
    std::vector<std::string> folders{root};
    while (!folders.empty()) {
        const std::string folder = folders.back();
        folders.pop_back();
        for (const std::string& name : FolderEntries(folder)) {
            const std::string path = folder + "\\" + name;
            WIN32_FILE_ATTRIBUTE_DATA data = {};
            if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
                continue;
            std::ostringstream state;
            state << data.ftCreationTime.dwLowDateTime << ' ' << data.ftCreationTime.dwHighDateTime << ' '
                  << data.ftLastWriteTime.dwLowDateTime << ' ' << data.ftLastWriteTime.dwHighDateTime << ' '
                  << data.dwFileAttributes;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (name != skipFolder)
                    folders.push_back(path);
            } else {
                state << ' ' << ReadFileBytes(path).value_or("(unreadable)");
            }
            snapshot[path] = state.str();
        }
    }
    return snapshot;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolders(const std::string& path)
{
    // Every backslash past the drive or share ends a folder on the way.
    for (std::string::size_type slash = path.find('\\', 3); slash != std::string::npos;
         slash = path.find('\\', slash + 1))
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// Calls visit with each entry of a folder but "." and "..".
template <class Visit>
void ForEachEntry(const std::string& folder, Visit visit)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..")
            visit(name, entry.dwFileAttributes);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

} // namespace

namespace {

// In UTF-16, so that names outside the code page (shortcuts named in Greek) go too: one left
// behind would stand in the way of a later run that gets the same process id.
void RemoveWideTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveWideTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

} // namespace

void RemoveTree(const std::string& folder)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, folder.data(), static_cast<int>(folder.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, folder.data(), static_cast<int>(folder.size()), &wide[0], n);
    if (!wide.empty())
        RemoveWideTree(wide);
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    ForEachEntry(folder, [&](const std::string& name, DWORD) { names.push_back(name); });
    return names;
}

ScratchFolder::ScratchFolder(const std::string& name)
    : m_path(TempFolder() + name + " " + std::to_string(GetCurrentProcessId()))
{
    RemoveTree(m_path); // left over from a run that was killed
    MakeFolders(m_path);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(m_path);
}

std::string ScratchFolder::operator/(const std::string& relative) const
{
    const std::string path = m_path + "\\" + relative;
    const std::string::size_type slash = path.rfind('\\');
    if (slash > m_path.size())
        MakeFolders(path.substr(0, slash));
    return path;
}

std::string ScratchFolder::Folder(const std::string& relative) const
{
    const std::string path = m_path + "\\" + relative;
    MakeFolders(path);
    return path;
}

RemoveAtEnd::~RemoveAtEnd()
{
    for (auto it = m_paths.rbegin(); it != m_paths.rend(); ++it)
        if (!DeleteFileA(it->c_str()))
            RemoveDirectoryA(it->c_str());
}

std::string RemoveAtEnd::Add(const std::string& path)
{
    m_paths.push_back(path);
    return path;
}

} // namespace lktest
