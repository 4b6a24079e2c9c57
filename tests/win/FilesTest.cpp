// Whole files as the records and the master file are written and read: exact bytes, checked.
#include "core/ProtectionRecord.h"
#include "tests/support/Files.h"
#include "tests/support/UnixShell.h"
#include "win/Files.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <windows.h>

using namespace lktest;

TEST(Files, ARecordIsWrittenAndReadBackExactly)
{
    ScratchFolder folder("lk files");
    const std::string path = folder / "record-roundtrip.lki";
    ProtectionRecord record{"Secret pw", "C:\\PROGRA~1\\EDITOR\\EDIT.EXE -f $HOME *.txt", ""};
    ASSERT_TRUE(WriteWholeFile(path, FormatProtectionRecord(record)));

    std::optional<std::string> bytes = ReadWholeFile(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, FormatProtectionRecord(record));
    RecordReadResult read = ParseRecordFile(bytes);
    ASSERT_EQ(read.status, RecordStatus::Ok);
    EXPECT_EQ(read.record.password, record.password);
    EXPECT_EQ(read.record.commandLine, record.commandLine);
    EXPECT_EQ(read.record.workingDirectory, "");

    // Written again shorter: nothing of the longer file is left.
    ASSERT_TRUE(WriteWholeFile(path, "ab"));
    EXPECT_EQ(ReadWholeFile(path), std::optional<std::string>("ab"));
}

TEST(Files, WhatCannotBeCreatedOrOpenedFails)
{
    ScratchFolder folder("lk files");
    const std::string missing = folder.Path() + "\\no-such-folder\\x.lki";
    EXPECT_FALSE(WriteWholeFile(missing, "bytes"));
    EXPECT_FALSE(ReadWholeFile(missing));
    EXPECT_EQ(ParseRecordFile(ReadWholeFile(missing)).status, RecordStatus::CannotOpen);
    EXPECT_FALSE(ReadWholeFile(folder.Path())) << "a folder is no file";
}

// A replacement that cannot take the old file away fails before anything is made beside it: the
// old file keeps its bytes, the new one is gone, and no file of the system's own is left (some
// ReplaceFile leaves one when it finds out too late). The immutable flag stands for a file that may
// not be changed, a handle without delete sharing for a program that holds it.
TEST(Files, AReplacementThatCannotTakeTheOldFileAwayLeavesNothingBeside)
{
    ScratchFolder folder("lk files");
    const std::string path = folder / "Held.lnk";
    const std::string newPath = folder / "Held.new";
    struct Case {
        const char* name;
        std::function<std::shared_ptr<void>()> hold;
    } cases[] = {
        {"it may not be changed",
         [&] {
             auto flag = std::make_shared<ScopedImmutable>(path);
             EXPECT_TRUE(flag->IsSet());
             return std::shared_ptr<void>(flag);
         }},
        {"a program holds it",
         [&] {
             HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
             EXPECT_NE(held, INVALID_HANDLE_VALUE);
             return std::shared_ptr<void>(held, [](void* h) { CloseHandle(h); });
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFileBytes(path, "old bytes"));
        ASSERT_TRUE(WriteFileBytes(newPath, "new bytes"));
        {
            const std::shared_ptr<void> held = c.hold();
            EXPECT_FALSE(ReplaceWithNewFile(path, newPath));
        }
        EXPECT_EQ(ReadFileBytes(path), std::optional<std::string>("old bytes"));
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"Held.lnk"});
    }
}
