#include "core/Paths.h"

namespace {

template <class Char>
typename std::basic_string<Char>::size_type LastSeparator(const std::basic_string<Char>& path)
{
    const Char separators[] = {Char('\\'), Char('/'), Char()};
    return path.find_last_of(separators);
}

template <class Char>
std::basic_string<Char> FileNameOf(const std::basic_string<Char>& path)
{
    const auto slash = LastSeparator(path);
    return slash == std::basic_string<Char>::npos ? path : path.substr(slash + 1);
}

template <class Char>
std::basic_string<Char> BaseNameOf(const std::basic_string<Char>& path)
{
    const std::basic_string<Char> name = FileNameOf(path);
    const auto dot = name.rfind(Char('.'));
    return dot == std::basic_string<Char>::npos ? name : name.substr(0, dot);
}

template <class Char>
std::basic_string<Char> FolderPart(const std::basic_string<Char>& path)
{
    const auto slash = LastSeparator(path);
    return slash == std::basic_string<Char>::npos ? std::basic_string<Char>() : path.substr(0, slash);
}

template <class Char>
std::basic_string<Char> OpenableFolder(const std::basic_string<Char>& path)
{
    const std::basic_string<Char> folder = FolderPart(path);
    return folder.size() == 2 && folder[1] == Char(':') ? folder + Char('\\') : folder;
}

} // namespace

std::string FileName(const std::string& path) { return FileNameOf(path); }
std::wstring FileName(const std::wstring& path) { return FileNameOf(path); }
std::string BaseName(const std::string& path) { return BaseNameOf(path); }
std::wstring BaseName(const std::wstring& path) { return BaseNameOf(path); }
std::string FolderOf(const std::string& path) { return FolderPart(path); }
std::wstring FolderOf(const std::wstring& path) { return FolderPart(path); }
std::string FolderToOpen(const std::string& path) { return OpenableFolder(path); }
std::wstring FolderToOpen(const std::wstring& path) { return OpenableFolder(path); }

bool IsDriveRoot(const std::string& path)
{
    const bool letter = !path.empty() && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return letter && (path.size() == 2 || (path.size() == 3 && (path[2] == '\\' || path[2] == '/'))) && path[1] == ':';
}

std::string LowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string DecimalText(unsigned long number, std::size_t width)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + number % 10));
        number /= 10;
    } while (number != 0);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return digits;
}

std::string LastCharacters(const std::string& text, std::string::size_type count)
{
    return text.size() <= count ? text : text.substr(text.size() - count);
}

namespace {

template <class Char>
bool DriveLetterForm(const std::basic_string<Char>& path)
{
    const Char letter = path.size() >= 3 ? static_cast<Char>(path[0] | 0x20) : Char();
    return letter >= 'a' && letter <= 'z' && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

} // namespace

bool HasDriveLetterForm(const std::string& path)
{
    return DriveLetterForm(path);
}

bool HasDriveLetterForm(const std::wstring& path)
{
    return DriveLetterForm(path);
}

bool IsDeviceOrStreamPath(const std::string& path)
{
    const bool twoSeparators = path.size() >= 4 && (path[0] == '\\' || path[0] == '/') &&
                               (path[1] == '\\' || path[1] == '/');
    if (twoSeparators && (path[2] == '.' || path[2] == '?') && (path[3] == '\\' || path[3] == '/'))
        return true;
    // The NT form of either, as the system takes it too.
    if (path.compare(0, 4, "\\??\\") == 0)
        return true;
    const std::string::size_type colon = path.find(':');
    return colon != std::string::npos && !(colon == 1 && path.find(':', 2) == std::string::npos);
}
