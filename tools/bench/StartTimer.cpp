// lk_bench_start PLAN ROUNDS: starts each program of the plan ROUNDS times, interleaved (each round
// in a rotated order), and times each start until its dialog is visible. One Windows program
// starts them all, so that Wine's own start-up cost is the same for a program and its floor.
//
// PLAN: one program a line, fields separated by tabs: name, program path, caption of its dialog,
// arguments. The argument {record} becomes the scrambled path of a protection record made here
// (RECORD_DIR\bench.lki, starting the floor of the first line), as a protected shortcut passes it.
//
// Prints one line a start: round, name, milliseconds to the visible dialog, working set in KiB
// and the DLLs loaded (their number; in round 0 also their names, comma-separated) once the
// program is idle at its dialog. Two warm-up rounds first, not printed.
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Program {
    std::string name;
    std::string path;
    std::string caption;
    std::string arguments;
};

HWND FindVisibleDialog(DWORD processId, const std::string& caption)
{
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", caption.c_str())) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Starts the program, waits for its dialog, measures, and closes it. False when it failed.
// The base names of the DLLs loaded in a process, lower-case, the program itself left out.
std::vector<std::string> LoadedDlls(HANDLE process)
{
    std::vector<HMODULE> modules(512);
    DWORD bytes = 0;
    if (!EnumProcessModules(process, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &bytes))
        return {};
    modules.resize(std::min<std::size_t>(modules.size(), bytes / sizeof(HMODULE)));
    std::vector<std::string> names;
    for (std::size_t i = 1; i < modules.size(); ++i) { // the first is the program
        char name[MAX_PATH] = {};
        if (GetModuleBaseNameA(process, modules[i], name, MAX_PATH) == 0)
            continue;
        std::string lower(name);
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        names.push_back(lower);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool TimeStart(const Program& program, double& ms, SIZE_T& workingSet, std::vector<std::string>& dlls)
{
    std::string commandLine = "\"" + program.path + "\"";
    if (!program.arguments.empty())
        commandLine += " " + program.arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    std::string folder = program.path.substr(0, program.path.find_last_of('\\'));

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start, now;
    // On a busy machine Wine now and then fails to start a process at all (internal error 1359);
    // that start is tried again rather than ending the whole run.
    for (int attempt = 1;; ++attempt) {
        QueryPerformanceCounter(&start);
        if (CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                           &process))
            break;
        std::fprintf(stderr, "lk_bench_start: cannot start %s (error %lu)\n", program.path.c_str(), GetLastError());
        if (attempt == 3)
            return false;
        Sleep(500);
    }
    CloseHandle(process.hThread);

    HWND window = nullptr;
    for (;;) {
        window = FindVisibleDialog(process.dwProcessId, program.caption);
        QueryPerformanceCounter(&now);
        if (window || Milliseconds(start, now) > 30000.0)
            break;
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
            break; // ended without showing its dialog
    }
    ms = Milliseconds(start, now);

    bool ok = window != nullptr;
    if (ok) {
        WaitForInputIdle(process.hProcess, 5000);
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        workingSet = GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters) ? counters.WorkingSetSize : 0;
        dlls = LoadedDlls(process.hProcess);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    } else {
        std::fprintf(stderr, "lk_bench_start: %s showed no dialog \"%s\"\n", program.name.c_str(),
                     program.caption.c_str());
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hProcess);
    return ok;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: lk_bench_start PLAN ROUNDS RECORD_DIR\n");
        return 2;
    }
    std::vector<Program> programs;
    std::ifstream plan(argv[1]);
    std::string line;
    while (std::getline(plan, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields = SplitTabs(line);
        if (fields.size() >= 3)
            programs.push_back({fields[0], fields[1], fields[2], fields.size() > 3 ? fields[3] : std::string()});
    }
    const int rounds = std::atoi(argv[2]);
    if (programs.empty() || rounds <= 0) {
        std::fprintf(stderr, "lk_bench_start: nothing to run\n");
        return 2;
    }

    // The record a protected shortcut would name; the launcher shows its target's name.
    const std::string recordPath = std::string(argv[3]) + "\\bench.lki";
    ProtectionRecord record;
    record.password = "bench";
    record.commandLine = MakeCommandLine(programs.front().path, std::string());
    const std::string bytes = FormatProtectionRecord(record);
    std::FILE* file = std::fopen(recordPath.c_str(), "wb");
    const bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (!file || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "lk_bench_start: cannot write %s\n", recordPath.c_str());
        return 1;
    }
    for (Program& program : programs)
        if (program.arguments == "{record}")
            program.arguments = Scramble(recordPath);

    const int warmUp = 2;
    for (int round = -warmUp; round < rounds; ++round) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const Program& program = programs[(i + static_cast<std::size_t>(round + warmUp)) % programs.size()];
            double ms = 0;
            SIZE_T workingSet = 0;
            std::vector<std::string> dlls;
            if (!TimeStart(program, ms, workingSet, dlls))
                return 1;
            if (round < 0)
                continue;
            std::string names;
            for (const std::string& dll : dlls)
                names += (names.empty() ? "" : ",") + dll;
            std::printf("%d\t%s\t%.2f\t%lu\t%u\t%s\n", round, program.name.c_str(), ms,
                        static_cast<unsigned long>(workingSet / 1024), static_cast<unsigned>(dlls.size()),
                        round == 0 ? names.c_str() : "");
        }
        std::fflush(stdout);
    }
    return 0;
}
