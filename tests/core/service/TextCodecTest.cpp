#include "service/TextCodec.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>

namespace telvora {
namespace {

struct EscapeCase
{
    const char* name;
    std::string text;
    std::string formValue; // EscapeFormValue
    std::string url; // EscapeUrl
};

class WireEscaping : public testing::TestWithParam<EscapeCase>
{
};

TEST_P(WireEscaping, EscapesExactlyTheUnsafeBytesAndDecodesBack)
{
    std::string text = GetParam().text;
    ASSERT_TRUE(EscapeFormValue(text));
    EXPECT_EQ(text, GetParam().formValue);
    EXPECT_EQ(DecodeFormValue(text), GetParam().text);
    EXPECT_EQ(EscapeUrl(GetParam().text), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(Bytes, WireEscaping,
    testing::Values(
        EscapeCase {"UnsafePunctuation", " \"#$&+,;<=>?@[\\]^`{|}",
            "%20%22%23%24%26%2b%2c%3b%3c%3d%3e%3f%40%5b%5c%5d%5e%60%7b%7c%7d", "%20\"%23$&+,;<=>?@[\\]^`{|}"},
        EscapeCase {"ControlBytes", std::string("\0\x01\t\n\x1f", 5), "%00%01%09%0a%1f", "%00%01%09%0a%1f"},
        EscapeCase {"Delete", "\x7f", "%7f", "%7f"}, EscapeCase {"Chinese", "中", "%e4%b8%ad", "%e4%b8%ad"},
        // "%" is escaped in a form value, or "100%AB" would reach the service as "100\xAB".
        EscapeCase {"Percent", "100%AB", "100%25AB", "100%AB"},
        EscapeCase {"OtherPrintableAsciiPasses", "!'()*-./:_~AZaz09", "!'()*-./:_~AZaz09", "!'()*-./:_~AZaz09"},
        EscapeCase {"Empty", "", "", ""}, EscapeCase {"Mixed", "a&b=c d", "a%26b%3dc%20d", "a&b=c%20d"}),
    [](const testing::TestParamInfo<EscapeCase>& info) { return info.param.name; });

TEST(EscapeFormValue, MakesInvalidUtf8ValidFirst)
{
    std::string text = "a\xff";
    ASSERT_TRUE(EscapeFormValue(text));
    EXPECT_EQ(text, "a%3f");
}

TEST(DecodeFormValue, KeepsPlusAndMalformedEscapes)
{
    // Upper-case hex comes from other clients.
    for (const auto& [text, decoded] : std::initializer_list<std::pair<const char*, const char*>> {
             {"a+b%2bc%20d", "a+b+c d"}, {"%E4%BD%A0", "你"}, {"100%", "100%"}, {"%zz%4", "%zz%4"}}) {
        EXPECT_EQ(DecodeFormValue(text), decoded) << text;
    }
}

TEST(EscapeFormValue, RefusesAResultAboveTheLimitWithoutTouchingTheText)
{
    for (const auto& [text, fits] : std::initializer_list<std::pair<std::string, bool>> {
             {std::string(kMaxEscapedSize, 'a'), true}, {std::string(kMaxEscapedSize + 1, 'a'), false},
             {std::string(kMaxEscapedSize / 3, '&') + "a", true}, {std::string(kMaxEscapedSize / 3 + 1, '&'), false}}) {
        std::string escaped = text;
        EXPECT_EQ(EscapeFormValue(escaped), fits) << text.size();
        EXPECT_TRUE(fits ? escaped.size() <= kMaxEscapedSize : escaped == text) << text.size(); // refused: untouched
    }
}

// Surrogate pairs outside the basic plane; a truncated sequence goes out as one "?".
TEST(Utf16Length, CountsCharactersNotBytes)
{
    for (const auto& [text, units] : std::initializer_list<std::pair<const char*, std::size_t>> {
             {"", 0}, {"密码12345", 7}, {"\xF0\x9F\x98\x80", 2}, {"a\xE4\xB8", 2}}) {
        EXPECT_EQ(Utf16Length(text), units) << text;
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
