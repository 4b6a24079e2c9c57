// The long form of many paths, for a look over many shortcuts.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

// Gives paths in the long form GetLongPathNameW gives, listing each folder on their way once and
// looking every later path through it up in that list. Under Wine, GetLongPathNameW lists a
// folder for each short name it meets, so a thousand short paths into one folder of thousands of
// files would cost a thousand listings of it.
//
// A path that does not exist, or is not in a drive letter's form (a server's), comes back as it is. The lists are kept from their first use: hold
// one object for one look only.
class LongPaths {
public:
    std::wstring LongForm(const std::wstring& path);

private:
    struct Entry {
        std::wstring name; // the long name
        bool folder;
    };
    struct Listing {
        bool read = false;     // false: the folder could not be listed
        bool complete = false; // false: it held more names than the budget had room for
        std::unordered_map<std::wstring, Entry> names; // by long and short name, folded
    };

    const Listing& ListingOf(const std::wstring& folder);

    std::unordered_map<std::wstring, Listing> m_listings; // by the folder's long path, folded
    std::size_t m_names = 0;                              // held in all the lists
};

// GetLongPathNameW's answer for one path; the path as it is when there is none.
std::wstring SystemLongForm(const std::wstring& path);

// The text in one case, for comparing paths and names as Windows does.
std::wstring Folded(std::wstring text);
