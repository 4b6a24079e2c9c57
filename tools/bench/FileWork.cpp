// lk_bench_files FOLDER RECORDS OPERATIONS: the protect and remove commands' file work against the
// least the platform must do for the same change, in FOLDER with RECORDS records already there.
//
// Raw protect: one shell-link load, three reads (target, arguments, working directory), the
// record written, two sets and one save on the loaded link. Raw remove: one load, one read (the
// arguments), the record read, three sets and one save. Both work on a shortcut of their own in
// the same folder, alternating with the commands, and leave it as they found it.
//
// Prints one line an operation: records, kind, microseconds. Kinds "protect", "remove" (the
// commands), "protect-raw", "remove-raw", and "step:..." for the parts of the commands and of the
// raw sequences, timed one by one.
#include "core/ProtectRules.h"
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "tools/bench/BenchTools.h"
#include "win/Files.h"
#include "win/ProtectFiles.h"
#include "win/RemoveFiles.h"
#include "win/ShellLink.h"

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

void RawProtect(const std::wstring& link, const std::string& recordPath, const std::string& recordBytes,
                const std::string& launcher)
{
    RawLink raw;
    raw.Load(link);
    raw.ReadPath();
    raw.Read(&IShellLinkA::GetArguments);
    raw.Read(&IShellLinkA::GetWorkingDirectory);
    WriteFileBytes(recordPath, recordBytes);
    raw.link->SetPath(launcher.c_str());
    raw.link->SetArguments(Scramble(recordPath).c_str());
    raw.Save(link);
}

void RawRemove(const std::wstring& link, const std::string& recordPath, const ShortcutInfo& restored)
{
    RawLink raw;
    raw.Load(link);
    raw.Read(&IShellLinkA::GetArguments);
    if (!ReadWholeFile(recordPath))
        Fail("raw remove cannot read " + recordPath);
    raw.link->SetPath(restored.targetPath.c_str());
    raw.link->SetArguments(restored.arguments.c_str());
    raw.link->SetWorkingDirectory(restored.workingDirectory.c_str());
    raw.Save(link);
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
    plain.description = "Target Editor";
    const std::string commandLink = folder + "\\Command.lnk";
    const std::string rawLink = folder + "\\Raw.lnk";
    if (FAILED(WriteShortcut(commandLink, plain)) || FAILED(WriteShortcut(rawLink, plain)))
        Fail("cannot write the shortcuts");
    const std::wstring rawLinkWide = Wide(rawLink);
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

        auto protect = [&] {
            Timer timer;
            LoadedShortcut loaded = LoadShortcutForProtection(commandLink);
            ProtectOutcome outcome;
            if (loaded.result == ProtectResult::Ready)
                outcome = ApplyProtection(commandLink, loaded.info, "secret", false, Stamp('P', i));
            double us = timer.Microseconds();
            if (outcome.result != ProtectResult::Succeeded || outcome.recordPath != commandRecord)
                Fail("protect did not succeed");
            Print(records, "protect", us);
        };
        auto protectRaw = [&] {
            Timer timer;
            RawProtect(rawLinkWide, rawRecord, recordBytes, launcher);
            Print(records, "protect-raw", timer.Microseconds());
        };
        auto remove = [&] {
            Timer timer;
            LoadedProtection loaded = LoadProtectedShortcut(commandLink);
            RemoveOutcome outcome;
            if (loaded.Ready())
                outcome = RestoreShortcut(commandLink, loaded);
            double us = timer.Microseconds();
            if (outcome.result != RemoveResult::Succeeded)
                Fail("remove did not succeed");
            Print(records, "remove", us);
        };
        auto removeRaw = [&] {
            Timer timer;
            RawRemove(rawLinkWide, rawRecord, restored);
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
            RawLink raw;
            raw.Load(rawLinkWide);
            raw.ReadPath();
            raw.Read(&IShellLinkA::GetArguments);
            raw.Read(&IShellLinkA::GetWorkingDirectory);
            Print(records, "step:raw-load-and-reads", timer.Microseconds());
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
