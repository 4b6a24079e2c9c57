// The package of this width as an administrator and a user meet it: msiexec installs it silently,
// and what it installs works (the Start menu shortcut, Help, a shortcut protected through the
// installed tool and launcher, opened by 64-bit and 32-bit programs); installing again,
// repairing, upgrading and installing a rebuild leave one entry; the next release's launcher
// replaces the installed one; removing it keeps the launcher, so shortcuts still protected keep
// asking, and takes the logon check's task with it; an older package never goes over a newer one.
// On 64-bit Windows the 32-bit package refuses to install.
#include "LauncherResource.h"
#include "resource.h"
#include "tests/ui/LatchkeyUi.h"
#include "tests/support/Files.h"
#include "tests/support/LaunchProbe.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"
#include "win/LogonTask.h"

#include <msi.h>
#include <msiquery.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

constexpr DWORD kInstallMs = 120000;
constexpr DWORD kInstallFailure = 1603; // ERROR_INSTALL_FAILURE: what msiexec ends with on a refusal
constexpr char kDowngradeMessage[] = "A newer version of Latchkey is already installed. To install this older "
                                     "version, uninstall the newer one first.";

std::string EnvPath(const char* name)
{
    const char* value = std::getenv(name);
    return value ? DosPath(value) : std::string();
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// Paths compare without regard to case or a closing backslash.
bool SamePath(std::string a, std::string b)
{
    for (std::string* path : {&a, &b})
        while (!path->empty() && path->back() == '\\')
            path->pop_back();
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

// True when both files exist and hold the same bytes (compared here: programs are too big to print).
bool SameBytes(const std::string& path, const std::string& expectedPath)
{
    const std::optional<std::string> bytes = ReadFileBytes(path);
    return bytes && !bytes->empty() && bytes == ReadFileBytes(expectedPath);
}

std::string KnownFolder(int csidl)
{
    char path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}

std::string InstallDir()
{
    return KnownFolder(CSIDL_PROGRAM_FILES) + "\\Latchkey";
}

std::string MasterPath()
{
    return SystemFolder() + "\\master2.lki";
}

// Where 32-bit programs find the system folder on 64-bit Windows; empty on 32-bit Windows.
std::string Wow64Folder()
{
#ifdef _WIN64
    char path[MAX_PATH] = {};
    const UINT n = GetSystemWow64DirectoryA(path, MAX_PATH);
    EXPECT_TRUE(n > 0 && n < MAX_PATH);
    return n > 0 && n < MAX_PATH ? path : "";
#else
    return std::string();
#endif
}

// The launchers a package puts into the system folders: the 64-bit package puts its launcher
// where 32-bit programs look too.
std::vector<std::string> SystemLaunchers()
{
    std::vector<std::string> launchers{SystemLauncher()};
    if (!Wow64Folder().empty())
        launchers.push_back(Wow64Folder() + "\\lkrun3.exe");
    return launchers;
}

// Windows puts the shortcut of a per-machine package into the common Start menu, Wine's msiexec
// into the user's: the one that exists, else empty.
std::string StartMenuLink()
{
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        std::string link = KnownFolder(csidl) + "\\Latchkey.lnk";
        if (FileExists(link))
            return link;
    }
    return std::string();
}

// What identifies a package, from its Property table, and how it installs the launcher.
struct Package {
    std::string path, productCode, upgradeCode, version;
    int launcherAttributes = 0; // of the launcher's component
};

// The first field of the first row a query gives, as text; empty when none.
std::string QueryValue(MSIHANDLE database, const std::string& query)
{
    std::string value;
    MSIHANDLE view = 0, record = 0;
    if (MsiDatabaseOpenViewA(database, query.c_str(), &view) == ERROR_SUCCESS &&
        MsiViewExecute(view, 0) == ERROR_SUCCESS && MsiViewFetch(view, &record) == ERROR_SUCCESS) {
        DWORD size = 0;
        char none[1] = "";
        if (MsiRecordGetStringA(record, 1, none, &size) == ERROR_MORE_DATA) {
            value.assign(size + 1, '\0');
            size = static_cast<DWORD>(value.size());
            if (MsiRecordGetStringA(record, 1, &value[0], &size) == ERROR_SUCCESS)
                value.resize(size);
            else
                value.clear();
        }
    }
    MsiCloseHandle(record);
    MsiCloseHandle(view);
    return value;
}

Package ReadPackage(const std::string& path)
{
    Package package;
    package.path = path;
    MSIHANDLE database = 0;
    if (path.empty() || MsiOpenDatabaseA(path.c_str(), MSIDBOPEN_READONLY, &database) != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot open the package \"" << path << "\"";
        return package;
    }
    auto property = [&](const char* name) {
        std::string value = QueryValue(database, std::string("SELECT `Value` FROM `Property` WHERE `Property`='") +
                                                     name + "'");
        EXPECT_FALSE(value.empty()) << name << " of " << path;
        return value;
    };
    package.productCode = property("ProductCode");
    package.upgradeCode = property("UpgradeCode");
    package.version = property("ProductVersion");
    const std::string launcher = QueryValue(database, "SELECT `Component_` FROM `File` WHERE `FileName`='lkrun3.exe'");
    package.launcherAttributes = std::atoi(
        QueryValue(database, "SELECT `Attributes` FROM `Component` WHERE `Component`='" + launcher + "'").c_str());
    MsiCloseHandle(database);
    return package;
}

// Runs msiexec with the arguments and returns its exit code.
DWORD Msiexec(const std::string& arguments)
{
    Process msiexec = Process::Start(SystemFolder() + "\\msiexec.exe", std::string(), arguments);
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(msiexec.WaitForExit(&code, kInstallMs)) << "msiexec " << arguments << " did not end";
    return code;
}

DWORD InstallSilently(const Package& package, const std::string& properties = std::string())
{
    return Msiexec("/i " + Quoted(package.path) + (properties.empty() ? "" : " " + properties) + " /qn");
}

DWORD UninstallSilently(const std::string& packageOrProductCode)
{
    return Msiexec("/x " + Quoted(packageOrProductCode) + " /qn");
}

// Installs with msiexec's own user interface, as opening the package does, where the installation
// is refused: returns the message the user reads (after pressing OK) and msiexec's exit code.
std::string RefusalMessage(const Package& package, DWORD* exitCode)
{
    Process msiexec = Process::Start(SystemFolder() + "\\msiexec.exe", std::string(), "/i " + Quoted(package.path));
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindows(msiexec.Id()))
                if (IsMessageBox(window))
                    box = window;
            return box || !msiexec.Running();
        },
        kInstallMs);
    if (!box) {
        ADD_FAILURE() << "msiexec showed no message for " << package.path;
        msiexec.WaitForExit(exitCode, kInstallMs);
        return std::string();
    }
    const std::string text = ControlText(box, 0xFFFF);
    EXPECT_TRUE(PressToClose(box));
    EXPECT_TRUE(msiexec.WaitForExit(exitCode, kInstallMs));
    return text;
}

// The products installed from packages with this upgrade code.
std::vector<std::string> InstalledProducts(const std::string& upgradeCode)
{
    std::vector<std::string> products;
    char product[39] = {};
    for (DWORD i = 0; MsiEnumRelatedProductsA(upgradeCode.c_str(), 0, i, product) == ERROR_SUCCESS; ++i)
        products.push_back(product);
    return products;
}

// Add/Remove Programs reads the Uninstall key (the 64-bit view on 64-bit Windows, where the
// 64-bit package writes).
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// A value of a key under HKEY_LOCAL_MACHINE in the native view (name null: the default value), as
// text: a string as it is, a number in decimal; empty when there is none.
std::string MachineValue(const std::string& path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return std::string();
    std::string value(1024, '\0');
    DWORD type = 0, size = static_cast<DWORD>(value.size() - 1);
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]), &size);
    RegCloseKey(key);
    if (status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        memcpy(&number, value.data(), sizeof number);
        return std::to_string(number);
    }
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return std::string();
    value.resize(size);
    while (!value.empty() && value.back() == '\0')
        value.pop_back();
    return value;
}

std::string UninstallValue(const std::string& entry, const char* name)
{
    return MachineValue(std::string(kUninstallKey) + "\\" + entry, name);
}

// The context-menu verbs on shortcut files.
const std::string kVerbsKey = "Software\\Classes\\lnkfile\\shell\\";
// The Application log's source of both programs.
const std::string kEventSourceKey = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Latchkey";

// The entries of Add/Remove Programs named Latchkey.
std::vector<std::string> LatchkeyEntries()
{
    std::vector<std::string> entries;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return entries;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (UninstallValue(name, "DisplayName") == "Latchkey")
            entries.push_back(name);
    }
    RegCloseKey(key);
    return entries;
}

std::string ProductInfo(const std::string& productCode, const char* property)
{
    char value[MAX_PATH * 2] = {};
    DWORD size = sizeof value;
    return MsiGetProductInfoA(productCode.c_str(), property, value, &size) == ERROR_SUCCESS ? value : "";
}

// Opens a file the way the shell does when the user double-clicks it.
void OpenAsTheShellDoes(const std::string& path)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI; // a failure must not wait in a message box
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    EXPECT_TRUE(ShellExecuteExA(&info)) << path << ": error " << GetLastError();
}

class Installer : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        package = ReadPackage(EnvPath("LK_MSI"));
        ASSERT_FALSE(package.upgradeCode.empty());
        // A run that was stopped half-way may have left an installation or files behind.
        RemoveInstallation();
        DeleteFileA(MasterPath().c_str());
        for (const std::string& launcher : SystemLaunchers())
            ASSERT_FALSE(FileExists(launcher));
        ASSERT_TRUE(LatchkeyEntries().empty());
    }

    // Everything a test installed, registered or put into the system folder goes, also when it failed.
    void TearDown() override
    {
        RemoveInstallation();
        EXPECT_HRESULT_SUCCEEDED(DeleteCheckTask());
        DeleteFileA(MasterPath().c_str());
        for (const std::string& path : m_vecLeftInSystem)
            DeleteFileA(path.c_str());
        EXPECT_TRUE(InstalledProducts(package.upgradeCode).empty());
        EXPECT_FALSE(FileExists(InstallDir()));
    }

    void RemoveInstallation()
    {
        for (const std::string& product : InstalledProducts(package.upgradeCode))
            EXPECT_EQ(UninstallSilently(product), 0u) << product;
        // The launcher stays by design; the test prefix must not keep it.
        for (const std::string& launcher : SystemLaunchers())
            DeleteFileA(launcher.c_str());
    }

    // Every file where the package puts it, the same as the built ones; one entry in Add/Remove
    // Programs with the name, maker, version, icon, place and help, and nothing to modify; the
    // Start menu shortcut.
    void ExpectInstalled(const Package& installed)
    {
        const std::string dist = DistDir();
        EXPECT_TRUE(SameBytes(InstallDir() + "\\Latchkey.exe", dist + "\\Latchkey.exe"));
        EXPECT_TRUE(SameBytes(InstallDir() + "\\LatchkeyReadMe.txt", EnvPath("LK_README")));
        ExpectLaunchers(dist + "\\lkrun3.exe");
#ifdef _WIN64
        // The program itself not where 32-bit programs see the program folder.
        EXPECT_FALSE(FileExists(KnownFolder(CSIDL_PROGRAM_FILESX86) + "\\Latchkey"));
#endif

        EXPECT_EQ(InstalledProducts(package.upgradeCode), std::vector<std::string>{installed.productCode});
        EXPECT_EQ(LatchkeyEntries(), std::vector<std::string>{installed.productCode});
        EXPECT_EQ(UninstallValue(installed.productCode, "Publisher"), "Halvorn");
        EXPECT_EQ(UninstallValue(installed.productCode, "DisplayVersion"), installed.version);
        EXPECT_TRUE(SamePath(UninstallValue(installed.productCode, "InstallLocation"), InstallDir()));
        EXPECT_TRUE(SamePath(UninstallValue(installed.productCode, "HelpLink"), InstallDir() + "\\LatchkeyReadMe.txt"));
        EXPECT_EQ(UninstallValue(installed.productCode, "NoModify"), "1");
        const std::string icon = ProductInfo(installed.productCode, "ProductIcon");
        EXPECT_FALSE(icon.empty()) << "no icon for Add/Remove Programs";
        EXPECT_TRUE(SameBytes(icon, EnvPath("LK_ICON"))) << icon;

        const std::string link = StartMenuLink();
        ASSERT_FALSE(link.empty()) << "no Start menu shortcut";
        LinkSpec shortcut;
        ASSERT_HRESULT_SUCCEEDED(ReadLink(link, shortcut));
        EXPECT_TRUE(SamePath(shortcut.target, InstallDir() + "\\Latchkey.exe")) << shortcut.target;
        EXPECT_TRUE(SamePath(shortcut.workingDirectory, InstallDir())) << shortcut.workingDirectory;
    }
    void ExpectInstalled() { ExpectInstalled(package); }

    // The launcher in every system folder it belongs in, the same as the given one.
    void ExpectLaunchers(const std::string& expected)
    {
        for (const std::string& launcher : SystemLaunchers())
            EXPECT_TRUE(SameBytes(launcher, expected)) << launcher << " is not " << expected;
    }

    // The program, its read-me, its shortcut and its entry are gone; the launcher stays.
    void ExpectUninstalled()
    {
        EXPECT_FALSE(FileExists(InstallDir()));
        EXPECT_EQ(StartMenuLink(), "");
        EXPECT_TRUE(InstalledProducts(package.upgradeCode).empty());
        EXPECT_TRUE(LatchkeyEntries().empty());
        ExpectLaunchers(DistDir() + "\\lkrun3.exe");
    }

    Package package;
    std::vector<std::string> m_vecLeftInSystem; // files the tool put into the system folder
};

// Starts the installed tool from its Start menu shortcut and waits for its main window.
HWND StartFromStartMenu()
{
    const std::string link = StartMenuLink();
    if (link.empty()) {
        ADD_FAILURE() << "no Start menu shortcut";
        return nullptr;
    }
    OpenAsTheShellDoes(link);
    HWND main = WaitForWindow(0, kMainCaption);
    EXPECT_NE(main, nullptr) << "the Start menu shortcut opened no main window";
    return main;
}

HWND WaitForNotepadOn(const std::string& fileName)
{
    return WaitForWindowWhere(0, [&](HWND window) {
        return ClassName(window) == "Notepad" && WindowText(window).find(fileName) != std::string::npos;
    });
}

// Opens the protected shortcut as the shell does (or as the given opener does): the launcher
// installed in the system folder (the 32-bit programs' one, for a 32-bit opener) asks, and the
// right password starts the program with its command line.
void ExpectAsksAndStarts(const std::string& link, const std::string& password, const std::string& report,
                         const std::string& commandLine,
                         const std::function<void(const std::string&)>& open = OpenAsTheShellDoes,
                         const std::string& expectedLauncher = SystemLauncher())
{
    ExpectProbeReportAt(report);
    open(link);
    HWND dialog = WaitForWindow(0, kSecurity);
    ASSERT_NE(dialog, nullptr) << "the protected shortcut did not ask for its password";
    WindowProcess launcher(dialog);
    EXPECT_TRUE(SamePath(launcher.ImagePath(), expectedLauncher)) << launcher.ImagePath();
    SetControlText(dialog, IDC_PASSWORD, password);
    Press(dialog, IDOK);
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    ProbeReport started = WaitForProbeReport(report);
    ASSERT_TRUE(started.arrived) << "the program did not start";
    EXPECT_EQ(started.commandLine, commandLine);
}

// Protects the shortcut with the installed tool, as its context-menu verb does.
void ProtectWithInstalledTool(const std::string& link, const std::string& password)
{
    Process tool = Process::Start(InstallDir() + "\\Latchkey.exe", std::string(), "/protect " + Quoted(link));
    HWND dialog = WaitForWindow(tool.Id(), kAddPasswordCaption);
    ASSERT_NE(dialog, nullptr) << "the tool asked for no password";
    SetControlText(dialog, IDC_PASSWORD, password);
    SetControlText(dialog, IDC_RETYPE, password);
    Press(dialog, IDOK);
    MessageBoxInfo box = WaitForMessageBox(tool.Id());
    EXPECT_EQ(box.caption, "Succeed!") << box.text;
    ASSERT_TRUE(PressToClose(box.window));
    DWORD exitCode = 1;
    ASSERT_TRUE(tool.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

#ifdef _WIN64
// The exit code of a 32-bit command prompt running the command; STILL_ACTIVE when it did not end,
// or there is none (a prefix made without 32-bit Wine).
DWORD Run32BitCommand(const std::string& command)
{
    const std::string prompt = Wow64Folder() + "\\cmd.exe";
    if (!FileExists(prompt))
        return STILL_ACTIVE;
    Process cmd = Process::Start(prompt, std::string(), "/c " + command);
    DWORD code = STILL_ACTIVE;
    cmd.WaitForExit(&code, kInstallMs);
    return code;
}

// A 32-bit program opens the file as the shell does (start uses ShellExecuteEx).
void OpenFrom32BitProgram(const std::string& path)
{
    EXPECT_EQ(Run32BitCommand("start \"\" " + Quoted(path)), 0u) << path;
}
#endif

TEST_F(Installer, InstallsSilentlyRunsProtectsAndUninstallsKeepingTheLauncher)
{
    // The uninstall below shows it only in a prefix where no package installed the launcher
    // before: Windows Installer keeps a component that was once permanent for good.
    EXPECT_TRUE(package.launcherAttributes & 0x10) << "the launcher's component is not permanent";
    ASSERT_EQ(InstallSilently(package), 0u);
    ExpectInstalled();

    // The Start menu shortcut starts the installed tool in its folder, where Help finds the read-me.
    {
        HWND main = StartFromStartMenu();
        ASSERT_NE(main, nullptr);
        WindowProcess tool(main);
        EXPECT_TRUE(SamePath(tool.ImagePath(), InstallDir() + "\\Latchkey.exe")) << tool.ImagePath();
        Press(main, IDC_README);
        HWND notepad = WaitForNotepadOn("LatchkeyReadMe.txt");
        ASSERT_NE(notepad, nullptr) << "Help opened no read-me";
        EXPECT_EQ(WindowText(FindWindowExA(notepad, nullptr, "Edit", nullptr)),
                  ReadFileBytes(InstallDir() + "\\LatchkeyReadMe.txt"));
        EXPECT_TRUE(CloseProgramOf(notepad));
        Press(main, IDCANCEL);
        EXPECT_EQ(tool.WaitForExit(), 0u);
    }

    // A shortcut protected through the installed tool, with the original icon, opens its program
    // through the installed launcher.
    ScratchFolder scratch("lk installer");
    const std::string program = PlaceProbe(scratch, "Editor\\Long Editor Name.exe");
    const std::string programFolder = scratch.Path() + "\\Editor";
    const std::string link = scratch.Path() + "\\Long Editor.lnk";
    const std::string report = scratch.Path() + "\\report.bin";
    LinkSpec wanted;
    wanted.target = program;
    wanted.arguments = "--open \"My File.txt\"";
    wanted.workingDirectory = scratch.Folder("Documents");
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
    {
        HWND main = StartFromStartMenu();
        ASSERT_NE(main, nullptr);
        WindowProcess tool(main);
        Press(main, IDC_CREATE);
        HWND picker = WaitForFileDialog(tool.Id(), "SELECT THE SHORTCUT YOU WANT TO ADD PASSWORD PROTECTION");
        ASSERT_NE(picker, nullptr);
        ASSERT_TRUE(PickFile(picker, link));
        HWND add = WaitForWindow(tool.Id(), "Add Password Protection");
        ASSERT_NE(add, nullptr);
        SetControlText(add, IDC_PASSWORD, "s3cret!");
        SetControlText(add, IDC_RETYPE, "s3cret!");
        SetChecked(add, IDC_USEORIGINALICON, true);
        Press(add, IDOK);
        MessageBoxInfo box = WaitForMessageBox(tool.Id());
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, "Succeed!") << box.text;
        ASSERT_TRUE(PressToClose(box.window));
        Press(main, IDCANCEL);
        EXPECT_EQ(tool.WaitForExit(), 0u);
    }
    LinkSpec protectedLink;
    ASSERT_HRESULT_SUCCEEDED(ReadLink(link, protectedLink));
    EXPECT_TRUE(SamePath(protectedLink.target, SystemLauncher())) << protectedLink.target;
    const std::string iconCopy = protectedLink.iconPath;
    m_vecLeftInSystem.push_back(iconCopy);
    EXPECT_TRUE(SamePath(iconCopy.substr(0, iconCopy.rfind('\\')), SystemFolder())) << iconCopy;
    const std::string commandLine = ShortPath(program) + " --open \"My File.txt\"";
    ExpectAsksAndStarts(link, "s3cret!", report, commandLine);

    // Uninstalling touches none of the user's files: records, icon copies, the master file.
    ASSERT_TRUE(WriteFileBytes(MasterPath(), "kept\r\n"));
    const std::vector<std::string> programFiles = FolderEntries(programFolder);
    ASSERT_EQ(programFiles.size(), 2u) << "the program and its record";
    const std::optional<std::string> iconBytes = ReadFileBytes(iconCopy);
    ASSERT_TRUE(iconBytes && !iconBytes->empty());

    ASSERT_EQ(UninstallSilently(package.path), 0u);
    ExpectUninstalled();
    EXPECT_EQ(FolderEntries(programFolder), programFiles);
    EXPECT_TRUE(ReadFileBytes(iconCopy) == iconBytes) << iconCopy;
    EXPECT_EQ(ReadFileBytes(MasterPath()), "kept\r\n");
    DeleteFileA(MasterPath().c_str());

    // The shortcut that is still protected keeps asking instead of breaking.
    ExpectAsksAndStarts(link, "s3cret!", report, commandLine);
}

// The two verbs on shortcut files run the installed tool on the shortcut, and the Event Log's source
// is registered; uninstall takes them away, and the logon check's task that the tool registered.
// (An upgrade keeps the task on Windows; Wine's msiexec does not tell the removed package that it
// is an upgrade, so that cannot be shown here.)
TEST_F(Installer, TheShortcutVerbsRunTheInstalledToolAndGoWithItAsDoesTheLogonCheck)
{
    ASSERT_EQ(InstallSilently(package), 0u);
    const std::string toolPath = InstallDir() + "\\Latchkey.exe";
    ASSERT_HRESULT_SUCCEEDED(RegisterCheckTask(Widen(toolPath)));
    ASSERT_TRUE(CheckTaskRegistered());
    struct Verb {
        const char* key;
        const char* text;
        const char* option;
    } verbs[] = {
        {"LatchkeyProtect", "Protect with a password...", "/protect"},
        {"LatchkeyRemove", "Remove password protection...", "/remove"},
    };
    // The Application log's source, its texts in the launcher's message table.
    const std::string messageFile = MachineValue(kEventSourceKey, "EventMessageFile");
    EXPECT_TRUE(SamePath(messageFile, SystemLauncher())) << messageFile;
    EXPECT_EQ(MachineValue(kEventSourceKey, "TypesSupported"), "7");
    std::string commands[2];
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(verbs[i].key);
        EXPECT_EQ(MachineValue(kVerbsKey + verbs[i].key, nullptr), verbs[i].text);
        EXPECT_EQ(MachineValue(kVerbsKey + verbs[i].key, "Icon"), toolPath + ",0");
        commands[i] = MachineValue(kVerbsKey + verbs[i].key + "\\command", nullptr);
        EXPECT_EQ(commands[i], "\"" + toolPath + "\" " + verbs[i].option + " \"%1\"");
    }

    // Each verb's command, run on a shortcut as the shell runs it: %1 is the shortcut's path.
    ScratchFolder scratch("lk verbs");
    const std::string program = PlaceProbe(scratch, "Tool\\Verb Tool.exe");
    const std::string link = scratch / "Verb Tool.lnk";
    LinkSpec wanted;
    wanted.target = program;
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
    auto run = [&](const std::string& command) {
        std::string arguments = command.substr(command.find("\" ", 1) + 2);
        arguments.replace(arguments.find("%1"), 2, link);
        return Process::Start(toolPath, scratch.Path(), arguments);
    };
    // Protect, then remove: each through its verb's dialog to its success box and exit code 0.
    struct Step {
        const char* dialogCaption;
        bool retype;
        const char* successCaption;
        std::string target; // of the shortcut afterwards
    } steps[] = {
        {kAddPasswordCaption, true, "Succeed!", SystemLauncher()},
        {kSecurity, false, "Removal Succeed", program}, // the shortcut as it was
    };
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(verbs[i].key);
        Process tool = run(commands[i]);
        HWND dialog = WaitForWindow(tool.Id(), steps[i].dialogCaption);
        ASSERT_NE(dialog, nullptr) << "the verb opened no password dialog";
        SetControlText(dialog, IDC_PASSWORD, "verb");
        if (steps[i].retype)
            SetControlText(dialog, IDC_RETYPE, "verb");
        Press(dialog, IDOK);
        MessageBoxInfo box = WaitForMessageBox(tool.Id());
        EXPECT_EQ(box.caption, steps[i].successCaption);
        ASSERT_TRUE(PressToClose(box.window));
        DWORD exitCode = 1;
        ASSERT_TRUE(tool.WaitForExit(&exitCode));
        EXPECT_EQ(exitCode, 0u);
        LinkSpec after;
        ASSERT_HRESULT_SUCCEEDED(ReadLink(link, after));
        EXPECT_TRUE(SamePath(after.target, steps[i].target)) << after.target;
    }

    ASSERT_EQ(UninstallSilently(package.productCode), 0u);
    for (const Verb& verb : verbs) {
        EXPECT_EQ(MachineValue(kVerbsKey + verb.key, nullptr), "") << verb.key;
        EXPECT_EQ(MachineValue(kVerbsKey + verb.key + "\\command", nullptr), "") << verb.key;
    }
    EXPECT_EQ(MachineValue(kEventSourceKey, "EventMessageFile"), "");
    EXPECT_EQ(MachineValue(kEventSourceKey, "TypesSupported"), "");
    EXPECT_FALSE(CheckTaskRegistered());
}

TEST_F(Installer, InstallingAgainOrRepairingKeepsOneEntryAndRepairPutsBackWhatIsMissing)
{
    ASSERT_EQ(InstallSilently(package), 0u);
    ASSERT_EQ(InstallSilently(package), 0u);
    ExpectInstalled();

    ASSERT_TRUE(DeleteFileA((InstallDir() + "\\LatchkeyReadMe.txt").c_str()));
    ASSERT_TRUE(DeleteFileA(SystemLauncher().c_str()));
    ASSERT_EQ(InstallSilently(package, "REINSTALL=ALL REINSTALLMODE=omus"), 0u);
    ExpectInstalled();

    ASSERT_EQ(UninstallSilently(package.productCode), 0u);
    ExpectUninstalled();
}

// A rebuild of the same version has a product code of its own: it replaces the installed build,
// and the first build replaces it again (Windows would refuse a second product under one code).
TEST_F(Installer, ARebuildOfTheSameVersionReplacesTheInstalledBuild)
{
    const Package rebuilt = ReadPackage(EnvPath("LK_MSI_REBUILT"));
    ASSERT_EQ(rebuilt.upgradeCode, package.upgradeCode);
    ASSERT_EQ(rebuilt.version, package.version);
    ASSERT_NE(rebuilt.productCode, package.productCode);

    ASSERT_EQ(InstallSilently(package), 0u);
    ExpectInstalled();
    ASSERT_EQ(InstallSilently(rebuilt), 0u);
    ExpectInstalled(rebuilt);
    ASSERT_EQ(InstallSilently(package), 0u);
    ExpectInstalled();
}

// The launcher stays installed for good and is replaced only by a higher file version: the next
// release's launcher, which differs, takes its place in every system folder, and the older
// package then refuses to go over it.
TEST_F(Installer, TheNextReleaseReplacesTheLauncherInEverySystemFolder)
{
    const Package next = ReadPackage(EnvPath("LK_MSI_NEXT"));
    const std::string nextLauncher = EnvPath("LK_NEXT_LAUNCHER");
    ASSERT_EQ(next.upgradeCode, package.upgradeCode);
    ASSERT_NE(next.version, package.version);
    ASSERT_FALSE(SameBytes(nextLauncher, DistDir() + "\\lkrun3.exe")) << "the next release's launcher is the same";

    ASSERT_EQ(InstallSilently(package), 0u);
    ExpectInstalled();
    ASSERT_EQ(InstallSilently(next), 0u);
    EXPECT_EQ(InstalledProducts(package.upgradeCode), std::vector<std::string>{next.productCode});
    EXPECT_EQ(LatchkeyEntries(), std::vector<std::string>{next.productCode});
    ExpectLaunchers(nextLauncher);

    EXPECT_EQ(InstallSilently(package), kInstallFailure);
    ExpectLaunchers(nextLauncher);
}

#ifdef _WIN64
// A 32-bit program (a launcher, a dock, a file manager) that opens a protected shortcut is sent
// to SysWOW64 for the launcher: the package put it there too, and it reads the record where the
// 64-bit tool wrote it.
TEST_F(Installer, A32BitProgramOpensAProtectedShortcutThroughTheLauncherInItsSystemFolder)
{
    if (Run32BitCommand("exit 7") != 7)
        GTEST_SKIP() << "32-bit programs do not run here";
    ASSERT_EQ(InstallSilently(package), 0u);

    ScratchFolder scratch("lk 32-bit caller");
    const std::string program = PlaceProbe(scratch, "Game\\Space Game.exe");
    const std::string link = scratch / "Space Game.lnk";
    LinkSpec wanted;
    wanted.target = program;
    wanted.arguments = "--level 3";
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, wanted));
    ProtectWithInstalledTool(link, "from 32 bits");

    ExpectAsksAndStarts(link, "from 32 bits", scratch / "report.bin", ShortPath(program) + " --level 3",
                        OpenFrom32BitProgram, Wow64Folder() + "\\lkrun3.exe");
}
#endif

TEST_F(Installer, ANewerPackageReplacesAnOlderOneAndAnOlderOneIsRefused)
{
    const Package older = ReadPackage(EnvPath("LK_MSI_LOWER"));
    ASSERT_EQ(older.upgradeCode, package.upgradeCode);
    ASSERT_NE(older.version, package.version);

    ASSERT_EQ(InstallSilently(older), 0u);
    EXPECT_EQ(InstalledProducts(package.upgradeCode), std::vector<std::string>{older.productCode});
    EXPECT_EQ(UninstallValue(older.productCode, "DisplayVersion"), older.version);

    ASSERT_EQ(InstallSilently(package), 0u);
    ExpectInstalled();

    DWORD exitCode = 0;
    EXPECT_EQ(RefusalMessage(older, &exitCode), kDowngradeMessage);
    EXPECT_EQ(exitCode, kInstallFailure);
    EXPECT_EQ(InstallSilently(older), kInstallFailure);
    ExpectInstalled();
}

#ifdef _WIN64
// Here the 32-bit tool and launcher would see another system folder than the shell does.
TEST_F(Installer, The32BitPackageRefusesToInstallOn64BitWindowsNamingThe64BitOne)
{
    const Package x86 = ReadPackage(EnvPath("LK_MSI_X86"));
    ASSERT_FALSE(x86.upgradeCode.empty());
    ASSERT_NE(x86.upgradeCode, package.upgradeCode);

    DWORD exitCode = 0;
    EXPECT_EQ(RefusalMessage(x86, &exitCode),
              "This is the Latchkey package for 32-bit Windows. On 64-bit Windows, install the 64-bit package "
              "Latchkey-" + std::string(std::getenv("LK_RELEASE")) + "-x64.msi instead.");
    EXPECT_EQ(exitCode, kInstallFailure);
    EXPECT_EQ(InstallSilently(x86), kInstallFailure);

    const std::string wow64Launcher = Wow64Folder() + "\\lkrun3.exe";
    const std::vector<std::string> installed = InstalledProducts(x86.upgradeCode);
    const bool launcherPlaced = FileExists(wow64Launcher);
    const bool toolPlaced = FileExists(KnownFolder(CSIDL_PROGRAM_FILESX86) + "\\Latchkey");
    for (const std::string& product : installed)
        UninstallSilently(product);
    DeleteFileA(wow64Launcher.c_str());
    EXPECT_TRUE(installed.empty());
    EXPECT_FALSE(launcherPlaced);
    EXPECT_FALSE(toolPlaced);
}
#endif

} // namespace
