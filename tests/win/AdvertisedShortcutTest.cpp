// Advertised shortcuts: a small package installed in the prefix, and a shortcut that carries
// its installer descriptor instead of a path.
#include "win/ProtectFiles.h"
#include "win/ShellLink.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <msi.h>
#include <shlobj.h>

#include <cstring>

// msi.dll exports it, MinGW's msi.h does not declare it.
extern "C" UINT WINAPI MsiDecomposeDescriptorA(LPCSTR descriptor, LPSTR productCode, LPSTR featureId,
                                               LPSTR componentCode, DWORD* argumentOffset);

using namespace lktest;

namespace {

const char ProductCode[] = "{6F1A2B3C-4D5E-4F60-8172-93A4B5C6D7E8}";
const char ComponentCode[] = "{0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9}";
const char FeatureName[] = "LkFeature";

// The installer's packed GUID: four DWORDs in memory order, each as five characters of its
// base-85 alphabet, lowest digit first.
std::string PackGuid(const char* text)
{
    static const char alphabet[] = "!$%&'()*+,-.0123456789=?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`abcdefghijklmnopqrstuvwxyz{}~";
    WCHAR wide[39] = {};
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 39);
    GUID guid;
    if (FAILED(CLSIDFromString(wide, &guid)))
        return std::string();
    DWORD words[4];
    std::memcpy(words, &guid, sizeof words);
    std::string packed;
    for (DWORD word : words) {
        for (int digit = 0; digit < 5; ++digit) {
            packed += alphabet[word % 85];
            word /= 85;
        }
    }
    return packed;
}

// Runs a Windows program of the prefix and waits for it, with a deadline.
DWORD RunAndWait(std::string commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return GetLastError();
    DWORD code = WAIT_TIMEOUT;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

std::string Lower(std::string text)
{
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

class AdvertisedShortcut : public ComTest {
protected:
    static void SetUpTestSuite()
    {
        const char* data = std::getenv("LK_TEST_DATA");
        ASSERT_NE(data, nullptr);
        const std::string package = DosPath(std::string(data) + "/Advertised.msi");
        ASSERT_TRUE(FileExists(package)) << package;
        RunAndWait(std::string("msiexec.exe /x ") + ProductCode + " /qn"); // left over from a broken run
        ASSERT_EQ(RunAndWait("msiexec.exe /i \"" + package + "\" /qn"), 0u);
    }

    static void TearDownTestSuite() { RunAndWait(std::string("msiexec.exe /x ") + ProductCode + " /qn"); }

    void SetUp() override
    {
        ComTest::SetUp();
        char folder[MAX_PATH] = {}; // the size the call takes
        ASSERT_HRESULT_SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILESX86, nullptr, 0, folder));
        installedFile = std::string(folder) + "\\Latchkey Advert Test\\Advertised ReadMe.txt";
        ASSERT_TRUE(FileExists(installedFile)) << installedFile;

        descriptor = PackGuid(ProductCode) + FeatureName + ">" + PackGuid(ComponentCode);
        LinkSpec wanted;
        wanted.target = "::{9db1186e-40df-11d1-aa8c-00c04fb67863}:" + descriptor + "::";
        wanted.description = "Read me, advertised";
        ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
    }

    ScratchFolder folder{"lk advertised"};
    const std::string link = folder / "Advertised ReadMe.lnk";
    std::string installedFile;
    std::string descriptor;
};

} // namespace

TEST_F(AdvertisedShortcut, DescriptorIsWhatTheInstallerExpects)
{
    char product[39] = {}, feature[MAX_PATH] = {}, component[39] = {};
    DWORD used = 0;
    ASSERT_EQ(MsiDecomposeDescriptorA(descriptor.c_str(), product, feature, component, &used), 0u);
    EXPECT_STREQ(product, ProductCode);
    EXPECT_STREQ(feature, FeatureName);
    EXPECT_STREQ(component, ComponentCode);
    EXPECT_EQ(used, descriptor.size());
}

TEST_F(AdvertisedShortcut, InstalledLocallyResolvesToTheComponentPathAndNothingElse)
{
    std::string target;
    ASSERT_TRUE(ResolveAdvertisedShortcut(link, target));
    EXPECT_EQ(Lower(target), Lower(installedFile));

    LoadedShortcut loaded = LoadShortcutForProtection(link);
    EXPECT_EQ(loaded.result, ProtectResult::Ready);
    EXPECT_EQ(loaded.info.targetPath, ShortPath(target));
    EXPECT_NE(loaded.info.targetPath.find('~'), std::string::npos);
    EXPECT_EQ(loaded.info.description, L"");
    EXPECT_EQ(loaded.info.arguments, "");
    EXPECT_EQ(loaded.info.workingDirectory, "");
    EXPECT_EQ(loaded.info.iconPath, L"");
    EXPECT_EQ(loaded.info.iconIndex, 0);
}

TEST_F(AdvertisedShortcut, APlainShortcutIsNotAdvertised)
{
    LinkSpec wanted;
    wanted.target = installedFile;
    const std::string plain = folder / "Plain.lnk";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(plain, wanted));
    std::string target = "untouched";
    EXPECT_FALSE(ResolveAdvertisedShortcut(plain, target));
    EXPECT_EQ(target, "untouched");
}

// Last of the suite: it takes the component's file away (the package is removed afterwards).
TEST_F(AdvertisedShortcut, ComponentFileGoneFallsBackToReadingTheShortcut)
{
    ASSERT_TRUE(DeleteFileA(installedFile.c_str()));
    std::string target;
    EXPECT_FALSE(ResolveAdvertisedShortcut(link, target));

    // The shell link object's own view of it: its description shows that it was read.
    // Its target is the installer's descriptor, no file, so it cannot be protected.
    LoadedShortcut loaded = LoadShortcutForProtection(link);
    EXPECT_EQ(loaded.result, ProtectResult::NotAFileTarget);
    EXPECT_EQ(loaded.info.description, L"Read me, advertised");
}
