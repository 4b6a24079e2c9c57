// A look over the machine's shortcuts that changes nothing: every .lnk file is opened for
// reading only and never resolved, every protected one's record is read through the launcher's
// bounded reader, and nothing is written.
#pragma once

#include "core/ShortcutReport.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Where shortcuts are kept, for every profile on the machine and not only the account this runs
// as: each profile's Desktop, Start menu and Quick Launch (with the shortcuts pinned to the task
// bar and the Start menu), Public's Desktop and the all-users Start menu. Folders that do not
// exist are left out.
std::vector<std::wstring> ShortcutFolders();

struct ShortcutLook {
    std::vector<FoundShortcut> found;
    int unreadable = 0; // folders and shortcuts that could not be read, and were skipped
    bool limitReached = false; // it stopped at MaxLookShortcuts or MaxLookFolders
};

// Told the number of shortcuts found so far, after each one.
using LookProgress = std::function<void(size_t found)>;

// Looks through the folders and their subfolders, each folder once however it is reached, never
// through a junction or symbolic link (a start folder reached through one is counted as not
// read), at most 32 levels deep and up to the look's limits, and tells each shortcut's state.
// Each record is read once; a program on a server is told as stored, never looked up.
// Once *stop is set it ends within one shortcut's read and tells what it had found. Needs COM on
// the calling thread.
ShortcutLook LookForShortcuts(const std::vector<std::wstring>& folders, const std::atomic<bool>* stop = nullptr,
                           const LookProgress& progress = nullptr);
