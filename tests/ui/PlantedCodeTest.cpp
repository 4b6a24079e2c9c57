// Code planted where a user's downloads land never runs inside the elevated tool: neither a DLL
// named msi.dll beside a copy of Latchkey.exe, nor a notepad.exe in the folder it starts in.
#include "tests/support/Files.h"
#include "tests/support/LaunchProbe.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"
#include "tests/ui/LatchkeyUi.h"

#include "resource.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

// Wine prefers its own msi.dll to a file of that name beside a program; naming it native first
// for a program makes Wine search as Windows does, the program's own folder first. The
// per-program key in the prefix's registry is used because Wine takes WINEDLLOVERRIDES from a
// process's Linux environment, which a Windows test program cannot set for what it starts.
class NativeFirst {
public:
    NativeFirst(const std::string& program, const std::string& dll)
        : m_strKey("Software\\Wine\\AppDefaults\\" + program), m_strDll(dll)
    {
        HKEY key = nullptr;
        m_bSet = RegCreateKeyExA(HKEY_CURRENT_USER, (m_strKey + "\\DllOverrides").c_str(), 0, nullptr, 0,
                                 KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS;
        static const char order[] = "native,builtin";
        m_bSet = m_bSet && RegSetValueExA(key, dll.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(order),
                                          sizeof order) == ERROR_SUCCESS;
        if (key)
            RegCloseKey(key);
    }
    // Takes away what was added; keys that hold anything else stay.
    ~NativeFirst()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, (m_strKey + "\\DllOverrides").c_str(), 0, KEY_SET_VALUE, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValueA(key, m_strDll.c_str());
            RegCloseKey(key);
        }
        RegDeleteKeyA(HKEY_CURRENT_USER, (m_strKey + "\\DllOverrides").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, m_strKey.c_str());
    }
    NativeFirst(const NativeFirst&) = delete;
    NativeFirst& operator=(const NativeFirst&) = delete;

    bool IsSet() const { return m_bSet; }

private:
    std::string m_strKey, m_strDll;
    bool m_bSet = false;
};

std::string FixturePath(const char* variable)
{
    const char* path = std::getenv(variable);
    return path ? DosPath(path) : std::string();
}

// The path of the module with this file name loaded in process pid; empty when none is.
std::string LoadedModule(DWORD pid, const std::string& fileName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE)
        return std::string();
    std::string found;
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more && found.empty(); more = Module32Next(snapshot, &entry))
        if (_stricmp(entry.szModule, fileName.c_str()) == 0)
            found = entry.szExePath;
    CloseHandle(snapshot);
    return found;
}

std::string ImagePathOf(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return std::string();
    std::string path(32768, '\0');
    DWORD size = static_cast<DWORD>(path.size());
    path.resize(QueryFullProcessImageNameA(process, 0, &path[0], &size) ? size : 0);
    CloseHandle(process);
    return path;
}

class PlantedCode : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_FALSE(FileExists(SystemFolder() + "\\master2.lki")) << "a master password would be asked";
        ASSERT_TRUE(CopyFileA(LatchkeyExe().c_str(), tool.c_str(), FALSE));
    }

    ScratchFolder scratch{"lk planted"};
    const std::string downloads = scratch.Folder("Downloads");
    const std::string tool = downloads + "\\Latchkey.exe"; // a copy, run from where it was downloaded
};

} // namespace

TEST_F(PlantedCode, AnMsiDllBesideTheToolIsNeverLoaded)
{
    const std::string fixture = FixturePath("LK_PLANTED_DLL");
    const std::string loader = downloads + "\\plain loader.exe";
    ASSERT_FALSE(fixture.empty()) << "LK_PLANTED_DLL is not set";
    const std::string planted = downloads + "\\msi.dll";
    const std::string mark = planted + ".loaded";
    ASSERT_TRUE(CopyFileA(fixture.c_str(), planted.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(FixturePath("LK_PLAIN_LOADER").c_str(), loader.c_str(), FALSE));
    LinkSpec wanted;
    wanted.target = scratch / "Programs\\tool.exe";
    ASSERT_TRUE(WriteFileBytes(wanted.target, "MZ"));
    const std::string link = downloads + "\\Tool.lnk";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
    const std::optional<std::string> linkBytes = ReadFileBytes(link);
    NativeFirst loaderSearchesAsWindows("plain loader.exe", "msi");
    NativeFirst toolSearchesAsWindows("Latchkey.exe", "msi");
    ASSERT_TRUE(loaderSearchesAsWindows.IsSet() && toolSearchesAsWindows.IsSet());

    // The plant works: a program beside it that asks for msi.dll by name gets it.
    {
        Process plain = Process::Start(loader, downloads, "msi.dll");
        DWORD exitCode = 1;
        ASSERT_TRUE(plain.WaitForExit(&exitCode));
        EXPECT_EQ(exitCode, 0u);
        ASSERT_TRUE(FileExists(mark)) << "the planted DLL is not found beside a program, so this test shows nothing";
        ASSERT_TRUE(DeleteFileA(mark.c_str()));
    }

    // At start-up the tool has no msi.dll loaded at all.
    {
        Latchkey app;
        app.process = Process::Start(tool, downloads);
        app.main = WaitForWindow(app.Id(), kMainCaption);
        ASSERT_NE(app.main, nullptr);
        EXPECT_EQ(LoadedModule(app.Id(), "msi.dll"), "");
        Press(app.main, IDCANCEL);
        EXPECT_TRUE(app.process.WaitForExit());
    }
    EXPECT_FALSE(FileExists(mark));

    // Protect asks Windows Installer only about an advertised shortcut, so for this plain one
    // msi.dll may stay unloaded; if anything loads it, it is the system's, never the plant.
    Process protect = Process::Start(tool, downloads, "/protect \"" + link + "\"");
    HWND dialog = WaitForWindow(protect.Id(), kAddPasswordCaption);
    ASSERT_NE(dialog, nullptr);
    const std::string msi = LoadedModule(protect.Id(), "msi.dll");
    if (!msi.empty())
        EXPECT_EQ(_stricmp(msi.c_str(), (SystemFolder() + "\\msi.dll").c_str()), 0) << msi;
    Press(dialog, IDCANCEL);
    DWORD exitCode = 0;
    EXPECT_TRUE(protect.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 2u);
    EXPECT_FALSE(FileExists(mark)) << "the planted msi.dll ran";
    EXPECT_EQ(ReadFileBytes(link), linkBytes);
}

TEST_F(PlantedCode, HelpStartsTheWindowsNotepadNotOneBesideTheTool)
{
    ASSERT_FALSE(ProbeProgram().empty()) << "LK_LAUNCH_PROBE is not set";
    ASSERT_TRUE(WriteFileBytes(downloads + "\\LatchkeyReadMe.txt", "The read-me beside the tool."));
    PlaceProbe(scratch, "Downloads\\notepad.exe");
    const std::string report = scratch / "report.bin";
    ExpectProbeReportAt(report);

    Process app = Process::StartInJob(tool, downloads);
    HWND main = WaitForWindow(app.Id(), kMainCaption);
    ASSERT_NE(main, nullptr);
    Press(main, IDC_README);
    HWND notepad = WaitForWindowWhere(0, [](HWND window) {
        return ClassName(window) == "Notepad" && WindowText(window).find("LatchkeyReadMe") != std::string::npos;
    });
    ASSERT_NE(notepad, nullptr) << "Notepad did not open the read-me";
    // Wine reports its own Notepad from the system folder, whichever folder it was started from.
    const std::string image = ImagePathOf(ProcessOf(notepad));
    EXPECT_TRUE(_stricmp(image.c_str(), (WindowsFolder() + "\\notepad.exe").c_str()) == 0 ||
                _stricmp(image.c_str(), (SystemFolder() + "\\notepad.exe").c_str()) == 0)
        << image;
    EXPECT_EQ(WindowText(FindWindowExA(notepad, nullptr, "Edit", nullptr)), "The read-me beside the tool.");
    EXPECT_EQ(app.ProcessesInJob(), 2u) << "Help started more than Notepad";
    EXPECT_FALSE(FileExists(report)) << "the planted notepad.exe ran";
    EXPECT_TRUE(CloseProgramOf(notepad));

    Press(main, IDCANCEL);
    EXPECT_TRUE(app.WaitForExit());
}
