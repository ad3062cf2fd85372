#include "SimText.h"

#include <gtest/gtest.h>

namespace telvora::sim {
namespace {

std::string repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

// A character outside the basic plane is two UTF-16 units; broken UTF-8 one unit a byte.
TEST(SimText, SegmentsFollowTheBillingRule)
{
    const std::pair<std::string, int> rows[]
        = {{"", 1}, {repeat("a", 70), 1}, {repeat("a", 71), 2}, {repeat("a", 132), 2}, {repeat("a", 133), 3},
            {repeat("短", 71), 2}, {repeat("\xF0\x9F\x98\x80", 35), 1}, {repeat("\xF0\x9F\x98\x80", 36), 2},
            {"\xE4\xB8" + repeat("\xFF", 68), 1}, {"\xE4\xB8" + repeat("\xFF", 69), 2}};
    for (const auto& [text, segments] : rows) {
        EXPECT_EQ(countSegments(text, 70), segments) << text.size() << " bytes";
    }
}

TEST(SimText, Base64RoundTripAndRejectsMalformedText)
{
    const std::string bytes("\0\xff\x10 zz", 6);
    for (std::size_t size = 0; size <= bytes.size(); ++size) {
        EXPECT_EQ(base64Decode(base64Encode(bytes.substr(0, size))), bytes.substr(0, size));
    }
    EXPECT_EQ(base64Decode("YW Jj\n"), "abc");
    for (const char* bad : {"YWJ", "Y=Jj", "YW*j"}) {
        EXPECT_FALSE(base64Decode(bad).has_value()) << bad;
    }
}

TEST(SimText, XmlEscapeDropsCharactersXmlCannotCarry)
{
    EXPECT_EQ(xmlEscape("a<b>&\"'\x01\tc"), "a&lt;b&gt;&amp;&quot;&apos;\tc");
}

} // namespace
} // namespace telvora::sim
