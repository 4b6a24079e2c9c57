#include "storage/MasterFile.h"
#include "storage/MasterPassword.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A fresh folder under the temporary directory, removed with everything in it.
class MasterFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH + 1] = {};
        ASSERT_NE(GetTempPathA(sizeof temp, temp), 0u);
        m_dir = std::string(temp) + "lk_master_" + std::to_string(GetCurrentProcessId());
        RemoveTree(m_dir);
        ASSERT_TRUE(CreateDirectoryA(m_dir.c_str(), nullptr));
        m_path = m_dir + "\\" + MasterFileName;
    }
    void TearDown() override { RemoveTree(m_dir); }

    static void RemoveTree(const std::string& dir)
    {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name == "." || name == "..")
                    continue;
                std::string full = dir + "\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(full);
                else
                    DeleteFileA(full.c_str());
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(dir.c_str());
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((m_dir + "\\*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileA(find, &found));
        FindClose(find);
        return names;
    }

    std::string m_dir;
    std::string m_path;
};

} // namespace

TEST(MasterFilePath, IsTheSystemDirectoryAndTheFileName)
{
    char system[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(system, sizeof system);
    ASSERT_GT(n, 0u);
    std::optional<std::string> path = GetMasterFilePath();
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, std::string(system, n) + "\\master2.lki");
}

TEST_F(MasterFileTest, MissingFileReadsAsNothing)
{
    EXPECT_FALSE(ReadMasterFile(m_path));
    EXPECT_FALSE(DecideMasterPassword(ReadMasterFile(m_path)).promptNeeded);
}

TEST_F(MasterFileTest, WritesTheExactBytesAndReplacesAnOldFileWithoutLeftovers)
{
    ASSERT_TRUE(WriteMasterFile(m_path, "abc"));
    EXPECT_EQ(ReadMasterFile(m_path), std::optional<std::string>("abb\r\n"));

    // The replacement is shorter than the old content: nothing of the old file may remain.
    ASSERT_TRUE(WriteMasterFile(m_path, MasterStoredValue("")));
    EXPECT_EQ(ReadMasterFile(m_path), std::optional<std::string>("opdla_`crs\r\n"));
    EXPECT_EQ(Names(), std::vector<std::string>{"master2.lki"});
}

TEST_F(MasterFileTest, ValuesWithBlanksControlBytesAndLengthComeBackWhole)
{
    const std::string values[] = {" lead", "trail ", "0123456789$$$", "ab!cd", "x\x1A" "y", std::string(4000, '*')};
    for (const std::string& value : values) {
        SCOPED_TRACE(value.substr(0, 20));
        ASSERT_TRUE(WriteMasterFile(m_path, value));
        MasterPasswordDecision decision = DecideMasterPassword(ReadMasterFile(m_path));
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
