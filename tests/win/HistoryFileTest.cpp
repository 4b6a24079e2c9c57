// The history file as the launcher and Latchkey write it: who may make it, its bound and its trim.
#include "core/History.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "win/History.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lktest;

namespace {

class HistoryFile : public testing::Test {
protected:
    void SetUp() override
    {
        const std::optional<std::wstring> path = HistoryFilePath();
        ASSERT_TRUE(path);
        m_path = Narrow(*path);
        m_folder = m_path.substr(0, m_path.rfind('\\'));
        RemoveTree(m_folder);
    }
    void TearDown() override { RemoveTree(m_folder); }

    static HistoryEntry Old(int n)
    {
        return HistoryEntry{"2026-01-01 00:00:00", "user" + std::to_string(n), "", "C:\\Old\\Program.exe",
                            HistoryResult::Started};
    }

    std::string m_path;
    std::string m_folder;
};

TEST_F(HistoryFile, LatchkeysChangesMakeItAndTheLauncherOnlyAddsToIt)
{
    const HistoryEntry started = NewHistoryEntry(HistoryResult::Started, L"C:\\Links\\Game.lnk", "C:\\Game.exe");
    AddToHistory(started);
    EXPECT_FALSE(FileExists(m_path)) << "the launcher made the history";

    RecordChange(HistoryResult::Protected, "C:\\Links\\Game.lnk", "C:\\Game.exe");
    ASSERT_TRUE(FileExists(m_path));
    AddToHistory(started);
    const std::vector<HistoryEntry> read = ReadHistory();
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].result, HistoryResult::Protected);
    EXPECT_EQ(read[0].user, started.user);
    EXPECT_EQ(read[0].shortcut, "C:\\Links\\Game.lnk");
    EXPECT_EQ(read[0].program, "C:\\Game.exe");
    EXPECT_EQ(read[1], started);
}

TEST_F(HistoryFile, PastItsBoundLatchkeyKeepsTheNewestEntriesAndTheLauncherAddsNothing)
{
    ASSERT_TRUE(MakeFolders(m_folder));
    std::vector<HistoryEntry> old;
    std::string bytes;
    for (int n = 0; bytes.size() <= HistoryTrimBytes; ++n) {
        old.push_back(Old(n));
        bytes += FormatHistoryLine(old.back());
    }
    ASSERT_TRUE(WriteFileBytes(m_path, bytes));

    RecordChange(HistoryResult::Removed, "C:\\Links\\Game.lnk", "C:\\Game.exe");
    const std::vector<HistoryEntry> read = ReadHistory();
    ASSERT_GT(read.size(), 1u);
    EXPECT_EQ(read.back().result, HistoryResult::Removed);
    // The newest of the old entries, in their order, up to the bound.
    const std::vector<HistoryEntry> kept(read.begin(), read.end() - 1);
    EXPECT_EQ(kept, std::vector<HistoryEntry>(old.end() - static_cast<long>(kept.size()), old.end()));
    const size_t size = ReadFileBytes(m_path).value_or("").size();
    EXPECT_LE(size, HistoryKeptBytes + FormatHistoryLine(read.back()).size());
    EXPECT_GT(size + FormatHistoryLine(old[0]).size(), HistoryKeptBytes);

    // A full history takes no more from the launcher.
    const std::string full(HistoryMaxBytes - 10, 'x');
    ASSERT_TRUE(WriteFileBytes(m_path, full));
    AddToHistory(NewHistoryEntry(HistoryResult::Started, L"", "C:\\Game.exe"));
    EXPECT_EQ(ReadFileBytes(m_path), full);
}

} // namespace
