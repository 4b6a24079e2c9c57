// The protection record: what the launcher needs to start the real program once the right
// password is given. Stored beside the program as three scrambled lines, each ending CR LF,
// then a lone full stop.
#pragma once

#include <ctime>
#include <optional>
#include <string>

struct ProtectionRecord {
    std::string password;
    std::string commandLine;      // short-form target, one blank, the arguments
    std::string workingDirectory; // may be empty
};

// The local time as 14 digits, day first: "%d%m%Y%H%M%S". Names records and icon copies.
std::string FormatTimeStamp(const std::tm& localTime);

// The stamp one second later, the calendar carried (month lengths and leap years included);
// the empty text for anything that is not such a stamp.
std::string NextTimeStamp(const std::string& timeStamp);

// The target's folder (text before its last backslash), a backslash, the stamp and ".lki".
std::string MakeRecordPath(const std::string& shortTargetPath, const std::string& timeStamp);

// Target and arguments as the record's command line. A target that still holds a blank or a
// tab (no short form exists) is quoted, so that the first blank after it still ends it; so is one
// holding a character the command interpreter would act on (& ^ ( ) %), so that a batch file
// is started as itself.
std::string MakeCommandLine(const std::string& targetPath, const std::string& arguments);

struct CommandLineParts {
    bool ok = false; // false: no separating blank, or an unclosed quote
    std::string targetPath;
    std::string arguments;
};

// The reverse of MakeCommandLine: the target up to the first blank (or the closing quote),
// the arguments whole after that blank.
CommandLineParts SplitCommandLine(const std::string& commandLine);

// The exact bytes of a record file.
std::string FormatProtectionRecord(const ProtectionRecord& record);

enum class RecordStatus { Ok, CannotOpen, Damaged };

struct RecordReadResult {
    RecordStatus status = RecordStatus::CannotOpen;
    ProtectionRecord record; // unscrambled; filled when status is Ok
};

// Reads the file's bytes as they are: lines end at CR LF or a lone LF, no byte is special,
// the closing full stop is optional. Fewer than three complete lines (each with its line
// end) is damage.
RecordReadResult ParseProtectionRecord(const std::string& bytes);

// The same for a file's bytes, nullopt when the file could not be read: CannotOpen.
RecordReadResult ParseRecordFile(const std::optional<std::string>& fileBytes);
