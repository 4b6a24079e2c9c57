// What Latchkey.exe is asked to do by its command line: nothing (the main window), one command
// on one shortcut, a report of every shortcut, or the usage. No password is ever taken from it.
#pragma once

#include <string>

enum class ToolAction {
    MainWindow, // no arguments
    Usage,      // /? or -?
    Protect,    // /protect <shortcut>
    Remove,     // /remove <shortcut>
    Decide,     // <shortcut> alone: remove when it starts the launcher, else protect
    Report,     // /report <file>: every shortcut on the machine and its state, as CSV
    History,    // /history <file>: the history of attempts and changes, as CSV
    Invalid,    // the arguments make no sense; error says why
};

struct ToolRequest {
    ToolAction action = ToolAction::MainWindow;
    std::string path;  // the shortcut (the output file for Report and History), its quotes taken away
    std::string error; // for Invalid (texts from core/Messages)
};

// Reads the arguments (the command line after the program's name). Switches start with / or -
// and are matched without regard to case; the path may be quoted, and an unquoted path runs to
// the end of the line.
ToolRequest ParseToolArguments(const std::string& arguments);
