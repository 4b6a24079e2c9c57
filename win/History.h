// The history on this PC: one file, %ProgramData%\Latchkey\History\history.txt, shared by every
// user, and the Windows Event Log's Application log (source "Latchkey"), which gets each entry too.
//
// Latchkey (run as administrator) makes the file when it records a change: Administrators and
// SYSTEM may do anything with it, users may only append to it (not read, change or delete it).
// The launcher runs with the user's rights and only appends to a file that is already there. The
// file is bounded: the launcher adds nothing once it holds HistoryMaxBytes, and Latchkey keeps the
// newest HistoryKeptBytes of entries when it finds more than HistoryTrimBytes.
#pragma once

#include "core/History.h"

#include <optional>
#include <string>
#include <vector>

constexpr unsigned long HistoryMaxBytes = 4ul << 20;
constexpr unsigned long HistoryTrimBytes = 3ul << 20;
constexpr unsigned long HistoryKeptBytes = 2ul << 20;

// %ProgramData%\Latchkey\History\history.txt; nullopt when the system names no ProgramData.
std::optional<std::wstring> HistoryFilePath();

// An entry of now, by this process's user, for program (its long form when it exists).
HistoryEntry NewHistoryEntry(HistoryResult result, const std::wstring& shortcut, const std::string& program);

// The launcher's attempts: adds the entry to the Event Log and appends it to the history file when
// that is there (it never makes one: a user's folder there would be the user's to change). Never
// fails loudly: a history that cannot be written stops nothing.
void AddToHistory(const HistoryEntry& entry);

// Latchkey's changes (Protected, Removed, ...) to the shortcut (a path in the code page, as the
// commands have it) and its program, by the user running Latchkey: as AddToHistory, but the
// folders and the file are made where they are missing, and the file trimmed when it is too big.
void RecordChange(HistoryResult result, const std::string& shortcut, const std::string& program);
void RecordChange(HistoryResult result, const std::wstring& shortcut, const std::string& program);

// Every entry of the history file, oldest first (of an oversized file, those in its last
// HistoryMaxBytes); none when there is no file or it cannot be read.
std::vector<HistoryEntry> ReadHistory();

// Reports the entry to the Application log: its result's event id, a warning for a wrong password
// or a lock-out, and user, shortcut and program as the insertion strings %1, %2 and %3.
void ReportHistoryEvent(const HistoryEntry& entry);
