#include "win/ShortcutLook.h"

#include "core/LaunchRequest.h"
#include "core/ProtectRules.h"
#include "core/Scramble.h"
#include "core/Secret.h"
#include "core/ShortcutState.h"
#include "win/Files.h"
#include "win/LocalPaths.h"
#include "win/LongPaths.h"
#include "win/Scoped.h"
#include "win/ShellLink.h"
#include "win/ShortcutStore.h"
#include "win/Strings.h"
#include "win/SystemLauncher.h"

#include <shlobj.h>

#include <set>
#include <unordered_map>
#include <utility>

namespace {

constexpr int MaxDepth = 32;

// A text value of a registry key, environment variables expanded; empty when there is none.
std::wstring RegistryPath(HKEY key, const wchar_t* name)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size > 65536)
        return std::wstring();
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]), &size) != ERROR_SUCCESS)
        return std::wstring();
    value.resize(wcsnlen(value.c_str(), value.size()));
    if (type == REG_SZ)
        return value;
    return ExpandEnvironment(value).value_or(std::wstring());
}

std::wstring KnownFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool EndsWithLnk(const std::wstring& name)
{
    return name.size() > 4 && Folded(name.substr(name.size() - 4)) == L".LNK";
}

std::optional<std::string> ReadNothing(const std::string&)
{
    return std::nullopt;
}

// The path the system reached an open folder by, after every link and junction on the way, in
// the form it was asked by (without "\\?\", a server's as "\\server\share").
std::wstring FinalPath(HANDLE folder)
{
    std::wstring path = GrowString<wchar_t>([folder](wchar_t* buffer, DWORD size) {
                            return GetFinalPathNameByHandleW(folder, buffer, size, FILE_NAME_NORMALIZED);
                        }).value_or(std::wstring());
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        return L"\\" + path.substr(7);
    return path.compare(0, 4, L"\\\\?\\") == 0 ? path.substr(4) : path;
}

std::wstring WithoutClosingSeparator(std::wstring path)
{
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return path;
}

// What a record read once tells every shortcut that names it.
struct RecordSeen {
    ShortcutFacts facts;
    std::string program;    // its target in the long form, UTF-8
    std::string recordPath; // unscrambled
};

class Walk {
public:
    Walk(ShortcutLook& look, const std::atomic<bool>* stop, const LookProgress& progress)
        : m_look(look), m_stop(stop), m_progress(progress), m_system(SystemDirectory().value_or(std::string())),
          m_shortSystem(ShortPathName(m_system).value_or(std::string()))
    {
    }

    bool Stopped() const { return m_look.limitReached || (m_stop && m_stop->load()); }

    // A place shortcuts are kept. Not entered when it is reached through a link or junction: a
    // user could point their own Desktop at a tree of their choosing. Held while it is listed, so
    // that it cannot be swapped for one meanwhile.
    void StartFolder(const std::wstring& path)
    {
        UniqueHandle held = Open(path);
        if (!held)
            return;
        if (Folded(WithoutClosingSeparator(FinalPath(held.get()))) !=
            Folded(WithoutClosingSeparator(SystemLongForm(path)))) {
            ++m_look.unreadable;
            return;
        }
        Folder(path, 0, held.get());
    }

    // Marks the shortcuts that start a program a protected shortcut guards.
    void MarkUnprotectedWays()
    {
        for (FoundShortcut& found : m_look.found) {
            if (found.state != ShortcutState::NotProtected || found.program.empty())
                continue;
            ShortcutFacts facts;
            facts.programChars = 0; // checked when it was found
            facts.startsProtectedProgram = m_guarded.count(Folded(FromUtf8(found.program))) > 0;
            found.state = StateOf(facts).value_or(found.state);
        }
    }

private:
    void Folder(const std::wstring& path, int depth, HANDLE held = nullptr)
    {
        UniqueHandle opened;
        if (!held) {
            opened = Open(path);
            held = opened.get();
        }
        if (Stopped() || !held || !Enter(held, depth))
            return;
        WIN32_FIND_DATAW entry;
        const UniqueFind find = OwnFind(FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &entry,
                                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (!find) {
            if (GetLastError() != ERROR_FILE_NOT_FOUND)
                ++m_look.unreadable;
            return;
        }
        std::vector<std::wstring> folders;
        do {
            if (Stopped())
                break;
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                // A junction or symbolic link may lead anywhere, back up the tree included.
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    folders.push_back(path + L"\\" + name);
            } else if (EndsWithLnk(name)) {
                Shortcut(path + L"\\" + name);
            }
        } while (FindNextFileW(find.get(), &entry));
        opened.reset();
        for (const std::wstring& folder : folders)
            Folder(folder, depth + 1);
    }

    // The folder itself, listable; nobody may rename or delete it while it is open. Null (counted
    // as not read, unless it is simply not there) when it cannot be opened.
    UniqueHandle Open(const std::wstring& path)
    {
        UniqueHandle folder = OwnHandle(CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!folder) {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
                ++m_look.unreadable;
        }
        return folder;
    }

    // True the first time a folder is reached, within the depth and the bound on folders: a folder
    // is known by its volume and file index, however it is reached (a second name, a link Windows
    // does not mark as one).
    bool Enter(HANDLE folder, int depth)
    {
        if (depth > MaxDepth)
            return false;
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(folder, &info)) {
            ++m_look.unreadable;
            return false;
        }
        const auto id = std::make_pair(info.dwVolumeSerialNumber,
                                       (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
        if (m_visited.count(id))
            return false;
        if (m_visited.size() >= MaxLookFolders) {
            m_look.limitReached = true;
            return false;
        }
        m_visited.insert(id);
        return true;
    }

    void Shortcut(const std::wstring& linkPath)
    {
        if (m_look.found.size() >= MaxLookShortcuts) {
            m_look.limitReached = true;
            return;
        }
        std::wstring target, arguments;
        if (FAILED(m_reader.Read(linkPath, target, arguments))) {
            ++m_look.unreadable;
            return;
        }
        ShortcutFacts facts;
        std::string program, recordPath;
        const std::optional<std::string> ansiTarget = ToAnsi(target);
        facts.startsLauncher = ansiTarget && IsSystemLauncher(*ansiTarget, m_system, m_shortSystem);
        if (facts.startsLauncher) {
            const RecordSeen& record = Record(ToAnsi(arguments).value_or(std::string()));
            facts = record.facts;
            program = record.program;
            recordPath = record.recordPath;
        } else {
            facts.programChars = target.size();
            // A program on a server is shown as stored: looking it up would reach the server.
            if (!target.empty() && target.size() <= MaxProgramChars)
                program = ToUtf8(m_local.IsLocal(target) ? m_longPaths.LongForm(target) : target);
        }
        const std::optional<ShortcutState> state = StateOf(facts);
        if (!state) {
            ++m_look.unreadable;
            return;
        }
        FoundShortcut found;
        found.path = ToUtf8(linkPath);
        found.program = std::move(program);
        found.recordPath = std::move(recordPath);
        found.state = *state;
        m_look.found.push_back(std::move(found));
        if (m_progress)
            m_progress(m_look.found.size());
    }

    // The facts of the record a protected shortcut's argument names, read once per look however
    // many shortcuts name it.
    const RecordSeen& Record(const std::string& argument)
    {
        const auto [known, added] = m_records.try_emplace(argument);
        RecordSeen& seen = known->second;
        if (!added)
            return seen;
        // Read only when it is a local record file: a shortcut's argument must not make the
        // elevated tool open a file on a server, nor anything that is not a record. The path
        // checked is the one ReadLaunchRequest reads: the argument unscrambled.
        const bool local = m_recordFiles.Allows(Unscramble(argument));
        std::optional<std::string> (*const readRecord)(const std::string&) = &ReadWholeFile;
        LaunchRequest request = ReadLaunchRequest(argument, local ? readRecord : &ReadNothing);
        ClearSecret(request.record.password); // a look needs none
        seen.facts.startsLauncher = true;
        seen.facts.recordProblem = request.problem;
        seen.facts.recordLocal = local;
        seen.facts.launcherPresent = LauncherPresent();
        seen.recordPath = ToUtf8(ToWide(request.recordPath));
        if (request.problem == LaunchProblem::CannotOpen && local)
            seen.facts.recordFileExists = GetFileAttributesA(request.recordPath.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (request.problem == LaunchProblem::None) {
            const std::wstring target = ToWide(request.program.targetPath);
            seen.facts.programChars = target.size();
            if (target.size() <= MaxProgramChars) {
                const std::wstring program = m_local.IsLocal(target) ? m_longPaths.LongForm(target) : target;
                seen.program = ToUtf8(program);
                m_guarded.insert(Folded(program));
            }
        } else if (request.problem == LaunchProblem::CannotOpen && local && !seen.facts.recordFileExists) {
            seen.program = KeptCopyProgram(request.recordPath);
        }
        return seen;
    }

    // The program of a missing record, from the copy Latchkey kept of it (a check gives it back);
    // empty when there is none. It guards nothing while the record is gone.
    std::string KeptCopyProgram(const std::string& recordPath)
    {
        const std::optional<StoredShortcut> entry = PeekOriginalShortcut(recordPath);
        if (!entry || entry->recordBytes.empty())
            return std::string();
        RecordReadResult copy = ParseProtectionRecord(entry->recordBytes);
        ClearSecret(copy.record.password);
        const CommandLineParts parts = SplitCommandLine(copy.record.commandLine);
        if (copy.status != RecordStatus::Ok || !parts.ok || parts.targetPath.empty())
            return std::string();
        const std::wstring target = ToWide(parts.targetPath);
        return ToUtf8(target.size() <= MaxProgramChars && m_local.IsLocal(target) ? m_longPaths.LongForm(target)
                                                                                  : target);
    }

    bool LauncherPresent()
    {
        if (m_launcherPresent < 0) {
            const std::optional<std::string> launcher = SystemLauncherPath();
            m_launcherPresent = launcher && GetFileAttributesA(launcher->c_str()) != INVALID_FILE_ATTRIBUTES;
        }
        return m_launcherPresent > 0;
    }

    ShortcutLook& m_look;
    const std::atomic<bool>* m_stop;
    const LookProgress& m_progress;
    StoredShortcutReader m_reader;
    LongPaths m_longPaths;
    LocalPaths m_local;
    LocalRecordFiles m_recordFiles;
    const std::string m_system, m_shortSystem; // the system folder, long and short
    std::set<std::pair<DWORD, unsigned long long>> m_visited;
    std::unordered_map<std::string, RecordSeen> m_records; // by the shortcut's argument
    std::set<std::wstring> m_guarded; // the programs protected shortcuts start, long form, folded
    int m_launcherPresent = -1;
};

} // namespace

std::vector<std::wstring> ShortcutFolders()
{
    std::vector<std::wstring> profiles;
    UniqueKey list = OpenKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                             KEY_READ | KEY_WOW64_64KEY);
    if (list) {
        wchar_t name[256]; // a key's name has at most 255 characters
        for (DWORD i = 0;; ++i) {
            DWORD length = ARRAYSIZE(name);
            if (RegEnumKeyExW(list.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            if (UniqueKey profile = OpenKey(list.get(), name, KEY_QUERY_VALUE | KEY_WOW64_64KEY))
                profiles.push_back(RegistryPath(profile.get(), L"ProfileImagePath"));
        }
        const std::wstring publicProfile = RegistryPath(list.get(), L"Public");
        if (!publicProfile.empty())
            profiles.push_back(publicProfile);
    }

    std::vector<std::wstring> candidates;
    for (const std::wstring& profile : profiles) {
        if (profile.empty())
            continue;
        candidates.push_back(profile + L"\\Desktop");
        candidates.push_back(profile + L"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu");
        // Holds User Pinned\TaskBar and User Pinned\StartMenu.
        candidates.push_back(profile + L"\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch");
    }
    // This account's and everyone's own places, wherever they were moved to.
    for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_STARTMENU, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_STARTMENU})
        candidates.push_back(KnownFolder(csidl));

    std::vector<std::wstring> folders;
    std::set<std::wstring> seen;
    for (const std::wstring& folder : candidates)
        if (!folder.empty() && IsFolder(folder) && seen.insert(Folded(folder)).second)
            folders.push_back(folder);
    return folders;
}

ShortcutLook LookForShortcuts(const std::vector<std::wstring>& folders, const std::atomic<bool>* stop,
                           const LookProgress& progress)
{
    ShortcutLook look;
    Walk walk(look, stop, progress);
    for (const std::wstring& folder : folders)
        walk.StartFolder(folder);
    walk.MarkUnprotectedWays();
    return look;
}
