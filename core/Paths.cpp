#include "core/Paths.h"

namespace {

std::string::size_type LastSeparator(const std::string& path)
{
    return path.find_last_of("\\/");
}

} // namespace

std::string FileName(const std::string& path)
{
    std::string::size_type slash = LastSeparator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string BaseName(const std::string& path)
{
    std::string name = FileName(path);
    std::string::size_type dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string FolderOf(const std::string& path)
{
    std::string::size_type slash = LastSeparator(path);
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string FolderToOpen(const std::string& path)
{
    const std::string folder = FolderOf(path);
    return folder.size() == 2 && folder[1] == ':' ? folder + '\\' : folder;
}

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
