#include "core/ProtectionRecord.h"

#include "core/Paths.h"
#include "core/Scramble.h"
#include "core/Secret.h"

std::string FormatTimeStamp(const std::tm& localTime)
{
    char stamp[32] = {};
    std::size_t n = std::strftime(stamp, sizeof stamp, "%d%m%Y%H%M%S", &localTime);
    return std::string(stamp, n);
}

std::string NextTimeStamp(const std::string& timeStamp)
{
    if (timeStamp.size() != 14 || timeStamp.find_first_not_of("0123456789") != std::string::npos)
        return std::string();
    auto field = [&](std::size_t at, std::size_t length) {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i)
            value = value * 10 + (timeStamp[i] - '0');
        return value;
    };
    int day = field(0, 2), month = field(2, 2), year = field(4, 4);
    int hour = field(8, 2), minute = field(10, 2), second = field(12, 2);
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int monthDays[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > monthDays[month - 1] || hour > 23 || minute > 59 || second > 59)
        return std::string();
    if (++second == 60) {
        second = 0;
        if (++minute == 60) {
            minute = 0;
            if (++hour == 24) {
                hour = 0;
                if (++day > monthDays[month - 1]) {
                    day = 1;
                    if (++month == 13) {
                        month = 1;
                        if (++year > 9999)
                            return std::string();
                    }
                }
            }
        }
    }
    return DecimalText(day, 2) + DecimalText(month, 2) + DecimalText(year, 4) + DecimalText(hour, 2) +
           DecimalText(minute, 2) + DecimalText(second, 2);
}

std::string MakeRecordPath(const std::string& shortTargetPath, const std::string& timeStamp)
{
    return FolderOf(shortTargetPath) + "\\" + timeStamp + ".lki";
}

std::string MakeCommandLine(const std::string& targetPath, const std::string& arguments)
{
    const bool quoted = targetPath.find_first_of(" \t&^()%") != std::string::npos;
    std::string target = quoted ? "\"" + targetPath + "\"" : targetPath;
    return target + " " + arguments;
}

CommandLineParts SplitCommandLine(const std::string& commandLine)
{
    CommandLineParts parts;
    std::string::size_type blank;
    if (!commandLine.empty() && commandLine[0] == '"') {
        std::string::size_type close = commandLine.find('"', 1);
        if (close == std::string::npos || close + 1 >= commandLine.size() || commandLine[close + 1] != ' ')
            return parts;
        parts.targetPath = commandLine.substr(1, close - 1);
        blank = close + 1;
    } else {
        blank = commandLine.find(' ');
        if (blank == std::string::npos)
            return parts;
        parts.targetPath = commandLine.substr(0, blank);
    }
    parts.arguments = commandLine.substr(blank + 1);
    parts.ok = true;
    return parts;
}

std::string FormatProtectionRecord(const ProtectionRecord& record)
{
    // Built in one buffer of its final size, so that no copy of the scrambled password is left
    // in memory given back on the way.
    std::string bytes;
    bytes.reserve(record.password.size() + record.commandLine.size() + record.workingDirectory.size() + 7);
    std::string password = Scramble(record.password);
    bytes += password;
    ClearSecret(password);
    bytes += "\r\n";
    bytes += Scramble(record.commandLine);
    bytes += "\r\n";
    bytes += Scramble(record.workingDirectory);
    bytes += "\r\n.";
    return bytes;
}

RecordReadResult ParseProtectionRecord(const std::string& bytes)
{
    RecordReadResult result;
    result.status = RecordStatus::Damaged;
    std::string fields[3];
    std::string::size_type start = 0;
    for (std::string& field : fields) {
        // Every line the writer makes ends with a line end; a last line without one is a cut
        // record (or the end marker where a line is missing), so it does not count.
        std::string::size_type end = bytes.find('\n', start);
        if (end == std::string::npos)
            return result;
        std::string::size_type next = end + 1;
        if (end > start && bytes[end - 1] == '\r')
            --end;
        field = bytes.substr(start, end - start);
        start = next;
    }
    result.record.password = Unscramble(fields[0]);
    ClearSecret(fields[0]);
    result.record.commandLine = Unscramble(fields[1]);
    result.record.workingDirectory = Unscramble(fields[2]);
    result.status = RecordStatus::Ok;
    return result;
}

RecordReadResult ParseRecordFile(const std::optional<std::string>& fileBytes)
{
    return fileBytes ? ParseProtectionRecord(*fileBytes) : RecordReadResult{};
}
