// Every dialog of both programs at 96, 144 and 192 DPI, opened like a user opens it: nothing
// overlaps or leaves its dialog, every text fits its rectangle in the dialog's own font, and the
// dialog grows with the scale. Each is also checked for what a screen reader and the keyboard
// need (each label just before the box it names, the focus order, unique access keys), and a
// picture of each goes to LK_DPI_SHOT_DIR (screenshots/dpi in the build tree) to look at.
//
// The scale is the prefix's LogPixels (HKCU\Control Panel\Desktop), which a program reads when it
// starts: it is set only while a program starts, and 96 is put back at once, so that no other
// program, and no later test, sees another scale even when this test fails. (CTest's dpi_restore
// puts 96 back should this program be killed in between.)
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"
#include "tests/ui/LatchkeyUi.h"
#include "tools/ScreenPicture.h"

#include "LauncherResource.h"
#include "resource.h"
#include "core/MasterPassword.h"
#include "core/Paths.h"
#include "core/Scramble.h"
#include "win/ProtectFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

constexpr UINT kScales[] = {96, 144, 192};

// Sets the prefix's scale for the programs that start from now on; 96 again when it goes.
class StartingScale {
public:
    explicit StartingScale(UINT dpi) { EXPECT_TRUE(Set(dpi)) << "cannot set LogPixels"; }
    ~StartingScale() { EXPECT_TRUE(Set(96)) << "cannot put LogPixels back to 96"; }
    StartingScale(const StartingScale&) = delete;
    StartingScale& operator=(const StartingScale&) = delete;

private:
    static bool Set(DWORD dpi)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return false;
        const bool set = RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                                        sizeof dpi) == ERROR_SUCCESS;
        RegCloseKey(key);
        return set;
    }
};

// Starts a program at a scale and waits for its first window, by which time it has read the scale.
Process StartAtScale(UINT dpi, const std::string& exe, const std::string& arguments, const std::string& caption,
                     HWND& window)
{
    StartingScale scale(dpi);
    Process process = Process::Start(exe, DistDir(), arguments);
    window = process.Id() ? WaitForWindow(process.Id(), caption) : nullptr;
    EXPECT_NE(window, nullptr) << "no window \"" << caption << "\" from " << exe << " " << arguments;
    return process;
}

// ---- the dialog templates, read from the programs' resources

// One control of a DIALOGEX template.
struct TemplateItem {
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
};

// What the test needs of a DIALOGEX template: style, size in dialog units, font, controls.
struct DialogTemplate {
    bool found = false;
    DWORD style = 0;
    short cx = 0, cy = 0;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0;
    std::wstring face;
    std::vector<TemplateItem> items;
};

class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : m_data(data), m_end(data + size) {}

    template <typename T>
    T Read()
    {
        T value{};
        if (m_data + sizeof value <= m_end)
            memcpy(&value, m_data, sizeof value);
        m_data += sizeof value;
        return value;
    }
    // A string, an ordinal (0xFFFF then the number) or nothing (0).
    std::wstring ReadNameOrOrdinal()
    {
        const WORD first = Read<WORD>();
        if (first == 0xFFFF) {
            Read<WORD>();
            return std::wstring();
        }
        std::wstring text;
        for (WORD c = first; c != 0 && m_data < m_end; c = Read<WORD>())
            text += static_cast<wchar_t>(c);
        return text;
    }
    void AlignToDword(const BYTE* start)
    {
        while ((m_data - start) % 4 != 0)
            ++m_data;
    }
    void Skip(size_t bytes) { m_data += bytes; }
    const BYTE* Where() const { return m_data; }

private:
    const BYTE* m_data;
    const BYTE* m_end;
};

DialogTemplate ReadTemplate(const std::string& exe, int templateId)
{
    DialogTemplate dialog;
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return dialog;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5)); // RT_DIALOG
    const BYTE* data = resource ? static_cast<const BYTE*>(LockResource(LoadResource(module, resource))) : nullptr;
    if (data) {
        TemplateReader in(data, SizeofResource(module, resource));
        const WORD version = in.Read<WORD>();
        const WORD signature = in.Read<WORD>();
        if (version == 1 && signature == 0xFFFF) {
            dialog.found = true;
            in.Read<DWORD>(); // help id
            in.Read<DWORD>(); // extended style
            dialog.style = in.Read<DWORD>();
            const WORD count = in.Read<WORD>();
            in.Read<short>();
            in.Read<short>();
            dialog.cx = in.Read<short>();
            dialog.cy = in.Read<short>();
            in.ReadNameOrOrdinal(); // menu
            in.ReadNameOrOrdinal(); // class
            in.ReadNameOrOrdinal(); // caption
            if (dialog.style & DS_SETFONT) {
                dialog.pointSize = in.Read<WORD>();
                dialog.weight = in.Read<WORD>();
                dialog.italic = in.Read<BYTE>();
                in.Read<BYTE>(); // character set
                dialog.face = in.ReadNameOrOrdinal();
            }
            for (WORD i = 0; i < count; ++i) {
                in.AlignToDword(data);
                TemplateItem item;
                in.Read<DWORD>(); // help id
                in.Read<DWORD>(); // extended style
                in.Read<DWORD>(); // style
                item.x = in.Read<short>();
                item.y = in.Read<short>();
                item.cx = in.Read<short>();
                item.cy = in.Read<short>();
                item.id = static_cast<int>(in.Read<DWORD>());
                in.ReadNameOrOrdinal(); // class
                in.ReadNameOrOrdinal(); // text
                in.Skip(in.Read<WORD>()); // creation data
                dialog.items.push_back(item);
            }
        }
    }
    FreeLibrary(module);
    return dialog;
}

// ---- the dialog's font, made again here as the dialog manager makes it

class DialogFont {
public:
    DialogFont(const DialogTemplate& dialog, UINT dpi)
    {
        // DS_SHELLFONT with "MS Shell Dlg" asks for the shell's dialog font, "MS Shell Dlg 2".
        std::wstring face = dialog.face;
        if ((dialog.style & DS_SHELLFONT) == DS_SHELLFONT && face == L"MS Shell Dlg")
            face = L"MS Shell Dlg 2";
        m_hFont = CreateFontW(-MulDiv(dialog.pointSize, static_cast<int>(dpi), 72), 0, 0, 0, dialog.weight,
                              dialog.italic, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, FF_DONTCARE,
                              face.c_str());
        m_hDc = CreateCompatibleDC(nullptr);
        m_hOld = SelectObject(m_hDc, m_hFont);
        // The dialog base units, as GdiGetCharDimensions gives them to the dialog manager.
        SIZE size = {};
        const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        GetTextExtentPoint32A(m_hDc, alphabet, 52, &size);
        m_baseX = (size.cx / 26 + 1) / 2;
        m_baseY = size.cy;
    }
    ~DialogFont()
    {
        SelectObject(m_hDc, m_hOld);
        DeleteDC(m_hDc);
        DeleteObject(m_hFont);
    }
    DialogFont(const DialogFont&) = delete;
    DialogFont& operator=(const DialogFont&) = delete;

    // A rectangle of dialog units in pixels, as the dialog manager places controls.
    RECT Pixels(short x, short y, short cx, short cy) const
    {
        RECT r;
        r.left = MulDiv(x, m_baseX, 4);
        r.top = MulDiv(y, m_baseY, 8);
        r.right = r.left + MulDiv(cx, m_baseX, 4);
        r.bottom = r.top + MulDiv(cy, m_baseY, 8);
        return r;
    }
    // The rectangle text needs when drawn in this font within width pixels (format as DrawText's).
    SIZE TextSize(const std::string& text, int width, UINT format) const
    {
        RECT r = {0, 0, width, 0};
        DrawTextA(m_hDc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }

private:
    HFONT m_hFont = nullptr;
    HDC m_hDc = nullptr;
    HGDIOBJ m_hOld = nullptr;
    int m_baseX = 0;
    int m_baseY = 0;
};

// ---- what each dialog is

struct LabelledBox {
    int box;
    const char* label; // the static text just before the box; null: no static text there
};

struct DialogSpec {
    const char* name; // of the screenshot
    const char* exe;  // Latchkey.exe or lkrun3.exe
    int templateId;
    std::vector<int> focusOrder;
    std::vector<LabelledBox> labels;
};

const DialogSpec kMainWindow = {
    "latchkey-main", "Latchkey.exe", IDD_LATCHKEY_DIALOG,
    {IDC_CREATE, IDC_REMOVE, IDC_SETMASTER, IDC_README, IDC_ABOUT, IDCANCEL, IDC_SHORTCUTS, IDC_HISTORY}, {}};
const DialogSpec kAbout = {"latchkey-about", "Latchkey.exe", IDD_ABOUTBOX, {IDOK, IDC_POWEREDBY}, {}};
const DialogSpec kShortcuts = {
    "latchkey-shortcuts", "Latchkey.exe", IDD_SHORTCUTS,
    // With nothing kept, Stop keeping... and Check now are disabled, out of the focus order.
    {IDC_SHORTCUTLIST, IDC_SHOWALL, IDC_KEPTLIST, IDC_KEEPSELECTED, IDC_PROTECTSELECTED, IDC_REMOVESELECTED, IDOK,
     IDC_HISTORY, IDC_REFRESH, IDC_ADDFOLDER, IDCANCEL},
    {{IDC_SHORTCUTLIST, "Shortcuts in every user's Desktop, Start menu and Quick Launch, and in the folders you add:"},
     {IDC_KEPTLIST, "Pro&grams kept protected (a check at every logon protects their new shortcuts):"}}};
const DialogSpec kHistory = {
    "latchkey-history", "Latchkey.exe", IDD_HISTORY, {IDC_HISTORYLIST, IDC_SAVEHISTORY, IDCANCEL},
    {{IDC_HISTORYLIST, "Who started a protected program or tried to, and who protected or removed a shortcut:"}}};
const DialogSpec kMasterPassword = {
    "latchkey-master-password", "Latchkey.exe", IDD_MASTERPASSWORD,
    {IDCANCEL, IDC_PASSWORD, IDC_RETYPE, IDOK},
    {{IDC_PASSWORD, "&Type the new master password:"}, {IDC_RETYPE, "&Re-type to confirm:"}}};
const DialogSpec kMasterPrompt = {"latchkey-master-prompt", "Latchkey.exe", IDD_MASTERPROMPT,
                                  {IDC_PASSWORD, IDOK, IDCANCEL}, {{IDC_PASSWORD, "&Password:"}}};
const DialogSpec kAddPassword = {
    "latchkey-add-password", "Latchkey.exe", IDD_ADDPASSWORD,
    {IDC_PASSWORD, IDC_RETYPE, IDOK, IDCANCEL, IDC_PROGRAM, IDC_TARGET, IDC_USEORIGINALICON},
    {{IDC_PASSWORD, "&Type the password:"},
     {IDC_RETYPE, "&Re-type password to confirm:"},
     {IDC_PROGRAM, "Adding password protection to program:"}}};
const DialogSpec kRemovePassword = {
    "latchkey-remove-password", "Latchkey.exe", IDD_REMOVEPASSWORD,
    {IDC_PASSWORD, IDOK, IDCANCEL, IDC_PROGRAM, IDC_TARGET},
    {{IDC_PASSWORD, "&Password:"}, {IDC_PROGRAM, nullptr}}};
const DialogSpec kLaunchPassword = {"lkrun3-password", "lkrun3.exe", IDD_LAUNCHPASSWORD,
                                    {IDC_PASSWORD, IDOK, IDCANCEL, IDC_PROGRAM},
                                    {{IDC_PASSWORD, "&Password:"}, {IDC_PROGRAM, nullptr}}};
// The same dialog while it waits after too many wrong passwords: OK is out of the focus order.
const DialogSpec kLaunchLocked = {"lkrun3-locked", "lkrun3.exe", IDD_LAUNCHPASSWORD,
                                  {IDC_PASSWORD, IDCANCEL, IDC_PROGRAM},
                                  {{IDC_PASSWORD, "&Password:"}, {IDC_PROGRAM, nullptr}}};

// ---- the checks

std::string Describe(HWND control)
{
    return ClassName(control) + " " + std::to_string(static_cast<short>(GetDlgCtrlID(control))) + " \"" +
           WindowText(control) + "\"";
}

std::string Describe(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

// A child's rectangle in its dialog's client coordinates.
RECT ClientRectOf(HWND dialog, HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The letter after a single '&'; 0 when the text has none.
char AccessKey(const std::string& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
        ++i;
    }
    return 0;
}

using ClientSizes = std::map<std::string, std::map<UINT, SIZE>>;

// Waits until the dialog is painted, saves its picture, then checks it at this scale.
void CheckDialog(HWND dialog, const DialogSpec& wanted, UINT dpi, ClientSizes& sizes)
{
    SCOPED_TRACE(std::string(wanted.name) + " at " + std::to_string(dpi) + " DPI");
    ASSERT_NE(dialog, nullptr);

    WaitForStillPicture(dialog, kWaitMs);
    if (const char* shots = std::getenv("LK_DPI_SHOT_DIR")) {
        const std::string folder = DosPath(shots);
        ASSERT_TRUE(MakeFolders(folder)) << folder;
        const std::string shot = folder + "\\" + wanted.name + "-" + std::to_string(dpi) + ".png";
        EXPECT_TRUE(SaveScreenshotPng(shot, dialog)) << shot;
    }

    // The program is aware of the scale of each monitor: Windows would not stretch its windows.
    using AwarenessOfWindow = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
    using AwarenessOfContext = int(WINAPI*)(DPI_AWARENESS_CONTEXT);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto awarenessOfWindow = reinterpret_cast<AwarenessOfWindow>(GetProcAddress(user32, "GetWindowDpiAwarenessContext"));
    auto awarenessOfContext =
        reinterpret_cast<AwarenessOfContext>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext"));
    ASSERT_TRUE(awarenessOfWindow && awarenessOfContext);
    EXPECT_EQ(awarenessOfContext(awarenessOfWindow(dialog)), 2) << "not per-monitor aware"; // DPI_AWARENESS_PER_MONITOR_AWARE

    // The template asks for the shell's dialog font, 8 point.
    const std::string exe = DistDir() + "\\" + wanted.exe;
    const DialogTemplate layout = ReadTemplate(exe, wanted.templateId);
    ASSERT_TRUE(layout.found) << "no DIALOGEX " << wanted.templateId << " in " << exe;
    EXPECT_EQ(layout.style & DS_SHELLFONT, static_cast<DWORD>(DS_SHELLFONT));
    EXPECT_TRUE(layout.face == L"MS Shell Dlg") << Narrow(layout.face);
    EXPECT_EQ(layout.pointSize, 8);

    // The font made here is the dialog's own when the dialog has exactly the size and every
    // control exactly the place that its base units give them.
    const DialogFont font(layout, dpi);
    RECT client;
    GetClientRect(dialog, &client);
    const RECT expectedClient = font.Pixels(0, 0, layout.cx, layout.cy);
    EXPECT_EQ(Describe(client), Describe(expectedClient)) << "the dialog is not laid out in its font at this scale";
    sizes[wanted.name][dpi] = SIZE{client.right, client.bottom};

    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(children.size(), layout.items.size());

    std::vector<RECT> rects;
    std::set<char> keys;
    for (size_t i = 0; i < children.size(); ++i) {
        HWND child = children[i];
        const TemplateItem& item = layout.items[i];
        SCOPED_TRACE(Describe(child));
        const RECT r = ClientRectOf(dialog, child);
        rects.push_back(r);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        const std::string kind = ClassName(child);
        const std::string text = WindowText(child);
        const bool icon = kind == "Static" && (style & SS_TYPEMASK) == SS_ICON;

        // In its place, inside the dialog (an icon takes the icon's size, from the same corner).
        const RECT placed = font.Pixels(item.x, item.y, item.cx, item.cy);
        EXPECT_EQ(r.left, placed.left);
        EXPECT_EQ(r.top, placed.top);
        if (!icon) {
            EXPECT_EQ(Describe(r), Describe(placed));
        } else {
            EXPECT_EQ(r.right - r.left, MulDiv(32, static_cast<int>(dpi), 96)) << "not the large-icon size";
        }
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
            << Describe(r) << " leaves the dialog " << Describe(client);

        // Its text fits, drawn as the control draws it.
        const int width = r.right - r.left;
        const int height = r.bottom - r.top;
        if (kind == "Static" && !icon && !text.empty()) {
            const UINT format = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
            const SIZE need = font.TextSize(text, width, format);
            EXPECT_TRUE(need.cx <= width && need.cy <= height)
                << "the text needs " << need.cx << "x" << need.cy << " in " << width << "x" << height;
        } else if (kind == "Button" && !text.empty()) {
            const bool checkBox = (style & BS_TYPEMASK) == BS_AUTOCHECKBOX || (style & BS_TYPEMASK) == BS_CHECKBOX;
            const SIZE need = font.TextSize(text, width, DT_SINGLELINE | DT_LEFT);
            // A push button draws a frame and a focus rectangle round its text; a check box
            // draws its box before it.
            const int room = checkBox ? width - MulDiv(17, static_cast<int>(dpi), 96) : width - MulDiv(8, static_cast<int>(dpi), 96);
            EXPECT_TRUE(need.cx <= room && need.cy <= height)
                << "the text needs " << need.cx << "x" << need.cy << " in " << room << "x" << height;
        }
        if (kind == "Button" || (kind == "Static" && !icon && !(style & SS_NOPREFIX))) {
            if (char key = AccessKey(text))
                EXPECT_TRUE(keys.insert(key).second) << "access key " << key << " twice in the dialog";
        }
    }

    // No control overlaps another.
    for (size_t i = 0; i < rects.size(); ++i)
        for (size_t j = i + 1; j < rects.size(); ++j) {
            RECT both;
            EXPECT_FALSE(IntersectRect(&both, &rects[i], &rects[j]))
                << Describe(children[i]) << " " << Describe(rects[i]) << " overlaps " << Describe(children[j]) << " "
                << Describe(rects[j]);
        }

    // The focus moves in the template's order, and each named box follows its label.
    std::vector<int> order;
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    for (HWND item = first; item && order.size() < children.size(); item = GetNextDlgTabItem(dialog, item, FALSE)) {
        order.push_back(static_cast<short>(GetDlgCtrlID(item)));
        if (GetNextDlgTabItem(dialog, item, FALSE) == first)
            break;
    }
    EXPECT_EQ(order, wanted.focusOrder);
    for (const LabelledBox& named : wanted.labels) {
        HWND before = GetWindow(Control(dialog, named.box), GW_HWNDPREV);
        const bool label = before && ClassName(before) == "Static";
        if (named.label) {
            EXPECT_TRUE(label) << "no label just before box " << named.box;
            EXPECT_EQ(label ? WindowText(before) : std::string(), named.label) << "the label of box " << named.box;
        } else {
            EXPECT_FALSE(label) << "box " << named.box << " would be read out as \"" << WindowText(before) << "\"";
        }
    }
}

} // namespace

namespace {

// The real master file in place, so that Set master password asks for the master password
// first; gone again when it goes, whatever the outcome: a master file left behind would stop
// every later run of the tool at the prompt.
class MasterFileInPlace {
public:
    MasterFileInPlace() { EXPECT_TRUE(WriteFileBytes(m_path, FormatMasterFile("scale"))); }
    ~MasterFileInPlace() { EXPECT_TRUE(DeleteFileA(m_path.c_str())) << m_path; }
    MasterFileInPlace(const MasterFileInPlace&) = delete;
    MasterFileInPlace& operator=(const MasterFileInPlace&) = delete;

private:
    const std::string m_path = SystemFolder() + "\\master2.lki";
};

// The launcher's count of wrong passwords for a record at five, its wait running; gone again when
// it goes.
class LockedOut {
public:
    explicit LockedOut(const std::string& launcherArgument) : m_value(LowerAscii(Unscramble(launcherArgument)))
    {
        const std::string state = "5 99999999999";
        EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kKey, m_value.c_str(), REG_SZ, state.c_str(),
                                  static_cast<DWORD>(state.size() + 1)),
                  ERROR_SUCCESS);
    }
    ~LockedOut() { RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, m_value.c_str()); }
    LockedOut(const LockedOut&) = delete;
    LockedOut& operator=(const LockedOut&) = delete;

private:
    static constexpr char kKey[] = "Software\\Latchkey\\LockOut";
    std::string m_value;
};

// A program, a shortcut to it and a protected one (with its record beside the program), for the
// dialogs that the protect and remove commands and the launcher open.
class DpiTest : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_FALSE(DistDir().empty()) << "LK_DIST_DIR is not set";
        ASSERT_TRUE(WriteFileBytes(m_program, "MZ"));
        LinkSpec plain;
        plain.target = m_program;
        ASSERT_HRESULT_SUCCEEDED(MakeLink(m_plainLink, plain));
        ASSERT_HRESULT_SUCCEEDED(MakeLink(m_protectedLink, plain));
        LoadedShortcut loaded = LoadShortcutForProtection(m_protectedLink);
        ASSERT_EQ(loaded.result, ProtectResult::Ready);
        ProtectOutcome outcome = ApplyProtection(m_protectedLink, loaded, "scale", false, "01012026121212");
        ASSERT_EQ(outcome.result, ProtectResult::Succeeded);
        LinkSpec protectedLink;
        ASSERT_HRESULT_SUCCEEDED(ReadLink(m_protectedLink, protectedLink));
        m_launcherArgument = protectedLink.arguments;
    }

    // Starts a program whose first window is the dialog, checks it, cancels it and waits for the end.
    static void CheckFirstDialog(UINT dpi, const std::string& exe, const std::string& arguments, const char* caption,
                                 const DialogSpec& wanted, ClientSizes& sizes)
    {
        HWND dialog = nullptr;
        Process process = StartAtScale(dpi, exe, arguments, caption, dialog);
        CheckDialog(dialog, wanted, dpi, sizes);
        if (dialog)
            EXPECT_TRUE(PressToClose(dialog, IDCANCEL));
        EXPECT_TRUE(process.WaitForExit()) << exe << " did not end";
    }

    ScratchFolder m_scratch{"lk ui dpi"};
    const std::string m_program = m_scratch / "My Program\\Program.exe";
    const std::string m_plainLink = m_scratch / "Program.lnk";
    const std::string m_protectedLink = m_scratch / "Protected Program.lnk";
    std::string m_launcherArgument;
};

} // namespace

TEST_F(DpiTest, EveryDialogOfBothProgramsFitsAndGrowsWithTheScale)
{
    const std::string launcher = DistDir() + "\\lkrun3.exe";
    const std::string quote = "\"";
    ClientSizes sizes;
    for (UINT dpi : kScales) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");

        // The main window, and the dialogs it opens itself.
        HWND main = nullptr;
        Process tool = StartAtScale(dpi, LatchkeyExe(), std::string(), kMainCaption, main);
        ASSERT_NE(main, nullptr);
        CheckDialog(main, kMainWindow, dpi, sizes);

        Press(main, IDC_ABOUT);
        HWND about = WaitForWindow(tool.Id(), "About");
        CheckDialog(about, kAbout, dpi, sizes);
        EXPECT_TRUE(PressToClose(about));

        Press(main, IDC_SHORTCUTS);
        HWND shortcuts = WaitForWindow(tool.Id(), "Protected shortcuts");
        ASSERT_NE(shortcuts, nullptr);
        // Once its look has ended: nothing moves on the screen then, and Stop is out of the focus order.
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(Control(shortcuts, IDC_STOPLOOK)); }));
        CheckDialog(shortcuts, kShortcuts, dpi, sizes);
        EXPECT_TRUE(PressToClose(shortcuts, IDCANCEL));

        Press(main, IDC_HISTORY);
        HWND history = WaitForWindow(tool.Id(), "History");
        // Once its rows are in: Save as is enabled then.
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Control(history, IDC_SAVEHISTORY)); }));
        CheckDialog(history, kHistory, dpi, sizes);
        EXPECT_TRUE(PressToClose(history, IDCANCEL));

        Press(main, IDC_SETMASTER);
        HWND master = WaitForWindow(tool.Id(), "Master Password");
        CheckDialog(master, kMasterPassword, dpi, sizes);
        EXPECT_TRUE(PressToClose(master, IDCANCEL));
        {
            MasterFileInPlace file;
            Press(main, IDC_SETMASTER);
            HWND prompt = WaitForWindow(tool.Id(), kSecurity);
            CheckDialog(prompt, kMasterPrompt, dpi, sizes);
            EXPECT_TRUE(PressToClose(prompt, IDCANCEL));
        }
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) && TopWindows(tool.Id()).size() == 1; }));
        Press(main, IDCANCEL);
        EXPECT_TRUE(tool.WaitForExit()) << "Latchkey did not end";

        // The commands' dialogs, opened from the command line, and the launcher's.
        CheckFirstDialog(dpi, LatchkeyExe(), "/protect " + quote + m_plainLink + quote, kAddPasswordCaption,
                         kAddPassword, sizes);
        CheckFirstDialog(dpi, LatchkeyExe(), "/remove " + quote + m_protectedLink + quote, kSecurity, kRemovePassword,
                         sizes);
        CheckFirstDialog(dpi, launcher, m_launcherArgument, kSecurity, kLaunchPassword, sizes);
        {
            // Five wrong passwords and a wait that ends far ahead (it shows as the longest it can be).
            LockedOut locked(m_launcherArgument);
            CheckFirstDialog(dpi, launcher, m_launcherArgument, kSecurity, kLaunchLocked, sizes);
        }
    }

    // Every dialog grows as the scale does, give or take the rounding of its font.
    for (const auto& [name, bySize] : sizes) {
        SCOPED_TRACE(name);
        ASSERT_EQ(bySize.size(), std::size(kScales));
        const SIZE base = bySize.at(96);
        SIZE last = base;
        for (UINT dpi : {144u, 192u}) {
            const SIZE now = bySize.at(dpi);
            EXPECT_GT(now.cx, last.cx) << dpi;
            EXPECT_GT(now.cy, last.cy) << dpi;
            for (auto [have, at96] : {std::pair<long, long>{now.cx, base.cx}, std::pair<long, long>{now.cy, base.cy}}) {
                EXPECT_GE(have * 96 * 10, at96 * static_cast<long>(dpi) * 9) << dpi << " DPI: " << have << " from " << at96;
                EXPECT_LE(have * 96 * 10, at96 * static_cast<long>(dpi) * 11) << dpi << " DPI: " << have << " from " << at96;
            }
            last = now;
        }
    }
}

// Both programs carry the padlock in every size Windows asks for between 96 and 192 DPI and on
// the desktop, in 32-bit colour with alpha, each as PNG. Each image is one the system makes an icon
// of, in its size, clear in the corner and solid in the middle.
TEST(ProgramIcons, ComeInEverySizeInColourWithAlpha)
{
    ASSERT_FALSE(DistDir().empty()) << "LK_DIST_DIR is not set";
    for (const char* name : {"Latchkey.exe", "lkrun3.exe"}) {
        const std::string exe = DistDir() + "\\" + name;
        SCOPED_TRACE(exe);
        HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        auto resource = [&](int id, int type, DWORD& size) -> const BYTE* {
            HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
            size = found ? SizeofResource(module, found) : 0;
            return found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
        };
        DWORD groupSize = 0;
        const BYTE* group = resource(IDR_MAINFRAME, 14, groupSize); // RT_GROUP_ICON
        ASSERT_NE(group, nullptr);
        WORD count = 0;
        memcpy(&count, group + 4, sizeof count);
        ASSERT_EQ(groupSize, 6u + 14u * count);
        std::vector<int> sizes;
        for (WORD i = 0; i < count; ++i) {
            const BYTE* entry = group + 6 + 14 * i; // width, height, colours, reserved, planes, bits, bytes, id
            const int side = entry[0] ? entry[0] : 256;
            WORD bits = 0, id = 0;
            memcpy(&bits, entry + 6, sizeof bits);
            memcpy(&id, entry + 12, sizeof id);
            SCOPED_TRACE(side);
            sizes.push_back(side);
            EXPECT_EQ(bits, 32);
            DWORD size = 0;
            const BYTE* image = resource(id, 3, size); // RT_ICON
            ASSERT_NE(image, nullptr);
            HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image), size, TRUE, 0x00030000, side, side,
                                                  LR_DEFAULTCOLOR);
            EXPECT_NE(icon, nullptr) << "no icon made of it";
            if (icon) {
                ICONINFO info = {};
                BITMAP bitmap = {};
                ASSERT_TRUE(GetIconInfo(icon, &info));
                GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
                EXPECT_EQ(bitmap.bmWidth, side);
                EXPECT_EQ(bitmap.bmBitsPixel, 32);
                BITMAPINFO format = {};
                format.bmiHeader.biSize = sizeof format.bmiHeader;
                format.bmiHeader.biWidth = side;
                format.bmiHeader.biHeight = -side; // top row first
                format.bmiHeader.biPlanes = 1;
                format.bmiHeader.biBitCount = 32;
                std::vector<BYTE> pixels(static_cast<size_t>(side) * side * 4);
                HDC screen = GetDC(nullptr);
                EXPECT_EQ(GetDIBits(screen, info.hbmColor, 0, side, pixels.data(), &format, DIB_RGB_COLORS), side);
                ReleaseDC(nullptr, screen);
                const size_t stride = static_cast<size_t>(side) * 4;
                EXPECT_EQ(pixels[3], 0) << "the corner is not clear";
                EXPECT_EQ(pixels[stride * (side / 2) + 4 * (side / 2) + 3], 255) << "the middle is not solid";
                DeleteObject(info.hbmColor);
                DeleteObject(info.hbmMask);
                DestroyIcon(icon);
            }
            // Signature, then the IHDR chunk: width, height, bit depth 8, colour type 6 (RGBA).
            ASSERT_GE(size, 26u);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(image), 8), std::string("\x89PNG\r\n\x1a\n", 8));
            const BYTE* ihdr = image + 16;
            EXPECT_EQ((ihdr[0] << 24) | (ihdr[1] << 16) | (ihdr[2] << 8) | ihdr[3], side);
            EXPECT_EQ((ihdr[4] << 24) | (ihdr[5] << 16) | (ihdr[6] << 8) | ihdr[7], side);
            EXPECT_EQ(ihdr[8], 8);
            EXPECT_EQ(ihdr[9], 6);
        }
        std::sort(sizes.begin(), sizes.end());
        EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256}));
        FreeLibrary(module);
    }
}
