#include "core/MasterPassword.h"

#include "core/Scramble.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// The scrambled marker, as it lies on disk.
const std::string kMarkerBytes = "opdla_`crs\r\n";

struct DecisionCase {
    const char* name;
    std::optional<std::string> fileBytes;
    bool promptNeeded;
    std::string required;
};

} // namespace

TEST(MasterPassword, FileBytesForAPasswordAndForTheBlankMarker)
{
    EXPECT_EQ(FormatMasterFile("abc"), "abb\r\n");
    EXPECT_EQ(FormatMasterFile("abcdefghijkl"), "abbbebdfhjab\r\n");
    EXPECT_EQ(FormatMasterFile(MasterStoredValue("")), kMarkerBytes);
    // The marker typed as a password is stored exactly like a blank one.
    EXPECT_EQ(FormatMasterFile(MasterStoredValue("openaccess")), kMarkerBytes);
    EXPECT_EQ(MasterStoredValue(" "), " ");
    EXPECT_EQ(std::string(MasterFileName), "master2.lki");
}

TEST(MasterPassword, DecisionOnStoredValues)
{
    const std::vector<DecisionCase> cases = {
        {"missing file", std::nullopt, false, ""},
        {"empty file", std::string(), false, ""},
        {"only CR LF", std::string("\r\n"), false, ""},
        {"only LF", std::string("\n"), false, ""},
        {"marker", kMarkerBytes, false, ""},
        {"marker without line end", std::string("opdla_`crs"), false, ""},
        {"marker then more lines", kMarkerBytes + "abb\r\n", false, ""},
        {"marker in other case", FormatMasterFile("OpenAccess"), true, "OpenAccess"},
        {"marker with a trailing blank", FormatMasterFile("openaccess "), true, "openaccess "},
        {"password", std::string("abb\r\n"), true, "abc"},
        {"password ending in a lone LF", std::string("abb\n"), true, "abc"},
        {"password without line end", std::string("abb"), true, "abc"},
        {"only the first line counts", std::string("abb\r\nxyz\r\n"), true, "abc"},
        {"several words are one value", FormatMasterFile("two words here"), true, "two words here"},
        {"only blanks", FormatMasterFile("   "), true, "   "},
        {"leading blank", FormatMasterFile(" secret"), true, " secret"},
        {"long", FormatMasterFile(std::string(300, 'k') + "end"), true, std::string(300, 'k') + "end"},
        {"very long", FormatMasterFile(std::string(5000, '$')), true, std::string(5000, '$')},
        // A value whose last scrambled byte is CR keeps it: only the CR of the line end goes.
        {"scrambled CR before the line end", FormatMasterFile("abcdef\x10"), true, "abcdef\x10"},
    };
    for (const DecisionCase& c : cases) {
        SCOPED_TRACE(c.name);
        MasterPasswordDecision decision = DecideMasterPassword(c.fileBytes);
        EXPECT_EQ(decision.promptNeeded, c.promptNeeded);
        EXPECT_EQ(decision.required, c.required);
    }
}

// Word reading cut a master password wherever its scrambled form held white space or 0x1A, and
// skipped such a byte at the start. Every byte that scrambles to one of those, at every position
// with its own shift, in the middle and at the end of the password, must come back whole.
TEST(MasterPassword, ValuesWithRiskyScrambledBytesAreReadWhole)
{
    const std::string risky = std::string("\t\v\f\r \x1A", 6);
    int checked = 0;
    for (std::size_t position = 0; position < 13; ++position) {
        for (int b = 1; b < 256; ++b) {
            std::string password(position, 'p');
            password += static_cast<char>(b);
            char scrambled = Scramble(password)[position];
            if (risky.find(scrambled) == std::string::npos)
                continue;
            for (const std::string& candidate : {password, password + "tail", password + " " + password}) {
                // A scrambled LF cannot be told from the line end; the one-line file cannot hold it.
                if (Scramble(candidate).find('\n') != std::string::npos)
                    continue;
                SCOPED_TRACE(::testing::Message() << "byte " << b << " at " << position << ", length "
                                                  << candidate.size());
                MasterPasswordDecision decision = DecideMasterPassword(FormatMasterFile(candidate));
                EXPECT_TRUE(decision.promptNeeded);
                EXPECT_EQ(decision.required, candidate);
                ++checked;
            }
        }
    }
    // Typed examples: a blank where it stays a blank, a dollar sign where it becomes 0x1A.
    for (const std::string typed : {" abc", "abcd efg", "0123456789$after", "0123456789*x", "ab!cd"}) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(DecideMasterPassword(FormatMasterFile(typed)).required, typed);
    }
    EXPECT_GE(checked, 13 * 6 * 2);
}
