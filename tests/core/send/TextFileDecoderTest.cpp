#include "send/TextFileDecoder.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace telvora {
namespace {

// "张三" and "李四" as GBK bytes.
const std::string kGbkZhangSan = "\xD5\xC5\xC8\xFD";
const std::string kGbkLiSi = "\xC0\xEE\xCB\xC4";

struct DecodeCase
{
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    std::string text;
};

class DecodeTest : public testing::TestWithParam<DecodeCase>
{
};

TEST_P(DecodeTest, DetectsAndConverts)
{
    TextEncoding detected = TextEncoding::Binary;
    EXPECT_EQ(CTextFileDecoder::decode(GetParam().bytes, &detected), GetParam().text);
    EXPECT_EQ(detected, GetParam().encoding);
}

// A decoder fed one byte at a time must give what it gives for the whole text at once:
// pieces of a file split characters and marks anywhere.
TEST_P(DecodeTest, SameResultFedByteByByte)
{
    CTextEncodingDetector detector;
    for (const char c : GetParam().bytes) {
        detector.feed(std::string_view(&c, 1));
    }
    ASSERT_EQ(detector.result(), GetParam().encoding);
    CTextFileDecoder decoder(detector.result());
    std::string out;
    for (const char c : GetParam().bytes) {
        decoder.feed(std::string_view(&c, 1), out);
    }
    decoder.finish(out);
    EXPECT_EQ(out, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, DecodeTest,
    testing::Values(DecodeCase {"empty", "", TextEncoding::Empty, ""},
        DecodeCase {"only_utf8_mark", "\xEF\xBB\xBF", TextEncoding::Empty, ""},
        DecodeCase {"only_utf16_mark", "\xFF\xFE", TextEncoding::Empty, ""},
        DecodeCase {"ascii", "13912345678\n", TextEncoding::Utf8, "13912345678\n"},
        DecodeCase {"utf8", "张三,13912345678", TextEncoding::Utf8, "张三,13912345678"},
        DecodeCase {"utf8_with_mark", "\xEF\xBB\xBF张三\r\n", TextEncoding::Utf8, "张三\r\n"},
        DecodeCase {"utf8_mark_with_bad_byte",
            "\xEF\xBB\xBF"
            "a\xFF"
            "1",
            TextEncoding::Utf8, "a\uFFFD1"},
        DecodeCase {"gbk", kGbkZhangSan + "," + kGbkLiSi, TextEncoding::Gbk, "张三,李四"},
        DecodeCase {"gbk_euro_sign", "\x80" + kGbkZhangSan, TextEncoding::Gbk, "€张三"},
        DecodeCase {"gbk_bad_byte_keeps_digits",
            kGbkZhangSan
                + "\xFF"
                  "139",
            TextEncoding::Gbk, "张三\uFFFD139"},
        DecodeCase {"gbk_lead_before_digit",
            "\x81"
            "13912345678",
            TextEncoding::Gbk, "\uFFFD13912345678"},
        DecodeCase {"gbk_cut_at_end", kGbkZhangSan + "\xD5", TextEncoding::Gbk, "张三\uFFFD"},
        DecodeCase {"utf8_cut_at_end", "ab\xE5\xBC", TextEncoding::Utf8, "ab\uFFFD"},
        DecodeCase {"utf16le_with_mark",
            std::string("\xFF\xFE"
                        "1\0"
                        "3\0"
                        "\x20\x5F",
                8),
            TextEncoding::Utf16Le, "13张"},
        DecodeCase {"utf16be_with_mark",
            std::string("\xFE\xFF\0"
                        "1\x5F\x20",
                6),
            TextEncoding::Utf16Be, "1张"},
        DecodeCase {"nul_is_binary",
            std::string("1391\0\x01\x02"
                        "2345678",
                14),
            TextEncoding::Binary, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextEncodingDetector, LateGbkByteMakesTheWholeFileGbk)
{
    CTextEncodingDetector detector;
    detector.feed(std::string(100000, 'a'));
    detector.feed(kGbkZhangSan);
    EXPECT_EQ(detector.result(), TextEncoding::Gbk);
}

TEST(TextEncodingDetector, NulAfterTheSniffedStartIsText)
{
    CTextEncodingDetector detector;
    detector.feed(std::string(100000, 'a'));
    detector.feed(std::string(1, '\0'));
    EXPECT_EQ(detector.result(), TextEncoding::Utf8);
}

// Random text cut into random pieces decodes as it does in one piece, whatever the encoding.
TEST(TextFileDecoder, PiecesAnywhereGiveTheSameText)
{
    std::mt19937 random(20240601);
    const std::string alphabet[]
        = {"1", "3", "\n", "\r", kGbkZhangSan, kGbkLiSi, "张", "😀", "\xFF", "\x81", "\xE5\xBC"};
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        const int length = static_cast<int>(random() % 200);
        for (int i = 0; i < length; ++i) {
            bytes += alphabet[random() % std::size(alphabet)];
        }
        TextEncoding encoding = TextEncoding::Empty;
        const std::string whole = CTextFileDecoder::decode(bytes, &encoding);

        CTextFileDecoder decoder(encoding);
        std::string pieces;
        for (std::size_t pos = 0; pos < bytes.size();) {
            const std::size_t size = 1 + random() % 7;
            decoder.feed(std::string_view(bytes).substr(pos, size), pieces);
            pos += size;
        }
        decoder.finish(pieces);
        ASSERT_EQ(pieces, whole) << "round " << round;
    }
}

} // namespace
} // namespace telvora
