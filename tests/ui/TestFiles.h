// Files the UI tests set up and check: a scratch folder, plain files and shortcuts made and read
// through the shell link object, as Explorer would.
#pragma once

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace ui {

// Removes a folder with everything in it.
inline void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

// A fresh folder under the temporary folder, removed with everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
    {
        char temp[MAX_PATH] = {};
        DWORD n = GetTempPathA(MAX_PATH, temp);
        m_strPath = std::string(temp, n) + name + "-" + std::to_string(GetCurrentProcessId());
        RemoveTree(m_strPath);
        CreateDirectoryA(m_strPath.c_str(), nullptr);
    }
    ~ScratchFolder() { RemoveTree(m_strPath); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_strPath; }
    // A path inside the folder; the folders on the way are made.
    std::string operator/(const std::string& relative) const
    {
        std::string path = m_strPath + "\\" + relative;
        for (std::string::size_type slash = m_strPath.size() + 1; (slash = path.find('\\', slash)) != std::string::npos;
             ++slash)
            CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
        return path;
    }

private:
    std::string m_strPath;
};

inline void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    ASSERT_TRUE(static_cast<bool>(out)) << "cannot write " << path;
}

inline std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The names in a folder, without "." and "..".
inline std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

inline std::string ShortPath(const std::string& path)
{
    char buffer[MAX_PATH] = {};
    DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : path;
}

inline std::string SystemDirectory()
{
    char buffer[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(buffer, MAX_PATH);
    return std::string(buffer, n < MAX_PATH ? n : 0);
}

// The properties of a shortcut as the shell link object reports them.
struct Link {
    std::string target, arguments, workingDirectory, description, iconPath;
    int iconIndex = 0;
};

// COM for the test's thread, for as long as the object lives.
struct ComScope {
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};

inline void MakeShortcut(const std::string& path, const Link& link)
{
    using Microsoft::WRL::ComPtr;
    ComPtr<IShellLinkA> shell;
    ASSERT_TRUE(SUCCEEDED(
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(shell.GetAddressOf()))));
    shell->SetPath(link.target.c_str());
    shell->SetArguments(link.arguments.c_str());
    shell->SetWorkingDirectory(link.workingDirectory.c_str());
    shell->SetDescription(link.description.c_str());
    if (!link.iconPath.empty())
        shell->SetIconLocation(link.iconPath.c_str(), link.iconIndex);
    ComPtr<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(shell.As(&file)));
    std::wstring wide(path.begin(), path.end());
    ASSERT_TRUE(SUCCEEDED(file->Save(wide.c_str(), TRUE))) << "cannot save " << path;
}

inline Link ReadLink(const std::string& path)
{
    using Microsoft::WRL::ComPtr;
    Link link;
    ComPtr<IShellLinkA> shell;
    EXPECT_TRUE(SUCCEEDED(
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(shell.GetAddressOf()))));
    ComPtr<IPersistFile> file;
    if (!shell || FAILED(shell.As(&file)))
        return link;
    std::wstring wide(path.begin(), path.end());
    EXPECT_TRUE(SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) << "cannot load " << path;
    std::vector<char> buffer(32768);
    const int size = static_cast<int>(buffer.size());
    if (SUCCEEDED(shell->GetPath(buffer.data(), size, nullptr, SLGP_RAWPATH)))
        link.target = buffer.data();
    if (SUCCEEDED(shell->GetArguments(buffer.data(), size)))
        link.arguments = buffer.data();
    if (SUCCEEDED(shell->GetWorkingDirectory(buffer.data(), size)))
        link.workingDirectory = buffer.data();
    if (SUCCEEDED(shell->GetDescription(buffer.data(), size)))
        link.description = buffer.data();
    if (SUCCEEDED(shell->GetIconLocation(buffer.data(), size, &link.iconIndex)))
        link.iconPath = buffer.data();
    return link;
}

} // namespace ui
