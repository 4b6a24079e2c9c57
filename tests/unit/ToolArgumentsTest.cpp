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
    };
    for (const Case& c : cases) {
        ToolRequest request = ParseToolArguments(c.arguments);
        EXPECT_EQ(request.action, c.action) << c.arguments;
        EXPECT_EQ(request.path, c.path) << c.arguments;
        EXPECT_EQ(request.error.substr(0, std::string(c.errorStart).size()), c.errorStart) << c.arguments;
    }
}
