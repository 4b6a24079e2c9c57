// lk_bench_look FOLDER SHORTCUTS PROTECTED ROUNDS: the look over the machine's shortcuts
// (LookForShortcuts, as /report runs it) against the least the platform must do for the same answer,
// on SHORTCUTS shortcuts, PROTECTED of them protected, spread over four profiles' Desktop, Start
// menu and pinned Quick Launch folders under FOLDER (made once, kept for later runs).
//
// Raw: FindFirstFileEx over the same folders, each .lnk loaded once and its target and arguments
// read, each protected shortcut's record read once.
//
// Prints one line a run: kind ("look" or "look-raw"), microseconds, and for the look the working
// set it added while its result was held, in bytes, and the microseconds from its start to its
// first progress callback (the shortcuts window counts from that callback); then
// "first-look<TAB>microseconds to the first progress of the process's first look" and
// "found<TAB>N".
//
// lk_bench_look FOLDER SHORTCUTS PROTECTED ROUNDS check KEPT REPROTECT: /check (CheckKeptPrograms)
// over such a machine whose four profiles are registered as the machine's, KEPT programs kept and
// REPROTECT of their shortcuts (the first ones) put back unprotected before each round, against
// the work it cannot avoid: the raw walk and loads above, then the single command's work for each
// of those shortcuts (LoadShortcutForProtection, ApplyProtection, its history line). Prints
// "check<TAB>microseconds" and "check-raw<TAB>microseconds" a round.
#include "app/KeepCommand.h"
#include "core/KeptPrograms.h"
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "tools/bench/BenchTools.h"
#include "framework/Framework.h"
#include "win/Files.h"
#include "win/History.h"
#include "win/KeptStore.h"
#include "win/ProtectFiles.h"
#include "win/ShortcutLook.h"
#include "win/ShortcutStore.h"

#include <windows.h>
#include <psapi.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

using bench::Timer;
using bench::Wide;

[[noreturn]] void Fail(const std::string& what)
{
    bench::Fail("lk_bench_look", what);
}

size_t WorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

std::vector<std::string> Folders(const std::string& root)
{
    std::vector<std::string> folders;
    for (int profile = 1; profile <= 4; ++profile) {
        const std::string base = root + "\\Profile " + std::to_string(profile);
        folders.push_back(base + "\\Desktop");
        folders.push_back(base + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu");
        folders.push_back(base + "\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch");
    }
    return folders;
}

// Where the n-th shortcut goes: one of the twelve places, some a level or two down, as in a Start menu.
std::string PlaceOf(const std::vector<std::string>& folders, int n)
{
    const std::string& folder = folders[static_cast<size_t>(n) % folders.size()];
    switch (n % 3) {
    case 0: return folder;
    case 1: return folder + "\\Programs " + std::to_string(n % 7);
    default: return folder + "\\User Pinned\\TaskBar " + std::to_string(n % 5);
    }
}

void MakeFolders(const std::string& path)
{
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

void Save(IShellLinkW* link, const std::string& path, const std::string& target, const std::string& arguments)
{
    ComPtr<IPersistFile> file;
    if (FAILED(link->SetPath(Wide(target).c_str())) || FAILED(link->SetArguments(Wide(arguments).c_str())) ||
        FAILED(link->QueryInterface(IID_PPV_ARGS(&file))) || FAILED(file->Save(Wide(path).c_str(), TRUE)))
        Fail("cannot save " + path);
}

void MakeMachine(const std::string& root, int shortcuts, int protectedCount)
{
    const std::string done = root + "\\made " + std::to_string(shortcuts) + " " + std::to_string(protectedCount);
    if (GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    const std::vector<std::string> folders = Folders(root);
    const std::string apps = root + "\\Apps";
    MakeFolders(apps);
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string launcher = std::string(system) + "\\lkrun3.exe";
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))))
        Fail("no shell link object");
    for (int n = 0; n < shortcuts; ++n) {
        // One program for every ten shortcuts: protected ones, and plain ways into them.
        const std::string program = apps + "\\App " + std::to_string(n / 10) + ".exe";
        if (n % 10 == 0 && !WriteWholeFile(program, "MZ"))
            Fail("cannot write " + program);
        const std::string place = PlaceOf(folders, n);
        MakeFolders(place);
        const std::string path = place + "\\Shortcut " + std::to_string(n) + ".lnk";
        if (n < protectedCount * 10 && n % 10 == 0) {
            char stamp[32];
            std::snprintf(stamp, sizeof stamp, "%014d", n);
            const std::string record = apps + "\\" + stamp + ".lki";
            char shortProgram[MAX_PATH] = {};
            GetShortPathNameA(program.c_str(), shortProgram, MAX_PATH);
            if (!WriteWholeFile(record, FormatProtectionRecord({"pw", std::string(shortProgram) + " -x", ""})))
                Fail("cannot write " + record);
            Save(link.Get(), path, launcher, Scramble(record));
        } else {
            Save(link.Get(), path, program, "--open");
        }
    }
    WriteWholeFile(done, "");
}

// The least work for the same answer: every folder walked once, every shortcut loaded once, every
// protected one's record read once.
size_t Raw(const std::vector<std::wstring>& folders, IShellLinkW* link, IPersistFile* file)
{
    size_t found = 0;
    std::vector<std::wstring> pending(folders);
    std::wstring text(MAX_PATH, L'\0');
    while (!pending.empty()) {
        const std::wstring folder = pending.back();
        pending.pop_back();
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                pending.push_back(path);
                continue;
            }
            if (FAILED(file->Load(path.c_str(), STGM_READ)))
                continue;
            ++found;
            link->GetPath(&text[0], MAX_PATH, nullptr, SLGP_UNCPRIORITY);
            const size_t length = wcslen(text.c_str());
            if (length >= 10 && _wcsicmp(text.c_str() + length - 10, L"lkrun3.exe") == 0) {
                link->GetArguments(&text[0], MAX_PATH);
                char arguments[MAX_PATH] = {};
                WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, arguments, MAX_PATH, nullptr, nullptr);
                ReadWholeFile(Unscramble(arguments));
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    return found;
}

// A look as the shortcuts window runs it, with a progress callback, timed to that callback's first
// call and to its end.
struct TimedLook {
    ShortcutLook result;
    double us = 0, firstProgressUs = -1;
};

TimedLook Look(const std::vector<std::wstring>& folders)
{
    TimedLook look;
    Timer timer;
    look.result = LookForShortcuts(folders, nullptr, [&](size_t) {
        if (look.firstProgressUs < 0)
            look.firstProgressUs = timer.Microseconds();
    });
    look.us = timer.Microseconds();
    return look;
}

// ---- /check

// The four profiles as the machine's (the look's places), taken out again when it goes.
class MachineProfiles {
public:
    explicit MachineProfiles(const std::string& root)
    {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                          KEY_ALL_ACCESS | KEY_WOW64_64KEY, &m_list) != ERROR_SUCCESS)
            Fail("cannot open the profile list");
        for (int profile = 1; profile <= 4; ++profile) {
            HKEY key = nullptr;
            const std::string path = root + "\\Profile " + std::to_string(profile);
            if (RegCreateKeyExA(m_list, Sid(profile).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                                &key, nullptr) != ERROR_SUCCESS ||
                RegSetValueExA(key, "ProfileImagePath", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                               static_cast<DWORD>(path.size() + 1)) != ERROR_SUCCESS)
                Fail("cannot register " + path);
            RegCloseKey(key);
        }
    }
    ~MachineProfiles()
    {
        for (int profile = 1; profile <= 4; ++profile)
            RegDeleteKeyExA(m_list, Sid(profile).c_str(), KEY_WOW64_64KEY, 0);
        RegCloseKey(m_list);
    }
    MachineProfiles(const MachineProfiles&) = delete;
    MachineProfiles& operator=(const MachineProfiles&) = delete;

private:
    static std::string Sid(int profile) { return "S-1-5-21-9999-9999-9999-" + std::to_string(7000 + profile); }
    HKEY m_list = nullptr;
};

// The shortcuts a check protects again, put back unprotected before each round: their records,
// icon copies' shortcuts and kept originals of the round before go.
class Reprotected {
public:
    Reprotected(const std::string& root, int shortcuts, int count)
    {
        const std::vector<std::string> folders = Folders(root);
        ComPtr<IShellLinkW> link;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))))
            Fail("no shell link object");
        for (int n = 0; n < count && n < shortcuts; ++n) {
            const std::string path = PlaceOf(folders, n) + "\\Shortcut " + std::to_string(n) + ".lnk";
            Save(link.Get(), path, root + "\\Apps\\App " + std::to_string(n / 10) + ".exe", "--open");
            const std::optional<std::string> bytes = ReadWholeFile(path);
            if (!bytes)
                Fail("cannot read " + path);
            m_links.push_back({path, *bytes});
        }
    }

    const std::vector<std::string> Paths() const
    {
        std::vector<std::string> paths;
        for (const auto& link : m_links)
            paths.push_back(link.first);
        return paths;
    }

    // Every one protected, as a round must leave them.
    void ExpectProtected(const char* by) const
    {
        for (const auto& link : m_links)
            if (ReadWholeFile(link.first) == link.second)
                Fail(std::string(by) + " left " + link.first + " unprotected");
    }

    void PutBack() const
    {
        ComPtr<IShellLinkW> link;
        ComPtr<IPersistFile> file;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
            FAILED(link.As(&file)))
            Fail("no shell link object");
        std::wstring arguments(MAX_PATH, L'\0');
        for (const auto& [path, bytes] : m_links) {
            if (ReadWholeFile(path) == bytes)
                continue;
            if (SUCCEEDED(file->Load(Wide(path).c_str(), STGM_READ)) &&
                SUCCEEDED(link->GetArguments(&arguments[0], MAX_PATH))) {
                std::string record;
                for (const wchar_t* c = arguments.c_str(); *c; ++c)
                    record += static_cast<char>(*c);
                record = Unscramble(record);
                DeleteFileA(record.c_str());
                ForgetOriginalShortcut(record);
            }
            if (!WriteWholeFile(path, bytes))
                Fail("cannot put back " + path);
        }
    }

private:
    std::vector<std::pair<std::string, std::string>> m_links; // path, unprotected bytes
};

// What a check cannot avoid: the walk and loads of the look, then for each shortcut to protect
// again the single command's file work and its history line.
void RawCheck(const std::vector<std::wstring>& folders, const std::vector<std::string>& paths, IShellLinkW* link,
              IPersistFile* file)
{
    Raw(folders, link, file);
    for (const std::string& path : paths) {
        const LoadedShortcut loaded = LoadShortcutForProtection(path);
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "0101203%07d", static_cast<int>(&path - &paths[0]));
        const ProtectOutcome outcome = ApplyProtection(path, loaded, "pw", true, stamp);
        if (outcome.result != ProtectResult::Succeeded)
            Fail("raw protect failed for " + path);
        RecordChange(HistoryResult::ProtectedAgain, path, loaded.info.targetPath);
    }
}

void CheckRounds(const std::string& root, int shortcuts, int kept, int reprotect, int rounds)
{
    MachineProfiles profiles(root);
    // Nobody answers: what the check tells goes to standard error, as in the logon task.
    CWinApp app;
    app.m_noBoxes = true;
    std::vector<KeptProgram> programs;
    for (int n = 0; n < kept; ++n)
        programs.push_back({root + "\\Apps\\App " + std::to_string(n) + ".exe", "pw"});
    if (!WriteKeptPrograms(programs))
        Fail("cannot keep the programs");
    const Reprotected links(root, shortcuts, reprotect);
    const std::vector<std::string> paths = links.Paths();
    std::vector<std::wstring> folders = ShortcutFolders();
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)))
        Fail("no shell link object");
    for (int round = 0; round <= rounds; ++round) {
        for (int i = 0; i < 2; ++i) {
            links.PutBack();
            Timer timer;
            if ((round + i) % 2 == 0) {
                if (CheckKeptPrograms() != CommandResult::Succeeded)
                    Fail("the check failed");
            } else {
                RawCheck(folders, paths, link.Get(), file.Get());
            }
            const double us = timer.Microseconds();
            links.ExpectProtected((round + i) % 2 == 0 ? "the check" : "the raw work");
            if (round > 0) // the first round warms up
                std::printf("%s\t%.0f\n", (round + i) % 2 == 0 ? "check" : "check-raw", us);
        }
    }
    links.PutBack();
    WriteKeptPrograms({});
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5 && argc != 8)
        Fail("usage: lk_bench_look FOLDER SHORTCUTS PROTECTED ROUNDS [check KEPT REPROTECT]");
    const std::string root = argv[1];
    const int shortcuts = std::atoi(argv[2]), protectedCount = std::atoi(argv[3]), rounds = std::atoi(argv[4]);
    if (FAILED(CoInitialize(nullptr)))
        Fail("no COM");
    MakeMachine(root, shortcuts, protectedCount);
    if (argc == 8) {
        CheckRounds(root, shortcuts, std::atoi(argv[6]), std::atoi(argv[7]), rounds);
        return 0;
    }

    std::vector<std::wstring> folders;
    for (const std::string& folder : Folders(root))
        folders.push_back(Wide(folder));
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)))
        Fail("no shell link object");

    // One warm-up of each (the look's first, as when the window opens, reports its first
    // progress), then rounds in alternating order.
    const TimedLook first = Look(folders);
    const size_t rawFound = Raw(folders, link.Get(), file.Get());
    size_t found = first.result.found.size();
    if (found != rawFound || found != static_cast<size_t>(shortcuts))
        Fail("found " + std::to_string(found) + " and " + std::to_string(rawFound) + " of " + std::to_string(shortcuts));
    std::printf("first-look\t%.0f\n", first.firstProgressUs);
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < 2; ++i) {
            if ((round + i) % 2 == 0) {
                const size_t before = WorkingSet();
                const TimedLook look = Look(folders);
                const long long grown = static_cast<long long>(WorkingSet()) - static_cast<long long>(before);
                std::printf("look\t%.0f\t%lld\t%.0f\n", look.us, grown, look.firstProgressUs);
                found = look.result.found.size();
            } else {
                Timer timer;
                Raw(folders, link.Get(), file.Get());
                std::printf("look-raw\t%.0f\t0\n", timer.Microseconds());
            }
        }
    }
    std::printf("found\t%zu\n", found);
    return 0;
}
