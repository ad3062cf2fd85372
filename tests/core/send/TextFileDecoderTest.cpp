#include "send/TextFileDecoder.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

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

INSTANTIATE_TEST_SUITE_P(Table, DecodeTest,
    testing::Values(DecodeCase {"empty", "", TextEncoding::Empty, ""},
        DecodeCase {"only_utf8_mark", "\xEF\xBB\xBF", TextEncoding::Empty, ""},
        DecodeCase {"only_utf16_mark", "\xFF\xFE", TextEncoding::Empty, ""},
        DecodeCase {"utf8", "张三,13912345678", TextEncoding::Utf8, "张三,13912345678"},
        DecodeCase {"utf8_with_mark", "\xEF\xBB\xBF张三\r\n", TextEncoding::Utf8, "张三\r\n"},
        DecodeCase {"utf8_mark_with_bad_byte", "\xEF\xBB\xBFz\xFF!", TextEncoding::Utf8, "z\uFFFD!"},
        DecodeCase {"gbk", kGbkZhangSan + "," + kGbkLiSi, TextEncoding::Gbk, "张三,李四"},
        DecodeCase {"gbk_euro_sign", "\x80" + kGbkZhangSan, TextEncoding::Gbk, "€张三"},
        DecodeCase {"gbk_bad_byte_keeps_digits", kGbkZhangSan + "\xFF" + "139", TextEncoding::Gbk, "张三\uFFFD139"},
        DecodeCase {"gbk_lead_before_digit", std::string("\x81") + "139", TextEncoding::Gbk, "\uFFFD139"},
        DecodeCase {"gbk_cut_at_end", kGbkZhangSan + "\xD5", TextEncoding::Gbk, "张三\uFFFD"},
        DecodeCase {"utf8_cut_at_end", "ab\xE5\xBC", TextEncoding::Utf8, "ab\uFFFD"},
        DecodeCase {"utf16le_with_mark", std::string {'\xFF', '\xFE', '1', '\0', '3', '\0', '\x20', '\x5F'},
            TextEncoding::Utf16Le, "13张"},
        DecodeCase {
            "utf16be_with_mark", std::string {'\xFE', '\xFF', '\0', '1', '\x5F', '\x20'}, TextEncoding::Utf16Be, "1张"},
        DecodeCase {"nul_is_binary", std::string("1391\0\x01\x02", 7) + "2345678", TextEncoding::Binary, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Only the start is sniffed for binary; GBK is judged on the whole file.
TEST(TextEncodingDetector, LateBytesAfterTheSniffedStart)
{
    CTextEncodingDetector gbk;
    CTextEncodingDetector nul;
    gbk.feed(std::string(100000, 'a'));
    nul.feed(std::string(100000, 'a'));
    gbk.feed(kGbkZhangSan);
    nul.feed(std::string(1, '\0'));
    EXPECT_EQ(gbk.result(), TextEncoding::Gbk);
    EXPECT_EQ(nul.result(), TextEncoding::Utf8);
}

// Random text cut into random pieces is detected and decoded as it is in one piece: pieces of
// a file split characters and byte order marks anywhere.
TEST(TextFileDecoder, PiecesAnywhereGiveTheSameText)
{
    std::mt19937 random(20240601);
    const std::string alphabet[] = {"1", "3", "\n", "\r", kGbkZhangSan, kGbkLiSi, "张", "😀", "\xFF", "\x81", "\xE5\xBC",
        "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", std::string(1, '\0')};
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        const int length = static_cast<int>(random() % 200);
        for (int i = 0; i < length; ++i) {
            // A NUL makes the file binary; only every fourth round may hold one.
            bytes += alphabet[random() % (std::size(alphabet) - (round % 4 == 0 ? 0 : 1))];
        }
        std::vector<std::string_view> pieces;
        for (std::size_t pos = 0; pos < bytes.size(); pos += pieces.back().size()) {
            pieces.push_back(std::string_view(bytes).substr(pos, 1 + random() % 7));
        }
        TextEncoding encoding = TextEncoding::Empty;
        const std::string whole = CTextFileDecoder::decode(bytes, &encoding);
        CTextEncodingDetector detector;
        for (const auto piece : pieces) {
            detector.feed(piece);
        }
        ASSERT_EQ(detector.result(), encoding) << "round " << round;
        CTextFileDecoder decoder(encoding);
        std::string text;
        for (const auto piece : pieces) {
            decoder.feed(piece, text);
        }
        decoder.finish(text);
        ASSERT_EQ(text, whole) << "round " << round;
    }
}

} // namespace
} // namespace telvora
