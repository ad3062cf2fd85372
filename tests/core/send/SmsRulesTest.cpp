#include "send/SmsRules.h"

#include "send/NumberList.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace telvora {
namespace {

std::string repeat(std::string_view piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// ---------------------------------------------------------------- character count

struct CharCase
{
    const char* name;
    std::string text;
    int expected;
};

class CountSmsCharsTest : public testing::TestWithParam<CharCase>
{
};

TEST_P(CountSmsCharsTest, CountsUtf16Units)
{
    EXPECT_EQ(CountSmsChars(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CountSmsCharsTest,
    testing::Values(CharCase {"empty", "", 0}, CharCase {"ascii", "Hi 1", 4}, CharCase {"chinese", "你好世界", 4},
        CharCase {"full_width_signs", "，！＆", 3}, CharCase {"emoji_two_units", "😀", 2},
        CharCase {"mixed", "a你😀，", 5},
        CharCase {"stray_byte",
            "a\xFF"
            "b",
            3},
        CharCase {"cut_sequence", "a\xE4\xBD", 3}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- segment count

struct SegmentCase
{
    const char* name;
    std::string text;
    int fetchSendStat;
    std::string signName;
    int longSmsLen;
    int expected;
};

class CountSmsSegmentsTest : public testing::TestWithParam<SegmentCase>
{
};

TEST_P(CountSmsSegmentsTest, FollowsBillingFormula)
{
    SmsRuleValues values;
    values.fetchSendStat = GetParam().fetchSendStat;
    values.signName = GetParam().signName;
    values.longSmsLen = GetParam().longSmsLen;
    EXPECT_EQ(CountSmsSegments(GetParam().text, values), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CountSmsSegmentsTest,
    testing::Values(SegmentCase {"empty_is_one", "", 0, "", 70, 1},
        SegmentCase {"chars_70", std::string(70, 'a'), 0, "", 70, 1},
        SegmentCase {"chars_71", std::string(71, 'a'), 0, "", 70, 2},
        SegmentCase {"chinese_71", repeat("字", 71), 0, "", 70, 2},
        SegmentCase {"chars_132", std::string(132, 'a'), 0, "", 70, 2},
        SegmentCase {"chars_133", std::string(133, 'a'), 0, "", 70, 3},
        SegmentCase {"chars_320", std::string(320, 'a'), 0, "", 70, 5},
        SegmentCase {"emoji_35_fill_one", repeat("😀", 35), 0, "", 70, 1},
        SegmentCase {"emoji_36_need_two", repeat("😀", 36), 0, "", 70, 2},
        SegmentCase {"signature_counted", std::string(67, 'a'), 1, "【签名】", 70, 2},
        SegmentCase {"signature_ignored_when_0", std::string(67, 'a'), 0, "【签名】", 70, 1},
        SegmentCase {"other_segment_length", std::string(57, 'a'), 0, "", 56, 2},
        SegmentCase {"zero_length_falls_back", std::string(70, 'a'), 0, "", 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- numbers and carriers

struct CarrierCase
{
    const char* name;
    std::vector<std::string> prefixes;
    Carrier expected;
};

class CarrierPrefixTest : public testing::TestWithParam<CarrierCase>
{
};

TEST_P(CarrierPrefixTest, EveryPrefixOfTheCarrier)
{
    for (const std::string& prefix : GetParam().prefixes) {
        EXPECT_EQ(ClassifyMobileNumber(prefix + "12345678"), GetParam().expected) << prefix;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CarrierPrefixTest,
    testing::Values(CarrierCase {"china_mobile",
                        {"139", "138", "137", "136", "135", "134", "159", "158", "157", "152", "151", "150", "187",
                            "188", "182", "183", "184", "178", "147"},
                        Carrier::ChinaMobile},
        CarrierCase {"china_unicom", {"130", "131", "132", "155", "156", "154", "185", "186", "170", "176", "145"},
            Carrier::ChinaUnicom},
        CarrierCase {"china_telecom", {"189", "180", "153", "181", "177", "173", "133"}, Carrier::ChinaTelecom}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClassifyMobileNumber, NoOtherPrefixIsAccepted)
{
    int accepted = 0;
    for (int prefix = 0; prefix < 1000; ++prefix) {
        const std::string number = std::to_string(1000 + prefix).substr(1) + "12345678";
        accepted += ClassifyMobileNumber(number) != Carrier::Invalid ? 1 : 0;
    }
    EXPECT_EQ(accepted, 37);
}

TEST(ClassifyMobileNumber, RefusesWhatIsNoMobileNumber)
{
    for (const char* number : {"14912345678", "1391234567", "139123456789", "1391234567a", "+8613912345678",
             " 1391234567", "01012345678", "", "１３９１２３４５６７８"}) {
        EXPECT_EQ(ClassifyMobileNumber(number), Carrier::Invalid) << number;
    }
}

TEST(IsAllDigits, EmptyAndDigitsOnly)
{
    EXPECT_TRUE(IsAllDigits("") && IsAllDigits("0123456789"));
    EXPECT_FALSE(IsAllDigits("12a") || IsAllDigits("1 2") || IsAllDigits("１"));
}

// ---------------------------------------------------------------- number blocks

std::vector<std::string> blockNumbers(const std::string& block, int count)
{
    std::vector<std::string> numbers;
    for (int i = 0; i < count; ++i) {
        const std::string tail = std::to_string(10000 + i).substr(1); // four digits
        numbers.push_back(block + tail);
    }
    return numbers;
}

struct BlockCase
{
    const char* name;
    std::vector<std::pair<std::string, int>> blocks; // block and count, in ascending order
    int limit;
    bool passes;
};

class BlockLimitTest : public testing::TestWithParam<BlockCase>
{
};

TEST_P(BlockLimitTest, FailsWhenOneBlockReachesTheLimit)
{
    std::vector<std::string> numbers;
    for (const auto& [block, count] : GetParam().blocks) {
        const auto part = blockNumbers(block, count);
        numbers.insert(numbers.end(), part.begin(), part.end());
    }
    EXPECT_EQ(CheckNumberBlockLimit(numbers, GetParam().limit), GetParam().passes);
}

INSTANTIATE_TEST_SUITE_P(Table, BlockLimitTest,
    testing::Values(BlockCase {"one_block_49_shorter_than_limit", {{"1391234", 49}}, 50, true},
        BlockCase {"one_block_50_fails", {{"1391234", 50}}, 50, false},
        BlockCase {"one_block_51_fails", {{"1391234", 51}}, 50, false},
        BlockCase {"two_blocks_of_25_pass", {{"1391234", 25}, {"1391235", 25}}, 50, true},
        BlockCase {"block_49_among_others_passes", {{"1301111", 10}, {"1391234", 49}, {"1891111", 10}}, 50, true},
        BlockCase {"block_50_after_others_fails", {{"1301111", 10}, {"1391234", 50}}, 50, false},
        BlockCase {"empty_list", {}, 50, true}, BlockCase {"limit_zero_never_fails", {{"1391234", 60}}, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- tail parameter

TEST(IsSmsTailEnabled, DecimalValueOne)
{
    for (const char* on : {"1", " 1", "01", "+1", "1abc", "1 "}) {
        EXPECT_TRUE(IsSmsTailEnabled(on)) << on;
    }
    for (const char* off : {"", "0", "2", "11", "10", "-1", "abc", "99999999999999999999"}) {
        EXPECT_FALSE(IsSmsTailEnabled(off)) << off;
    }
}

// ---------------------------------------------------------------- byte limits

TEST(AnsiBytes, LengthAndCutNeverSplitACharacter)
{
    EXPECT_EQ(AnsiByteLength("a字，😀"), 7u);
    const std::string a639(639, 'a');
    EXPECT_EQ(CutToAnsiBytes(a639 + "字", 640), a639) << "a Chinese character on the edge is dropped";
    EXPECT_EQ(CutToAnsiBytes(a639.substr(1) + "字b", 640), a639.substr(1) + "字");
    EXPECT_EQ(CutToAnsiBytes(repeat("字", 320), 639), repeat("字", 319));
    EXPECT_EQ(CutToAnsiBytes("abc", 0), "");
}

// ---------------------------------------------------------------- editing limit

struct EditCase
{
    const char* name;
    std::string content;
    std::string tail; // empty: no tail
    bool insertion;
    bool cut;
    int keptChars; // characters of the content after the rule
    std::size_t byteLimit;
    int shown;
    int segments;
};

class EditLimitTest : public testing::TestWithParam<EditCase>
{
};

TEST_P(EditLimitTest, CutsAndCounts)
{
    const EditCase& row = GetParam();
    SmsRuleValues values;
    values.addSmsTail = !row.tail.empty();
    values.smsTail = row.tail;
    const SmsEditState state = ApplySmsEditLimit(row.content, row.insertion, values);
    EXPECT_EQ(state.cut, row.cut);
    if (row.cut) {
        EXPECT_EQ(CountSmsChars(state.content), row.keptChars);
    }
    EXPECT_EQ(state.byteLimit, row.byteLimit);
    EXPECT_EQ(state.charCount, row.shown);
    EXPECT_EQ(state.segments, row.segments);
}

INSTANTIATE_TEST_SUITE_P(Table, EditLimitTest,
    testing::Values(EditCase {"empty", "", "", false, false, 0, 640, 0, 1},
        EditCase {"placeholder_is_empty", std::string(kSmsPlaceholder), "", false, false, 0, 640, 0, 1},
        EditCase {"blanks_trimmed", "  abc \r\n", "", false, false, 3, 640, 3, 1},
        EditCase {"ascii_320_kept", std::string(320, 'a'), "", false, false, 320, 640, 320, 5},
        EditCase {"ascii_321_cut", std::string(321, 'a'), "", false, true, 320, 320, 320, 5},
        EditCase {"chinese_330_cut_to_320", repeat("字", 330), "", false, true, 320, 640, 320, 5},
        EditCase {"chinese_330_with_tail_cut_to_314", repeat("字", 330), "【签名测试】", false, true, 314, 628, 320, 5},
        EditCase {"tail_pushes_over", std::string(316, 'a'), "【签名测试】", false, true, 314, 314, 320, 5},
        EditCase {"emoji_on_the_edge_dropped", std::string(319, 'a') + "😀", "", false, true, 319, 319, 319, 5},
        EditCase {"insertion_adds_four_to_figure_only", std::string(70, 'a'), "", true, false, 70, 640, 74, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditLimit, CaptionTexts)
{
    SmsRuleValues values;
    EXPECT_EQ(
        ApplySmsEditLimit("你好", false, values).caption, "发送内容( 2字,短信分为 1条发送;移动、联通、电信单条70字)");
    values.addSmsTail = true;
    values.smsTail = "【公司】";
    EXPECT_EQ(ApplySmsEditLimit("你好", false, values).caption,
        "发送内容( 6字,短信分为 1条发送, 短信落款为 【公司】;移动、联通、电信单条70字)");
}

TEST(EditLimit, ShownFigureLeavesOutTheCountedSignature)
{
    SmsRuleValues values;
    values.fetchSendStat = 1;
    values.signName = "【签名】";
    const SmsEditState state = ApplySmsEditLimit(std::string(67, 'a'), false, values);
    EXPECT_EQ(state.charCount, 67);
    EXPECT_EQ(state.segments, 2);
}

// ---------------------------------------------------------------- checks at send time

using Outcome = SendCheckResult::Outcome;

struct SendCase
{
    const char* name;
    SendCheckInput input;
    SmsRuleValues values;
    Outcome outcome;
    std::string text;
};

SendCheckInput sendInput(std::string content, std::size_t numbers = 1, bool confirmed = false)
{
    SendCheckInput input;
    input.loggedIn = true;
    input.content = std::move(content);
    input.numberCount = numbers;
    input.carrierNumbers = numbers;
    input.multiSegmentConfirmed = confirmed;
    return input;
}

SmsRuleValues stock(std::uint32_t segments, int fetchSendStat = 0, std::string tail = {})
{
    SmsRuleValues values;
    values.smsStock = segments;
    values.fetchSendStat = fetchSendStat;
    values.addSmsTail = !tail.empty();
    values.smsTail = std::move(tail);
    return values;
}

SendCheckInput withLogin(SendCheckInput input, bool loggedIn)
{
    input.loggedIn = loggedIn;
    return input;
}

SendCheckInput withSchedule(SendCheckInput input, bool future)
{
    input.scheduled = true;
    input.scheduleInFuture = future;
    return input;
}

const std::string kNoSignature
    = "为了保证您的短信即时送达，请您在系统设置中设置添加签名，或在短信内容最未手动添加签名，签名格式如： 【***】!";

class SendCheckTest : public testing::TestWithParam<SendCase>
{
};

TEST_P(SendCheckTest, OutcomeAndText)
{
    const SendCheckResult result = CheckSendRequest(GetParam().input, GetParam().values);
    EXPECT_EQ(result.outcome, GetParam().outcome);
    EXPECT_EQ(result.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, SendCheckTest,
    testing::Values(SendCase {"not_logged_in", withLogin(sendInput(""), false), stock(100), Outcome::Refuse,
                        "尚未在线登录，不能进行发送操作!"},
        SendCase {"schedule_in_past", withSchedule(sendInput("hi"), false), stock(100), Outcome::Refuse,
            "定时发送的日期必须大于当前日期!"},
        SendCase {"schedule_in_future", withSchedule(sendInput("hi"), true), stock(100), Outcome::Go, ""},
        SendCase {"empty_content", sendInput(""), stock(100), Outcome::Refuse, "短信内容不能为空或空格!"},
        SendCase {"blank_content", sendInput(" \r\n "), stock(100), Outcome::Refuse, "短信内容不能为空或空格!"},
        SendCase {"placeholder_content", sendInput(std::string(kSmsPlaceholder)), stock(100), Outcome::Refuse,
            "短信内容不能为空或空格!"},
        SendCase {"no_numbers", sendInput("hi", 0), stock(100), Outcome::Refuse,
            "手机发送列表为空，请添加需要接收短信的手机号码!"},
        SendCase {"signature_missing", sendInput("hi"), stock(100, 1), Outcome::Refuse, kNoSignature},
        SendCase {"signature_without_opening", sendInput("hi公司】"), stock(100, 1), Outcome::Refuse, kNoSignature},
        SendCase {"signature_not_at_end", sendInput("【公司】hi"), stock(100, 1), Outcome::Refuse, kNoSignature},
        SendCase {"signature_in_content", sendInput("hi【公司】"), stock(100, 1), Outcome::Go, ""},
        SendCase {"signature_from_tail", sendInput("hi"), stock(100, 1, "【公司】"), Outcome::Go, ""},
        SendCase {"six_segments_refused_before_stock", sendInput(std::string(340, 'a')), stock(1000000),
            Outcome::Refuse, "发送内容超过320个字，请精减您的短信内容!"},
        SendCase {"six_segments_refused_without_stock", sendInput(std::string(340, 'a'), 10), stock(0), Outcome::Refuse,
            "发送内容超过320个字，请精减您的短信内容!"},
        SendCase {"two_segments_asks_first", sendInput(std::string(71, 'a'), 10), stock(0), Outcome::Confirm,
            "短信内容超长，移动联通电信号码将按2条收费，您确认要发送吗？"},
        SendCase {"tail_makes_two_segments", sendInput(std::string(69, 'a')), stock(100, 0, "【公司】"),
            Outcome::Confirm, "短信内容超长，移动联通电信号码将按2条收费，您确认要发送吗？"},
        SendCase {"confirmed_then_stock_short", sendInput(std::string(71, 'a'), 10, true), stock(19), Outcome::Refuse,
            "本次发送所需短信条数[20]，您的短信余量不足!"},
        SendCase {"confirmed_and_stock_enough", sendInput(std::string(71, 'a'), 10, true), stock(20), Outcome::Go, ""},
        SendCase {"stock_one_short", sendInput("hi", 3), stock(2), Outcome::Refuse,
            "本次发送所需短信条数[3]，您的短信余量不足!"},
        SendCase {"stock_exact", sendInput("hi", 3), stock(3), Outcome::Go, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SendCheck, ContentIsTrimmedWithFullWidthAmpersandAndNoTail)
{
    const SendCheckResult result = CheckSendRequest(sendInput("  a&b&c \n", 2), stock(100, 0, "【公司】"));
    EXPECT_EQ(result.outcome, Outcome::Go);
    EXPECT_EQ(result.content, "a＆b＆c");
    EXPECT_EQ(result.segments, 1);
    EXPECT_EQ(result.neededStock, 2u);
}

TEST(SendCheck, StockCountsOnlyCarrierNumbers)
{
    SendCheckInput input = sendInput("hi", 5);
    input.carrierNumbers = 2;
    EXPECT_EQ(CheckSendRequest(input, stock(2)).outcome, Outcome::Go);
}

TEST(SendInsertionMode, MembersCannotPersonalise)
{
    EXPECT_EQ(SendInsertionMode("正式用户", true, false), 1);
    EXPECT_EQ(SendInsertionMode("正式用户", false, true), 2);
    EXPECT_EQ(SendInsertionMode("会员用户", true, false), 0);
}

// ---------------------------------------------------------------- number list

TEST(BuildNumberList, SortsDeduplicatesAndCounts)
{
    const std::vector<std::string> candidates = {"18912345678", " 13912345678\r", "13012345678", "13912345678",
        "1391234567", "abc", "18912345678", "abc", "15912345678"};
    const NumberList list = BuildNumberList(candidates);
    EXPECT_EQ(list.numbers, (std::vector<std::string> {"13012345678", "13912345678", "15912345678", "18912345678"}));
    EXPECT_EQ(list.invalid, (std::vector<std::string> {"1391234567", "abc"}));
    EXPECT_EQ(list.counts, (CarrierCounts {2, 1, 1}));
    EXPECT_EQ(list.counts.total(), 4u);
}

} // namespace
} // namespace telvora
