#include "SimText.h"

#include <gtest/gtest.h>

namespace telvora::sim {
namespace {

struct SegmentCase
{
    const char* name;
    std::string text;
    int segments;
};

class SegmentCount : public testing::TestWithParam<SegmentCase>
{
};

TEST_P(SegmentCount, MatchesTheBillingRule)
{
    EXPECT_EQ(countSegments(GetParam().text, 70), GetParam().segments);
}

std::string repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

INSTANTIATE_TEST_SUITE_P(Boundaries, SegmentCount,
    testing::Values(SegmentCase {"empty", "", 1}, SegmentCase {"chars70", repeat("a", 70), 1},
        SegmentCase {"chars71", repeat("a", 71), 2}, SegmentCase {"chars132", repeat("a", 132), 2},
        SegmentCase {"chars133", repeat("a", 133), 3}, SegmentCase {"chinese71", repeat("短", 71), 2},
        // A character outside the basic plane is two UTF-16 units.
        SegmentCase {"emoji35", repeat("\xF0\x9F\x98\x80", 35), 1},
        SegmentCase {"emoji36", repeat("\xF0\x9F\x98\x80", 36), 2},
        // Broken UTF-8 counts one unit per byte: a truncated sequence, then stray bytes.
        SegmentCase {"brokenUtf8", "\xE4\xB8" + repeat("\xFF", 68), 1},
        SegmentCase {"brokenUtf8Over", "\xE4\xB8" + repeat("\xFF", 69), 2}),
    [](const auto& info) { return std::string(info.param.name); });

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
