#include "service/TextCodec.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

struct EscapeCase
{
    const char* name;
    std::string text;
    std::string escaped;
};

class PercentEscapeBytes : public testing::TestWithParam<EscapeCase>
{
};

TEST_P(PercentEscapeBytes, EscapesExactlyTheUnsafeBytes)
{
    std::string text = GetParam().text;
    ASSERT_TRUE(PercentEscape(text));
    EXPECT_EQ(text, GetParam().escaped);
}

INSTANTIATE_TEST_SUITE_P(Bytes, PercentEscapeBytes,
    testing::Values(EscapeCase {"UnsafePunctuation", " \"#$&+,;<=>?@[\\]^`{|}",
                        "%20%22%23%24%26%2b%2c%3b%3c%3d%3e%3f%40%5b%5c%5d%5e%60%7b%7c%7d"},
        EscapeCase {"ControlBytes", std::string("\0\x01\t\n\x1f", 5), "%00%01%09%0a%1f"},
        EscapeCase {"DeleteAndHighBytes", "\x7f\xff", "%7f%ff"}, EscapeCase {"Chinese", "中", "%e4%b8%ad"},
        EscapeCase {"PercentPasses", "100%", "100%"},
        EscapeCase {"OtherPrintableAsciiPasses", "!'()*-./:_~AZaz09", "!'()*-./:_~AZaz09"},
        EscapeCase {"Empty", "", ""}, EscapeCase {"Mixed", "a&b=c d", "a%26b%3dc%20d"}),
    [](const testing::TestParamInfo<EscapeCase>& info) { return info.param.name; });

TEST(PercentEscape, RefusesAResultAboveTheLimitWithoutTouchingTheText)
{
    const struct
    {
        const char* name;
        std::string text;
        bool fits;
    } cases[] = {
        {"plain at limit", std::string(kMaxEscapedSize, 'a'), true},
        {"plain over limit", std::string(kMaxEscapedSize + 1, 'a'), false},
        {"escaped at limit", std::string(kMaxEscapedSize / 3, '&') + "a", true},
        {"escaped over limit", std::string(kMaxEscapedSize / 3 + 1, '&'), false},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(PercentEscape(text), c.fits) << c.name;
        EXPECT_TRUE(c.fits ? text.size() <= kMaxEscapedSize : text == c.text) << c.name; // refused: untouched
    }
}

struct Utf8Case
{
    const char* name;
    std::string text;
    std::string clean;
};

class FromUtf8Text : public testing::TestWithParam<Utf8Case>
{
};

TEST_P(FromUtf8Text, ReplacesEachInvalidSequenceWithAQuestionMark)
{
    std::string text = GetParam().text;
    FromUtf8(text);
    EXPECT_EQ(text, GetParam().clean);
    EXPECT_TRUE(IsValidUtf8(text));
    std::string outgoing = GetParam().text;
    ToUtf8(outgoing);
    EXPECT_EQ(outgoing, GetParam().clean);
}

INSTANTIATE_TEST_SUITE_P(Texts, FromUtf8Text,
    testing::Values(Utf8Case {"Chinese", "短信内容：您好", "短信内容：您好"},
        Utf8Case {"FourByte", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        Utf8Case {"EmbeddedNul", std::string("a\0b", 3), std::string("a\0b", 3)},
        Utf8Case {"StrayTrailByte", "a\x80z", "a?z"}, Utf8Case {"TruncatedAtEnd", "中\xE4\xB8", "中?"},
        Utf8Case {"TruncatedBeforeAscii", "\xE4\xB8<r>", "?<r>"}, Utf8Case {"Overlong", "\xC0\xAF", "??"},
        Utf8Case {"Surrogate", "\xED\xA0\x80", "???"}, Utf8Case {"AboveMaximum", "\xF4\x90\x80\x80", "????"},
        Utf8Case {"GbkBytes", "\xC4\xE3\xBA\xC3", "???"}),
    [](const testing::TestParamInfo<Utf8Case>& info) { return info.param.name; });

} // namespace
} // namespace telvora
