// Hostile and unlucky input through the real programs, case by case: the message each one
// shows, the exit code where it ends, and that the picked shortcut, its record and the master
// file stay byte for byte as they were unless the command succeeded.
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "tests/support/Files.h"
#include "tests/support/LaunchProbe.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"
#include "tests/ui/LatchkeyUi.h"

#include "resource.h"

#include <shellapi.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace lktest;
using namespace ui;
using Microsoft::WRL::ComPtr;

namespace {

constexpr char kLauncherCaption[] = "lkrun3";
constexpr std::size_t kMiB = 1u << 20; // the most a record may hold

constexpr char kReadFailed[] =
    "Failed to get the shortcut information.\n(Only a shortcut link (.lnk) can be password protected)";
constexpr char kNotAFileTarget[] = "The shortcut does not start a program or file on a disk, so it cannot be "
                                   "protected.\nThe shortcut has not been changed.";
constexpr char kNotInCodePage[] = "The shortcut holds a character that Windows cannot pass on in the form Latchkey "
                                  "stores.\nThe shortcut has not been changed.";
constexpr char kNotStorable[] =
    "The shortcut holds a character that a protection record cannot keep.\nThe shortcut has not been changed.";
constexpr char kAlreadyProtected[] = "The shortcut you selected is already a password protected link.";
constexpr char kPasswordNotStorable[] =
    "This password holds a character that Latchkey cannot store. Type another password.";
constexpr char kNotProtected[] =
    "The shortcut you selected doesn't seem to be a protected one.\n(Failed to open lki file)";
// "<record>" stands for the path of the case's record.
constexpr char kRecordDamaged[] =
    "The protection record of this shortcut is damaged:\n<record>\nThe shortcut has not been changed.";
constexpr char kLauncherCannotOpen[] =
    "The protection record of this shortcut cannot be opened:\n<record>\nThe program has not been started.";
constexpr char kLauncherDamaged[] =
    "The protection record of this shortcut is damaged:\n<record>\nThe program has not been started.";

std::string MasterPath()
{
    return SystemFolder() + "\\master2.lki";
}

std::string Replaced(std::string text, const std::string& placeholder, const std::string& value)
{
    const std::string::size_type at = text.find(placeholder);
    return at == std::string::npos ? text : text.replace(at, placeholder.size(), value);
}

// The shortcut's name as the tool shows it: its file name without ".lnk".
std::string LinkBaseName(const std::string& link)
{
    const std::string name = link.substr(link.rfind('\\') + 1);
    return name.substr(0, name.rfind('.'));
}

// A valid record, then filler after its end mark up to exactly size bytes.
std::string PaddedRecord(const ProtectionRecord& record, std::size_t size)
{
    std::string bytes = FormatProtectionRecord(record);
    bytes.resize(size, '#');
    return bytes;
}

// Types into an edit box as a keyboard does, in Unicode, so that characters outside the ANSI
// code page reach the program as they are.
void TypeText(HWND dialog, int id, const std::wstring& text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(Control(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                        kWaitMs, &result);
}

// Expects a message box of pid with exactly this text and caption, and closes it.
void ExpectMessage(DWORD pid, const std::string& text, const std::string& caption)
{
    MessageBoxInfo box = WaitForMessageBox(pid);
    ASSERT_NE(box.window, nullptr) << "no message box; expected \"" << text << "\"";
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_TRUE(PressToClose(box.window));
}

// The exit code once the program has ended; STILL_ACTIVE when it did not end in time.
DWORD ExitCode(Process& process)
{
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(process.WaitForExit(&code)) << "the program did not end";
    return code;
}

// Waits for the program to end, failing if it shows any window on the way.
DWORD ExitCodeWithoutAWord(Process& process)
{
    bool sawWindow = false;
    EXPECT_TRUE(WaitUntil([&] {
        if (!TopWindows(process.Id()).empty())
            sawWindow = true;
        return !process.Running();
    })) << "the program did not end";
    EXPECT_FALSE(sawWindow) << "a window appeared";
    return ExitCode(process);
}

// Latchkey.exe with one command on one shortcut, as a script or the shell's "Open with" starts it.
Process StartTool(const std::string& command, const std::string& link)
{
    return Process::Start(LatchkeyExe(), DistDir(), (command.empty() ? "" : command + " ") + "\"" + link + "\"");
}

// Files byte for byte (nullopt: not there) and the names in folders, to be compared later.
class Snapshot {
public:
    Snapshot(std::vector<std::string> files, std::vector<std::string> folders)
        : m_vecFiles(std::move(files)), m_vecFolders(std::move(folders))
    {
        for (const std::string& file : m_vecFiles)
            m_vecBytes.push_back(ReadFileBytes(file));
        for (const std::string& folder : m_vecFolders)
            m_vecEntries.push_back(FolderEntries(folder));
    }

    void ExpectUnchanged() const
    {
        for (std::size_t i = 0; i < m_vecFiles.size(); ++i)
            EXPECT_TRUE(ReadFileBytes(m_vecFiles[i]) == m_vecBytes[i]) << m_vecFiles[i] << " changed";
        for (std::size_t i = 0; i < m_vecFolders.size(); ++i)
            EXPECT_EQ(FolderEntries(m_vecFolders[i]), m_vecEntries[i]) << "in " << m_vecFolders[i];
    }

private:
    std::vector<std::string> m_vecFiles, m_vecFolders;
    std::vector<std::optional<std::string>> m_vecBytes;
    std::vector<std::vector<std::string>> m_vecEntries;
};

// Links the Linux side puts at paths, which Wine shows as links or junctions would be shown;
// removed by Linux at the end, since Windows cannot see a dangling one to remove it.
class PlantedLinks {
public:
    PlantedLinks() = default;
    ~PlantedLinks()
    {
        for (const std::string& path : m_vecPaths)
            RunLinux("rm -f " + ShellQuote(path));
    }
    PlantedLinks(const PlantedLinks&) = delete;
    PlantedLinks& operator=(const PlantedLinks&) = delete;

    // A link at windowsPath that points to the Linux path target, which need not exist.
    bool Plant(const std::string& windowsPath, const std::string& target)
    {
        const std::string folder = UnixPath(windowsPath.substr(0, windowsPath.rfind('\\')));
        if (folder.empty())
            return false;
        const std::string path = folder + "/" + windowsPath.substr(windowsPath.rfind('\\') + 1);
        m_vecPaths.push_back(path);
        return RunLinux("ln -s " + ShellQuote(target) + " " + ShellQuote(path)) == 0;
    }

private:
    std::vector<std::string> m_vecPaths;
};

// The record names of the coming seconds, from one second ago on: what the tool tries first.
std::vector<std::string> ComingRecordNames(int count)
{
    std::vector<std::string> names;
    const std::time_t now = std::time(nullptr);
    for (std::time_t t = now - 1; t < now - 1 + count; ++t)
        names.push_back(FormatTimeStamp(*std::localtime(&t)) + ".lki");
    return names;
}

class HostileInput : public LauncherInstalledTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_FALSE(ProbeProgram().empty()) << "LK_LAUNCH_PROBE is not set";
        ASSERT_FALSE(FileExists(MasterPath())) << "a master password would be asked";
        ASSERT_TRUE(CopyFileA(ProbeProgram().c_str(), program.c_str(), FALSE));
        shortProgram = ShortPath(program);
        ASSERT_FALSE(shortProgram.empty());
        ExpectProbeReportAt(report);
    }

    std::string Link(const std::string& name, const LinkSpec& wanted)
    {
        const std::string path = links + "\\" + name + ".lnk";
        EXPECT_HRESULT_SUCCEEDED(MakeLink(path, wanted));
        return path;
    }

    // A shortcut written through the wide interface, with texts no ANSI code page may hold.
    std::string WideLink(const std::string& name, const std::wstring& target, const std::wstring& arguments,
                         const std::wstring& workingDirectory)
    {
        const std::string path = links + "\\" + name + ".lnk";
        ComPtr<IShellLinkW> link;
        ComPtr<IPersistFile> file;
        EXPECT_HRESULT_SUCCEEDED(
            CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)));
        if (!link || FAILED(link.As(&file)))
            return path;
        link->SetPath(target.c_str());
        link->SetArguments(arguments.c_str());
        link->SetWorkingDirectory(workingDirectory.c_str());
        EXPECT_HRESULT_SUCCEEDED(file->Save(Widen(path).c_str(), TRUE));
        return path;
    }

    // A shortcut to target as Windows writes one for a name outside the ANSI code page: its item
    // list alone, in Unicode. (Wine's shell link object adds the path in ANSI, where the name
    // becomes '?', and reads that back first; without it, the item list gives the real name.)
    std::string ItemListLink(const std::string& name, const std::wstring& target)
    {
        const std::string path = WideLink(name, target, L"", L"");
        std::string bytes = ReadFileBytes(path).value_or(std::string());
        constexpr std::size_t kHeaderSize = 76, kFlagsAt = 0x14;
        constexpr std::uint32_t kHasItemList = 0x1, kHasLinkInfo = 0x2;
        std::uint32_t flags = 0;
        EXPECT_GT(bytes.size(), kHeaderSize);
        if (bytes.size() <= kHeaderSize)
            return path;
        std::memcpy(&flags, &bytes[kFlagsAt], sizeof flags);
        std::size_t at = kHeaderSize;
        if (flags & kHasItemList) {
            std::uint16_t size = 0;
            std::memcpy(&size, &bytes[at], sizeof size);
            at += sizeof size + size;
        }
        EXPECT_TRUE(flags & kHasLinkInfo);
        if ((flags & kHasLinkInfo) && at + 4 <= bytes.size()) {
            std::uint32_t size = 0;
            std::memcpy(&size, &bytes[at], sizeof size);
            bytes.erase(at, size);
            flags &= ~kHasLinkInfo;
            std::memcpy(&bytes[kFlagsAt], &flags, sizeof flags);
        }
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return path;
    }

    // A shortcut to a virtual item that is no file: This PC.
    std::string VirtualLink(const std::string& name)
    {
        const std::string path = links + "\\" + name + ".lnk";
        ComPtr<IShellLinkW> link;
        ComPtr<IPersistFile> file;
        LPITEMIDLIST thisPc = nullptr;
        EXPECT_HRESULT_SUCCEEDED(
            CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)));
        EXPECT_HRESULT_SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &thisPc));
        if (!link || !thisPc || FAILED(link.As(&file)))
            return path;
        link->SetIDList(thisPc);
        CoTaskMemFree(thisPc);
        EXPECT_HRESULT_SUCCEEDED(file->Save(Widen(path).c_str(), TRUE));
        return path;
    }

    // A file named like a shortcut holding these bytes.
    std::string FakeLink(const std::string& name, const std::string& bytes)
    {
        const std::string path = links + "\\" + name + ".lnk";
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return path;
    }

    // A protected shortcut as protect writes it: the launcher, with the record path scrambled.
    std::string ProtectedLinkTo(const std::string& name, const std::string& recordPath)
    {
        LinkSpec wanted;
        wanted.target = SystemLauncher();
        wanted.arguments = Scramble(recordPath);
        return Link(name, wanted);
    }

    // A named pipe that nobody ever writes to: a read from it would wait for ever.
    std::string Pipe()
    {
        const std::string name = "\\\\.\\pipe\\lk hostile " + std::to_string(GetCurrentProcessId());
        HANDLE pipe = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                       PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr);
        EXPECT_NE(pipe, INVALID_HANDLE_VALUE);
        m_vecPipes.push_back(pipe);
        return name;
    }

    void TearDown() override
    {
        for (HANDLE pipe : m_vecPipes)
            CloseHandle(pipe);
        ComTest::TearDown();
    }

    std::string ValidRecordBytes() const { return FormatProtectionRecord({"pw", shortProgram + " -x", ""}); }

    // What any command may touch: the shortcut and the record (those that are files of ours,
    // not a device or a pipe, which a read could wait on), the master file, and the folders
    // where records and icon copies are written.
    Snapshot Watch(const std::vector<std::string>& paths) const
    {
        std::vector<std::string> files{MasterPath()};
        for (const std::string& path : paths)
            if (path.compare(0, scratch.Path().size(), scratch.Path()) == 0)
                files.push_back(path);
        return Snapshot(files, {links, programs, SystemFolder()});
    }

    // Protects the shortcut with Latchkey.exe /protect as a user does; returns the record path
    // that the protected shortcut names.
    std::string ProtectWithTool(const std::string& link, const std::wstring& password = L"pw")
    {
        Process tool = StartTool("/protect", link);
        HWND dialog = WaitForWindow(tool.Id(), kAddPasswordCaption);
        EXPECT_NE(dialog, nullptr) << "no Add Password Protection dialog";
        if (!dialog)
            return std::string();
        TypeText(dialog, IDC_PASSWORD, password);
        TypeText(dialog, IDC_RETYPE, password);
        Press(dialog, IDOK);
        ExpectMessage(tool.Id(),
                      "Password protection link for\n" + LinkBaseName(link) + "\nhas been created successfully!",
                      "Succeed!");
        EXPECT_EQ(ExitCode(tool), 0u);
        LinkSpec read;
        EXPECT_HRESULT_SUCCEEDED(ReadLink(link, read));
        EXPECT_EQ(read.target, SystemLauncher());
        return Unscramble(read.arguments);
    }

    // Removes the protection with Latchkey.exe /remove as a user does.
    void RemoveWithTool(const std::string& link, const std::wstring& password = L"pw")
    {
        Process tool = StartTool("/remove", link);
        HWND dialog = WaitForWindow(tool.Id(), kSecurity);
        ASSERT_NE(dialog, nullptr) << "no Security dialog";
        TypeText(dialog, IDC_PASSWORD, password);
        Press(dialog, IDOK);
        ExpectMessage(tool.Id(), "Password protection for\n" + LinkBaseName(link) + "\nhas been removed successfully.",
                      "Removal Succeed");
        EXPECT_EQ(ExitCode(tool), 0u);
    }

    // Opens the protected shortcut as a double-click does and gives the launcher the password.
    void OpenWithPassword(const std::string& link, const std::wstring& password = L"pw")
    {
        HINSTANCE opened = ShellExecuteA(nullptr, "open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        ASSERT_GT(reinterpret_cast<INT_PTR>(opened), 32) << link;
        HWND dialog = WaitForWindow(0, kSecurity);
        ASSERT_NE(dialog, nullptr) << "the launcher did not ask for the password";
        HANDLE launcher = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                                      ProcessOf(dialog));
        ASSERT_NE(launcher, nullptr);
        TypeText(dialog, IDC_PASSWORD, password);
        Press(dialog, IDOK);
        DWORD code = STILL_ACTIVE;
        // One that did not end (it shows why it could not start the program) is ended here.
        if (WaitForSingleObject(launcher, kWaitMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(launcher, &code);
        else
            TerminateProcess(launcher, 1);
        CloseHandle(launcher);
        EXPECT_EQ(code, 0u) << "the launcher did not start the program";
    }

    ScratchFolder scratch{"lk hostile"};
    const std::string links = scratch.Folder("Links");
    const std::string programs = scratch.Folder("Program Folder");
    const std::string program = programs + "\\Hostile Probe.exe";
    std::string shortProgram;
    std::string report = scratch / "report.bin";

private:
    std::vector<HANDLE> m_vecPipes;
};

// An input a case makes: the shortcut that is picked and the record it names, if any.
struct Input {
    std::string link;
    std::string record;
};

} // namespace

// Refused before anything is written, or by the program's own dialog; each leaves every file as
// it was. The remove command ends without a word on a file that is no shortcut, as it always has.
TEST_F(HostileInput, RefusedInputChangesNothing)
{
    std::mt19937 random(20260101);
    std::string noise(4096, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    LinkSpec good;
    good.target = program;
    good.arguments = "-x";
    const std::string validLink = Link("valid", good);
    const std::string validBytes = ReadFileBytes(validLink).value_or(std::string());
    ASSERT_GT(validBytes.size(), 80u);
    const std::wstring wideProgram = Widen(program);
    const std::wstring wideFolder = Widen(programs) + L"\\\x4E2D\x6587";
    const std::wstring wideTarget = wideFolder + L"\\tool.exe";
    // Removed here: the scratch folder's clean-up goes by ANSI names, which cannot name these.
    struct RemoveWide {
        std::wstring folder, file;
        ~RemoveWide()
        {
            DeleteFileW(file.c_str());
            RemoveDirectoryW(folder.c_str());
        }
    } removeWide{wideFolder, wideTarget};
    ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(wideProgram.c_str(), wideTarget.c_str(), FALSE));

    struct Case {
        const char* name;
        const char* command; // "/protect", "/remove", or "" for the shortcut alone
        std::function<Input()> make;
        std::wstring typed;  // typed into the dialog, then OK; empty: refused before any dialog
        std::string message; // empty: the program ends without a word
        DWORD exitCode;
    } cases[] = {
        // Files that are no shortcut.
        {"an empty file named .lnk", "/protect", [&] { return Input{FakeLink("empty", "")}; }, L"", kReadFailed, 1},
        {"random bytes named .lnk", "/protect", [&] { return Input{FakeLink("random", noise)}; }, L"", kReadFailed, 1},
        {"a shortcut cut in half", "/protect",
         [&] { return Input{FakeLink("half", validBytes.substr(0, validBytes.size() / 2))}; }, L"", kReadFailed, 1},
        {"a shortcut's header, then random bytes", "/protect",
         [&] { return Input{FakeLink("header", validBytes.substr(0, 76) + noise)}; }, L"", kReadFailed, 1},
        {"a folder named .lnk", "/protect",
         [&] {
             const std::string folder = scratch.Folder("Links\\folder.lnk");
             return Input{folder};
         },
         L"", "This is not a shortcut file:\n" + links + "\\folder.lnk", 1},
        {"random bytes named .lnk, given alone", "", [&] { return Input{FakeLink("random", noise)}; }, L"",
         kReadFailed, 1},
        {"an empty file named .lnk, to remove", "/remove", [&] { return Input{FakeLink("empty", "")}; }, L"", "", 1},
        {"random bytes named .lnk, to remove", "/remove", [&] { return Input{FakeLink("random", noise)}; }, L"", "",
         1},

        // Shortcuts whose texts a record cannot carry.
        {"no target", "/protect", [&] { return Input{WideLink("no target", L"", L"-x", L"")}; }, L"", kNotAFileTarget,
         1},
        {"a virtual item (This PC)", "/protect", [&] { return Input{VirtualLink("this pc")}; }, L"", kNotAFileTarget,
         1},
        {"a control character in the arguments", "/protect",
         [&] { return Input{WideLink("control", wideProgram, L"abcdefghij\x14", L"")}; }, L"", kNotStorable, 1},
        {"arguments outside the code page", "/protect",
         [&] { return Input{WideLink("wide arguments", wideProgram, L"-name \x4E2D\x6587", L"")}; }, L"",
         kNotInCodePage, 1},
        {"a working directory outside the code page", "/protect",
         [&] { return Input{WideLink("wide folder", wideProgram, L"-x", L"C:\\\x4E2D\x6587")}; }, L"",
         kNotInCodePage, 1},
        {"a target outside the code page", "/protect",
         [&] { return Input{ItemListLink("wide target", wideTarget)}; }, L"", kNotInCodePage, 1},
        {"a target whose name was lost to '?' on the way to ANSI", "/protect",
         [&] { return Input{WideLink("lost target", wideTarget, L"", L"")}; }, L"", kNotAFileTarget, 1},

        // Passwords a record cannot carry: the dialog says so and stays; then it is cancelled.
        {"a password that scrambles to a line end", "/protect", [&] { return Input{Link("line end", good)}; },
         L"abcde\x0E", kPasswordNotStorable, 2},
        {"a password outside the code page", "/protect", [&] { return Input{Link("wide password", good)}; },
         L"pass\x4E2D\x6587", kPasswordNotStorable, 2},

        // Records that cannot be, or must not be, read.
        {"already protected", "/protect",
         [&] {
             const std::string record = programs + "\\01012026000001.lki";
             EXPECT_TRUE(WriteFileBytes(record, ValidRecordBytes()));
             return Input{ProtectedLinkTo("protected", record), record};
         },
         L"", kAlreadyProtected, 1},
        {"another program's shortcut naming a real record", "/remove",
         [&] {
             const std::string record = programs + "\\01012026000002.lki";
             EXPECT_TRUE(WriteFileBytes(record, ValidRecordBytes()));
             LinkSpec wanted;
             wanted.target = program;
             wanted.arguments = Scramble(record);
             return Input{Link("not protected", wanted), record};
         },
         L"", kNotProtected, 1},
        {"a record over 1 MiB", "/remove",
         [&] {
             const std::string record = programs + "\\01012026000003.lki";
             EXPECT_TRUE(WriteFileBytes(record, PaddedRecord({"pw", shortProgram + " -x", ""}, kMiB + 1)));
             return Input{ProtectedLinkTo("big record", record), record};
         },
         L"", kNotProtected, 1},
        {"a record that is a folder", "/remove",
         [&] {
             const std::string record = scratch.Folder("Program Folder\\01012026000004.lki");
             return Input{ProtectedLinkTo("folder record", record), record};
         },
         L"", kNotProtected, 1},
        {"a launcher copy outside the system folder naming a real record", "/remove",
         [&] {
             const std::string record = programs + "\\01012026000010.lki";
             EXPECT_TRUE(WriteFileBytes(record, ValidRecordBytes()));
             const std::string copy = programs + "\\lkrun3.exe";
             EXPECT_TRUE(CopyFileA(program.c_str(), copy.c_str(), FALSE));
             LinkSpec wanted;
             wanted.target = copy;
             wanted.arguments = Scramble(record);
             return Input{Link("launcher copy", wanted), record};
         },
         L"", kNotProtected, 1},
        {"a record that is a device", "/remove",
         [&] { return Input{ProtectedLinkTo("device record", "\\\\.\\NUL"), "\\\\.\\NUL"}; }, L"", kNotProtected, 1},
        {"a record that is a named pipe", "/remove",
         [&] {
             const std::string pipe = Pipe();
             return Input{ProtectedLinkTo("pipe record", pipe), pipe};
         },
         L"", kNotProtected, 1},
        {"a record path with a NUL in it", "/remove",
         [&] {
             // Up to the NUL it names a good record, which must not be taken for it.
             const std::string record = programs + "\\01012026000005.lki";
             EXPECT_TRUE(WriteFileBytes(record, ValidRecordBytes()));
             return Input{ProtectedLinkTo("nul record", record + std::string(1, '\0') + ".x"), record};
         },
         L"", kNotProtected, 1},
        {"a record that names no target", "/remove",
         [&] {
             const std::string record = programs + "\\01012026000006.lki";
             EXPECT_TRUE(WriteFileBytes(record, FormatProtectionRecord({"pw", " -x", ""})));
             return Input{ProtectedLinkTo("no target record", record), record};
         },
         L"", kRecordDamaged, 1},
        {"a record without its separating blank", "/remove",
         [&] {
             const std::string record = programs + "\\01012026000007.lki";
             EXPECT_TRUE(WriteFileBytes(record, FormatProtectionRecord({"pw", shortProgram, ""})));
             return Input{ProtectedLinkTo("no blank record", record), record};
         },
         L"", kRecordDamaged, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Input input = c.make();
        const Snapshot before = Watch({input.link, input.record});
        Process tool = StartTool(c.command, input.link);
        ASSERT_NE(tool.Id(), 0u);
        if (!c.typed.empty()) {
            HWND dialog = WaitForWindow(
                tool.Id(), std::string(c.command) == "/protect" ? kAddPasswordCaption : kSecurity);
            ASSERT_NE(dialog, nullptr) << "no password dialog";
            TypeText(dialog, IDC_PASSWORD, c.typed);
            TypeText(dialog, IDC_RETYPE, c.typed);
            Press(dialog, IDOK);
            ExpectMessage(tool.Id(), c.message, kAppTitle);
            EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog closed";
            Press(dialog, IDCANCEL);
            EXPECT_EQ(ExitCode(tool), c.exitCode);
        } else if (!c.message.empty()) {
            ExpectMessage(tool.Id(), Replaced(c.message, "<record>", input.record), kAppTitle);
            EXPECT_EQ(ExitCode(tool), c.exitCode);
        } else {
            EXPECT_EQ(ExitCodeWithoutAWord(tool), c.exitCode);
        }
        before.ExpectUnchanged();
    }
}

// The launcher reads only a plain file of at most 1 MiB that names a program: anything else is
// reported with the path, the launcher ends with 1, and its job never holds a second process.
TEST_F(HostileInput, TheLauncherRefusesWhatItCannotReadAndStartsNothing)
{
    struct Case {
        const char* name;
        std::function<std::string()> make; // returns the record path given to the launcher
        const char* message;
    } cases[] = {
        {"a record over 1 MiB",
         [&] {
             const std::string record = programs + "\\02012026000001.lki";
             EXPECT_TRUE(WriteFileBytes(record, PaddedRecord({"pw", shortProgram + " -x", ""}, kMiB + 1)));
             return record;
         },
         kLauncherCannotOpen},
        {"a record that is a folder", [&] { return scratch.Folder("Program Folder\\02012026000002.lki"); },
         kLauncherCannotOpen},
        {"a record that is a device", [] { return std::string("\\\\.\\NUL"); }, kLauncherCannotOpen},
        {"a record that is a named pipe", [&] { return Pipe(); }, kLauncherCannotOpen},
        {"a record path with a NUL in it",
         [&] {
             const std::string record = programs + "\\02012026000003.lki";
             EXPECT_TRUE(WriteFileBytes(record, ValidRecordBytes()));
             return record + std::string(1, '\0') + ".x";
         },
         kLauncherCannotOpen},
        {"a record that names no target",
         [&] {
             const std::string record = programs + "\\02012026000004.lki";
             EXPECT_TRUE(WriteFileBytes(record, FormatProtectionRecord({"pw", " -x", ""})));
             return record;
         },
         kLauncherDamaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string record = c.make();
        const std::string shown = record.substr(0, record.find('\0'));
        const Snapshot before = Watch({shown});
        ExpectProbeReportAt(report);
        Process launcher = Process::StartInJob(SystemLauncher(), scratch.Path(), Scramble(record));
        ASSERT_NE(launcher.Id(), 0u);
        ExpectMessage(launcher.Id(), Replaced(c.message, "<record>", shown), kLauncherCaption);
        EXPECT_EQ(FindTopWindow(launcher.Id(), kSecurity), nullptr);
        EXPECT_EQ(ExitCode(launcher), 1u);
        EXPECT_EQ(launcher.ProcessesInJob(), 1u) << "the launcher started something";
        EXPECT_FALSE(FileExists(report));
        before.ExpectUnchanged();
    }
}

// The limit is 1 MiB itself: a record of exactly that size is read by the launcher and by remove.
TEST_F(HostileInput, ARecordOfExactly1MiBIsStillRead)
{
    const std::string record = programs + "\\03012026000001.lki";
    ASSERT_TRUE(WriteFileBytes(record, PaddedRecord({"pw", shortProgram + " -big", ""}, kMiB)));
    const std::string link = ProtectedLinkTo("one mib", record);

    OpenWithPassword(link);
    ProbeReport started = WaitForProbeReport(report);
    ASSERT_TRUE(started.arrived) << "the program was not started";
    EXPECT_EQ(started.commandLine, shortProgram + " -big");

    RemoveWithTool(link);
    LinkSpec restored;
    ASSERT_HRESULT_SUCCEEDED(ReadLink(link, restored));
    EXPECT_EQ(restored.target, shortProgram);
    EXPECT_EQ(restored.arguments, "-big");
}

namespace {

// The command interpreter acts on these in a command line; a target holding one is stored quoted.
bool NeedsQuotes(const std::string& path)
{
    return path.find_first_of(" &^()%") != std::string::npos;
}

// Waits for a visible window of this class that was not among those, or null.
HWND WaitForNewWindow(const char* className, const std::vector<HWND>& those)
{
    return WaitForWindowWhere(0, [&](HWND window) {
        return ClassName(window) == className && std::find(those.begin(), those.end(), window) == those.end();
    });
}

} // namespace

// What a record can carry survives protect, start and remove through the real programs: long
// arguments, a folder, a document, a batch file whose path the command interpreter would parse,
// and a read-only shortcut.
TEST_F(HostileInput, WhatCanBeStoredSurvivesProtectStartAndRemove)
{
    std::string longArguments;
    while (longArguments.size() < 300)
        longArguments += "-option" + std::to_string(longArguments.size()) + " ";
    longArguments += "end";
    const std::string folder = scratch.Folder("Shared Folder");
    const std::string document = scratch / "Team Documents\\team settings.ini";
    ASSERT_TRUE(WriteFileBytes(document, "[team]\r\nname=hostile\r\n"));
    const std::string batch = scratch / "R&D (100%)\\run^it.bat";
    const std::string mark = scratch / "batch ran.txt";
    ASSERT_TRUE(WriteFileBytes(batch, "@echo %1> \"" + mark + "\"\r\n"));

    struct Case {
        const char* name;
        std::string target;
        std::string arguments;
        bool readOnly;                  // the shortcut file carries the read-only attribute
        // Checks what opening the protected shortcut started; given the windows open before.
        std::function<void(const std::vector<HWND>&)> started;
    } cases[] = {
        {"300 characters of arguments", program, longArguments, false,
         [&](const std::vector<HWND>&) {
             ProbeReport started = WaitForProbeReport(report);
             ASSERT_TRUE(started.arrived) << "the program was not started";
             EXPECT_EQ(started.commandLine, shortProgram + " " + longArguments);
         }},
        // Under Wine, which runs the tests as root, the read-only attribute does not stop the
        // save; Windows refuses it and the tool says "Create Link failed!" (the protect UI test
        // shows that message with a shortcut another program holds open).
        {"a read-only shortcut", program, "-read-only", true,
         [&](const std::vector<HWND>&) {
             ProbeReport started = WaitForProbeReport(report);
             ASSERT_TRUE(started.arrived) << "the program was not started";
             EXPECT_EQ(started.commandLine, shortProgram + " -read-only");
         }},
        {"a folder", folder, "", false,
         [&](const std::vector<HWND>& before) {
             HWND window = WaitForNewWindow("ExplorerWClass", before);
             ASSERT_NE(window, nullptr) << "no folder window opened";
             EXPECT_TRUE(CloseProgramOf(window));
         }},
        {"a document", document, "", false,
         [&](const std::vector<HWND>& before) {
             HWND window = WaitForNewWindow("Notepad", before);
             ASSERT_NE(window, nullptr) << "the document was not opened";
             EXPECT_EQ(WindowText(FindWindowExA(window, nullptr, "Edit", nullptr)), "[team]\r\nname=hostile\r\n");
             EXPECT_TRUE(CloseProgramOf(window));
         }},
        {"a batch file whose path holds & ^ ( ) %", batch, "hello", false,
         [&](const std::vector<HWND>&) {
             // The file appears before the batch file has written into it.
             EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(mark).value_or(std::string()).size() >= 5; }));
             EXPECT_EQ(ReadFileBytes(mark).value_or(std::string()).substr(0, 5), "hello");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectProbeReportAt(report);
        LinkSpec original;
        original.target = c.target;
        original.arguments = c.arguments;
        original.workingDirectory = c.target == folder ? std::string() : scratch.Path();
        const std::string link = Link(c.name, original);
        if (c.readOnly)
            ASSERT_TRUE(SetFileAttributesA(link.c_str(), FILE_ATTRIBUTE_READONLY));
        const std::string stored = ShortPath(c.target);
        ASSERT_FALSE(stored.empty());

        const std::string record = ProtectWithTool(link);
        RecordReadResult read = ParseRecordFile(ReadFileBytes(record));
        ASSERT_EQ(read.status, RecordStatus::Ok) << record;
        EXPECT_EQ(read.record.commandLine,
                  (NeedsQuotes(stored) ? "\"" + stored + "\"" : stored) + " " + c.arguments);
        EXPECT_EQ(read.record.workingDirectory, original.workingDirectory);

        const std::vector<HWND> windowsBefore = TopWindows(0);
        OpenWithPassword(link);
        c.started(windowsBefore);

        RemoveWithTool(link);
        LinkSpec restored;
        ASSERT_HRESULT_SUCCEEDED(ReadLink(link, restored));
        // The shortcut as it was, from Latchkey's store of originals.
        EXPECT_EQ(restored.target, original.target);
        EXPECT_EQ(restored.arguments, c.arguments);
        EXPECT_EQ(restored.workingDirectory, original.workingDirectory);
        if (c.readOnly)
            EXPECT_TRUE(GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_READONLY);
        SetFileAttributesA(link.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// Records are created, never overwritten: another shortcut's record, or a link planted at a
// coming record's name, stays as it is and the new record takes the next free second; when every
// name the tool tries is taken, nothing is written and the tool says so.
TEST_F(HostileInput, RecordNamesInUseAreNeverWrittenThrough)
{
    // Beside its own copy of the program each, so that the cases do not share names.
    auto programIn = [&](const std::string& folderName) {
        const std::string copy = scratch / (folderName + "\\tool.exe");
        EXPECT_TRUE(CopyFileA(program.c_str(), copy.c_str(), FALSE));
        return copy;
    };
    auto linkTo = [&](const std::string& target, const std::string& name) {
        LinkSpec wanted;
        wanted.target = target;
        wanted.arguments = "-" + name;
        return Link(name, wanted);
    };
    auto fileName = [](const std::string& path) { return path.substr(path.rfind('\\') + 1); };

    {
        SCOPED_TRACE("other shortcuts' records");
        const std::string target = programIn("Busy Folder");
        const std::string folder = target.substr(0, target.rfind('\\'));
        const std::vector<std::string> names = ComingRecordNames(41);
        std::vector<std::string> taken;
        for (std::size_t i = 0; i + 1 < names.size(); ++i) {
            taken.push_back(folder + "\\" + names[i]);
            ASSERT_TRUE(WriteFileBytes(taken.back(), "another shortcut's record " + std::to_string(i)));
        }
        const Snapshot others(taken, {});
        const std::string record = ProtectWithTool(linkTo(target, "busy"));
        EXPECT_EQ(fileName(record), names.back()) << "not the first free name after the taken ones";
        EXPECT_EQ(ParseRecordFile(ReadFileBytes(record)).record.commandLine, ShortPath(target) + " -busy");
        others.ExpectUnchanged();
    }
    {
        SCOPED_TRACE("links planted at the names");
        const std::string target = programIn("Planted Folder");
        const std::string folder = target.substr(0, target.rfind('\\'));
        const std::string victim = scratch / "victim.txt";
        const std::string absent = scratch / "never written.txt";
        ASSERT_TRUE(WriteFileBytes(victim, "precious"));
        PlantedLinks planted;
        const std::vector<std::string> names = ComingRecordNames(41);
        for (std::size_t i = 0; i + 1 < names.size(); ++i)
            ASSERT_TRUE(planted.Plant(folder + "\\" + names[i], UnixPath(i % 2 ? absent : victim)));
        ASSERT_FALSE(UnixPath(absent).empty());
        const std::string record = ProtectWithTool(linkTo(target, "planted"));
        EXPECT_EQ(fileName(record), names.back()) << "not the first free name after the planted links";
        EXPECT_EQ(ParseRecordFile(ReadFileBytes(record)).record.commandLine, ShortPath(target) + " -planted");
        EXPECT_EQ(ReadFileBytes(victim), "precious");
        EXPECT_FALSE(FileExists(absent)) << "a dangling link was written through";
    }
    {
        SCOPED_TRACE("every name the tool tries");
        const std::string target = programIn("Full Folder");
        const std::string folder = target.substr(0, target.rfind('\\'));
        std::vector<std::string> taken;
        for (const std::string& name : ComingRecordNames(200)) {
            taken.push_back(folder + "\\" + name);
            ASSERT_TRUE(WriteFileBytes(taken.back(), "taken"));
        }
        const std::string link = linkTo(target, "full");
        taken.push_back(link);
        taken.push_back(MasterPath());
        const Snapshot before(taken, {folder, links});

        Process tool = StartTool("/protect", link);
        HWND dialog = WaitForWindow(tool.Id(), kAddPasswordCaption);
        ASSERT_NE(dialog, nullptr);
        TypeText(dialog, IDC_PASSWORD, L"pw");
        TypeText(dialog, IDC_RETYPE, L"pw");
        Press(dialog, IDOK);
        MessageBoxInfo box = WaitForMessageBox(tool.Id());
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, kAppTitle);
        const std::string head = "Failed to write the protection record file:\n" + ShortPath(folder) + "\\";
        const std::string tail = ".lki\nThe shortcut has not been changed.";
        EXPECT_EQ(box.text.substr(0, head.size()), head) << box.text;
        EXPECT_EQ(box.text.size(), head.size() + 14 + tail.size()) << box.text;
        EXPECT_TRUE(PressToClose(box.window));
        EXPECT_EQ(ExitCode(tool), 1u);
        before.ExpectUnchanged();
    }
}

namespace {

// Moves a folder away on the Linux side and puts a link to another folder at its name, as a
// user who owns the folder can swap it for a junction while the administrator types; undone
// at the end whatever happens.
class SwappedFolder {
public:
    SwappedFolder(const std::string& folder, const std::string& other)
        : m_unix(UnixPath(folder)), m_moved(m_unix + " moved")
    {
        m_swapped = !m_unix.empty() &&
                    RunLinux("mv " + ShellQuote(m_unix) + " " + ShellQuote(m_moved) + " && ln -s " +
                             ShellQuote(UnixPath(other)) + " " + ShellQuote(m_unix)) == 0;
    }
    ~SwappedFolder()
    {
        if (m_swapped)
            RunLinux("rm -f " + ShellQuote(m_unix) + " && mv " + ShellQuote(m_moved) + " " + ShellQuote(m_unix));
    }
    SwappedFolder(const SwappedFolder&) = delete;
    SwappedFolder& operator=(const SwappedFolder&) = delete;

    bool Swapped() const { return m_swapped; }

private:
    std::string m_unix, m_moved;
    bool m_swapped = false;
};

} // namespace

// The folder of the shortcut, or of the program where the record goes, replaced by a link to
// another folder while the password dialog is open: nothing is written, neither there nor in
// the moved folder, and the tool says so.
TEST_F(HostileInput, AFolderSwappedDuringTheDialogGetsNothing)
{
    const std::string elsewhere = scratch.Folder("Everyone's Startup");
    const std::string folderNotHeld =
        "The folder of the shortcut or of its program is reached through a link or junction, or was moved or "
        "replaced while Latchkey was working on it.\nThe shortcut has not been changed.";
    LinkSpec good;
    good.target = program;
    good.arguments = "-swap";
    const std::string link = Link("swapped", good);

    struct Case {
        const char* name;
        const char* command;
        std::string swapped;
    } cases[] = {
        {"protect: the shortcut's folder", "/protect", links},
        {"protect: the program's folder", "/protect", programs},
        {"remove: the shortcut's folder", "/remove", links},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool remove = std::string(c.command) == "/remove";
        if (remove)
            ProtectWithTool(link); // the protect cases before left it as it was
        const Snapshot before = Watch({link});
        Process tool = StartTool(c.command, link);
        ASSERT_NE(tool.Id(), 0u);
        HWND dialog = WaitForWindow(tool.Id(), remove ? kSecurity : kAddPasswordCaption);
        ASSERT_NE(dialog, nullptr) << "no password dialog";
        {
            SwappedFolder swap(c.swapped, elsewhere);
            ASSERT_TRUE(swap.Swapped());
            TypeText(dialog, IDC_PASSWORD, L"pw");
            if (!remove)
                TypeText(dialog, IDC_RETYPE, L"pw");
            Press(dialog, IDOK);
            ExpectMessage(tool.Id(), folderNotHeld, kAppTitle);
            EXPECT_EQ(ExitCode(tool), 1u);
            EXPECT_EQ(FolderEntries(elsewhere), std::vector<std::string>{}) << "written into the other folder";
        }
        before.ExpectUnchanged();
    }
}
