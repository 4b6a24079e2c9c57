// A machine in small for the tests of the look over the shortcuts (/report and the shortcuts
// window): two profiles of its own and a Public folder, registered in the machine's profile list
// while it lives, holding protected shortcuts with a sound, a damaged and a missing record, plain
// shortcuts to a protected program and to another, a damaged shortcut, a folder that leads back
// to itself, and shortcuts outside the places shortcuts are kept.
#pragma once

#include "core/ProtectionRecord.h"
#include "core/Scramble.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/ShellLinks.h"
#include "tests/support/UnixShell.h"
#include "tests/ui/LatchkeyUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace ui {

inline constexpr char kProfileList[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
inline const char* const kTestProfiles[] = {"S-1-5-21-1111-2222-3333-5001", "S-1-5-21-1111-2222-3333-5002"};

inline std::string RegistryText(HKEY key, const char* name)
{
    char value[1024] = {};
    DWORD size = sizeof value - 1, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return std::string();
    return value;
}

inline void SetRegistryText(HKEY key, const char* name, const std::string& value, DWORD type = REG_SZ)
{
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
}

// Two profiles of the test's own and its own Public folder in the machine's profile list, taken
// out again (and Public put back) whatever the outcome.
class TestProfiles {
public:
    TestProfiles(const std::string& ann, const std::string& bob, const std::string& publicFolder)
    {
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProfileList, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &m_list),
                  ERROR_SUCCESS);
        m_public = RegistryText(m_list, "Public");
        const std::string paths[] = {ann, bob};
        for (int i = 0; i < 2; ++i) {
            HKEY profile = nullptr;
            EXPECT_EQ(RegCreateKeyExA(m_list, kTestProfiles[i], 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                                      nullptr, &profile, nullptr),
                      ERROR_SUCCESS);
            SetRegistryText(profile, "ProfileImagePath", paths[i], REG_EXPAND_SZ);
            RegCloseKey(profile);
        }
        SetRegistryText(m_list, "Public", publicFolder, REG_EXPAND_SZ);
    }
    ~TestProfiles()
    {
        for (const char* profile : kTestProfiles)
            RegDeleteKeyExA(m_list, profile, KEY_WOW64_64KEY, 0);
        SetRegistryText(m_list, "Public", m_public, REG_EXPAND_SZ);
        RegCloseKey(m_list);
    }
    TestProfiles(const TestProfiles&) = delete;
    TestProfiles& operator=(const TestProfiles&) = delete;

private:
    HKEY m_list = nullptr;
    std::string m_public;
};

// A Unix symbolic link, which Wine shows as a folder: taken away before the scratch folder goes,
// so that its removal does not follow it.
class FolderLink {
public:
    FolderLink(const std::string& link, const std::string& target) : m_link(link)
    {
        EXPECT_EQ(lktest::RunLinux("ln -s '" + lktest::UnixPath(target) + "' '" + lktest::UnixPath(link) + "'"), 0);
    }
    ~FolderLink() { lktest::RunLinux("rm -f '" + lktest::UnixPath(m_link) + "'"); }
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;

private:
    std::string m_link;
};

struct Row {
    std::string shortcut, program, state;
    bool operator<(const Row& other) const { return shortcut < other.shortcut; }
    bool operator==(const Row& other) const
    {
        return shortcut == other.shortcut && program == other.program && state == other.state;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Row& row)
{
    return out << row.shortcut << " | " << row.program << " | " << row.state;
}


class SmallMachine {
public:
    explicit SmallMachine(const std::string& name)
        : m_scratch(name), ann(m_scratch.Folder("Profiles\\Ann")), bob(m_scratch.Folder("Profiles\\Bob")),
          publicFolder(m_scratch.Folder("Profiles\\Public")), m_profiles(ann, bob, publicFolder)
    {
        using lktest::MakeFolders;
        using lktest::ShortPath;
        using lktest::WriteFileBytes;
        // The programs, a sound record, a damaged one and the name of one that is gone.
        const std::string game = m_scratch / "Apps\\Space Game\\Space Game.exe";
        const std::string editor = m_scratch / "Apps\\Editor.exe";
        EXPECT_TRUE(WriteFileBytes(game, "MZ game") && WriteFileBytes(editor, "MZ editor"));
        const std::string sound = m_scratch / "Apps\\Space Game\\01012026000001.lki";
        EXPECT_TRUE(WriteFileBytes(sound, FormatProtectionRecord({"pw", ShortPath(game) + " -x", ""})));
        const std::string damaged = m_scratch / "Apps\\01012026000002.lki";
        EXPECT_TRUE(WriteFileBytes(damaged, "not a record"));
        const std::string gone = m_scratch / "Apps\\01012026000003.lki";

        const std::string startMenu = ann + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
        const std::string pinned = ann + "\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned";
        for (const std::string& folder : {startMenu + "\\Games", pinned + "\\TaskBar", ann + "\\Desktop",
                                          bob + "\\Desktop", publicFolder + "\\Desktop", ann + "\\Documents"})
            MakeFolders(folder);
        expected = {
            {Link(ann + "\\Desktop\\Space Game.lnk", SystemLauncher(), Scramble(sound)), game, "Protected"},
            // Its target in the short form: compared in the long form.
            {Link(startMenu + "\\Games\\Space Game.lnk", ShortPath(game), ""), game,
             "Not protected, starts a protected program"},
            {Link(pinned + "\\TaskBar\\Editor.lnk", editor, "--new"), editor, "Not protected"},
            {Link(bob + "\\Desktop\\Broken Game.lnk", SystemLauncher(), Scramble(damaged)), "",
             "Protected, record damaged"},
            {Link(bob + "\\Desktop\\Lost Game.lnk", SystemLauncher(), Scramble(gone)), "", "Protected, record missing"},
            {Link(publicFolder + "\\Desktop\\Space Game.lnk", SystemLauncher(), Scramble(sound)), game, "Protected"},
        };
        std::sort(expected.begin(), expected.end());
        // Not a shortcut, not readable as one, and not in a place shortcuts are kept.
        EXPECT_TRUE(WriteFileBytes(bob + "\\Desktop\\notes.txt", "notes"));
        EXPECT_TRUE(WriteFileBytes(bob + "\\Desktop\\Damaged.lnk", "this is no shortcut"));
        Link(ann + "\\Documents\\Elsewhere.lnk", editor, "");
        // A folder that leads back to its own parent: each shortcut is still listed once.
        m_loop = std::make_unique<FolderLink>(bob + "\\Desktop\\Loop", bob + "\\Desktop");
        // A folder another program holds open for itself alone: it cannot be listed, and is
        // counted as a place that could not be read.
        const std::string locked = ann + "\\Desktop\\Locked";
        EXPECT_TRUE(MakeFolders(locked));
        Link(locked + "\\Hidden.lnk", editor, "");
        m_lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        EXPECT_NE(m_lock, INVALID_HANDLE_VALUE) << locked;
    }
    ~SmallMachine()
    {
        if (m_lock != INVALID_HANDLE_VALUE)
            CloseHandle(m_lock);
    }
    SmallMachine(const SmallMachine&) = delete;
    SmallMachine& operator=(const SmallMachine&) = delete;

    const lktest::ScratchFolder& Scratch() const { return m_scratch; }
    // The rows of the list or report that belong to this machine.
    std::vector<Row> Mine(const std::vector<Row>& rows) const
    {
        std::vector<Row> mine;
        const std::string prefix = m_scratch.Path() + "\\";
        for (const Row& row : rows)
            if (row.shortcut.compare(0, prefix.size(), prefix) == 0)
                mine.push_back(row);
        std::sort(mine.begin(), mine.end());
        return mine;
    }

private:
    static std::string Link(const std::string& path, const std::string& target, const std::string& arguments)
    {
        lktest::LinkSpec wanted;
        wanted.target = target;
        wanted.arguments = arguments;
        EXPECT_HRESULT_SUCCEEDED(lktest::MakeLink(path, wanted)) << path;
        return path;
    }

    lktest::ScratchFolder m_scratch;

public:
    const std::string ann, bob, publicFolder;
    std::vector<Row> expected; // sorted by shortcut

private:
    TestProfiles m_profiles;
    std::unique_ptr<FolderLink> m_loop; // goes before the scratch folder
    HANDLE m_lock = INVALID_HANDLE_VALUE;
};

} // namespace ui
