#include "win/Files.h"
#include "win/MasterFile.h"
#include "core/MasterPassword.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/UnixShell.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lktest;

namespace {

// A fresh folder at the drive's root, removed with everything in it.
class MasterFileTest : public ::testing::Test {
protected:
    // A fixed name, so that the test run's clean-up can find it should a locked test be killed.
    static constexpr const char* kFolder = "C:\\lk_master_file_test";

    void SetUp() override
    {
        m_dir = kFolder;
        RemoveTree(m_dir);
        ASSERT_TRUE(CreateDirectoryA(m_dir.c_str(), nullptr));
        m_path = m_dir + "\\" + MasterFileName;
    }
    void TearDown() override { RemoveTree(m_dir); }

    std::vector<std::string> Names() const { return FolderEntries(m_dir); }

    std::string m_dir;
    std::string m_path;
};

} // namespace

TEST(MasterFilePath, IsTheSystemDirectoryAndTheFileName)
{
    const std::string system = SystemFolder();
    ASSERT_FALSE(system.empty());
    std::optional<std::string> path = MasterFilePath();
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, system + "\\master2.lki");
}

TEST_F(MasterFileTest, OnlyAMissingFileReadsAsNothing)
{
    MasterFileRead missing = ReadMasterFile(m_path);
    EXPECT_TRUE(missing.missing);
    EXPECT_FALSE(missing.bytes);
    EXPECT_FALSE(DecideMasterPassword(missing.bytes).promptNeeded);

    // There, but not a file that can be read: neither missing nor read.
    ASSERT_TRUE(CreateDirectoryA(m_path.c_str(), nullptr));
    MasterFileRead folder = ReadMasterFile(m_path);
    EXPECT_FALSE(folder.missing);
    EXPECT_FALSE(folder.bytes);
    ASSERT_TRUE(RemoveDirectoryA(m_path.c_str()));

    ASSERT_TRUE(WriteWholeFile(m_path, std::string(MaxReadBytes + 1, 'x')));
    MasterFileRead huge = ReadMasterFile(m_path);
    EXPECT_FALSE(huge.missing);
    EXPECT_FALSE(huge.bytes);
}

TEST_F(MasterFileTest, WritesTheExactBytesAndReplacesAnOldFileWithoutLeftovers)
{
    ASSERT_TRUE(WriteMasterFile(m_path, "abc"));
    EXPECT_EQ(ReadMasterFile(m_path).bytes, std::optional<std::string>("abb\r\n"));

    // The replacement is shorter than the old content: nothing of the old file may remain.
    ASSERT_TRUE(WriteMasterFile(m_path, MasterStoredValue("")));
    EXPECT_EQ(ReadMasterFile(m_path).bytes, std::optional<std::string>("opdla_`crs\r\n"));
    EXPECT_EQ(Names(), std::vector<std::string>{"master2.lki"});
}

TEST_F(MasterFileTest, ValuesWithBlanksControlBytesAndLengthComeBackWhole)
{
    const std::string values[] = {" lead", "trail ", "0123456789$$$", "ab!cd", "x\x1A" "y", std::string(4000, '*')};
    for (const std::string& value : values) {
        SCOPED_TRACE(value.substr(0, 20));
        ASSERT_TRUE(WriteMasterFile(m_path, value));
        MasterPasswordDecision decision = DecideMasterPassword(ReadMasterFile(m_path).bytes);
        EXPECT_TRUE(decision.promptNeeded);
        EXPECT_EQ(decision.required, value);
    }
}

TEST_F(MasterFileTest, FailedReplaceLeavesTheOldFileAndNoNewFile)
{
    // A folder where the file must go: the new file is written, but cannot take its place.
    ASSERT_TRUE(CreateDirectoryA(m_path.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((m_path + "\\inside").c_str(), nullptr));
    EXPECT_FALSE(WriteMasterFile(m_path, "secret"));
    EXPECT_EQ(GetFileAttributesA(m_path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(Names(), std::vector<std::string>{"master2.lki"});
}

TEST_F(MasterFileTest, UncreatableNewFileFailsAndWritesNothing)
{
    const std::string missing = m_dir + "\\no such folder\\" + MasterFileName;
    EXPECT_FALSE(WriteMasterFile(missing, "secret"));
    EXPECT_TRUE(Names().empty());
}

TEST_F(MasterFileTest, UnwritableFileOrFolderFailsAndLeavesTheOldFileByteForByte)
{
    ASSERT_TRUE(WriteMasterFile(m_path, "old password"));
    const std::optional<std::string> old = ReadMasterFile(m_path).bytes;
    ASSERT_TRUE(old);
    for (const std::string& locked : {m_path, m_dir}) {
        SCOPED_TRACE(locked);
        ScopedImmutable lock(locked);
        ASSERT_TRUE(lock.IsSet());
        EXPECT_FALSE(WriteMasterFile(m_path, "new"));
        EXPECT_EQ(ReadMasterFile(m_path).bytes, old);
        ASSERT_TRUE(lock.Clear());
        EXPECT_EQ(Names(), std::vector<std::string>{"master2.lki"});
    }
}
