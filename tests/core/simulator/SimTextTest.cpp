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
        SegmentCase {"chars133", repeat("a", 133), 3}, SegmentCase {"chars200", repeat("a", 200), 4},
        SegmentCase {"chars320", repeat("a", 320), 5}, SegmentCase {"chinese70", repeat("短", 70), 1},
        SegmentCase {"chinese71", repeat("短", 71), 2},
        // A character outside the basic plane is two UTF-16 units.
        SegmentCase {"emoji35", repeat("\xF0\x9F\x98\x80", 35), 1},
        SegmentCase {"emoji36", repeat("\xF0\x9F\x98\x80", 36), 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimText, CountsUtf16UnitsAndSurvivesBrokenUtf8)
{
    EXPECT_EQ(countUtf16Units("ab中文"), 4);
    EXPECT_EQ(countUtf16Units("\xF0\x9F\x98\x80"), 2);
    EXPECT_EQ(countUtf16Units("\xE4\xB8"), 2); // truncated sequence: one per byte
    EXPECT_EQ(countUtf16Units("\xFF"
                              "a"),
        2);
}

TEST(SimText, PercentDecodeKeepsPlusAndMalformedEscapes)
{
    EXPECT_EQ(percentDecode("a+b%2bc%20d"), "a+b+c d");
    EXPECT_EQ(percentDecode("%e4%bd%a0"), "你");
    EXPECT_EQ(percentDecode("100%"), "100%");
    EXPECT_EQ(percentDecode("%zz%4"), "%zz%4");
}

TEST(SimText, FormKeepsValuesRawAndFirstNameWins)
{
    const auto form = parseFormRaw("Token=T&Details={a%7db};&Empty=&Token=other&Flag");
    EXPECT_EQ(form.at("Token"), "T");
    EXPECT_EQ(form.at("Details"), "{a%7db};");
    EXPECT_EQ(form.at("Empty"), "");
    EXPECT_EQ(form.at("Flag"), "");
}

TEST(SimText, Base64RoundTripAndRejectsMalformedText)
{
    for (const std::string& bytes :
        {std::string(), std::string("a"), std::string("ab"), std::string("abc"), std::string("\0\xff\x10 zz", 6)}) {
        const auto decoded = base64Decode(base64Encode(bytes));
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(*decoded, bytes);
    }
    EXPECT_EQ(base64Decode("YW Jj\n"), "abc");
    EXPECT_FALSE(base64Decode("YWJ").has_value());
    EXPECT_FALSE(base64Decode("Y=Jj").has_value());
    EXPECT_FALSE(base64Decode("YW*j").has_value());
}

TEST(SimText, DetailsSplitOnStructureBeforeDecoding)
{
    // Escaped braces and semicolons inside a value belong to the value.
    const auto details = parseDetails("{%e5%bc%a0%7b1%7d}{10%3b5};{}{x};");
    ASSERT_EQ(details.size(), 2u);
    EXPECT_EQ(details[0], (std::vector<std::string> {"张{1}", "10;5"}));
    EXPECT_EQ(details[1], (std::vector<std::string> {"", "x"}));
}

TEST(SimText, MergeReplacesEveryOccurrenceByName)
{
    const std::string pattern = "{姓名}您好，工资{工资}元。{姓名}";
    const auto names = placeholderNames(pattern);
    EXPECT_EQ(names, (std::vector<std::string> {"姓名", "工资"}));
    EXPECT_EQ(mergePattern(pattern, names, {"张三", "100"}), "张三您好，工资100元。张三");
    EXPECT_EQ(mergePattern(pattern, names, {"李四"}), "李四您好，工资元。李四");
    EXPECT_EQ(mergePattern("no {brace", names, {}), "no {brace");
}

TEST(SimText, XmlEscapeDropsCharactersXmlCannotCarry)
{
    EXPECT_EQ(xmlEscape("a<b>&\"'\x01\tc"), "a&lt;b&gt;&amp;&quot;&apos;\tc");
}

} // namespace
} // namespace telvora::sim
