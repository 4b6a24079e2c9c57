// What unattended commands stand on: a password file judged by who can read it, standard input
// as a password's source, and the logon task, against Wine's own security and task scheduler.
#include "tests/support/Files.h"
#include "tests/support/UnixShell.h"
#include "win/LogonTask.h"
#include "win/Scoped.h"
#include "win/Strings.h"
#include "win/Unattended.h"

#include <aclapi.h>
#include <gtest/gtest.h>

using namespace lktest;

namespace {

// Gives everyone the right to read the file, as a careless copy into a shared folder would.
bool LetEveryoneRead(const std::string& path)
{
    EXPLICIT_ACCESS_A everyone = {};
    everyone.grfAccessPermissions = GENERIC_READ;
    everyone.grfAccessMode = GRANT_ACCESS;
    everyone.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    everyone.Trustee.ptstrName = const_cast<char*>("EVERYONE");
    PACL acl = nullptr;
    if (SetEntriesInAclA(1, &everyone, nullptr, &acl) != ERROR_SUCCESS)
        return false;
    const DWORD set = SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT,
                                            DACL_SECURITY_INFORMATION, nullptr, nullptr, acl, nullptr);
    LocalFree(acl);
    return set == ERROR_SUCCESS;
}

} // namespace

TEST(PasswordFile, OnlyAPrivateFileGivesItsFirstLine)
{
    ScratchFolder folder("password files");
    const std::string path = folder / "pw.txt";
    ASSERT_TRUE(WriteFileBytes(path, "\xEF\xBB\xBF" "Open sesame\r\nsecond line\r\n"));

    // Made from the Linux side, the file's rights follow its mode: the owner's alone, or everyone's.
    ASSERT_EQ(RunLinux("chmod 600 " + ShellQuote(UnixPath(path))), 0);
    PasswordRead read = ReadPasswordFile(ToWide(path));
    EXPECT_EQ(read.result, PasswordInput::Read);
    EXPECT_EQ(read.password, "Open sesame");

    ASSERT_EQ(RunLinux("chmod 644 " + ShellQuote(UnixPath(path))), 0);
    read = ReadPasswordFile(ToWide(path));
    EXPECT_EQ(read.result, PasswordInput::NotPrivate);
    EXPECT_EQ(read.password, "");

    // Rights given through Windows count the same.
    ASSERT_EQ(RunLinux("chmod 600 " + ShellQuote(UnixPath(path))), 0);
    ASSERT_TRUE(LetEveryoneRead(path));
    EXPECT_EQ(ReadPasswordFile(ToWide(path)).result, PasswordInput::NotPrivate);
}

TEST(PasswordFile, WhatIsNoPasswordFile)
{
    ScratchFolder folder("password files");
    EXPECT_EQ(ReadPasswordFile(ToWide(folder / "missing.txt")).result, PasswordInput::CannotOpen);
    EXPECT_EQ(ReadPasswordFile(ToWide(folder.Folder("a folder"))).result, PasswordInput::CannotOpen);

    const std::string big = folder / "big.txt";
    ASSERT_TRUE(WriteFileBytes(big, std::string(70 * 1024, 'x')));
    ASSERT_EQ(RunLinux("chmod 600 " + ShellQuote(UnixPath(big))), 0);
    EXPECT_EQ(ReadPasswordFile(ToWide(big)).result, PasswordInput::NotAFile);

    // Greek in UTF-8 has no form in the Western code page the records are kept in.
    const std::string greek = folder / "greek.txt";
    ASSERT_TRUE(WriteFileBytes(greek, "\xCE\xB1\xCE\xB2\n"));
    ASSERT_EQ(RunLinux("chmod 600 " + ShellQuote(UnixPath(greek))), 0);
    EXPECT_EQ(ReadPasswordFile(ToWide(greek)).result, PasswordInput::NotInCodePage);
}

TEST(LogonTask, RegisteredOnceAndDeleted)
{
    ComApartment com;
    ASSERT_EQ(DeleteCheckTask(), S_OK);
    EXPECT_FALSE(CheckTaskRegistered());
    EXPECT_EQ(RegisterCheckTask(L"C:\\Program Files\\Latchkey\\Latchkey.exe"), S_OK);
    EXPECT_TRUE(CheckTaskRegistered());
    // Registering again updates it.
    EXPECT_EQ(RegisterCheckTask(L"C:\\Program Files\\Latchkey\\Latchkey.exe"), S_OK);
    EXPECT_EQ(DeleteCheckTask(), S_OK);
    EXPECT_FALSE(CheckTaskRegistered());
    EXPECT_EQ(DeleteCheckTask(), S_OK);
}
