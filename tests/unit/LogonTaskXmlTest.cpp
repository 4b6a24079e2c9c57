#include "core/LogonTaskXml.h"

#include <gtest/gtest.h>

TEST(LogonTaskXml, ThePathIsTextWhateverItHolds)
{
    EXPECT_EQ(XmlEscaped("C:\\Program Files\\Latchkey\\Latchkey.exe"), "C:\\Program Files\\Latchkey\\Latchkey.exe");
    EXPECT_EQ(XmlEscaped("C:\\A&B <\"x'>\\L.exe"), "C:\\A&amp;B &lt;&quot;x&apos;&gt;\\L.exe");

    const std::string xml = CheckTaskXml("C:\\Tom & Jerry\\Latchkey.exe");
    EXPECT_NE(xml.find("<Command>C:\\Tom &amp; Jerry\\Latchkey.exe</Command>"), std::string::npos);
    EXPECT_NE(xml.find("<Arguments>/check</Arguments>"), std::string::npos);
    EXPECT_NE(xml.find("<LogonTrigger>"), std::string::npos);
    EXPECT_NE(xml.find("<UserId>S-1-5-18</UserId>"), std::string::npos);
    EXPECT_NE(xml.find("<RunLevel>HighestAvailable</RunLevel>"), std::string::npos);
}
