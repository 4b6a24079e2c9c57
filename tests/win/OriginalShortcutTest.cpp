// Protect then remove gives back the very shortcut that was protected, from Latchkey's store of
// originals: every field and block, byte for byte. What the shell link object of the test machine
// cannot write is made from the published format (tests/support/LinkBytes.h).
#include "core/Messages.h"
#include "core/ProtectionRecord.h"
#include "core/ShellLinkFile.h"
#include "core/StoredShortcut.h"
#include "win/Files.h"
#include "win/ProtectFiles.h"
#include "win/RemoveFiles.h"
#include "win/ShellLink.h"
#include "win/ShortcutStore.h"
#include "tests/support/Files.h"
#include "tests/support/LinkBytes.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <functional>
#include <thread>

using namespace lktest;

namespace {

class OriginalShortcutTest : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_TRUE(WriteFileBytes(m_program, "MZ"));
        ASSERT_FALSE(ShortPath(m_program).empty());
    }

    // A shortcut to the program with the given extras.
    LinkFixture Fixture() const
    {
        LinkFixture link;
        link.target = m_program;
        link.workingDir = u"C:\\Work Dir";
        link.arguments = u"-open \"a b.txt\"";
        return link;
    }

    // Protects link; returns the record path.
    std::string Protect(const std::string& link, const std::string& stamp)
    {
        LoadedShortcut loaded = LoadShortcutForProtection(link);
        EXPECT_EQ(loaded.result, ProtectResult::Ready) << link;
        ProtectOutcome outcome = ApplyProtection(link, loaded, "pw", false, stamp);
        EXPECT_EQ(outcome.result, ProtectResult::Succeeded) << link;
        return outcome.recordPath;
    }

    RemoveResult Remove(const std::string& link)
    {
        LoadedProtection loaded = LoadProtectedShortcut(link);
        EXPECT_TRUE(loaded.Ready()) << link;
        return RestoreShortcut(link, loaded).result;
    }

    static std::uint32_t Signature(const std::string& block)
    {
        std::uint32_t signature = 0;
        for (int i = 7; i >= 4; --i)
            signature = signature << 8 | static_cast<unsigned char>(block.at(i));
        return signature;
    }

    static std::u16string U16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }
    static std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
    static constexpr char16_t GreekDescription[] = u"\u0395\u03C0\u03B5\u03BE\u03B5\u03C1\u03B3\u03B1\u03C3\u03C4\u03AE\u03C2";

    ScratchFolder m_scratch{"lk original"};
    const std::string m_program = m_scratch.Folder("Program Files\\My Editor") + "\\Long Editor Name.exe";
    const std::string m_links = m_scratch.Folder("Links With Blanks");
};

} // namespace

// Each kind of shortcut that Windows makes and the shell link object here does not: protected,
// it starts the launcher and keeps how its window opens and which app it is; removed, it is the
// original file again, byte for byte, and its stored copy is gone.
TEST_F(OriginalShortcutTest, ProtectThenRemoveGivesBackTheOriginalBytes)
{
    struct Case {
        const char* name;
        LinkFixture link;
    };
    std::vector<Case> cases;
    auto add = [&](const char* name, auto change) {
        LinkFixture link = Fixture();
        change(link);
        cases.push_back({name, link});
    };
    add("Console", [](LinkFixture& l) { l.blocks = {ConsoleBlock()}; });
    add("App Id", [](LinkFixture& l) { l.blocks = {AppIdBlock(u"Maker.Editor.Web")}; });
    add("Run As", [](LinkFixture& l) { l.runAsUser = true; });
    add("Hot Key", [](LinkFixture& l) { l.hotKey = MAKEWORD('E', HOTKEYF_CONTROL | HOTKEYF_ALT); });
    add("Maximised", [](LinkFixture& l) { l.showCommand = SW_SHOWMAXIMIZED; });
    add("Minimised", [](LinkFixture& l) { l.showCommand = SW_SHOWMINNOACTIVE; });
    add("Icon Index", [&](LinkFixture& l) {
        l.iconLocation = U16(m_program);
        l.iconIndex = 6;
    });
    add("Environment", [&](LinkFixture& l) {
        l.moreFlags = linkfile::HasExpString;
        // Named through %TEMP%, where the scratch folder is, as Windows names a program in the profile.
        const std::string temp = TempFolder();
        ASSERT_EQ(m_program.compare(0, temp.size(), temp), 0);
        l.blocks = {EnvironmentBlock("%TEMP%" + m_program.substr(temp.size()))};
    });
    add("Folders", [](LinkFixture& l) { l.blocks = {KnownFolderBlock(), SpecialFolderBlock()}; });
    add("Everything", [&](LinkFixture& l) {
        l.description = u"Edits texts";
        l.runAsUser = true;
        l.showCommand = SW_SHOWMAXIMIZED;
        l.hotKey = MAKEWORD('Q', HOTKEYF_CONTROL);
        l.blocks = {ConsoleBlock(), AppIdBlock(u"Maker.Editor"), KnownFolderBlock()};
    });
    // Texts no record holds may be in any script: a description in Greek, an icon in a profile
    // named in Japanese.
    add("Outside The Code Page", [](LinkFixture& l) {
        l.description = GreekDescription;
        l.iconLocation = u"C:\\Users\\\u30E6\u30FC\u30B6\\app.ico";
        l.iconIndex = 2;
    });

    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string link = m_links + "\\" + c.name + ".lnk";
        const std::string original = MakeLinkBytes(c.link);
        ASSERT_TRUE(WriteFileBytes(link, original));
        const std::string recordPath = Protect(link, "0101202710" + std::to_string(1000 + ++n));

        const std::optional<std::string> protectedBytes = ReadFileBytes(link);
        ASSERT_TRUE(protectedBytes);
        const std::optional<linkfile::ShellLinkFile> read = linkfile::Parse(*protectedBytes);
        ASSERT_TRUE(read);
        ShortcutInfo info;
        ASSERT_HRESULT_SUCCEEDED(ReadShortcut(link, info));
        EXPECT_EQ(info.targetPath, SystemFolder() + "\\lkrun3.exe");
        EXPECT_EQ(info.description, Wide(c.link.description));
        EXPECT_EQ(read->showCommand, c.link.showCommand);
        EXPECT_EQ(read->hotKey, c.link.hotKey);
        EXPECT_EQ((read->flags & linkfile::RunAsUser) != 0, c.link.runAsUser);
        EXPECT_FALSE(read->flags & linkfile::HasExpString);
        for (const std::string& block : c.link.blocks) {
            const std::uint32_t signature = Signature(block);
            const linkfile::ExtraBlock* carried = read->Find(signature);
            if (linkfile::IsCarriedBlock(signature)) {
                ASSERT_NE(carried, nullptr) << std::hex << signature;
                EXPECT_EQ(carried->bytes, block);
            } else {
                EXPECT_EQ(carried, nullptr) << std::hex << signature;
            }
        }
        const std::optional<StoredShortcut> kept = KeptOriginalShortcut(recordPath);
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->originalBytes, original);
        EXPECT_EQ(kept->protectedBytes, *protectedBytes);
        EXPECT_EQ(kept->linkPath, link);

        ASSERT_EQ(Remove(link), RemoveResult::Succeeded);
        EXPECT_EQ(ReadFileBytes(link), original);
        EXPECT_FALSE(KeptOriginalShortcut(recordPath));
        EXPECT_TRUE(FileExists(recordPath));
        DeleteFileA(recordPath.c_str());
    }
}

// Without its stored copy, or with one that is not this shortcut's as protect wrote it, a shortcut
// comes back from its record as before: the short target, its arguments and working directory,
// and the description the protected shortcut kept, in whatever script.
TEST_F(OriginalShortcutTest, WithoutItsOwnStoredCopyItComesBackFromTheRecord)
{
    LinkFixture fixture = Fixture();
    fixture.blocks = {ConsoleBlock()};
    fixture.description = GreekDescription;
    const std::string original = MakeLinkBytes(fixture);
    const std::string link = m_links + "\\Fallback.lnk";
    const std::wstring greek = Wide(GreekDescription);

    const struct {
        const char* what;
        std::function<void(const std::string& recordPath)> spoil;
        bool copyStays;
        std::wstring description; // the protected shortcut's, which comes back
    } cases[] = {
        {"missing", [](const std::string& recordPath) { ForgetOriginalShortcut(recordPath); }, false, greek},
        {"another record's",
         [&](const std::string& recordPath) {
             StoredShortcut entry = *KeptOriginalShortcut(recordPath);
             entry.recordPath += "x";
             ASSERT_TRUE(WriteWholeFile(*ShortcutStoreFolder() + "\\" + StoredShortcutName(recordPath),
                                        FormatStoredShortcut(entry)));
         },
         true, greek},
        {"the shortcut changed since",
         [&](const std::string&) {
             ShortcutInfo info;
             ASSERT_HRESULT_SUCCEEDED(ReadShortcut(link, info));
             info.description = L"changed by hand";
             ASSERT_HRESULT_SUCCEEDED(WriteShortcut(link, info));
         },
         true, L"changed by hand"},
        {"damaged",
         [&](const std::string& recordPath) {
             ASSERT_TRUE(WriteWholeFile(*ShortcutStoreFolder() + "\\" + StoredShortcutName(recordPath), "junk"));
         },
         true, greek},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteFileBytes(link, original));
        const std::string recordPath = Protect(link, "0201202710" + std::to_string(1000 + ++n));
        c.spoil(recordPath);

        ASSERT_EQ(Remove(link), RemoveResult::Succeeded);
        ShortcutInfo restored;
        ASSERT_HRESULT_SUCCEEDED(ReadShortcut(link, restored));
        EXPECT_EQ(restored.targetPath, ShortPath(m_program));
        EXPECT_EQ(restored.arguments, "-open \"a b.txt\"");
        EXPECT_EQ(restored.workingDirectory, "C:\\Work Dir");
        EXPECT_EQ(restored.description, c.description);
        EXPECT_NE(ReadFileBytes(link), original);
        // A copy that is not this shortcut's stays for the one it belongs to.
        const std::string entryPath = *ShortcutStoreFolder() + "\\" + StoredShortcutName(recordPath);
        EXPECT_EQ(FileExists(entryPath), c.copyStays);
        DeleteFileA(entryPath.c_str());
        DeleteFileA(recordPath.c_str());
    }
}

// The store is never reached through a link or junction, which someone could have planted in
// ProgramData (anyone may make folders there): protect then keeps nothing there and changes
// nothing. (Its security, owned by Administrators with a protected list for SYSTEM and
// Administrators, cannot be shown here: Wine reads back a security made up from Unix modes,
// whatever was set.)
TEST_F(OriginalShortcutTest, TheStoreIsNeverReachedThroughALink)
{
    const std::optional<std::string> folder = ShortcutStoreFolder();
    ASSERT_TRUE(folder);
    const std::string store = UnixPath(*folder);
    const std::string victim = m_scratch.Folder("Victim");
    ASSERT_EQ(RunLinux("mv " + ShellQuote(store) + " " + ShellQuote(store + ".aside") + " && ln -s " +
                       ShellQuote(UnixPath(victim)) + " " + ShellQuote(store)),
              0);
    struct PutBack {
        std::string store;
        ~PutBack() { RunLinux("rm -f " + ShellQuote(store) + " && mv " + ShellQuote(store + ".aside") + " " + ShellQuote(store)); }
    } putBack{store};

    EXPECT_FALSE(ShortcutStoreFolder());
    const std::string link = m_links + "\\Planted.lnk";
    ASSERT_TRUE(WriteFileBytes(link, MakeLinkBytes(Fixture())));
    // Refused before the password is asked, and again if it came to that afterwards.
    LoadedShortcut loaded = LoadShortcutForProtection(link);
    EXPECT_EQ(loaded.result, ProtectResult::OriginalNotKept);
    const ProtectOutcome outcome = ApplyProtection(link, loaded, "pw", false, "04012027101010");
    EXPECT_EQ(outcome.result, ProtectResult::OriginalNotKept);
    EXPECT_EQ(ReadFileBytes(link), MakeLinkBytes(Fixture()));
    EXPECT_FALSE(FileExists(outcome.recordPath));
    EXPECT_TRUE(FolderEntries(victim).empty());
    EXPECT_EQ(ProtectMessageText(outcome.result, "", ""),
              "Latchkey could not keep a copy of the shortcut in its folder under ProgramData, from which removing "
              "the protection gives it back.\nThe shortcut has not been changed.");
}

// A shortcut that another program holds for a moment is written once it lets go; one held for
// good fails the restore and stays as it was.
TEST_F(OriginalShortcutTest, AShortcutHeldForAMomentIsWrittenWhenItIsFree)
{
    const std::string original = MakeLinkBytes(Fixture());
    const std::string link = m_links + "\\Held.lnk";
    ASSERT_TRUE(WriteFileBytes(link, original));
    const std::string recordPath = Protect(link, "03012027101010");
    const std::optional<std::string> protectedBytes = ReadFileBytes(link);

    // Held without sharing deletion, as a scanner may: for good first, then for a moment.
    auto hold = [&] {
        return CreateFileA(link.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    {
        HANDLE held = hold();
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        LoadedProtection loaded = LoadProtectedShortcut(link);
        ASSERT_TRUE(loaded.Ready());
        EXPECT_EQ(RestoreShortcut(link, loaded).result, RemoveResult::RestoreFailed);
        CloseHandle(held);
        EXPECT_EQ(ReadFileBytes(link), protectedBytes);
    }
    HANDLE held = hold();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(500);
        CloseHandle(held);
    });
    LoadedProtection loaded = LoadProtectedShortcut(link);
    ASSERT_TRUE(loaded.Ready());
    const RemoveResult result = RestoreShortcut(link, loaded).result;
    release.join();
    EXPECT_EQ(result, RemoveResult::Succeeded);
    EXPECT_EQ(ReadFileBytes(link), original);
    DeleteFileA(recordPath.c_str());
}

// Refused before the password is asked, each with its own text, the shortcut untouched: a
// shortcut that opens a whole drive, and one whose program's folder cannot take the record.
TEST_F(OriginalShortcutTest, WhatCouldNotBeProtectedIsRefusedBeforeThePassword)
{
    const std::string locked = m_scratch.Folder("Locked Folder");
    ASSERT_TRUE(WriteFileBytes(locked + "\\tool.exe", "MZ"));
    ScopedImmutable immutable(locked);
    ASSERT_TRUE(immutable.IsSet());
    const struct {
        std::string target;
        ProtectResult result;
    } cases[] = {
        {"C:\\", ProtectResult::DriveRoot},
        {m_scratch.Path() + "\\Gone Folder\\tool.exe", ProtectResult::RecordFolderNotWritable},
        {locked + "\\tool.exe", ProtectResult::RecordFolderNotWritable},
    };
    const std::string link = m_links + "\\Refused.lnk";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        LinkFixture fixture = Fixture();
        fixture.target = c.target;
        const std::string bytes = MakeLinkBytes(fixture);
        ASSERT_TRUE(WriteFileBytes(link, bytes));
        EXPECT_EQ(LoadShortcutForProtection(link).result, c.result);
        EXPECT_EQ(ReadFileBytes(link), bytes);
    }
    EXPECT_EQ(FolderEntries(locked), std::vector<std::string>{"tool.exe"});
    EXPECT_EQ(ProtectMessageText(ProtectResult::DriveRoot, "", ""),
              "The shortcut opens a whole drive, not a program, so it cannot be protected.\n"
              "The shortcut has not been changed.");
    EXPECT_EQ(ProtectMessageText(ProtectResult::RecordFolderNotWritable, "", ""),
              "The protection record cannot be written into the program's folder: it is missing, or it does not "
              "allow changes.\nThe shortcut has not been changed.");
}
