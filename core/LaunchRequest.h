// What a protected shortcut asks the launcher to do: find the record named by the launcher's
// argument and read it. No windows and no file system here: the caller hands in the reader.
#pragma once

#include "core/ProtectionRecord.h"

#include <optional>
#include <string>

// Everything of the command line after the program name (quoted or not) and the one blank
// that follows it, byte for byte: a scrambled record path may hold quotes and blanks itself.
std::string LauncherArgument(const std::string& commandLine);

// Why a request cannot be carried out.
enum class LaunchProblem { None, NoArgument, CannotOpen, Damaged };

struct LaunchRequest {
    LaunchProblem problem = LaunchProblem::NoArgument;
    std::string recordPath;   // the argument unscrambled
    ProtectionRecord record;  // unscrambled; filled when problem is None
    CommandLineParts program; // the record's command line split; ok when problem is None
};

// True when the target is a program that CreateProcess starts itself (.exe, .com); anything
// else (a document, a folder, a batch file) is opened as the shell opens it.
bool IsProgramFile(const std::string& targetPath);

// Reads a whole file's bytes; nullopt when it cannot be read.
using FileReader = std::optional<std::string> (*)(const std::string& path);

// Unscrambles the argument into the record path and reads the record through readFile. A record
// whose command line does not split into a target and its arguments, or names no target, is
// damaged.
LaunchRequest ReadLaunchRequest(const std::string& argument, FileReader readFile);
