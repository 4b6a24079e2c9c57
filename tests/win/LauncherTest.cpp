// The launcher's decisions and its start of the program, without its window: the argument
// taken from the command line, the record read and judged, and the program started exactly.
#include "core/LaunchRequest.h"
#include "core/Messages.h"
#include "core/Scramble.h"
#include "launcher/StartProgram.h"
#include "win/Files.h"
#include "win/SystemError.h"
#include "tests/support/Files.h"
#include "tests/support/LaunchProbe.h"
#include "tests/support/Paths.h"
#include "tests/support/UnixShell.h"

#include <gtest/gtest.h>

using namespace lktest;

namespace {

// The record read from a real file, through the launcher's own reader.
TEST(LaunchRequest, IsReadFromTheRecordFile)
{
    ScratchFolder scratch{"lk launch request"};
    ProtectionRecord record{"pw", "\"C:\\A B\\prog.exe\" -x", ""};
    const std::string path = scratch / "01012026000000.lki";
    ASSERT_TRUE(WriteWholeFile(path, FormatProtectionRecord(record)));

    LaunchRequest request = ReadLaunchRequest(Scramble(path), &ReadWholeFile);
    ASSERT_EQ(request.problem, LaunchProblem::None);
    EXPECT_EQ(request.record.commandLine, record.commandLine);
    EXPECT_EQ(ReadLaunchRequest(Scramble(path + ".gone"), &ReadWholeFile).problem, LaunchProblem::CannotOpen);
}

// Starts the probe through StartProgram and returns what it reports.
class StartProgramTest : public ::testing::Test {
protected:
    ScratchFolder scratch{"lk start program"};
    std::string out = scratch.Path() + "\\report.bin";

    void SetUp() override { ASSERT_FALSE(ProbeProgram().empty()); }

    ProbeReport Start(const ProtectionRecord& record, DWORD* error = nullptr)
    {
        ExpectProbeReportAt(out);
        CommandLineParts program = SplitCommandLine(record.commandLine);
        EXPECT_TRUE(program.ok);
        DWORD result = StartProgram(record, program);
        if (error)
            *error = result;
        if (result != 0)
            return ProbeReport{};
        return WaitForProbeReport(out);
    }
};

TEST_F(StartProgramTest, PassesTheArgumentsExactlyInTheRecordsFolder)
{
    const std::string program = ShortPath(PlaceProbe(scratch, "Long Probe Folder\\Launch Probe Program.exe"));
    ASSERT_FALSE(program.empty());
    ASSERT_EQ(program.find(' '), std::string::npos) << program;
    const std::string workDir = scratch.Folder("Work Dir ;%&^!'()");

    const char* argumentCases[] = {
        "",
        "plain",
        "\"quoted arg\" \"\" \"x\"\"y\" \\\"",
        "  leading and  double  blanks and trailing  ",
        "%PATH% ^& | < > && ; $HOME `x` * ? !",
        "tab\there \xE9\xFC\xA0 end\\",
        "-a=1 /b:\"C:\\Some Folder\\\" --c",
    };
    for (const char* arguments : argumentCases) {
        ProtectionRecord record{"pw", MakeCommandLine(program, arguments), workDir};
        ProbeReport report = Start(record);
        ASSERT_TRUE(report.arrived) << arguments;
        EXPECT_EQ(report.commandLine, program + " " + arguments);
        EXPECT_EQ(report.directory, workDir);
    }
}

TEST_F(StartProgramTest, AQuotedTargetWithABlankStarts)
{
    // As stored for a target that kept its blank (no short form on its volume).
    const std::string program = PlaceProbe(scratch, "Folder With Blanks\\probe program.exe");
    ProtectionRecord record{"pw", MakeCommandLine(program, "one \"two three\""), ""};
    ASSERT_EQ(record.commandLine.front(), '"');
    ProbeReport report = Start(record);
    ASSERT_TRUE(report.arrived);
    EXPECT_EQ(report.commandLine, "\"" + program + "\" one \"two three\"");
    // No working directory: the program's own folder.
    EXPECT_EQ(LongPath(report.directory), scratch.Path() + "\\Folder With Blanks");
}

TEST_F(StartProgramTest, AnEmptyWorkingDirectoryMeansTheProgramsFolder)
{
    const std::string program = ShortPath(PlaceProbe(scratch, "Program Folder\\probe.exe"));
    ProbeReport report = Start({"pw", MakeCommandLine(program, "-x"), ""});
    ASSERT_TRUE(report.arrived);
    EXPECT_EQ(report.commandLine, program + " -x");
    EXPECT_EQ(LongPath(report.directory), scratch.Path() + "\\Program Folder");
}

TEST_F(StartProgramTest, AWorkingDirectoryWithEnvironmentVariablesIsExpanded)
{
    const std::string program = ShortPath(PlaceProbe(scratch, "probe.exe"));
    const std::string workDir = scratch.Folder("expanded here");
    SetEnvironmentVariableA("LK_TEST_FOLDER", scratch.Path().c_str());
    ProbeReport report = Start({"pw", MakeCommandLine(program, ""), "%LK_TEST_FOLDER%\\expanded here"});
    SetEnvironmentVariableA("LK_TEST_FOLDER", nullptr);
    ASSERT_TRUE(report.arrived);
    EXPECT_EQ(report.directory, workDir);

    // A real folder whose name holds percent signs is taken as it stands.
    const std::string percentDir = scratch.Folder("%LK_TEST_FOLDER%");
    report = Start({"pw", MakeCommandLine(program, ""), percentDir});
    ASSERT_TRUE(report.arrived);
    EXPECT_EQ(report.directory, percentDir);
}

TEST_F(StartProgramTest, AProgramThatCannotStartGivesTheSystemsError)
{
    const std::string missing = scratch.Path() + "\\missing.exe";
    DWORD error = 0;
    Start({"pw", MakeCommandLine(missing, "-x"), ""}, &error);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    const std::string text = StartFailureText(missing, SystemErrorText(error));
    EXPECT_NE(text.find(missing), std::string::npos);
    EXPECT_NE(text.find(SystemErrorText(ERROR_FILE_NOT_FOUND)), std::string::npos);
    EXPECT_FALSE(SystemErrorText(ERROR_FILE_NOT_FOUND).empty());
    EXPECT_NE(SystemErrorText(ERROR_FILE_NOT_FOUND).back(), '\n');

    // A working directory that does not exist stops the start as well.
    const std::string program = ShortPath(PlaceProbe(scratch, "probe.exe"));
    error = 0;
    Start({"pw", MakeCommandLine(program, ""), scratch.Path() + "\\no such folder"}, &error);
    EXPECT_NE(error, 0u);
}

// The program named by the record is the one that starts, or none: a tab in its name ends the
// name where Windows reads it from the command line, at a program that does exist.
TEST_F(StartProgramTest, OnlyTheCheckedProgramStarts)
{
    const std::string odd = PlaceProbe(scratch, "Apps\\odd.exe");
    const std::string named = ShortPath(scratch.Path() + "\\Apps") + "\\odd\tname.exe";
    ASSERT_EQ(named.find(' '), std::string::npos) << named;
    ProtectionRecord record{"pw", named + " -x", ""};
    CommandLineParts program = SplitCommandLine(record.commandLine);
    ASSERT_TRUE(program.ok);
    ASSERT_EQ(program.targetPath, named);
    ExpectProbeReportAt(out);
    EXPECT_NE(StartProgram(record, program), 0u);
    EXPECT_FALSE(WaitForProbeReport(out, std::chrono::seconds(3)).arrived) << odd << " was started";
}

TEST(ProgramDisplayName, IsTheLongFileName)
{
    ScratchFolder scratch{"lk display name"};
    const std::string program = PlaceProbe(scratch, "A Long Program Name.exe");
    EXPECT_EQ(ProgramDisplayName(ShortPath(program)), "A Long Program Name.exe");
    EXPECT_EQ(ProgramDisplayName("C:\\GONE~1\\MISSING.EXE"), "MISSING.EXE");
}

} // namespace

namespace {

// The shipped launchers of both widths carry their own resources: the Security dialog, the
// icon, a version record naming lkrun3.exe and a manifest that never asks for elevation.
TEST(LauncherResources, BothBuildsCarryDialogIconVersionAndAnAsInvokerManifest)
{
    const char* distUnix = std::getenv("LK_DIST_DIR");
    ASSERT_NE(distUnix, nullptr);
    const std::string dist = DosPath(distUnix);
    ASSERT_FALSE(dist.empty());
    const std::string root = dist.substr(0, dist.rfind('\\'));
    for (const std::string exe : {root + "\\win64\\lkrun3.exe", root + "\\win32\\lkrun3.exe"}) {
        SCOPED_TRACE(exe);
        HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(130), MAKEINTRESOURCEA(5)), nullptr) << "dialog";
        EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(128), MAKEINTRESOURCEA(14)), nullptr) << "icon group";
        HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
        ASSERT_NE(manifest, nullptr);
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, manifest)));
        const std::string text(bytes, SizeofResource(module, manifest));
        EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
        EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
        FreeLibrary(module);

        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
        ASSERT_GT(size, 0u);
        std::string info(size, '\0');
        ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, &info[0]));
        char* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904b0\\OriginalFilename",
                                   reinterpret_cast<void**>(&value), &length));
        EXPECT_STREQ(value, "lkrun3.exe");
    }
}

} // namespace
