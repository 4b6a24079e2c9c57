// Latchkey.exe run from the command line, as a script or an administrator runs it: each switch
// through the real program, the dialogs it opens without a main window, its exit codes (0 done,
// 1 refused or failed, 2 cancelled), and the master-password gate in front of it.
#include "core/Messages.h"
#include "tests/support/Files.h"
#include "tests/support/LinkBytes.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/ui/LatchkeyUi.h"

#include "resource.h"
#include "core/MasterPassword.h"
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "core/ToolArguments.h"
#include "win/ProtectFiles.h"
#include "win/RemoveFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

constexpr char kAlreadyProtected[] = "The shortcut you selected is already a password protected link.";
constexpr char kReadFailed[] =
    "Failed to get the shortcut information.\n(Only a shortcut link (.lnk) can be password protected)";
constexpr char kNotProtected[] = "The shortcut you selected doesn't seem to be a protected one.\n(Failed to open lki file)";
constexpr char kLinkPassword[] = "Link pw";

// ---- what a message box shows as its icon

// The pixels of a width x height picture painted by paint, top row first, 0x00RRGGBB.
std::vector<DWORD> Paint(int width, int height, const std::function<void(HDC)>& paint)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels;
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (bitmap) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        paint(dc);
        GdiFlush();
        const DWORD* first = static_cast<const DWORD*>(bits);
        pixels.assign(first, first + static_cast<size_t>(width) * static_cast<size_t>(height));
        for (DWORD& pixel : pixels)
            pixel &= 0xFFFFFF;
        SelectObject(dc, old);
        DeleteObject(bitmap);
    }
    if (dc)
        DeleteDC(dc);
    return pixels;
}

// How much of the standard icon `id`, drawn at the size of `shown`, matches the picture shown:
// the share of the icon's opaque pixels (the same on black and on white) that agree.
double IconMatch(const std::vector<DWORD>& shown, int width, int height, LPCSTR id)
{
    HICON icon = LoadIconA(nullptr, id);
    auto drawOn = [&](int background) {
        return Paint(width, height, [&](HDC dc) {
            RECT all = {0, 0, width, height};
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(background)));
            DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        });
    };
    const std::vector<DWORD> onWhite = drawOn(WHITE_BRUSH), onBlack = drawOn(BLACK_BRUSH);
    if (!icon || onWhite.size() != shown.size() || onBlack.size() != shown.size())
        return 0;
    auto close = [](DWORD a, DWORD b) {
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 16)
                return false;
        return true;
    };
    size_t opaque = 0, agree = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (onWhite[i] != onBlack[i])
            continue;
        ++opaque;
        agree += close(onWhite[i], shown[i]);
    }
    return opaque ? static_cast<double>(agree) / static_cast<double>(opaque) : 0;
}

// The standard icon a message box shows: "information", "warning", "error", "question", "none",
// or what it resembles most when nothing matches. Wine hands no icon to another process, so the
// icon is told by its picture on the screen, compared with each standard icon drawn here.
std::string MessageBoxIcon(HWND box)
{
    HWND control = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassName(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(child))
            control = child;
    if (!control)
        return "none";
    const struct {
        const char* name;
        LPCSTR id;
    } icons[] = {{"information", IDI_INFORMATION}, {"warning", IDI_WARNING}, {"error", IDI_ERROR},
                 {"question", IDI_QUESTION}};
    std::string answer = "none";
    // Polled: the box may not be painted yet.
    WaitUntil(
        [&] {
            RECT area;
            GetClientRect(control, &area);
            POINT origin = {0, 0};
            ClientToScreen(control, &origin);
            const int width = area.right, height = area.bottom;
            if (width <= 0 || height <= 0)
                return false;
            std::vector<DWORD> shown = Paint(width, height, [&](HDC dc) {
                HDC screen = GetDC(nullptr);
                BitBlt(dc, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
                ReleaseDC(nullptr, screen);
            });
            double best = -1;
            for (const auto& icon : icons) {
                const double match = IconMatch(shown, width, height, icon.id);
                if (match > best) {
                    best = match;
                    answer = icon.name;
                }
            }
            if (best >= 0.95)
                return true;
            answer = "unclear, nearest " + answer + " at " + std::to_string(static_cast<int>(best * 100)) + "%";
            return false;
        },
        3000);
    return answer;
}

// ---- running the tool

// Latchkey.exe started with these arguments in folder (empty: the dist folder).
Process StartTool(const std::string& arguments, const std::string& folder = std::string())
{
    EXPECT_FALSE(DistDir().empty()) << "LK_DIST_DIR is not set";
    return Process::Start(LatchkeyExe(), folder.empty() ? DistDir() : folder, arguments);
}

// The exit code once the program ends by itself; -1 when it does not.
long ExitCode(Process& process)
{
    DWORD code = 0;
    if (!process.WaitForExit(&code)) {
        ADD_FAILURE() << "the program did not end";
        return -1;
    }
    return static_cast<long>(code);
}

// A window of a command run from the command line: owned by no window, and the only one of the
// program; no main window is open behind it.
void ExpectAlone(DWORD pid, HWND window)
{
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr) << "\"" << WindowText(window) << "\" has an owner";
    EXPECT_EQ(TopWindows(pid), std::vector<HWND>{window}) << "more windows than \"" << WindowText(window) << "\"";
    EXPECT_EQ(FindTopWindow(pid, kMainCaption), nullptr) << "a main window is open";
}

// Waits for the one message box of a run from the command line; null (and a failure) when none came.
MessageBoxInfo ExpectMessageBox(DWORD pid, const std::string& text, const std::string& caption = kAppTitle)
{
    MessageBoxInfo box = WaitForMessageBox(pid);
    EXPECT_NE(box.window, nullptr) << "no message box; expected \"" << text << "\"";
    if (!box.window)
        return box;
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    ExpectAlone(pid, box.window);
    return box;
}

// Waits for the program to end after its last window closed; fails when any other window
// showed up on the way out.
long ExitCodeWithoutAnotherWindow(Process& process)
{
    std::vector<HWND> seen;
    WaitUntil([&] {
        for (HWND window : TopWindows(process.Id()))
            seen.push_back(window);
        return !process.Running();
    });
    EXPECT_TRUE(seen.empty()) << "another window came: \"" << WindowText(seen.front()) << "\"";
    return ExitCode(process);
}

// The remove dialog, which shares its caption with the master prompt.
bool IsRemoveDialog(HWND window)
{
    return WindowText(window) == kSecurity && Control(window, IDC_PROGRAM) != nullptr;
}

bool IsMasterPrompt(HWND window)
{
    return WindowText(window) == kSecurity && Control(window, IDC_PASSWORD) != nullptr &&
           Control(window, IDC_PROGRAM) == nullptr;
}

// A program with a long name, a plain shortcut to it with arguments and a working folder, a
// shortcut to it that is already protected, and a text file; all in a folder with a blank.
class CommandLineTest : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_TRUE(WriteFileBytes(m_program, "MZ not really a program"));
        LinkSpec plain;
        plain.target = m_program;
        plain.arguments = "-n \"a file.txt\"";
        plain.workingDirectory = "C:\\work here";
        ASSERT_HRESULT_SUCCEEDED(MakeLink(m_link, plain));
        ASSERT_HRESULT_SUCCEEDED(MakeLink(m_protected, plain));
        LoadedShortcut loaded = LoadShortcutForProtection(m_protected);
        ASSERT_EQ(loaded.result, ProtectResult::Ready);
        ASSERT_EQ(ApplyProtection(m_protected, loaded, kLinkPassword, false, "01022027101010").result,
                  ProtectResult::Succeeded);
        ASSERT_TRUE(WriteFileBytes(m_notALink, "plain text, not a shortcut\r\n"));
        m_before = Snapshot();
    }

    // Every file a command could write, byte for byte.
    struct Files {
        std::optional<std::string> link, protectedLink, notALink;
        std::vector<std::string> programFolder;
        bool operator==(const Files& other) const
        {
            return link == other.link && protectedLink == other.protectedLink && notALink == other.notALink &&
                   programFolder == other.programFolder;
        }
    };
    Files Snapshot() const
    {
        return {ReadFileBytes(m_link), ReadFileBytes(m_protected), ReadFileBytes(m_notALink),
                FolderEntries(m_programFolder)};
    }
    void ExpectNothingChanged() const { EXPECT_TRUE(Snapshot() == m_before) << "a file was changed"; }

    // The plain shortcut now starts the launcher with a record holding the password and what the
    // shortcut started.
    void ExpectProtected(const std::string& password) const
    {
        LinkSpec link;
        ASSERT_HRESULT_SUCCEEDED(ReadLink(m_link, link));
        EXPECT_EQ(link.target, SystemFolder() + "\\lkrun3.exe");
        const std::string recordPath = Unscramble(link.arguments);
        EXPECT_EQ(recordPath.substr(0, recordPath.find_last_of('\\')), ShortPath(m_programFolder));
        ProtectionRecord expected{password, ShortPath(m_program) + " -n \"a file.txt\"", "C:\\work here"};
        EXPECT_EQ(ReadFileBytes(recordPath), FormatProtectionRecord(expected));
    }

    // The plain shortcut starts the program again, with its arguments and working folder.
    // The very shortcut that was protected, from Latchkey's store of originals.
    void ExpectRestored() const { EXPECT_EQ(ReadFileBytes(m_link), m_before.link); }

    ScratchFolder m_scratch{"lkui-cli"};
    const std::string m_program = m_scratch / "Program Files\\My Editor\\Long Editor Name.exe";
    const std::string m_programFolder = m_scratch.Folder("Program Files\\My Editor");
    const std::string m_links = m_scratch.Folder("My Links");
    const std::string m_link = m_links + "\\My Editor.lnk";
    const std::string m_protected = m_links + "\\Protected Editor.lnk";
    const std::string m_notALink = m_links + "\\notes.txt";
    Files m_before;
};

// Protects through the Add Password Protection dialog of a run that is at that dialog.
void ProtectAtTheDialog(Process& tool, const std::string& password, const std::string& program,
                        const std::string& shortTarget)
{
    HWND dialog = WaitForWindow(tool.Id(), kAddPasswordCaption);
    ASSERT_NE(dialog, nullptr) << "no Add Password Protection dialog";
    ExpectAlone(tool.Id(), dialog);
    EXPECT_EQ(ControlText(dialog, IDC_PROGRAM), program);
    EXPECT_EQ(ControlText(dialog, IDC_TARGET), shortTarget);
    SetControlText(dialog, IDC_PASSWORD, password);
    SetControlText(dialog, IDC_RETYPE, password);
    Press(dialog, IDOK);
    MessageBoxInfo box = ExpectMessageBox(tool.Id(), "Password protection link for\n" + program +
                                                         "\nhas been created successfully!", "Succeed!");
    ASSERT_TRUE(PressToClose(box.window));
}

} // namespace

// Each spelling of protect and of remove, quoted or not, absolute or relative to the folder the
// tool starts in, and the bare path that decides: the command's own dialog with no main window,
// its success message, exit code 0, and the shortcut protected and restored on disk.
TEST_F(CommandLineTest, ProtectThenRemoveInEachSpelling)
{
    const struct {
        std::string protect, protectIn; // arguments, and the folder to start in (empty: the dist folder)
        std::string remove, removeIn;
    } spellings[] = {
        {"/protect \"" + m_link + "\"", "", "/remove \"" + m_link + "\"", ""},
        {"-PROTECT " + m_link, "", "-Remove   " + m_link + "  ", ""},
        {"/Protect \"My Editor.lnk\"", m_links, "-REMOVE My Editor.lnk", m_links},
        {"\"" + m_link + "\"", "", m_link, ""},
        {"\"My Editor.lnk\"", m_links, "My Editor.lnk", m_links},
    };
    int round = 0;
    for (const auto& spelling : spellings) {
        SCOPED_TRACE(spelling.protect + " / " + spelling.remove);
        const std::string password = "Secret " + std::to_string(++round);

        Process tool = StartTool(spelling.protect, spelling.protectIn);
        ASSERT_NE(tool.Id(), 0u);
        ProtectAtTheDialog(tool, password, "My Editor", ShortPath(m_program));
        EXPECT_EQ(ExitCodeWithoutAnotherWindow(tool), 0);
        ExpectProtected(password);

        tool = StartTool(spelling.remove, spelling.removeIn);
        ASSERT_NE(tool.Id(), 0u);
        HWND security = WaitForWindowWhere(tool.Id(), IsRemoveDialog);
        ASSERT_NE(security, nullptr) << "no Security dialog for the removal";
        ExpectAlone(tool.Id(), security);
        EXPECT_EQ(ControlText(security, IDC_PROGRAM), "My Editor");
        EXPECT_EQ(ControlText(security, IDC_TARGET), "Target shortcut: " + m_link) << "not the full path";
        SetControlText(security, IDC_PASSWORD, password);
        Press(security, IDOK);
        MessageBoxInfo box = ExpectMessageBox(
            tool.Id(), "Password protection for\nMy Editor\nhas been removed successfully.", "Removal Succeed");
        ASSERT_TRUE(PressToClose(box.window));
        EXPECT_EQ(ExitCodeWithoutAnotherWindow(tool), 0);
        ExpectRestored();
    }
    // The shortcut protected beforehand was never touched.
    EXPECT_EQ(ReadFileBytes(m_protected), m_before.protectedLink);
}

// What the commands refuse from the command line they refuse as from the main window, with the
// same message (owned by no window), and the run ends with exit code 1; nothing is written.
TEST_F(CommandLineTest, RefusalsEndWithExitCode1)
{
    const struct {
        std::string arguments;
        const char* message; // null: the command ends without a word, as when picked
    } refusals[] = {
        {"/protect \"" + m_protected + "\"", kAlreadyProtected},
        {"/protect \"" + m_notALink + "\"", kReadFailed},
        {"\"" + m_notALink + "\"", kReadFailed}, // a bare path to anything but a protected shortcut protects
        {"/remove \"" + m_link + "\"", kNotProtected},
        {"/remove \"" + m_notALink + "\"", nullptr},
    };
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.arguments);
        Process tool = StartTool(refusal.arguments);
        ASSERT_NE(tool.Id(), 0u);
        if (refusal.message) {
            MessageBoxInfo box = ExpectMessageBox(tool.Id(), refusal.message);
            EXPECT_EQ(MessageBoxIcon(box.window), "warning");
            PressToClose(box.window);
        }
        EXPECT_EQ(ExitCodeWithoutAnotherWindow(tool), 1);
        ExpectNothingChanged();
    }
}

// Giving up at the command's password dialog, by any of its ways out and with a password typed,
// ends the run with exit code 2 and writes nothing.
TEST_F(CommandLineTest, CancellingThePasswordDialogEndsWithExitCode2)
{
    const struct {
        std::string arguments;
        std::function<bool(HWND)> isDialog;
        const WayToCancel& way;
    } cancels[] = {
        {"/protect \"" + m_link + "\"", [](HWND w) { return WindowText(w) == kAddPasswordCaption; }, kWaysToCancel[0]},
        {"\"" + m_link + "\"", [](HWND w) { return WindowText(w) == kAddPasswordCaption; }, kWaysToCancel[2]},
        {"/remove \"" + m_protected + "\"", IsRemoveDialog, kWaysToCancel[1]},
        {"\"" + m_protected + "\"", IsRemoveDialog, kWaysToCancel[0]},
    };
    for (const auto& cancel : cancels) {
        SCOPED_TRACE(cancel.arguments + " / " + cancel.way.how);
        Process tool = StartTool(cancel.arguments);
        ASSERT_NE(tool.Id(), 0u);
        HWND dialog = WaitForWindowWhere(tool.Id(), cancel.isDialog);
        ASSERT_NE(dialog, nullptr) << "the command's dialog did not open";
        ExpectAlone(tool.Id(), dialog);
        SetControlText(dialog, IDC_PASSWORD, kLinkPassword);
        if (Control(dialog, IDC_RETYPE))
            SetControlText(dialog, IDC_RETYPE, kLinkPassword);
        cancel.way.press(dialog);
        ASSERT_TRUE(WaitForWindowGone(dialog));
        EXPECT_EQ(ExitCodeWithoutAnotherWindow(tool), 2);
        ExpectNothingChanged();
    }
}

namespace {

std::string MasterPath()
{
    return SystemFolder() + "\\master2.lki";
}

// A master password is set for each test and removed after it: a master file left behind would
// stop every later run of the tool at the prompt.
class CommandLineGateTest : public CommandLineTest {
protected:
    void SetUp() override
    {
        CommandLineTest::SetUp();
        ASSERT_TRUE(WriteFileBytes(MasterPath(), FormatMasterFile(kMasterPassword)));
    }
    void TearDown() override
    {
        EXPECT_EQ(ReadFileBytes(MasterPath()), FormatMasterFile(kMasterPassword)) << "the master file changed";
        DeleteFileA(MasterPath().c_str());
        EXPECT_FALSE(FileExists(MasterPath()));
        CommandLineTest::TearDown();
    }

    static constexpr char kMasterPassword[] = "Master pw";
};

} // namespace

// The arguments are answered before the master password is asked and before any file is
// touched: a mistake with one message naming it (the warning icon) and exit code 1, /? with the
// usage (the information icon) and exit code 0.
TEST_F(CommandLineGateTest, ArgumentsAreAnsweredBeforeTheGate)
{
    const std::string missing = m_links + "\\Gone.lnk";
    const struct {
        std::string arguments;
        std::string in; // the folder to start in (empty: the dist folder)
        std::string message;
        const char* icon;
        long exitCode;
    } answers[] = {
        {"/unprotect \"" + m_link + "\"", "", "Unknown switch: /unprotect\nType Latchkey /? for the usage.", "warning", 1},
        {"--protect \"" + m_link + "\"", "", "Unknown switch: --protect\nType Latchkey /? for the usage.", "warning", 1},
        {"/protect", "", "The switch /protect needs the path of a shortcut.", "warning", 1},
        {"/report", "", "The switch /report needs the path of the report file.", "warning", 1},
        {"/history", "", "The switch /history needs the path of the report file.", "warning", 1},
        {"-REMOVE   ", "", "The switch -REMOVE needs the path of a shortcut.", "warning", 1},
        {"/protect \"" + missing + "\"", "", "This is not a shortcut file:\n" + missing, "warning", 1},
        {"/remove Gone.lnk", m_links, "This is not a shortcut file:\n" + missing, "warning", 1},
        {"\"" + missing + "\"", "", "This is not a shortcut file:\n" + missing, "warning", 1},
        {"/protect \"" + m_links + "\"", "", "This is not a shortcut file:\n" + m_links, "warning", 1},
        {"/remove .", m_links, "This is not a shortcut file:\n" + m_links, "warning", 1},
        {"/protect \"" + m_link, "", "This is not the path of one shortcut: \"" + m_link, "warning", 1},
        {"/remove \"" + m_link + "\" \"" + m_protected + "\"", "",
         "This is not the path of one shortcut: \"" + m_link + "\" \"" + m_protected + "\"", "warning", 1},
        {"/? /protect", "", "Unexpected text after /?: /protect", "warning", 1},
        {"/?", "", ToolUsageText(), "information", 0},
        {"-?", "", ToolUsageText(), "information", 0},
    };
    for (const auto& answer : answers) {
        SCOPED_TRACE(answer.arguments);
        Process tool = StartTool(answer.arguments, answer.in);
        ASSERT_NE(tool.Id(), 0u);
        MessageBoxInfo box = ExpectMessageBox(tool.Id(), answer.message);
        EXPECT_EQ(MessageBoxIcon(box.window), answer.icon);
        PressToClose(box.window);
        EXPECT_EQ(ExitCodeWithoutAnotherWindow(tool), answer.exitCode);
        ExpectNothingChanged();
    }
}

// With a master password set, a command first asks for it (no owner, nothing else open). Giving
// up there ends the run with exit code 2 and nothing changed; a wrong password is refused and
// asked again; the right one runs the command.
TEST_F(CommandLineGateTest, TheMasterPromptComesFirst)
{
    // The report and the history too: they show which programs are protected, and who used them.
    for (const std::string& arguments : {"/protect \"" + m_link + "\"", "\"" + m_protected + "\"",
                                         "/report \"" + m_links + "\\report.csv\"",
                                         "/history \"" + m_links + "\\history.csv\""}) {
        SCOPED_TRACE(arguments);
        Process tool = StartTool(arguments);
        ASSERT_NE(tool.Id(), 0u);
        HWND prompt = WaitForWindowWhere(tool.Id(), IsMasterPrompt);
        ASSERT_NE(prompt, nullptr) << "no master prompt";
        ExpectAlone(tool.Id(), prompt);
        SetControlText(prompt, IDC_PASSWORD, kMasterPassword); // even the right one, unsent
        Press(prompt, IDCANCEL);
        ASSERT_TRUE(WaitForWindowGone(prompt));
        EXPECT_EQ(ExitCodeWithoutAnotherWindow(tool), 2);
        ExpectNothingChanged();
    }

    Process tool = StartTool("/protect \"" + m_link + "\"");
    ASSERT_NE(tool.Id(), 0u);
    HWND prompt = WaitForWindowWhere(tool.Id(), IsMasterPrompt);
    ASSERT_NE(prompt, nullptr) << "no master prompt";
    SetControlText(prompt, IDC_PASSWORD, "master pw");
    Press(prompt, IDOK);
    ASSERT_TRUE(WaitForWindowGone(prompt));
    MessageBoxInfo refused = ExpectMessageBox(tool.Id(), "Password not correct!");
    ASSERT_TRUE(PressToClose(refused.window));
    prompt = WaitForWindowWhere(tool.Id(), IsMasterPrompt);
    ASSERT_NE(prompt, nullptr) << "the master prompt did not come back";
    EXPECT_EQ(FindTopWindow(tool.Id(), kAddPasswordCaption), nullptr) << "the command ran past a wrong password";
    ExpectNothingChanged();

    SetControlText(prompt, IDC_PASSWORD, kMasterPassword);
    Press(prompt, IDOK);
    ProtectAtTheDialog(tool, kLinkPassword, "My Editor", ShortPath(m_program));
    EXPECT_EQ(ExitCodeWithoutAnotherWindow(tool), 0);
    ExpectProtected(kLinkPassword);
}

// Shortcuts as Windows makes them, with what the shell link object here never writes (console
// settings, an app id, environment and known-folder targets, run as administrator, hot key, show
// command, an icon at index 6): protected and removed through the real program, each comes back
// byte for byte.
TEST_F(CommandLineTest, RealShortcutsComeBackWhole)
{
    const std::string temp = TempFolder();
    ASSERT_EQ(m_program.compare(0, temp.size(), temp), 0);
    auto fixture = [&] {
        LinkFixture link;
        link.target = m_program;
        link.arguments = u"-n \"a file.txt\"";
        link.workingDir = u"C:\\work here";
        return link;
    };
    const struct {
        const char* name;
        std::function<void(LinkFixture&)> change;
    } cases[] = {
        {"Console", [](LinkFixture& l) {
             l.blocks = {ConsoleBlock()};
             l.showCommand = SW_SHOWMAXIMIZED;
         }},
        {"Web App", [&](LinkFixture& l) {
             l.blocks = {AppIdBlock(u"Maker.Editor.Web")};
             l.iconLocation = std::u16string(m_program.begin(), m_program.end());
             l.iconIndex = 6;
             l.description = u"Opens the web app";
         }},
        {"Admin", [](LinkFixture& l) {
             l.runAsUser = true;
             l.hotKey = MAKEWORD('E', HOTKEYF_CONTROL | HOTKEYF_ALT);
             l.showCommand = SW_SHOWMINNOACTIVE;
         }},
        {"Profile", [&](LinkFixture& l) {
             l.moreFlags = 0x200;
             l.blocks = {EnvironmentBlock("%TEMP%" + m_program.substr(temp.size())), KnownFolderBlock(),
                         SpecialFolderBlock()};
         }},
    };
    int round = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkFixture link = fixture();
        c.change(link);
        const std::string original = MakeLinkBytes(link);
        const std::string path = m_links + "\\" + c.name + ".lnk";
        ASSERT_TRUE(WriteFileBytes(path, original));
        const std::string password = "Whole " + std::to_string(++round);

        Process tool = StartTool("/protect \"" + path + "\"");
        ASSERT_NE(tool.Id(), 0u);
        ProtectAtTheDialog(tool, password, c.name, ShortPath(m_program));
        EXPECT_EQ(ExitCodeWithoutAnotherWindow(tool), 0);
        LinkSpec protectedLink;
        ASSERT_HRESULT_SUCCEEDED(ReadLink(path, protectedLink));
        EXPECT_EQ(protectedLink.target, SystemLauncher());

        tool = StartTool("/remove \"" + path + "\"");
        ASSERT_NE(tool.Id(), 0u);
        HWND security = WaitForWindowWhere(tool.Id(), IsRemoveDialog);
        ASSERT_NE(security, nullptr) << "no Security dialog for the removal";
        SetControlText(security, IDC_PASSWORD, password);
        Press(security, IDOK);
        MessageBoxInfo box = ExpectMessageBox(
            tool.Id(), std::string("Password protection for\n") + c.name + "\nhas been removed successfully.",
            "Removal Succeed");
        ASSERT_TRUE(PressToClose(box.window));
        EXPECT_EQ(ExitCodeWithoutAnotherWindow(tool), 0);
        EXPECT_EQ(ReadFileBytes(path), original);
    }
}

// A shortcut's own name may hold any character: names in Greek and Japanese, and full-width
// backslashes that never become real ones (which would name the plain shortcut), are protected and
// come back byte for byte, their names shown as they are; the plain shortcut is not touched.
TEST_F(CommandLineTest, NamesOutsideTheCodePageAreProtectedAndComeBackWhole)
{
    const std::wstring links = Widen(m_links);
    const std::wstring names[] = {L"\u03A0\u03C1\u03CC\u03B3\u03C1\u03B1\u03BC\u03BC\u03B1",
                                  L"\u30D7\u30ED\u30B0\u30E9\u30E0", L"Notes\uFF3C..\uFF3CMy Editor"};
    const std::optional<std::string> original = ReadFileBytes(m_link);
    ASSERT_TRUE(original);
    for (const std::wstring& name : names) {
        const std::wstring path = links + L"\\" + name + L".lnk";
        ASSERT_TRUE(CopyFileW(Widen(m_link).c_str(), path.c_str(), FALSE));
        struct Gone {
            std::wstring path;
            ~Gone() { DeleteFileW(path.c_str()); }
        } gone{path};
        const std::wstring quoted = L"\"" + path + L"\"";

        Process tool = Process::StartWide(LatchkeyExe(), DistDir(), L"/protect " + quoted);
        ASSERT_NE(tool.Id(), 0u);
        HWND dialog = WaitForWindow(tool.Id(), kAddPasswordCaption);
        ASSERT_NE(dialog, nullptr) << "no Add Password Protection dialog";
        EXPECT_EQ(WideControlText(dialog, IDC_PROGRAM), name);
        SetControlText(dialog, IDC_PASSWORD, "wide");
        SetControlText(dialog, IDC_RETYPE, "wide");
        Press(dialog, IDOK);
        MessageBoxInfo box = WaitForMessageBox(tool.Id());
        ASSERT_NE(box.window, nullptr) << "no success message";
        EXPECT_EQ(WideControlText(box.window, 0xFFFF),
                  L"Password protection link for\n" + name + L"\nhas been created successfully!");
        ASSERT_TRUE(PressToClose(box.window));
        EXPECT_EQ(ExitCodeWithoutAnotherWindow(tool), 0);
        const LoadedProtection loaded = LoadProtectedShortcut(path);
        ASSERT_TRUE(loaded.Ready()) << "not protected";
        EXPECT_EQ(loaded.commandLine.targetPath, ShortPath(m_program));

        tool = Process::StartWide(LatchkeyExe(), DistDir(), L"/remove " + quoted);
        ASSERT_NE(tool.Id(), 0u);
        HWND security = WaitForWindowWhere(tool.Id(), IsRemoveDialog);
        ASSERT_NE(security, nullptr) << "no Security dialog for the removal";
        EXPECT_EQ(WideControlText(security, IDC_PROGRAM), name);
        SetControlText(security, IDC_PASSWORD, "wide");
        Press(security, IDOK);
        box = WaitForMessageBox(tool.Id());
        ASSERT_NE(box.window, nullptr) << "no success message";
        EXPECT_EQ(WideControlText(box.window, 0xFFFF),
                  L"Password protection for\n" + name + L"\nhas been removed successfully.");
        ASSERT_TRUE(PressToClose(box.window));
        EXPECT_EQ(ExitCodeWithoutAnotherWindow(tool), 0);

        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        std::string bytes(original->size() + 1, '\0');
        DWORD read = 0;
        EXPECT_TRUE(ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr));
        CloseHandle(file);
        bytes.resize(read);
        EXPECT_EQ(bytes, *original) << "not given back whole";
        // The plain shortcut its look-alike name would name, and the one protected before.
        EXPECT_EQ(ReadFileBytes(m_link), m_before.link);
        EXPECT_EQ(ReadFileBytes(m_protected), m_before.protectedLink);
    }
}

// A program at a drive's root: its record goes into the root, held there as any folder is (it was
// taken for a folder reached through a link), and the shortcut comes back whole.
TEST_F(CommandLineTest, AProgramAtTheDriveRootIsProtectedAndComesBack)
{
    RemoveAtEnd outside;
    const std::string program = outside.Add("C:\\lkroot" + std::to_string(GetCurrentProcessId()) + ".exe");
    ASSERT_TRUE(WriteFileBytes(program, "MZ"));
    LinkFixture fixture;
    fixture.target = program;
    fixture.arguments = u"-x";
    const std::string original = MakeLinkBytes(fixture);
    const std::string path = m_links + "\\At Root.lnk";
    ASSERT_TRUE(WriteFileBytes(path, original));

    Process tool = StartTool("/protect \"" + path + "\"");
    ASSERT_NE(tool.Id(), 0u);
    ProtectAtTheDialog(tool, "root", "At Root", ShortPath(program));
    EXPECT_EQ(ExitCodeWithoutAnotherWindow(tool), 0);
    LinkSpec protectedLink;
    ASSERT_HRESULT_SUCCEEDED(ReadLink(path, protectedLink));
    ASSERT_EQ(protectedLink.target, SystemLauncher());
    outside.Add(Unscramble(protectedLink.arguments)); // the record, at the root

    tool = StartTool("/remove \"" + path + "\"");
    ASSERT_NE(tool.Id(), 0u);
    HWND security = WaitForWindowWhere(tool.Id(), IsRemoveDialog);
    ASSERT_NE(security, nullptr) << "no Security dialog for the removal";
    SetControlText(security, IDC_PASSWORD, "root");
    Press(security, IDOK);
    MessageBoxInfo box = ExpectMessageBox(tool.Id(), "Password protection for\nAt Root\nhas been removed successfully.",
                                          "Removal Succeed");
    ASSERT_TRUE(PressToClose(box.window));
    EXPECT_EQ(ExitCodeWithoutAnotherWindow(tool), 0);
    EXPECT_EQ(ReadFileBytes(path), original);
}
