#include "win/LongPaths.h"

#include "core/Paths.h"
#include "win/Scoped.h"
#include "win/Strings.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

namespace {

// Far more names than the folders of one look's programs hold; past it, Windows is asked.
constexpr std::size_t MaxNames = 1u << 16;

enum class ShortForm { No, Yes, Unknown };

// Whether Windows could take name for a short (8.3) name: GetLongPathNameW puts the long name in
// the place of such a component and keeps any other as written. Unknown beyond ASCII, where the
// OEM code page decides.
ShortForm ShortFormOf(const std::wstring& name)
{
    if (name.size() > 12)
        return ShortForm::No;
    if (std::any_of(name.begin(), name.end(), [](wchar_t c) { return c >= 0x80; }))
        return ShortForm::Unknown;
    const std::size_t dot = name.find(L'.');
    if (dot == std::wstring::npos) {
        if (name.size() > 8)
            return ShortForm::No;
    } else if (dot == 0 || dot > 8 || name.size() - dot > 4 || dot + 1 == name.size() ||
               name.find(L'.', dot + 1) != std::wstring::npos) {
        return ShortForm::No;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == L' ' && (i == 0 || i + 1 == name.size() || name[i + 1] == L'.'))
            return ShortForm::No;
        if (std::wstring_view(L"*?<>|\"+=,;[]:/\\").find(name[i]) != std::wstring_view::npos)
            return ShortForm::No;
    }
    return ShortForm::Yes;
}

// "X:\name\...\name": the form looked up here. Any other (a server's, a relative one, one with
// "." or "..", a name Windows trims or reads as a pattern) is left to Windows.
bool IsPlainPath(const std::wstring& path)
{
    const wchar_t drive = path.size() > 3 ? static_cast<wchar_t>(path[0] | 0x20) : 0;
    if (drive < L'a' || drive > L'z' || path[1] != L':' || path[2] != L'\\')
        return false;
    std::size_t start = 3;
    for (;;) {
        const std::size_t end = std::min(path.find(L'\\', start), path.size());
        const std::wstring_view name(path.data() + start, end - start);
        if (name.empty() || name == L"." || name == L".." || name.back() == L'.' || name.back() == L' ' ||
            name.find_first_of(L"/*?<>\":|") != std::wstring_view::npos)
            return false;
        if (end == path.size())
            return true;
        start = end + 1;
    }
}

} // namespace

std::wstring LongPaths::LongForm(const std::wstring& path)
{
    // Windows gives a short name a '~' wherever it differs from the long one: a path without one
    // is long already.
    if (path.find(L'~') == std::wstring::npos)
        return path;
    // A server's path is never looked up: that would reach the server. (A letter mapped to one,
    // the caller leaves out: see LocalPaths.)
    if (!HasDriveLetterForm(path))
        return path;
    if (!IsPlainPath(path))
        return SystemLongForm(path);
    std::wstring longPath = path.substr(0, 2);
    for (std::size_t start = 3; start <= path.size();) {
        const std::size_t end = std::min(path.find(L'\\', start), path.size());
        const std::wstring name = path.substr(start, end - start);
        const Listing& listing = ListingOf(longPath);
        if (!listing.read)
            return SystemLongForm(path);
        const auto found = listing.names.find(Folded(name));
        if (found == listing.names.end())
            return listing.complete ? path : SystemLongForm(path);
        if (end < path.size() && !found->second.folder)
            return path; // no path leads through a file
        longPath += L'\\';
        if (name == found->second.name) {
            longPath += name;
        } else {
            const ShortForm form = ShortFormOf(name);
            if (form == ShortForm::Unknown)
                return SystemLongForm(path);
            longPath += form == ShortForm::Yes ? found->second.name : name;
        }
        start = end + 1;
    }
    return longPath;
}

const LongPaths::Listing& LongPaths::ListingOf(const std::wstring& folder)
{
    const auto [known, added] = m_listings.try_emplace(Folded(folder));
    Listing& listing = known->second;
    if (!added)
        return listing;
    WIN32_FIND_DATAW entry;
    // The standard level fills in each entry's short name.
    const UniqueFind find = OwnFind(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoStandard, &entry,
                                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return listing;
    listing.read = true;
    do {
        if (m_names >= MaxNames)
            return listing;
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const Entry found{name, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
        // A long name wins over another entry's short name of the same letters, as when Windows
        // looks one name up.
        listing.names.insert_or_assign(Folded(name), found);
        ++m_names;
        if (entry.cAlternateFileName[0]) {
            listing.names.try_emplace(Folded(entry.cAlternateFileName), found);
            ++m_names;
        }
    } while (FindNextFileW(find.get(), &entry));
    listing.complete = GetLastError() == ERROR_NO_MORE_FILES;
    return listing;
}

std::wstring SystemLongForm(const std::wstring& path)
{
    return GrowString<wchar_t>([&](wchar_t* buffer, DWORD size) -> DWORD {
               const DWORD n = GetLongPathNameW(path.c_str(), buffer, size);
               return n > 32768 ? 0 : n; // no path is longer
           })
        .value_or(path);
}

std::wstring Folded(std::wstring text)
{
    if (!text.empty())
        CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}
