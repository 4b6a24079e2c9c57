#include "win/History.h"

#include "win/DataFolder.h"
#include "win/Scoped.h"
#include "win/Strings.h"
#include "win/SystemLibrary.h"

#include <windows.h>

#include <sddl.h>
#include <shlobj.h>

namespace {

// Users may pass through to the file, not list, add or remove anything.
constexpr wchar_t HistoryFolderAccess[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x100020;;;BU)";
// Users may append (FILE_APPEND_DATA), read the size (FILE_READ_ATTRIBUTES) and wait on it, nothing more.
constexpr wchar_t HistoryFileAccess[] = L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x100084;;;BU)";

// Security attributes made from a descriptor's text, for the lifetime of the object.
class Security {
public:
    explicit Security(const wchar_t* sddl)
    {
        if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, m_descriptor.Out(), nullptr)) {
            m_attributes.nLength = sizeof m_attributes;
            m_attributes.lpSecurityDescriptor = m_descriptor.Get();
        }
    }
    SECURITY_ATTRIBUTES* Get() { return m_descriptor.Get() ? &m_attributes : nullptr; }

private:
    LocalMemory<void> m_descriptor;
    SECURITY_ATTRIBUTES m_attributes = {};
};

// Puts the access rules on again: whoever made the folder or file first, only these hold.
void SetAccess(const std::wstring& path, const wchar_t* access)
{
    Security security(access);
    if (SECURITY_ATTRIBUTES* attributes = security.Get())
        SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                         attributes->lpSecurityDescriptor);
}

// The history file opened to append to it, or to read it; no handle when it is no plain disk file.
UniqueHandle OpenHistory(const std::wstring& path, DWORD access)
{
    UniqueHandle file = OwnHandle(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file && GetFileType(file.get()) != FILE_TYPE_DISK)
        file.reset();
    return file;
}

long long FileSize(HANDLE file)
{
    LARGE_INTEGER size = {};
    return GetFileSizeEx(file, &size) ? size.QuadPart : -1;
}

// The last HistoryMaxBytes of the file at most.
std::optional<std::string> ReadHistoryBytes(const std::wstring& path)
{
    UniqueHandle file = OpenHistory(path, GENERIC_READ);
    const long long size = file ? FileSize(file.get()) : -1;
    if (size < 0)
        return std::nullopt;
    const long long wanted = size < static_cast<long long>(HistoryMaxBytes) ? size : HistoryMaxBytes;
    LARGE_INTEGER start;
    start.QuadPart = size - wanted;
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN))
        return std::nullopt;
    std::string bytes(static_cast<size_t>(wanted), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        if (!ReadFile(file.get(), &bytes[done], static_cast<DWORD>(bytes.size() - done), &n, nullptr))
            return std::nullopt;
        if (n == 0)
            break;
        done += n;
    }
    bytes.resize(done);
    return bytes;
}

bool WriteAll(HANDLE file, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

// The file with only its newest entries, written beside it and moved over it whole, with the
// file's own access rules.
void TrimHistory(const std::wstring& path)
{
    const std::optional<std::string> bytes = ReadHistoryBytes(path);
    if (!bytes)
        return;
    const std::string kept = NewestHistory(ParseHistory(*bytes), HistoryKeptBytes);
    const std::wstring newPath = path + L".new";
    Security security(HistoryFileAccess);
    UniqueHandle file = OwnHandle(CreateFileW(newPath.c_str(), GENERIC_WRITE, 0, security.Get(), CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!security.Get() || !file)
        return;
    const bool written = WriteAll(file.get(), kept) && FlushFileBuffers(file.get()) && CloseHandle(file.release());
    if (!written || !MoveFileExW(newPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileW(newPath.c_str());
}

// The folders and the file, made as they must be where they are missing; then the file trimmed
// when it has grown past its bound.
void PrepareHistory(const std::wstring& path)
{
    // Made or taken over with its rules, never through a link or junction a user put there.
    const std::optional<std::wstring> folder = SecuredDataFolder(L"History", HistoryFolderAccess);
    if (!folder || path != *folder + L"\\history.txt")
        return;
    Security security(HistoryFileAccess);
    if (!security.Get())
        return;
    UniqueHandle made = OwnHandle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              security.Get(), CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    SetAccess(path, HistoryFileAccess);
    if (made)
        return;
    UniqueHandle file = OpenHistory(path, FILE_READ_ATTRIBUTES);
    if (file && FileSize(file.get()) > static_cast<long long>(HistoryTrimBytes)) {
        file.reset();
        TrimHistory(path);
    }
}

// One write of the whole line at the file's end: lines of several writers never mix.
void AppendLine(const std::wstring& path, const std::string& line)
{
    UniqueHandle file = OpenHistory(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE);
    const long long size = file ? FileSize(file.get()) : -1;
    if (size < 0 || size + static_cast<long long>(line.size()) > static_cast<long long>(HistoryMaxBytes))
        return;
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string TwoDigits(unsigned value)
{
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) + static_cast<char>('0' + value % 10);
}

std::string LocalTimeText()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return std::to_string(now.wYear) + "-" + TwoDigits(now.wMonth) + "-" + TwoDigits(now.wDay) + " " +
           TwoDigits(now.wHour) + ":" + TwoDigits(now.wMinute) + ":" + TwoDigits(now.wSecond);
}

std::string UserName()
{
    std::optional<std::wstring> name = GrowString<wchar_t>([](wchar_t* buffer, DWORD size) -> DWORD {
        DWORD n = size;
        if (GetUserNameW(buffer, &n))
            return n > 0 ? n - 1 : 0; // counts the terminator
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? (n > size ? n : size) : 0;
    });
    return name ? ToUtf8(*name) : std::string("?");
}

} // namespace

std::optional<std::wstring> HistoryFilePath()
{
    const std::optional<std::wstring> data = ProgramDataFolder();
    if (!data)
        return std::nullopt;
    return *data + L"\\Latchkey\\History\\history.txt";
}

HistoryEntry NewHistoryEntry(HistoryResult result, const std::wstring& shortcut, const std::string& program)
{
    HistoryEntry entry;
    entry.time = LocalTimeText();
    entry.user = UserName();
    entry.shortcut = ToUtf8(shortcut);
    entry.program = LongFormUtf8(program);
    entry.result = result;
    return entry;
}

void AddToHistory(const HistoryEntry& entry)
{
    ReportHistoryEvent(entry);
    if (const std::optional<std::wstring> path = HistoryFilePath())
        AppendLine(*path, FormatHistoryLine(entry));
}

void RecordChange(HistoryResult result, const std::string& shortcut, const std::string& program)
{
    RecordChange(result, ToWide(shortcut), program);
}

void RecordChange(HistoryResult result, const std::wstring& shortcut, const std::string& program)
{
    const HistoryEntry entry = NewHistoryEntry(result, shortcut, program);
    ReportHistoryEvent(entry);
    if (const std::optional<std::wstring> path = HistoryFilePath()) {
        PrepareHistory(*path);
        AppendLine(*path, FormatHistoryLine(entry));
    }
}

std::vector<HistoryEntry> ReadHistory()
{
    const std::optional<std::wstring> path = HistoryFilePath();
    const std::optional<std::string> bytes = path ? ReadHistoryBytes(*path) : std::nullopt;
    return bytes ? ParseHistory(*bytes) : std::vector<HistoryEntry>();
}

void ReportHistoryEvent(const HistoryEntry& entry)
{
    HANDLE source = RegisterEventSourceW(nullptr, L"Latchkey");
    if (!source)
        return;
    const std::wstring user = FromUtf8(entry.user), shortcut = FromUtf8(entry.shortcut),
                       program = FromUtf8(entry.program);
    const wchar_t* strings[] = {user.c_str(), shortcut.c_str(), program.c_str()};
    const bool warning = entry.result == HistoryResult::WrongPassword || entry.result == HistoryResult::LockedOut;
    ReportEventW(source, warning ? EVENTLOG_WARNING_TYPE : EVENTLOG_INFORMATION_TYPE, 0,
                 HistoryEventId(entry.result), nullptr, 3, 0, strings, nullptr);
    DeregisterEventSource(source);
}
