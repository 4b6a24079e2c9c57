#include "win/Unattended.h"

#include "core/PasswordLine.h"
#include "core/Secret.h"
#include "win/Scoped.h"
#include "win/Strings.h"

#include <aclapi.h>

namespace {

// Rights that read the file, or let their holder give themselves that right.
constexpr ACCESS_MASK ReadingRights =
    FILE_READ_DATA | GENERIC_READ | GENERIC_ALL | MAXIMUM_ALLOWED | WRITE_DAC | WRITE_OWNER;

bool MayRead(PSID sid, PSID owner)
{
    return (owner && EqualSid(sid, owner)) || IsWellKnownSid(sid, WinLocalSystemSid) ||
           IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinCreatorOwnerRightsSid);
}

// True when the access list of the open file lets no one but its owner, Administrators and SYSTEM
// read it. What cannot be judged (no list, which lets everyone in; an entry of another kind)
// counts as readable by others.
bool OnlyOwnerCanRead(HANDLE file)
{
    PSID owner = nullptr;
    PACL dacl = nullptr;
    LocalMemory<void> descriptor;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                        nullptr, &dacl, nullptr, descriptor.Out()) != ERROR_SUCCESS ||
        !dacl)
        return false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry))
            return false;
        const ACE_HEADER* header = static_cast<const ACE_HEADER*>(entry);
        // Entries for files made inside it, and entries that take rights away, give none here.
        if ((header->AceFlags & INHERIT_ONLY_ACE) || header->AceType == ACCESS_DENIED_ACE_TYPE)
            continue;
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE)
            return false;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        if ((allowed->Mask & ReadingRights) && !MayRead(&allowed->SidStart, owner))
            return false;
    }
    return true;
}

// Reads up to MaxPasswordInputBytes, or to the first line end, from an open file or pipe.
bool ReadLineBytes(HANDLE input, std::string& bytes)
{
    char chunk[512];
    while (bytes.size() < MaxPasswordInputBytes && bytes.find('\n') == std::string::npos) {
        DWORD read = 0;
        if (!ReadFile(input, chunk, sizeof chunk, &read, nullptr))
            return GetLastError() == ERROR_BROKEN_PIPE; // the writer is done
        if (read == 0)
            break;
        bytes.append(chunk, read);
        SecureZeroMemory(chunk, sizeof chunk);
    }
    return true;
}

PasswordRead PasswordFromBytes(std::string& bytes)
{
    PasswordRead read;
    std::string line = FirstLine(bytes);
    SecretWiper clearLine(line);
    ClearSecret(bytes);
    std::wstring wide = FromUtf8(line);
    std::optional<std::string> ansi = ToAnsi(wide);
    ClearSecret(wide);
    if (!ansi) {
        read.result = PasswordInput::NotInCodePage;
        return read;
    }
    read.result = PasswordInput::Read;
    read.password = std::move(*ansi);
    return read;
}

} // namespace

PasswordRead ReadPasswordFile(const std::wstring& path)
{
    PasswordRead read;
    UniqueHandle file = OwnHandle(CreateFileW(path.c_str(), GENERIC_READ | READ_CONTROL, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        read.error = GetLastError();
        return read;
    }
    LARGE_INTEGER size = {};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) ||
        size.QuadPart > static_cast<LONGLONG>(MaxPasswordInputBytes)) {
        read.result = PasswordInput::NotAFile;
        return read;
    }
    if (!OnlyOwnerCanRead(file.get())) {
        read.result = PasswordInput::NotPrivate;
        return read;
    }
    std::string bytes;
    if (!ReadLineBytes(file.get(), bytes)) {
        read.error = GetLastError();
        ClearSecret(bytes);
        return read;
    }
    return PasswordFromBytes(bytes);
}

bool StandardInputIsRedirected()
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (!input || input == INVALID_HANDLE_VALUE)
        return false;
    const DWORD type = GetFileType(input);
    return type == FILE_TYPE_PIPE || type == FILE_TYPE_DISK;
}

PasswordRead ReadPasswordFromStandardInput()
{
    PasswordRead read;
    std::string bytes;
    if (!StandardInputIsRedirected() || !ReadLineBytes(GetStdHandle(STD_INPUT_HANDLE), bytes)) {
        read.error = GetLastError();
        ClearSecret(bytes);
        return read;
    }
    return PasswordFromBytes(bytes);
}

bool SomeoneCanAnswer()
{
    const HWINSTA station = GetProcessWindowStation();
    USEROBJECTFLAGS flags = {};
    if (!station || !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr))
        return false;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

void WriteStandardError(const std::string& text)
{
    WriteStandardError(ToWide(text));
}

void WriteStandardError(const std::wstring& text)
{
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (!error || error == INVALID_HANDLE_VALUE)
        return;
    std::string lines;
    for (char c : ToUtf8(text)) {
        if (c == '\n')
            lines += '\r';
        lines += c;
    }
    lines += "\r\n";
    DWORD written = 0;
    WriteFile(error, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
}
