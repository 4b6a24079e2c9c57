// The record reader must give back every field exactly, whatever bytes the scrambling made
// of it: word-wise reading lost fields whenever a scrambled byte was white space or 0x1A.
#include "core/ProtectionRecord.h"
#include "core/Scramble.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

bool IsRisky(unsigned char scrambled)
{
    return std::isspace(scrambled) || scrambled == 0x1A;
}

// Every printable or high character and position (10 stands for "10 and later") whose
// scrambled form is white space or 0x1A. Control characters never come from a shortcut.
std::vector<std::pair<char, int>> RiskyPairs()
{
    std::vector<std::pair<char, int>> pairs;
    for (int position = 0; position <= 10; ++position) {
        for (int c = 0x20; c <= 0xFF; ++c) {
            std::string text(position + 1, 'a');
            text[position] = static_cast<char>(c);
            if (IsRisky(static_cast<unsigned char>(Scramble(text)[position])))
                pairs.emplace_back(static_cast<char>(c), position);
        }
    }
    return pairs;
}

std::string WithLoneLineFeeds(std::string bytes)
{
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            out += bytes[i];
    return out;
}

void ExpectReadsBack(const ProtectionRecord& record, const std::string& bytes, const std::string& label)
{
    RecordReadResult read = ParseProtectionRecord(bytes);
    ASSERT_EQ(read.status, RecordStatus::Ok) << label;
    EXPECT_EQ(read.record.password, record.password) << label;
    EXPECT_EQ(read.record.commandLine, record.commandLine) << label;
    EXPECT_EQ(read.record.workingDirectory, record.workingDirectory) << label;
}

} // namespace

TEST(RecordReader, RiskyPairsAreTheKnownOnes)
{
    // The table below must cover exactly these, or the reader test misses a case.
    std::set<std::pair<char, int>> expected = {
        {' ', 0}, {' ', 1}, {' ', 4}, {' ', 9}, {'!', 2}, {'!', 8},  {'"', 3},
        {'"', 7}, {'#', 6}, {'$', 5}, {'*', 10}, {'$', 10},
    };
    std::vector<std::pair<char, int>> pairs = RiskyPairs();
    std::set<std::pair<char, int>> found(pairs.begin(), pairs.end());
    EXPECT_EQ(found, expected);
}

TEST(RecordReader, EveryRiskyByteInEveryFieldReadsBackWhole)
{
    for (auto [c, position] : RiskyPairs()) {
        // Position 10 stands for every later one: check a few, up to long fields.
        std::vector<int> positions = {position};
        if (position == 10)
            positions = {10, 11, 259, 300};
        for (int at : positions) {
            for (int field = 0; field < 3; ++field) {
                for (int tail : {0, 1, 7}) { // risky byte last in its line, or inside it
                    std::string text = std::string("C:\\PROGRA~1\\EDITOR\\EDIT.EXE -f").substr(0, at);
                    text.resize(at, 'q');
                    text += c;
                    text += std::string(tail, 'z');
                    ProtectionRecord record{"pw", "C:\\E.EXE -a", "C:\\Work"};
                    std::string* target[] = {&record.password, &record.commandLine, &record.workingDirectory};
                    *target[field] = text;

                    std::string bytes = FormatProtectionRecord(record);
                    std::string label = std::string("char ") + c + " at " + std::to_string(at) + " in field " +
                                        std::to_string(field) + " tail " + std::to_string(tail);
                    // The case is real: the stored line holds the risky byte at that position.
                    std::string scrambled = Scramble(text);
                    ASSERT_TRUE(IsRisky(static_cast<unsigned char>(scrambled[at]))) << label;
                    ASSERT_NE(bytes.find(scrambled + "\r\n"), std::string::npos) << label;

                    ExpectReadsBack(record, bytes, label + " (CR LF)");
                    ExpectReadsBack(record, WithLoneLineFeeds(bytes), label + " (LF)");
                }
            }
        }
    }
}

TEST(RecordReader, SeparatingBlankAtRiskyPositionsSplitsTheCommandLine)
{
    // A target of 4 or 9 characters stores its separating blank as a blank; one of 10 or more
    // as 0x16. Either way target and arguments come back apart, the arguments whole.
    for (int targetLength = 0; targetLength <= 14; ++targetLength) {
        for (const char* arguments : {"", "-a -b", " lead", "trail ", "$HOME *.txt \"q\" #1 !x"}) {
            std::string target = std::string("C:\\PROGRA~1\\E.EXE").substr(0, targetLength);
            target.resize(targetLength, 'X');
            ProtectionRecord record{"pw", MakeCommandLine(target, arguments), ""};
            RecordReadResult read = ParseProtectionRecord(FormatProtectionRecord(record));
            ASSERT_EQ(read.status, RecordStatus::Ok);
            CommandLineParts parts = SplitCommandLine(read.record.commandLine);
            ASSERT_TRUE(parts.ok) << target << "|" << arguments;
            EXPECT_EQ(parts.targetPath, target);
            EXPECT_EQ(parts.arguments, arguments);
        }
    }
}

TEST(RecordReader, LineEndsAndEndMarker)
{
    const std::string pw = Scramble("Secret");
    const std::string cmd = Scramble("C:\\PROGRA~1\\EDITOR\\EDIT.EXE -a -b");
    const std::string wd = Scramble("C:\\Work Dir");
    struct Case {
        const char* name;
        std::string bytes;
        const char* workingDirectory;
    } cases[] = {
        {"as written", pw + "\r\n" + cmd + "\r\n" + wd + "\r\n.", "C:\\Work Dir"},
        {"no full stop", pw + "\r\n" + cmd + "\r\n" + wd + "\r\n", "C:\\Work Dir"},
        {"lone LF", pw + "\n" + cmd + "\n" + wd + "\n.", "C:\\Work Dir"},
        {"mixed line ends", pw + "\n" + cmd + "\r\n" + wd + "\n", "C:\\Work Dir"},
        {"bytes after the marker", pw + "\r\n" + cmd + "\r\n" + wd + "\r\n.\r\njunk", "C:\\Work Dir"},
        // An empty third line is an empty working directory, not the end marker.
        {"empty working directory", pw + "\r\n" + cmd + "\r\n\r\n.", ""},
        {"empty working directory, no marker", pw + "\r\n" + cmd + "\r\n\r\n", ""},
    };
    for (const Case& c : cases) {
        RecordReadResult read = ParseProtectionRecord(c.bytes);
        ASSERT_EQ(read.status, RecordStatus::Ok) << c.name;
        EXPECT_EQ(read.record.password, "Secret") << c.name;
        EXPECT_EQ(read.record.commandLine, "C:\\PROGRA~1\\EDITOR\\EDIT.EXE -a -b") << c.name;
        EXPECT_EQ(read.record.workingDirectory, c.workingDirectory) << c.name;
    }
}

TEST(RecordReader, ALoneCarriageReturnIsPartOfTheLine)
{
    RecordReadResult read = ParseProtectionRecord("a\rb\r\nC:\\E.EXE \r\n\r\r\n.");
    ASSERT_EQ(read.status, RecordStatus::Ok);
    EXPECT_EQ(read.record.password, Unscramble("a\rb"));
    EXPECT_EQ(read.record.workingDirectory, Unscramble("\r"));
}

TEST(RecordReader, FewerThanThreeLinesIsDamaged)
{
    const std::string pw = Scramble("Secret");
    const std::string cmd = Scramble("C:\\E.EXE -a");
    for (const std::string& bytes : {
             std::string(),
             std::string("."),
             pw,
             pw + "\r\n",
             pw + "\r\n" + cmd,
             pw + "\r\n" + cmd + "\r\n",
             // Two lines and the end marker: the marker is not a working directory.
             pw + "\r\n" + cmd + "\r\n.",
             // Cut inside the third line: restoring a partial working directory would be wrong.
             pw + "\r\n" + cmd + "\r\n" + Scramble("C:\\Wo"),
         }) {
        EXPECT_EQ(ParseProtectionRecord(bytes).status, RecordStatus::Damaged) << bytes.size() << " bytes";
    }
}

TEST(RecordReader, LongFieldsAreReadWhole)
{
    std::string longArguments;
    for (int i = 0; i < 200; ++i)
        longArguments += "-x $V" + std::to_string(i) + " *.txt ";
    ProtectionRecord record{std::string(3000, '$'), MakeCommandLine("C:\\PROGRA~1\\EDITOR\\EDIT.EXE", longArguments),
                            "C:\\" + std::string(600, '*')};
    ExpectReadsBack(record, FormatProtectionRecord(record), "long fields");
    EXPECT_GT(record.commandLine.size(), 519u);
}

TEST(RecordReader, QuotedTargetAndMissingSeparator)
{
    ProtectionRecord quoted{"pw", "\"C:\\Gone Away\\edit.exe\" -a \"b c\"", ""};
    RecordReadResult read = ParseProtectionRecord(FormatProtectionRecord(quoted));
    ASSERT_EQ(read.status, RecordStatus::Ok);
    CommandLineParts parts = SplitCommandLine(read.record.commandLine);
    ASSERT_TRUE(parts.ok);
    EXPECT_EQ(parts.targetPath, "C:\\Gone Away\\edit.exe");
    EXPECT_EQ(parts.arguments, "-a \"b c\"");

    // A command line without its separating blank reads as a record but cannot be split: the
    // remove command treats it as damaged.
    ProtectionRecord noBlank{"pw", "C:\\PROGRA~1\\EDITOR\\EDIT.EXE", ""};
    read = ParseProtectionRecord(FormatProtectionRecord(noBlank));
    ASSERT_EQ(read.status, RecordStatus::Ok);
    EXPECT_FALSE(SplitCommandLine(read.record.commandLine).ok);
}
