// Help opens the read-me from the folder the tool started in, in Notepad, even after a shortcut
// was picked elsewhere; without Notepad, two boxes say so.
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/ui/LatchkeyUi.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lktest;
using namespace ui;

namespace {

// Takes notepad.exe out of the prefix's Windows and system folders while it lives; puts it back
// in every case, also after a run that was killed with it hidden.
class NotepadHidden {
public:
    NotepadHidden()
    {
        Restore();
        for (const std::string& path : Paths())
            if (MoveFileA(path.c_str(), (path + kHidden).c_str()))
                m_vecHidden.push_back(path);
    }
    ~NotepadHidden() { Restore(); }
    NotepadHidden(const NotepadHidden&) = delete;
    NotepadHidden& operator=(const NotepadHidden&) = delete;

    static void Restore()
    {
        for (const std::string& path : Paths())
            if (!FileExists(path) && FileExists(path + kHidden))
                MoveFileA((path + kHidden).c_str(), path.c_str());
    }

private:
    static constexpr const char* kHidden = ".lkhidden";
    static std::vector<std::string> Paths()
    {
        return {SystemFolder() + "\\notepad.exe", WindowsFolder() + "\\notepad.exe"};
    }
    std::vector<std::string> m_vecHidden;
};

HWND WaitForNotepadOn(const std::string& fileName)
{
    return WaitForWindowWhere(0, [&](HWND window) {
        return ClassName(window) == "Notepad" && WindowText(window).find(fileName) != std::string::npos;
    });
}

} // namespace

using Help = ComTest;

TEST_F(Help, OpensTheReadMeOfTheStartFolderInNotepadOrSaysWhyNot)
{
    NotepadHidden::Restore();
    ScratchFolder folder("lkui-help");
    const std::string startDir = folder.Folder("start");
    ASSERT_TRUE(WriteFileBytes(startDir + "\\LatchkeyReadMe.txt", "The read-me of the start folder."));
    // A read-me beside the picked shortcut, where Help must not look.
    ASSERT_TRUE(WriteFileBytes(folder / "elsewhere\\LatchkeyReadMe.txt", "The wrong read-me."));
    const std::string link = folder / "elsewhere\\Tool.lnk";
    LinkSpec tool;
    tool.target = folder / "Tool.exe";
    ASSERT_TRUE(WriteFileBytes(tool.target, "MZ"));
    ASSERT_HRESULT_SUCCEEDED(MakeLink(link, tool));

    Latchkey app = StartLatchkey(startDir);
    ASSERT_NE(app.main, nullptr);

    // Pick a shortcut in another folder, which leaves the current directory there; then cancel.
    HWND dialog = PickForPassword(app, link);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PressToClose(dialog, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.main) != FALSE; }));

    Press(app.main, IDC_README);
    HWND notepad = WaitForNotepadOn("LatchkeyReadMe.txt");
    ASSERT_NE(notepad, nullptr) << "Notepad did not open the read-me";
    HWND text = FindWindowExA(notepad, nullptr, "Edit", nullptr);
    EXPECT_EQ(WindowText(text), "The read-me of the start folder.");
    EXPECT_TRUE(CloseProgramOf(notepad)) << "Notepad did not close";
    EXPECT_TRUE(IsWindowEnabled(app.main)) << "Help must not wait for Notepad";

    {
        NotepadHidden hidden;
        Press(app.main, IDC_README);
        MessageBoxInfo first = WaitForMessageBox(app.Id());
        ASSERT_NE(first.window, nullptr) << "no message when Notepad is missing";
        EXPECT_EQ(first.text, "Failed to use notepad to read help file.");
        EXPECT_EQ(first.caption, kAppTitle);
        ASSERT_TRUE(PressToClose(first.window));

        MessageBoxInfo second = WaitForMessageBox(app.Id());
        ASSERT_NE(second.window, nullptr) << "no second box with the system's text";
        EXPECT_NE(second.text, first.text);
        EXPECT_FALSE(second.text.empty());
        std::printf("the system's text: %s\n", second.text.c_str());
        ASSERT_TRUE(PressToClose(second.window));
    }
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.main) != FALSE; }));
    EXPECT_EQ(TopWindows(app.Id()), std::vector<HWND>{app.main});

    Press(app.main, IDCANCEL);
    EXPECT_TRUE(app.process.WaitForExit());
}
