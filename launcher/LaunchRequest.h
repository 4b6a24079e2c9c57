// What a protected shortcut asks the launcher to do: find the record named by the launcher's
// argument and read it. No windows here, only the decisions on the command line and the record.
#pragma once

#include "storage/ProtectionRecord.h"

#include <string>

// Everything of the command line after the program name (quoted or not) and the one blank
// that follows it, byte for byte: a scrambled record path may hold quotes and blanks itself.
std::string LauncherArgument(const std::string& commandLine);

enum class LaunchProblem { None, NoArgument, CannotOpen, Damaged };

struct LaunchRequest {
    LaunchProblem problem = LaunchProblem::NoArgument;
    std::string recordPath;     // the argument unscrambled
    ProtectionRecord record;    // unscrambled; filled when problem is None
    CommandLineParts program;   // the record's command line split; ok when problem is None
};

// Unscrambles the argument into the record path and reads the record. A record whose command
// line does not split into a target and its arguments, or names no target, is damaged.
LaunchRequest ReadLaunchRequest(const std::string& argument);

// The message for a request that cannot be carried out.
std::string LaunchProblemText(const LaunchRequest& request);

// Overwrites a secret's whole buffer, then empties it.
void ClearSecret(std::string& secret);
