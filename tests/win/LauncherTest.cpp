// The launcher's decisions and its start of the program, without its window: the argument
// taken from the command line, the record read and judged, and the program started exactly.
#include "launcher/LaunchRequest.h"
#include "launcher/StartProgram.h"
#include "storage/Scramble.h"
#include "tests/win/LaunchProbe.h"

#include <gtest/gtest.h>

namespace {

TEST(LauncherArgument, IsTheRestAfterTheProgramNameAndOneBlank)
{
    struct Case {
        const char* commandLine;
        const char* argument;
    } cases[] = {
        {"lkrun3.exe ABC", "ABC"},
        {"C:\\windows\\system32\\lkrun3.exe A B C", "A B C"},
        {"\"C:\\windows\\system32\\lkrun3.exe\" ABC", "ABC"},
        {"\"C:\\Program Files\\lkrun3.exe\" \"A B\" \"", "\"A B\" \""},
        {"lkrun3.exe  A ", " A "},  // only the one separating blank is dropped
        {"lkrun3.exe\tA", "A"},
        {"\"C:\\x\\lkrun3.exe\"ABC", "ABC"},
        {"lkrun3.exe", ""},
        {"lkrun3.exe ", ""},
        {"\"C:\\x y\\lkrun3.exe\"", ""},
        {"\"C:\\x y\\lkrun3.exe", ""}, // unclosed quote: all of it is the program name
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LauncherArgument(c.commandLine), c.argument) << c.commandLine;
}

TEST(LauncherArgument, CarriesAScrambledPathWithQuotesAndBlanksWhole)
{
    // '!' at 2 and '*' from 10 on scramble to blanks, ',' from 10 on to a double quote.
    const std::string recordPath = "C:!A\\B\\lk rec,x*y\\01012026000000.lki";
    const std::string scrambled = ScramblePassword(recordPath);
    ASSERT_NE(scrambled.find(' '), std::string::npos);
    ASSERT_NE(scrambled.find('"'), std::string::npos);
    EXPECT_EQ(UnscramblePassword(LauncherArgument("\"C:\\windows\\system32\\lkrun3.exe\" " + scrambled)), recordPath);
    EXPECT_EQ(UnscramblePassword(LauncherArgument("lkrun3.exe " + scrambled)), recordPath);
}

class LaunchRequestTest : public ::testing::Test {
protected:
    probe::ScratchFolder scratch{"lk launch request"};

    std::string WriteFile(const std::string& name, const std::string& bytes)
    {
        std::string path = scratch.Path() + "\\" + name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
    }
};

TEST_F(LaunchRequestTest, AGoodRecordGivesPasswordProgramAndFolder)
{
    ProtectionRecord record{"Pa ss\"word", "\"C:\\A B\\prog.exe\" -x \"y z\"", "C:\\Work Dir"};
    const std::string path = WriteFile("01012026000000.lki", FormatProtectionRecord(record));

    LaunchRequest request = ReadLaunchRequest(ScramblePassword(path));
    ASSERT_EQ(request.problem, LaunchProblem::None);
    EXPECT_EQ(request.recordPath, path);
    EXPECT_EQ(request.record.password, record.password);
    EXPECT_EQ(request.record.commandLine, record.commandLine);
    EXPECT_EQ(request.record.workingDirectory, record.workingDirectory);
    EXPECT_EQ(request.program.targetPath, "C:\\A B\\prog.exe");
    EXPECT_EQ(request.program.arguments, "-x \"y z\"");
}

TEST_F(LaunchRequestTest, BadInputIsNamedAndRefused)
{
    const std::string good = FormatProtectionRecord({"pw", "C:\\PROG.EXE -a", ""});
    struct Case {
        const char* name;
        std::string bytes; // written to the record file unless empty
        LaunchProblem problem;
    } cases[] = {
        {"two lines", ScramblePassword("pw") + "\r\n" + ScramblePassword("C:\\PROG.EXE -a") + "\r\n", LaunchProblem::Damaged},
        {"no blank after target", FormatProtectionRecord({"pw", "C:\\PROG.EXE", ""}), LaunchProblem::Damaged},
        {"unclosed quote", FormatProtectionRecord({"pw", "\"C:\\A B\\PROG.EXE -a", ""}), LaunchProblem::Damaged},
        {"no target", FormatProtectionRecord({"pw", " C:\\PROG.EXE", ""}), LaunchProblem::Damaged},
        {"empty file", "", LaunchProblem::Damaged},
        {"missing", "", LaunchProblem::CannotOpen},
    };
    for (const Case& c : cases) {
        std::string path = scratch.Path() + "\\" + c.name + ".lki";
        if (c.problem != LaunchProblem::CannotOpen)
            WriteFile(std::string(c.name) + ".lki", c.bytes);
        LaunchRequest request = ReadLaunchRequest(ScramblePassword(path));
        EXPECT_EQ(request.problem, c.problem) << c.name;
        EXPECT_TRUE(request.record.password.empty()) << c.name;
        EXPECT_NE(LaunchProblemText(request).find("\n" + path + "\n"), std::string::npos) << LaunchProblemText(request);
    }

    // The path as it stands, not scrambled, unscrambles into a file that does not exist.
    const std::string plainPath = WriteFile("02012026000000.lki", good);
    LaunchRequest plain = ReadLaunchRequest(plainPath);
    EXPECT_EQ(plain.problem, LaunchProblem::CannotOpen);
    EXPECT_EQ(plain.recordPath, UnscramblePassword(plainPath));

    LaunchRequest none = ReadLaunchRequest("");
    EXPECT_EQ(none.problem, LaunchProblem::NoArgument);
    EXPECT_FALSE(LaunchProblemText(none).empty());
}

TEST_F(LaunchRequestTest, ARecordPathWithANulIsNotCutShort)
{
    // 0xF6 at position 10 or later unscrambles to a NUL: the file system would open the path
    // only up to it, here a real record.
    const std::string good = WriteFile("03012026000000.lki", FormatProtectionRecord({"pw", "C:\\PROG.EXE -a", ""}));
    std::string argument = ScramblePassword(good) + "\xF6junk";
    LaunchRequest request = ReadLaunchRequest(argument);
    EXPECT_EQ(request.problem, LaunchProblem::CannotOpen);
    EXPECT_NE(LaunchProblemText(request).find(good), std::string::npos);
}

TEST(ClearSecret, ZeroesTheWholeBuffer)
{
    std::string secret(100, 'x');
    secret.resize(3);
    const char* buffer = secret.data();
    const std::size_t capacity = secret.capacity();
    ClearSecret(secret);
    EXPECT_TRUE(secret.empty());
    ASSERT_EQ(secret.data(), buffer);
    for (std::size_t i = 0; i < capacity; ++i)
        ASSERT_EQ(buffer[i], '\0') << i;
}

// Starts the probe through StartProgram and returns what it reports.
class StartProgramTest : public ::testing::Test {
protected:
    probe::ScratchFolder scratch{"lk start program"};
    std::string out = scratch.Path() + "\\report.bin";

    void SetUp() override { ASSERT_FALSE(probe::ProbeProgram().empty()); }

    probe::Report Start(const ProtectionRecord& record, DWORD* error = nullptr)
    {
        probe::ExpectReportAt(out);
        CommandLineParts program = SplitCommandLine(record.commandLine);
        EXPECT_TRUE(program.ok);
        DWORD result = StartProgram(record, program);
        if (error)
            *error = result;
        if (result != 0)
            return probe::Report{};
        return probe::WaitForReport(out);
    }
};

TEST_F(StartProgramTest, PassesTheArgumentsExactlyInTheRecordsFolder)
{
    const std::string program = probe::ShortPath(scratch.PlaceProbe("Long Probe Folder\\Launch Probe Program.exe"));
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
        probe::Report report = Start(record);
        ASSERT_TRUE(report.arrived) << arguments;
        EXPECT_EQ(report.commandLine, program + " " + arguments);
        EXPECT_EQ(report.directory, workDir);
    }
}

TEST_F(StartProgramTest, AQuotedTargetWithABlankStarts)
{
    // As stored for a target that kept its blank (no short form on its volume).
    const std::string program = scratch.PlaceProbe("Folder With Blanks\\probe program.exe");
    ProtectionRecord record{"pw", MakeCommandLine(program, "one \"two three\""), ""};
    ASSERT_EQ(record.commandLine.front(), '"');
    probe::Report report = Start(record);
    ASSERT_TRUE(report.arrived);
    EXPECT_EQ(report.commandLine, "\"" + program + "\" one \"two three\"");
    // No working directory: the program's own folder.
    EXPECT_EQ(probe::LongPath(report.directory), scratch.Path() + "\\Folder With Blanks");
}

TEST_F(StartProgramTest, AnEmptyWorkingDirectoryMeansTheProgramsFolder)
{
    const std::string program = probe::ShortPath(scratch.PlaceProbe("Program Folder\\probe.exe"));
    probe::Report report = Start({"pw", MakeCommandLine(program, "-x"), ""});
    ASSERT_TRUE(report.arrived);
    EXPECT_EQ(report.commandLine, program + " -x");
    EXPECT_EQ(probe::LongPath(report.directory), scratch.Path() + "\\Program Folder");
}

TEST_F(StartProgramTest, AWorkingDirectoryWithEnvironmentVariablesIsExpanded)
{
    const std::string program = probe::ShortPath(scratch.PlaceProbe("probe.exe"));
    const std::string workDir = scratch.Folder("expanded here");
    SetEnvironmentVariableA("LK_TEST_FOLDER", scratch.Path().c_str());
    probe::Report report = Start({"pw", MakeCommandLine(program, ""), "%LK_TEST_FOLDER%\\expanded here"});
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
    const std::string text = StartFailureText(missing, error);
    EXPECT_NE(text.find(missing), std::string::npos);
    EXPECT_NE(text.find(SystemErrorText(ERROR_FILE_NOT_FOUND)), std::string::npos);
    EXPECT_FALSE(SystemErrorText(ERROR_FILE_NOT_FOUND).empty());
    EXPECT_NE(SystemErrorText(ERROR_FILE_NOT_FOUND).back(), '\n');

    // A working directory that does not exist stops the start as well.
    const std::string program = probe::ShortPath(scratch.PlaceProbe("probe.exe"));
    error = 0;
    Start({"pw", MakeCommandLine(program, ""), scratch.Path() + "\\no such folder"}, &error);
    EXPECT_NE(error, 0u);
}

TEST(ProgramDisplayName, IsTheLongFileName)
{
    probe::ScratchFolder scratch{"lk display name"};
    const std::string program = scratch.PlaceProbe("A Long Program Name.exe");
    EXPECT_EQ(ProgramDisplayName(probe::ShortPath(program)), "A Long Program Name.exe");
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
    std::string dist = std::string("Z:") + distUnix;
    for (char& c : dist)
        if (c == '/')
            c = '\\';
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
