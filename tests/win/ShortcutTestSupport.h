// Helpers for the shortcut tests under Wine: a scratch folder in the prefix, real shortcut
// files, short names as Wine makes them, and Linux programs (chattr, lnkinfo) run from Wine.
#pragma once

#include "win/ShellLink.h"
#include "core/ProtectionRecord.h"
#include "win/Files.h"
#include "tests/win/UnixShell.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <wrl/client.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace lktest {

inline std::string ShortPath(const std::string& path)
{
    char buffer[MAX_PATH] = {};
    DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : std::string();
}

inline std::string SystemDir()
{
    char buffer[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(buffer, MAX_PATH);
    return std::string(buffer, n);
}

inline bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string FileBytes(const std::string& path)
{
    return ReadWholeFile(path).value_or(std::string());
}

inline bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

// A scratch folder in the prefix, removed with everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

bool MakeFolders(const std::string& path);

// A shortcut written through the shell link object with more than Latchkey carries.
struct LinkSpec {
    std::string target;
    std::string arguments;
    std::string workingDirectory;
    std::string description;
    std::string iconPath;
    int iconIndex = 0;
    WORD hotKey = 0;
    int showCommand = SW_SHOWNORMAL;
};
HRESULT MakeLink(const std::string& linkPath, const LinkSpec& wanted);

// Hot key and show command as the shell link object reads them back.
HRESULT ReadHotKeyAndShow(const std::string& linkPath, WORD& hotKey, int& showCommand);

// COM for every test of a suite deriving from this.
class ComTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

} // namespace lktest
