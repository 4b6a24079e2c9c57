// The launcher's decisions on its command line and the record it names, with the files held in
// memory: what the argument is, which record is read, and when it is refused.
#include "core/LaunchRequest.h"
#include "core/Messages.h"
#include "core/Scramble.h"

#include "MemoryFiles.h"

#include <gtest/gtest.h>

namespace {

class LaunchRequestTest : public testing::Test {
protected:
    void SetUp() override { MemoryFiles().clear(); }
    void TearDown() override { MemoryFiles().clear(); }
};

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
    const std::string scrambled = Scramble(recordPath);
    ASSERT_NE(scrambled.find(' '), std::string::npos);
    ASSERT_NE(scrambled.find('"'), std::string::npos);
    EXPECT_EQ(Unscramble(LauncherArgument("\"C:\\windows\\system32\\lkrun3.exe\" " + scrambled)), recordPath);
    EXPECT_EQ(Unscramble(LauncherArgument("lkrun3.exe " + scrambled)), recordPath);
}

TEST_F(LaunchRequestTest, AGoodRecordGivesPasswordProgramAndFolder)
{
    ProtectionRecord record{"Pa ss\"word", "\"C:\\A B\\prog.exe\" -x \"y z\"", "C:\\Work Dir"};
    const std::string path = "C:\\A B\\01012026000000.lki";
    MemoryFiles()[path] = FormatProtectionRecord(record);

    LaunchRequest request = ReadLaunchRequest(Scramble(path), &ReadMemoryFile);
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
    struct Case {
        const char* name;
        std::optional<std::string> bytes; // nullopt: no such file
        LaunchProblem problem;
    } cases[] = {
        {"two lines", Scramble("pw") + "\r\n" + Scramble("C:\\PROG.EXE -a") + "\r\n", LaunchProblem::Damaged},
        {"no blank after target", FormatProtectionRecord({"pw", "C:\\PROG.EXE", ""}), LaunchProblem::Damaged},
        {"unclosed quote", FormatProtectionRecord({"pw", "\"C:\\A B\\PROG.EXE -a", ""}), LaunchProblem::Damaged},
        {"no target", FormatProtectionRecord({"pw", " C:\\PROG.EXE", ""}), LaunchProblem::Damaged},
        {"empty file", std::string(), LaunchProblem::Damaged},
        {"missing", std::nullopt, LaunchProblem::CannotOpen},
    };
    for (const Case& c : cases) {
        const std::string path = std::string("C:\\Records\\") + c.name + ".lki";
        MemoryFiles().clear();
        if (c.bytes)
            MemoryFiles()[path] = *c.bytes;
        LaunchRequest request = ReadLaunchRequest(Scramble(path), &ReadMemoryFile);
        EXPECT_EQ(request.problem, c.problem) << c.name;
        EXPECT_TRUE(request.record.password.empty()) << c.name;
        const std::string text = LaunchProblemText(request.problem, request.recordPath);
        EXPECT_NE(text.find("\n" + path + "\n"), std::string::npos) << text;
    }

    // The path as it stands, not scrambled, unscrambles into a file that does not exist.
    const std::string plainPath = "C:\\Records\\02012026000000.lki";
    MemoryFiles()[plainPath] = FormatProtectionRecord({"pw", "C:\\PROG.EXE -a", ""});
    LaunchRequest plain = ReadLaunchRequest(plainPath, &ReadMemoryFile);
    EXPECT_EQ(plain.problem, LaunchProblem::CannotOpen);
    EXPECT_EQ(plain.recordPath, Unscramble(plainPath));

    LaunchRequest none = ReadLaunchRequest("", &ReadMemoryFile);
    EXPECT_EQ(none.problem, LaunchProblem::NoArgument);
    EXPECT_FALSE(LaunchProblemText(none.problem, none.recordPath).empty());
}

TEST_F(LaunchRequestTest, ARecordPathWithANulIsNotCutShort)
{
    // 0xF6 at position 10 or later unscrambles to a NUL: the file system would open the path
    // only up to it, here a real record.
    const std::string good = "C:\\Records\\03012026000000.lki";
    MemoryFiles()[good] = FormatProtectionRecord({"pw", "C:\\PROG.EXE -a", ""});
    LaunchRequest request = ReadLaunchRequest(Scramble(good) + "\xF6junk", &ReadMemoryFile);
    EXPECT_EQ(request.problem, LaunchProblem::CannotOpen);
    EXPECT_NE(LaunchProblemText(request.problem, request.recordPath).find(good), std::string::npos);
}

TEST(LaunchRequest, OnlyProgramsAreStartedDirectly)
{
    struct Case {
        const char* target;
        bool program;
    } cases[] = {
        {"C:\\PROGRA~1\\EDIT.EXE", true},
        {"C:\\Tools\\tool.exe", true},
        {"C:\\Tools\\OLD.COM", true},
        {"C:\\Tools\\run.bat", false},
        {"C:\\Tools\\run.cmd", false},
        {"C:\\Docs\\letter.txt", false},
        {"C:\\Docs", false},           // a folder
        {"C:\\my.exe\\readme", false}, // the full stop is in a folder name
        {"C:\\Tools\\tool.exe.lnk", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsProgramFile(c.target), c.program) << c.target;
}

} // namespace
