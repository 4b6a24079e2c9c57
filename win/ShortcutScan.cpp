#include "win/ShortcutScan.h"

#include "core/LaunchRequest.h"
#include "core/ProtectRules.h"
#include "core/Scramble.h"
#include "core/Secret.h"
#include "win/Files.h"
#include "win/LongPaths.h"
#include "win/Scoped.h"
#include "win/ShellLink.h"
#include "win/Strings.h"
#include "win/SystemLauncher.h"

#include <shlobj.h>

#include <set>
#include <utility>

namespace {

constexpr int kMaxDepth = 32;

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
    std::wstring expanded(32768, L'\0');
    const DWORD n = ExpandEnvironmentStringsW(value.c_str(), &expanded[0], static_cast<DWORD>(expanded.size()));
    if (n == 0 || n > expanded.size())
        return std::wstring();
    expanded.resize(n - 1);
    return expanded;
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

class Walk {
public:
    Walk(ShortcutScan& scan, const std::atomic<bool>* stop, const ScanProgress& progress)
        : m_scan(scan), m_stop(stop), m_progress(progress), m_system(SystemDirectory().value_or(std::string())),
          m_shortSystem(ShortPathName(m_system).value_or(std::string()))
    {
    }

    bool Stopped() const { return m_stop && m_stop->load(); }

    void Folder(const std::wstring& path, int depth)
    {
        if (Stopped() || !Enter(path, depth))
            return;
        WIN32_FIND_DATAW entry;
        const UniqueFind find = OwnFind(FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &entry,
                                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (!find) {
            if (GetLastError() != ERROR_FILE_NOT_FOUND)
                ++m_scan.unreadable;
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
        for (const std::wstring& folder : folders)
            Folder(folder, depth + 1);
    }

    // Marks the shortcuts that start a program a protected shortcut guards.
    void MarkUnprotectedWays()
    {
        for (size_t i = 0; i < m_scan.found.size(); ++i)
            if (m_scan.found[i].state == ShortcutState::NotProtected && !m_programs[i].empty() &&
                m_guarded.count(Folded(m_programs[i])))
                m_scan.found[i].state = ShortcutState::StartsProtectedProgram;
    }

private:
    // True the first time a folder is reached, within the depth, and readable: a folder is known
    // by its volume and file index, however it is reached (a second name, a link Windows does not
    // mark as one).
    bool Enter(const std::wstring& path, int depth)
    {
        if (depth > kMaxDepth)
            return false;
        UniqueHandle folder = OwnHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION info;
        if (!folder || !GetFileInformationByHandle(folder.get(), &info)) {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
                ++m_scan.unreadable;
            return false;
        }
        const auto id = std::make_pair(info.dwVolumeSerialNumber,
                                       (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
        return m_visited.insert(id).second;
    }

    void Shortcut(const std::wstring& linkPath)
    {
        std::wstring target, arguments;
        if (FAILED(m_reader.Read(linkPath, target, arguments))) {
            ++m_scan.unreadable;
            return;
        }
        FoundShortcut found;
        found.path = ToUtf8(linkPath);
        std::wstring program;
        const std::optional<std::string> ansiTarget = ToAnsi(target);
        if (ansiTarget && IsSystemLauncher(*ansiTarget, m_system, m_shortSystem)) {
            const std::string argument = ToAnsi(arguments).value_or(std::string());
            // Read only when it is a local record file: a shortcut's argument must not make the
            // elevated tool open a file on a server, nor anything that is not a record. The path
            // checked is the one ReadLaunchRequest reads: the argument unscrambled.
            const bool local = m_records.Allows(Unscramble(argument));
            LaunchRequest request = ReadLaunchRequest(argument, local ? &ReadWholeFile : &ReadNothing);
            ClearSecret(request.record.password); // a look needs none
            if (request.problem == LaunchProblem::None) {
                program = m_longPaths.LongForm(ToWide(request.program.targetPath));
                found.state = LauncherPresent() ? ShortcutState::Protected : ShortcutState::LauncherMissing;
                m_guarded.insert(Folded(program));
            } else if (request.problem == LaunchProblem::CannotOpen && local &&
                       GetFileAttributesA(request.recordPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
                found.state = ShortcutState::RecordMissing;
            } else {
                // There but not readable as a record, or not a record the tool will open.
                found.state = ShortcutState::RecordDamaged;
            }
            found.program = ToUtf8(program);
        } else {
            program = target.empty() ? target : m_longPaths.LongForm(target);
            found.program = ToUtf8(program);
        }
        m_scan.found.push_back(std::move(found));
        m_programs.push_back(program);
        if (m_progress)
            m_progress(m_scan.found.size());
    }

    bool LauncherPresent()
    {
        if (m_launcherPresent < 0) {
            const std::optional<std::string> launcher = SystemLauncherPath();
            m_launcherPresent = launcher && GetFileAttributesA(launcher->c_str()) != INVALID_FILE_ATTRIBUTES;
        }
        return m_launcherPresent > 0;
    }

    ShortcutScan& m_scan;
    const std::atomic<bool>* m_stop;
    const ScanProgress& m_progress;
    StoredShortcutReader m_reader;
    LongPaths m_longPaths;
    LocalRecordFiles m_records;
    const std::string m_system, m_shortSystem; // the system folder, long and short
    std::set<std::pair<DWORD, unsigned long long>> m_visited;
    std::vector<std::wstring> m_programs; // beside m_scan.found: the program each one starts, long form
    std::set<std::wstring> m_guarded;     // the programs protected shortcuts start, folded
    int m_launcherPresent = -1;
};

} // namespace

std::vector<std::wstring> ShortcutFolders()
{
    std::vector<std::wstring> profiles;
    HKEY list = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                      KEY_READ | KEY_WOW64_64KEY, &list) == ERROR_SUCCESS) {
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = ARRAYSIZE(name);
            if (RegEnumKeyExW(list, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            HKEY profile = nullptr;
            if (RegOpenKeyExW(list, name, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &profile) == ERROR_SUCCESS) {
                profiles.push_back(RegistryPath(profile, L"ProfileImagePath"));
                RegCloseKey(profile);
            }
        }
        const std::wstring publicProfile = RegistryPath(list, L"Public");
        RegCloseKey(list);
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

ShortcutScan ScanShortcuts(const std::vector<std::wstring>& folders, const std::atomic<bool>* stop,
                           const ScanProgress& progress)
{
    ShortcutScan scan;
    Walk walk(scan, stop, progress);
    for (const std::wstring& folder : folders)
        walk.Folder(folder, 0);
    walk.MarkUnprotectedWays();
    return scan;
}
