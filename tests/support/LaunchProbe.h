// The test side of the launch probe, the program that launcher tests start (its source:
// tests/win/fixtures/ProbeProgram.cpp): where it is, copies of it to start, and waiting for the
// report it writes.
#pragma once

#include "tests/support/Files.h"

#include <chrono>
#include <string>

namespace lktest {

// The probe program built with the tests (environment LK_LAUNCH_PROBE) as a Windows path;
// empty when it is not set.
std::string ProbeProgram();
// Copies the probe program to a path inside the folder (the folders on the way are made) and
// returns that path.
std::string PlaceProbe(const ScratchFolder& folder, const std::string& relative);

struct ProbeReport {
    bool arrived = false;
    std::string commandLine;
    std::string directory;
};

// Points the probe (started by us or by programs we start) at outPath, removing an old report.
void ExpectProbeReportAt(const std::string& outPath);
// Waits for the probe's report until the deadline.
ProbeReport WaitForProbeReport(const std::string& outPath,
                               std::chrono::milliseconds deadline = std::chrono::seconds(10));

} // namespace lktest
