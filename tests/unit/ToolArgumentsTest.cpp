#include "core/ToolArguments.h"

#include <gtest/gtest.h>

TEST(ToolArguments, SwitchesPathsAndMistakes)
{
    struct Case {
        const char* arguments;
        ToolAction action;
        const char* path;
        const char* errorStart;
    } cases[] = {
        {"", ToolAction::MainWindow, "", ""},
        {"   ", ToolAction::MainWindow, "", ""},
        {"/?", ToolAction::Usage, "", ""},
        {"-?", ToolAction::Usage, "", ""},
        {"/protect C:\\Links\\Editor.lnk", ToolAction::Protect, "C:\\Links\\Editor.lnk", ""},
        {"-PROTECT C:\\Links\\Editor.lnk", ToolAction::Protect, "C:\\Links\\Editor.lnk", ""},
        {"/Remove \"C:\\My Links\\Editor.lnk\"", ToolAction::Remove, "C:\\My Links\\Editor.lnk", ""},
        {"-remove   C:\\My Links\\Editor.lnk  ", ToolAction::Remove, "C:\\My Links\\Editor.lnk", ""},
        {"C:\\My Links\\Editor.lnk", ToolAction::Decide, "C:\\My Links\\Editor.lnk", ""},
        {"\"C:\\My Links\\Editor.lnk\"", ToolAction::Decide, "C:\\My Links\\Editor.lnk", ""},
        {"/report \"C:\\Reports\\all shortcuts.csv\"", ToolAction::Report, "C:\\Reports\\all shortcuts.csv", ""},
        {"-REPORT out.csv", ToolAction::Report, "out.csv", ""},
        {"/report", ToolAction::Invalid, "", "The switch /report needs the path of the report file."},
        {"/History \"C:\\Logs\\who tried.csv\"", ToolAction::History, "C:\\Logs\\who tried.csv", ""},
        {"/history", ToolAction::Invalid, "", "The switch /history needs the path of the report file."},
        {"/report \"a.csv\" b", ToolAction::Invalid, "", "This is not the path of one file"},
        {"/protect", ToolAction::Invalid, "", "The switch /protect needs the path of a shortcut."},
        {"-remove  ", ToolAction::Invalid, "", "The switch -remove needs the path of a shortcut."},
        {"/unprotect C:\\x.lnk", ToolAction::Invalid, "", "Unknown switch: /unprotect"},
        {"/protectC:\\x.lnk", ToolAction::Invalid, "", "Unknown switch: /protectC:\\x.lnk"},
        {"/? more", ToolAction::Invalid, "", "Unexpected text after /?"},
        {"/protect \"C:\\x.lnk", ToolAction::Invalid, "", "This is not the path of one shortcut"},
        {"/protect \"C:\\x.lnk\" \"C:\\y.lnk\"", ToolAction::Invalid, "", "This is not the path of one shortcut"},
        {"\"\"", ToolAction::Invalid, "", "This is not the path of one shortcut"},
        {"/keep", ToolAction::Invalid, "", "The switch /keep needs the path of a program."},
        {"/keep /password-file C:\\pw.txt", ToolAction::Invalid, "", "The switch /keep needs the path of a program."},
        {"/keep C:\\Games\\game.exe /password-file", ToolAction::Invalid, "",
         "The switch /password-file needs the path of the password file."},
        {"/unkeep \"C:\\Games\\game.exe\" -password-file \"C:\\pw.txt\" x", ToolAction::Invalid, "",
         "This is not the path of one file"},
        {"/check now", ToolAction::Invalid, "", "Unexpected text after /check: now"},
        {"/keep C:\\Games\\game.exe /password-file \"C:\\pw.txt", ToolAction::Invalid, "",
         "This is not the path of one file"},
        {"/report out.csv /quiet please", ToolAction::Invalid, "", "Unexpected text after /quiet: please"},
    };
    for (const Case& c : cases) {
        ToolRequest request = ParseToolArguments(c.arguments);
        EXPECT_EQ(request.action, c.action) << c.arguments;
        EXPECT_EQ(request.path, c.path) << c.arguments;
        EXPECT_EQ(request.error.substr(0, std::string(c.errorStart).size()), c.errorStart) << c.arguments;
    }
}

TEST(ToolArguments, UnattendedCommandsAndTheirOptions)
{
    struct Case {
        const char* arguments;
        ToolAction action;
        const char* path;
        const char* passwordFile;
        bool quiet;
    } cases[] = {
        {"/keep C:\\Games\\game.exe", ToolAction::Keep, "C:\\Games\\game.exe", "", false},
        {"/KEEP C:\\My Games\\game.exe /password-file C:\\Secret\\pw.txt", ToolAction::Keep,
         "C:\\My Games\\game.exe", "C:\\Secret\\pw.txt", false},
        {"-keep \"C:\\My Games\\game.exe\" -Password-File \"C:\\My Secrets\\pw.txt\"", ToolAction::Keep,
         "C:\\My Games\\game.exe", "C:\\My Secrets\\pw.txt", false},
        // An option word inside quotes is part of the path.
        {"/unkeep \"C:\\a /password-file b\\game.exe\"", ToolAction::Unkeep, "C:\\a /password-file b\\game.exe", "",
         false},
        {"/check", ToolAction::Check, "", "", true},
        {"/check /quiet", ToolAction::Check, "", "", true},
        {"/report out.csv", ToolAction::Report, "out.csv", "", false},
        {"/report \"C:\\My Reports\\out.csv\" /QUIET", ToolAction::Report, "C:\\My Reports\\out.csv", "", true},
        {"/report C:\\My Reports\\out.csv -quiet", ToolAction::Report, "C:\\My Reports\\out.csv", "", true},
        // Options belong to their commands only: elsewhere they are part of the path.
        {"/protect C:\\Links\\a.lnk /quiet", ToolAction::Protect, "C:\\Links\\a.lnk /quiet", "", false},
    };
    for (const Case& c : cases) {
        ToolRequest request = ParseToolArguments(c.arguments);
        EXPECT_EQ(request.action, c.action) << c.arguments;
        EXPECT_EQ(request.path, c.path) << c.arguments;
        EXPECT_EQ(request.passwordFile, c.passwordFile) << c.arguments;
        EXPECT_EQ(request.quiet, c.quiet) << c.arguments;
        EXPECT_EQ(request.error, "") << c.arguments;
    }
}

TEST(ToolArguments, AMistakeInAnUnattendedCommandStillAsksForNoBox)
{
    EXPECT_TRUE(ParseToolArguments("/check now").quiet);
    EXPECT_EQ(ParseToolArguments("/keep /password-file C:\\pw.txt").passwordFile, "C:\\pw.txt");
}
