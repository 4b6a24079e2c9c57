// What Latchkey.exe is asked to do by its command line: nothing (the main window), one command
// on one shortcut, a report of every shortcut or of the history, keeping a program protected, a
// check of the kept programs, or the usage. No password is ever taken from it.
#pragma once

#include <string>

enum class ToolAction {
    MainWindow, // no arguments
    Usage,      // /? or -?
    Protect,    // /protect <shortcut>
    Remove,     // /remove <shortcut>
    Decide,     // <shortcut> alone: remove when it starts the launcher, else protect
    Report,     // /report <file> [/quiet]: every shortcut on the machine and its state, as CSV
    History,    // /history <file>: the history of attempts and changes, as CSV
    Keep,       // /keep <program> [/password-file <file>]: protect its shortcuts, now and at every check
    Unkeep,     // /unkeep <program> [/password-file <file>]: stop keeping it protected
    Check,      // /check: protect again what kept programs lost
    Invalid,    // the arguments make no sense; error says why
};

struct ToolRequest {
    ToolAction action = ToolAction::MainWindow;
    std::string path; // the shortcut (the output file for Report and History, the program for Keep and Unkeep), unquoted
    std::string passwordFile; // Keep and Unkeep: the file whose first line is the password; empty: none given
    // Report and Check (also when the rest of the line is a mistake): show no box, tell failures on
    // standard error.
    bool quiet = false;
    std::string error; // for Invalid (texts from core/Messages)
};

// Reads the arguments (the command line after the program's name). Switches start with / or -
// and are matched without regard to case; the path may be quoted, and an unquoted path runs to
// the end of the line or to the option that may follow it (/password-file, /quiet).
ToolRequest ParseToolArguments(const std::string& arguments);

// The commands whose path names the file they write (Report, History), not one they read.
bool WritesFile(ToolAction action);
