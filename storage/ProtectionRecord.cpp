#include "storage/ProtectionRecord.h"

#include "storage/Scramble.h"

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

std::string FormatTimeStamp(const std::tm& localTime)
{
    char stamp[32] = {};
    std::size_t n = std::strftime(stamp, sizeof stamp, "%d%m%Y%H%M%S", &localTime);
    return std::string(stamp, n);
}

std::string MakeRecordPath(const std::string& shortTargetPath, const std::string& timeStamp)
{
    std::string::size_type slash = shortTargetPath.rfind('\\');
    std::string folder = slash == std::string::npos ? std::string() : shortTargetPath.substr(0, slash);
    return folder + "\\" + timeStamp + ".lki";
}

std::string MakeCommandLine(const std::string& targetPath, const std::string& arguments)
{
    std::string target = targetPath.find(' ') == std::string::npos ? targetPath : "\"" + targetPath + "\"";
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
    return ScramblePassword(record.password) + "\r\n" + ScramblePassword(record.commandLine) + "\r\n" +
           ScramblePassword(record.workingDirectory) + "\r\n" + ".";
}

bool WriteProtectionRecord(const std::string& recordPath, const ProtectionRecord& record)
{
    // Binary mode: the scrambled bytes go out exactly, and the line ends are written as CR LF.
    std::FILE* raw = std::fopen(recordPath.c_str(), "wb");
    if (!raw)
        return false;
    FilePtr file(raw);
    const std::string bytes = FormatProtectionRecord(record);
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && written;
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
    result.record.password = UnscramblePassword(fields[0]);
    result.record.commandLine = UnscramblePassword(fields[1]);
    result.record.workingDirectory = UnscramblePassword(fields[2]);
    result.status = RecordStatus::Ok;
    return result;
}

RecordReadResult ReadProtectionRecord(const std::string& recordPath)
{
    std::string bytes;
    if (!ReadWholeFile(recordPath, bytes))
        return RecordReadResult{};
    return ParseProtectionRecord(bytes);
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    std::FILE* raw = std::fopen(path.c_str(), "rb");
    if (!raw)
        return false;
    FilePtr file(raw);
    bytes.clear();
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        bytes.append(chunk, n);
    return std::ferror(file.get()) == 0;
}
