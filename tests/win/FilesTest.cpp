// Whole files as the records and the master file are written and read: exact bytes, checked.
#include "core/ProtectionRecord.h"
#include "tests/support/Files.h"
#include "win/Files.h"

#include <gtest/gtest.h>

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
