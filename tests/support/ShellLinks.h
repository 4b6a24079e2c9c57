// Shortcuts for the Windows and UI tests, made and read back through the shell link object as
// Explorer does, and COM for the tests that use it.
#pragma once

#include <windows.h>

#include <commctrl.h> // HOTKEYF_*, for LinkSpec::hotKey

#include <gtest/gtest.h>

#include <string>

namespace lktest {

// COM on the test's thread for every test of a fixture deriving from this. A fixture that has
// its own SetUp calls ComTest::SetUp() first.
class ComTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(m_com = CoInitialize(nullptr)); }
    void TearDown() override
    {
        if (SUCCEEDED(m_com))
            CoUninitialize();
    }

private:
    HRESULT m_com = E_FAIL;
};

// Every property of a shortcut the tests set or check, more than Latchkey itself carries.
struct LinkSpec {
    std::string target;
    std::string arguments;
    std::string workingDirectory;
    std::string description;
    std::string iconPath;
    int iconIndex = 0;
    WORD hotKey = 0;
    int showCommand = SW_SHOWNORMAL;
};

// Writes a shortcut file with these properties (the icon only when iconPath is set).
HRESULT MakeLink(const std::string& linkPath, const LinkSpec& wanted);
// Reads every property back; the target as stored, environment variables unexpanded. A failed
// step leaves the fields it did not reach as they were.
HRESULT ReadLink(const std::string& linkPath, LinkSpec& read);

} // namespace lktest
