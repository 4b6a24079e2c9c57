// The record reader: any bytes are read without harm, and every record protect would write reads
// back as the same three fields, its command line as the same target and arguments.
#include "core/ProtectRules.h"
#include "core/ProtectionRecord.h"

#include "FuzzInput.h"

namespace {

bool SameRecord(const ProtectionRecord& a, const ProtectionRecord& b)
{
    return a.password == b.password && a.commandLine == b.commandLine && a.workingDirectory == b.workingDirectory;
}

// The input as a record file's bytes, as the launcher and remove read them.
void ReadArbitraryBytes(const std::string& bytes)
{
    const RecordReadResult read = ParseProtectionRecord(bytes);
    Require(read.status != RecordStatus::CannotOpen, "bytes in hand are never 'cannot open'");
    Require(ParseRecordFile(bytes).status == read.status, "the file reader decides as the byte reader");
    Require(ParseRecordFile(std::nullopt).status == RecordStatus::CannotOpen, "no file: cannot open");
    if (read.status != RecordStatus::Ok)
        return;
    // Fields that were read can be written again and come back the same.
    const RecordReadResult again = ParseProtectionRecord(FormatProtectionRecord(read.record));
    Require(again.status == RecordStatus::Ok && SameRecord(again.record, read.record),
            "a record read back from its own bytes keeps its fields");
}

// The input as the fields of a shortcut that protect turns into a record.
void RoundTrip(FuzzFields fields)
{
    ProtectionRecord record;
    std::string target, arguments;
    if (!ProtectableRecord(fields, record, target, arguments))
        return;

    const RecordReadResult read = ParseRecordFile(FormatProtectionRecord(record));
    Require(read.status == RecordStatus::Ok, "a storable record reads back");
    Require(SameRecord(read.record, record), "a storable record reads back as the same fields");
    const CommandLineParts parts = SplitCommandLine(read.record.commandLine);
    Require(parts.ok, "a stored command line splits");
    Require(parts.targetPath == target, "the stored command line gives back the target");
    Require(parts.arguments == arguments, "the stored command line gives back the arguments");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadArbitraryBytes(WholeInput(data, size));
    RoundTrip(FuzzFields(data, size));
    return 0;
}
