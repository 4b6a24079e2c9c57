// How a command ended, for whoever started it, and how its outcome is told.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

enum class CommandResult {
    Succeeded,
    Failed,    // refused, or the file work failed; a message said why (or nothing, where none is due)
    Cancelled, // the user cancelled a dialog; nothing was written
    NoDialog,  // a dialog of the command could not be opened; a message said so, nothing was written
};

// The process exit code for a command's result: 0 done, 1 refused or failed (a dialog that could
// not be opened included), 2 cancelled.
int ExitCodeOf(CommandResult result);

// What a command comes to when its modal dialog ended with modalResult other than OK: Cancelled
// (Cancel, Escape, the close box), or NoDialog when Windows could not open it, which is told in a
// message box here. Nothing when it ended with OK.
std::optional<CommandResult> UnansweredDialog(INT_PTR modalResult);

// Tells that a window could not be opened, with the system's reason for error.
void ShowWindowNotOpened(DWORD error);

// A message that tells, with the information icon, in a box owned by owner; on standard error
// where the program shows no boxes.
void ShowInformation(HWND owner, const std::string& text, const std::string& caption);
void ShowInformation(HWND owner, const std::wstring& text, const std::string& caption);

// What a command on one shortcut came to: a refusal before anything was asked, or the outcome of
// its file work.
struct CommandOutcome {
    bool succeeded = false;
    bool iconRefused = false; // the shortcut was saved without its icon location
    std::wstring text;        // empty: nothing to tell; UTF-16, as it may name a shortcut
};

// A text of the tool that names a shortcut or a record, made in UTF-8 from UTF-8 parts (the tool's
// own texts are ASCII), in the UTF-16 the boxes show.
std::wstring ToldText(const std::string& utf8);
// An ANSI path as such a part.
std::string Utf8Part(const std::string& ansiPath);

// Tells a single command's outcome: an icon refusal in a box of its own first, then success
// owned by the main window under successCaption, or the failure in the standard box.
CommandResult TellOutcome(const CommandOutcome& told, const char* successCaption);

// What a command on many shortcuts came to: one line for each, in the texts of the single
// command, an icon refusal on the line before its outcome.
class BatchSummary {
public:
    void Add(const std::wstring& shortcutPath, const CommandOutcome& told);
    // Shows the lines in one box owned by owner: Succeeded when every shortcut's command did.
    CommandResult Tell(HWND owner) const;
    bool AllSucceeded() const { return !m_failed; }
    size_t Succeeded() const { return m_succeeded; }
    const std::wstring& Text() const { return m_text; }
    // A line about the whole batch, which failed (the look it came from stopped at its limits).
    void AddFailure(const std::wstring& line)
    {
        m_text += line + L"\n";
        m_failed = true;
    }

private:
    std::wstring m_text;
    bool m_failed = false;
    size_t m_succeeded = 0;
};
