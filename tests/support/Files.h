// Files for the Windows tests: whole-file bytes, folders, a scratch folder that cleans up after
// itself, and paths to delete at the end. Binary throughout: no byte is special.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lktest {

// All bytes of a file; nullopt when it cannot be opened or read. Compares with a string in
// EXPECT_EQ, where a file that is not there shows as (nullopt).
std::optional<std::string> ReadFileBytes(const std::string& path);
// Creates or replaces the file with exactly these bytes; false when any step fails, close included.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

bool FileExists(const std::string& path);
// Makes a folder and the folders on the way; true when it exists afterwards.
bool MakeFolders(const std::string& path);
// Removes a folder with everything in it (read-only entries too).
void RemoveTree(const std::string& folder);
// The names in a folder, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& folder);

// Every file and folder below root with its bytes, attributes and creation and last-write times,
// by path: two snapshots differ when anything was made, removed or written. Folders named
// skipFolder are not entered (a link back up the tree).
std::map<std::string, std::string> TreeSnapshot(const std::string& root, const std::string& skipFolder = "");

// A fresh folder "<name> <process id>" under the temporary folder, removed with everything in it
// when it goes. The blank in its name keeps every path below it long.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // A path inside; the folders on the way to it are made, the last part is not.
    std::string operator/(const std::string& relative) const;
    // A folder inside, made with the folders on the way.
    std::string Folder(const std::string& relative) const;

private:
    std::string m_path;
};

// Files and folders a test puts outside a scratch folder (the system folder, a drive's root),
// deleted in reverse order when it goes, whatever the outcome.
class RemoveAtEnd {
public:
    RemoveAtEnd() = default;
    ~RemoveAtEnd();
    RemoveAtEnd(const RemoveAtEnd&) = delete;
    RemoveAtEnd& operator=(const RemoveAtEnd&) = delete;

    // Returns the path, so that it can be named where it is made.
    std::string Add(const std::string& path);

private:
    std::vector<std::string> m_paths;
};

} // namespace lktest
