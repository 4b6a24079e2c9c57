// lk_bench_files FOLDER RECORDS OPERATIONS: the protect and remove commands' file work against the
// least the platform must do for the same change, in FOLDER with RECORDS records already there.
//
// The raw column is the work a sound command cannot avoid. Raw protect: the shortcut's and the
// program's folders held open, one shell-link load, three reads (target, arguments, working
// directory), the target's drive asked once whether it is a server's, the target's short form
// (the record keeps it), the record written, two sets, the link saved into memory, written
// beside and put in place in one step, and the original's bytes kept in the store (its folder
// checked once, the entry written beside, renamed over). Raw remove: the shortcut's folder
// held, one load, one read (the arguments), the record's drive asked once, the record read, the
// store's folder checked once, the kept entry and the shortcut's bytes read, the kept bytes
// written beside and put in place, the entry deleted.
// The shell link object saves into memory on both sides: saving it to a file makes Wine start a
// process and wait for it (the part rows show what that costs), which a command need not pay.
// Both work on a shortcut of their own in the same folder, alternating with the commands (which
// hold the same folders as the commands of the tool do), and leave it as they found it.
//
// Prints one line an operation: records, kind, microseconds. Kinds "protect", "remove" (the
// commands), "protect-raw", "remove-raw", and "step:..." for the parts of the commands and of the
// raw sequences, timed one by one.
#include "core/Paths.h"
#include "core/ProtectRules.h"
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "tools/bench/BenchTools.h"
#include "win/Files.h"
#include "win/HeldFolder.h"
#include "win/ProtectFiles.h"
#include "win/RemoveFiles.h"
#include "win/ShellLink.h"
#include "win/ShortcutStore.h"

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using Microsoft::WRL::ComPtr;

namespace {

using bench::Timer;
using bench::Wide;

[[noreturn]] void Fail(const std::string& what)
{
    bench::Fail("lk_bench_files", what);
}

std::string ShortPath(const std::string& path)
{
    char buffer[MAX_PATH] = {};
    DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        Fail("no short name for " + path);
    return std::string(buffer, n);
}

std::string Stamp(char kind, int n)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%c%013d", kind, n);
    return stamp;
}

// A new file written and flushed to disk, as a record must be before its shortcut is rewritten.
void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE &&
                    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(file);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!ok)
        Fail("cannot write " + path);
}

std::string ReadFileBytes(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size = {};
    std::string bytes;
    DWORD read = 0;
    bool ok = file != INVALID_HANDLE_VALUE && GetFileSizeEx(file, &size);
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        ok = ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!ok)
        Fail("cannot read " + path);
    return bytes;
}

// The path the system reached a held folder by: asked when it is taken and again before the write,
// so that nothing lands in a folder put in its place (a link or junction on the way).
void CheckReached(HANDLE held)
{
    char reached[MAX_PATH] = {};
    if (!GetFinalPathNameByHandleA(held, reached, MAX_PATH, FILE_NAME_NORMALIZED))
        Fail("a held folder has no path");
}

// A folder held open as the commands hold it: nobody may rename or delete it meanwhile.
HANDLE HoldFolder(const std::string& folder)
{
    HANDLE held = CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (held == INVALID_HANDLE_VALUE)
        Fail("cannot hold " + folder);
    CheckReached(held);
    return held;
}

// The store's folder, where only Administrators may write, opened once and found at its real
// path before an entry is written or read there: never one reached through a link planted in
// ProgramData.
void CheckStore(const std::string& entry)
{
    HANDLE store = HoldFolder(entry.substr(0, entry.find_last_of('\\')));
    CloseHandle(store);
}

// The new bytes written beside path, then put in its place in one step.
void ReplaceBytes(const std::string& path, const std::string& bytes)
{
    const std::string beside = path + ".new";
    WriteFileBytes(beside, bytes);
    if (!ReplaceFileA(path.c_str(), beside.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        Fail("cannot replace " + path);
}

// A store entry written beside and renamed over any older one.
void KeepBytes(const std::string& path, const std::string& bytes)
{
    const std::string beside = path + ".new";
    WriteFileBytes(beside, bytes);
    if (!MoveFileExA(beside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Fail("cannot keep " + path);
}

// The raw sequences: the platform calls a protect or remove cannot do without.
struct RawLink {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;

    void Load(const std::wstring& path)
    {
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(link.GetAddressOf()))) ||
            FAILED(link.As(&file)) || FAILED(file->Load(path.c_str(), STGM_READ)))
            Fail("raw load failed");
    }
    std::string Read(HRESULT (STDMETHODCALLTYPE IShellLinkA::*getter)(LPSTR, int))
    {
        char text[MAX_PATH] = {};
        (link.Get()->*getter)(text, MAX_PATH);
        return text;
    }
    std::string ReadPath()
    {
        char text[MAX_PATH] = {};
        link->GetPath(text, MAX_PATH, nullptr, SLGP_UNCPRIORITY);
        return text;
    }
    void Save(const std::wstring& path)
    {
        if (FAILED(file->Save(path.c_str(), TRUE)))
            Fail("raw save failed");
    }
};

// The shortcut of the raw sequences, its program and that program's folder, and its store entry.
struct RawPlace {
    std::string link;
    std::wstring wideLink;
    std::string target;
    std::string programFolder;
    std::string storeEntry;
};

// The link's bytes as the shell link object saves them, into memory.
std::string SavedBytes(IShellLinkA* link)
{
    ComPtr<IPersistStream> persist;
    ComPtr<IStream> stream;
    ULARGE_INTEGER size = {};
    if (FAILED(link->QueryInterface(IID_PPV_ARGS(&persist))) || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) ||
        FAILED(persist->Save(stream.Get(), TRUE)) || FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &size)))
        Fail("raw save failed");
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    ULONG read = 0;
    if (FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr)) ||
        FAILED(stream->Read(&bytes[0], static_cast<ULONG>(bytes.size()), &read)) || read != bytes.size())
        Fail("raw save failed");
    return bytes;
}

// Whether the path's drive is a server's: asked before anything on it is opened.
void AskDrive(const std::string& path)
{
    const char root[] = {path[0], ':', '\\', '\0'};
    if (GetDriveTypeA(root) == DRIVE_REMOTE)
        Fail("a server's drive: " + path);
}

void RawProtect(const RawPlace& place, const std::string& recordPath, const std::string& recordBytes,
                const std::string& launcher)
{
    HANDLE linkFolder = HoldFolder(FolderOf(place.link));
    HANDLE programFolder = HoldFolder(place.programFolder);
    const std::string original = ReadFileBytes(place.link);
    RawLink raw;
    raw.Load(place.wideLink);
    AskDrive(raw.ReadPath());
    raw.Read(&IShellLinkA::GetArguments);
    raw.Read(&IShellLinkA::GetWorkingDirectory);
    ShortPath(place.target);
    WriteFileBytes(recordPath, recordBytes);
    raw.link->SetPath(launcher.c_str());
    raw.link->SetArguments(Scramble(recordPath).c_str());
    const std::string beside = place.link + ".new";
    WriteFileBytes(beside, SavedBytes(raw.link.Get()));
    CheckStore(place.storeEntry);
    KeepBytes(place.storeEntry, original);
    CheckReached(linkFolder);
    CheckReached(programFolder);
    if (!ReplaceFileA(place.link.c_str(), beside.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        Fail("cannot replace " + place.link);
    CloseHandle(programFolder);
    CloseHandle(linkFolder);
}

void RawRemove(const RawPlace& place, const std::string& recordPath)
{
    HANDLE linkFolder = HoldFolder(FolderOf(place.link));
    RawLink raw;
    raw.Load(place.wideLink);
    raw.Read(&IShellLinkA::GetArguments);
    AskDrive(recordPath);
    ReadFileBytes(recordPath);
    CheckStore(place.storeEntry);
    const std::string kept = ReadFileBytes(place.storeEntry);
    ReadFileBytes(place.link); // still as protect left it
    CheckReached(linkFolder);
    ReplaceBytes(place.link, kept);
    DeleteFileA(place.storeEntry.c_str());
    CloseHandle(linkFolder);
}

void Print(int records, const char* kind, double microseconds)
{
    std::printf("%d\t%s\t%.1f\n", records, kind, microseconds);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: lk_bench_files FOLDER RECORDS OPERATIONS\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int records = std::atoi(argv[2]);
    const int operations = std::atoi(argv[3]);
    CoInitialize(nullptr);

    // The folder as a program's folder: its program, earlier records, two plain shortcuts to it.
    CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr);
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        Fail("cannot make " + folder);
    const std::string target = folder + "\\Target Editor.exe";
    WriteFileBytes(target, std::string(4096, 'x'));
    const std::string shortFolder = ShortPath(folder);
    const std::string shortTarget = ShortPath(target);
    ProtectionRecord earlier;
    earlier.password = "earlier";
    earlier.commandLine = MakeCommandLine(shortTarget, "--earlier");
    for (int i = 0; i < records; ++i)
        if (!WriteWholeFile(MakeRecordPath(shortTarget, Stamp('E', i)), FormatProtectionRecord(earlier)))
            Fail("cannot write the earlier records");

    ShortcutInfo plain;
    plain.targetPath = target;
    plain.arguments = "--bench \"a file.txt\"";
    plain.workingDirectory = folder;
    plain.description = L"Target Editor";
    const std::string commandLink = folder + "\\Command.lnk";
    const std::string rawLink = folder + "\\Raw.lnk";
    if (FAILED(WriteShortcut(commandLink, plain)) || FAILED(WriteShortcut(rawLink, plain)))
        Fail("cannot write the shortcuts");
    const std::wstring rawLinkWide = Wide(rawLink);
    const std::optional<std::string> store = ShortcutStoreFolder();
    if (!store)
        Fail("no store folder");
    const RawPlace rawPlace = {rawLink, rawLinkWide, target, folder, *store + "\\bench-raw.lks"};
    // What a remove writes back: the record's target, in its short form.
    ShortcutInfo restored = plain;
    restored.targetPath = shortTarget;

    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string launcher = std::string(system) + "\\" + LauncherFileName;
    ProtectionRecord record;
    record.password = "secret";
    record.commandLine = MakeCommandLine(shortTarget, plain.arguments);
    record.workingDirectory = plain.workingDirectory;
    const std::string recordBytes = FormatProtectionRecord(record);

    for (int i = 0; i < operations; ++i) {
        const std::string commandRecord = MakeRecordPath(shortTarget, Stamp('P', i));
        const std::string rawRecord = shortFolder + "\\" + Stamp('R', i) + ".lki";

        // The commands as the tool runs them: the shortcut's and the program's folders held from
        // the read to the write.
        auto protect = [&] {
            Timer timer;
            LoadedShortcut loaded = LoadShortcutForProtection(commandLink);
            const HeldFolder linkFolder(FolderToOpen(commandLink));
            const HeldFolder programFolder(loaded.programFolder);
            ProtectOutcome outcome;
            if (loaded.result == ProtectResult::Ready && linkFolder.StillThere() && programFolder.StillThere())
                outcome = ApplyProtection(commandLink, loaded, "secret", false, Stamp('P', i));
            double us = timer.Microseconds();
            if (outcome.result != ProtectResult::Succeeded || outcome.recordPath != commandRecord)
                Fail("protect did not succeed");
            Print(records, "protect", us);
        };
        auto protectRaw = [&] {
            Timer timer;
            RawProtect(rawPlace, rawRecord, recordBytes, launcher);
            Print(records, "protect-raw", timer.Microseconds());
        };
        auto remove = [&] {
            Timer timer;
            LoadedProtection loaded = LoadProtectedShortcut(commandLink);
            const HeldFolder linkFolder(FolderToOpen(commandLink));
            RemoveOutcome outcome;
            if (loaded.Ready() && linkFolder.StillThere())
                outcome = RestoreShortcut(commandLink, loaded);
            double us = timer.Microseconds();
            if (outcome.result != RemoveResult::Succeeded)
                Fail("remove did not succeed");
            Print(records, "remove", us);
        };
        auto removeRaw = [&] {
            Timer timer;
            RawRemove(rawPlace, rawRecord);
            Print(records, "remove-raw", timer.Microseconds());
        };
        // Interleaved, the order turned every time, so that neither side always goes first.
        if (i % 2 == 0) {
            protect(); protectRaw(); remove(); removeRaw();
        } else {
            protectRaw(); protect(); removeRaw(); remove();
        }
        // The folder keeps its number of records.
        DeleteFileA(commandRecord.c_str());
        DeleteFileA(rawRecord.c_str());
    }

    // The parts, one by one, on the plain shortcut (its target in the long form, as a new shortcut
    // has it) and on one whose target is in the short form: where a command's time goes beyond
    // the raw calls.
    const int steps = operations / 2 > 50 ? operations / 2 : 50;
    for (int i = 0; i < steps; ++i) {
        const std::string recordPath = shortFolder + "\\" + Stamp('S', i) + ".lki";
        ShortcutInfo info;
        {
            Timer timer;
            ReadShortcut(commandLink, info);
            Print(records, "step:read-shortcut", timer.Microseconds());
        }
        {
            Timer timer;
            char shortPath[MAX_PATH];
            GetShortPathNameA(target.c_str(), shortPath, MAX_PATH);
            Print(records, "step:short-name", timer.Microseconds());
        }
        {
            Timer timer;
            WriteNewWholeFile(recordPath, FormatProtectionRecord(record));
            Print(records, "step:record-write", timer.Microseconds());
        }
        {
            Timer timer;
            WriteShortcut(commandLink, plain);
            Print(records, "step:write-shortcut", timer.Microseconds());
        }
        {
            Timer timer;
            const HeldFolder linkFolder(FolderToOpen(commandLink));
            const HeldFolder programFolder(FolderToOpen(target));
            Print(records, "step:folders-taken", timer.Microseconds());
            Timer again;
            const bool still = linkFolder.StillThere() && programFolder.StillThere();
            Print(records, "step:folders-still-there", again.Microseconds());
            Print(records, "step:held-folders", timer.Microseconds());
            if (!still)
                Fail("the folders were not held");
        }
        {
            Timer timer;
            CanMakeFileBeside(recordPath);
            Print(records, "step:record-folder", timer.Microseconds());
        }
        {
            // The commands' two halves, each on its own: the checks before the password, then the
            // writes after it; remove's the same way on the shortcut just protected.
            Timer timer;
            const LoadedShortcut loaded = LoadShortcutForProtection(commandLink);
            Print(records, "step:load-for-protection", timer.Microseconds());
            Timer apply;
            const ProtectOutcome outcome =
                ApplyProtection(commandLink, loaded, "secret", false, Stamp('T', i));
            Print(records, "step:apply-protection", apply.Microseconds());
            if (outcome.result != ProtectResult::Succeeded)
                Fail("the protect step did not succeed");
            Timer load;
            const LoadedProtection protection = LoadProtectedShortcut(commandLink);
            Print(records, "step:load-protected", load.Microseconds());
            Timer restore;
            const RemoveOutcome removed = RestoreShortcut(commandLink, protection);
            Print(records, "step:restore-shortcut", restore.Microseconds());
            DeleteFileA(outcome.recordPath.c_str());
            if (removed.result != RemoveResult::Succeeded)
                Fail("the remove step did not succeed");
        }
        {
            Timer timer;
            ShortcutStoreFolder();
            Print(records, "step:store-folder", timer.Microseconds());
        }
        {
            const std::string bytes = ReadFileBytes(commandLink);
            Timer timer;
            const bool kept = KeepOriginalShortcut({recordPath, commandLink, bytes, bytes});
            Print(records, "step:keep-original", timer.Microseconds());
            ForgetOriginalShortcut(recordPath);
            if (!kept)
                Fail("the original was not kept");
        }
        {
            Timer timer;
            RawLink raw;
            raw.Load(rawLinkWide);
            raw.ReadPath();
            raw.Read(&IShellLinkA::GetArguments);
            raw.Read(&IShellLinkA::GetWorkingDirectory);
            Print(records, "step:raw-load-and-reads", timer.Microseconds());
        }
        {
            Timer timer;
            RawLink raw;
            raw.Load(rawLinkWide);
            raw.link->Resolve(nullptr, SLR_NO_UI | SLR_NOUPDATE | SLR_NOSEARCH | SLR_NOTRACK);
            raw.ReadPath();
            raw.Read(&IShellLinkA::GetArguments);
            raw.Read(&IShellLinkA::GetWorkingDirectory);
            Print(records, "step:raw-load-resolve-and-reads", timer.Microseconds());
        }
        DeleteFileA(recordPath.c_str()); // both writes create the file anew
        {
            Timer timer;
            WriteFileBytes(recordPath, recordBytes);
            Print(records, "step:raw-record-write", timer.Microseconds());
        }
        {
            RawLink raw;
            raw.Load(rawLinkWide);
            Timer timer;
            raw.link->SetPath(plain.targetPath.c_str());
            raw.link->SetArguments(plain.arguments.c_str());
            raw.Save(rawLinkWide);
            Print(records, "step:raw-sets-and-save", timer.Microseconds());
        }
        {
            RawLink raw;
            raw.Load(rawLinkWide);
            Timer timer;
            raw.link->SetPath(plain.targetPath.c_str());
            raw.link->SetArguments(plain.arguments.c_str());
            SavedBytes(raw.link.Get());
            Print(records, "step:raw-sets-and-save-in-memory", timer.Microseconds());
        }
        // After a remove the shortcut names its target in the short form (from the record):
        // the reads of the next protect, on such a shortcut.
        WriteShortcut(commandLink, restored);
        {
            Timer timer;
            ReadShortcut(commandLink, info);
            Print(records, "step:read-shortcut-short-target", timer.Microseconds());
        }
        {
            Timer timer;
            char shortPath[MAX_PATH];
            GetShortPathNameA(shortTarget.c_str(), shortPath, MAX_PATH);
            Print(records, "step:short-name-of-short-target", timer.Microseconds());
        }
        WriteShortcut(commandLink, plain);
        DeleteFileA(recordPath.c_str());
    }
    std::fflush(stdout);
    CoUninitialize();
    return 0;
}
