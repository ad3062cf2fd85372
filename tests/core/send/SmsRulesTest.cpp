#include "send/SmsRules.h"

#include "send/NumberList.h"

#include <gtest/gtest.h>
#include <map>
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

TEST(CountSmsChars, CountsUtf16UnitsAndBadBytesAsOne)
{
    const std::pair<std::string, int> rows[] = {
        {"", 0}, {"Hi 1", 4}, {"你好世界", 4}, {"，！＆", 3}, {"😀", 2}, {"a你😀，", 5}, {"a\xFF!", 3}, {"a\xE4\xBD", 3}};
    for (const auto& [text, units] : rows) {
        EXPECT_EQ(CountSmsChars(text), units) << text;
    }
}

// ---------------------------------------------------------------- segment count

struct SegmentCase
{
    const char* name;
    std::string text;
    SmsRuleValues values;
    int expected;
};

SmsRuleValues rules(int longSmsLen, int fetchSendStat = 0, std::string signName = {})
{
    SmsRuleValues values;
    values.longSmsLen = longSmsLen;
    values.fetchSendStat = fetchSendStat;
    values.signName = std::move(signName);
    return values;
}

// The login's doing: the tail is enabled and holds the signature "SignName".
SmsRuleValues signedByTail(std::string tail = "【签名签名】")
{
    SmsRuleValues values = rules(70, 1, "【签名签名】");
    values.addSmsTail = true;
    values.smsTail = std::move(tail);
    return values;
}

TEST(CountSmsSegments, FollowsBillingFormula)
{
    const SegmentCase rows[] = {{"chars_70", std::string(70, 'a'), {}, 1}, {"chars_71", std::string(71, 'a'), {}, 2},
        {"chars_132", std::string(132, 'a'), {}, 2}, {"chars_133", std::string(133, 'a'), {}, 3},
        {"emoji_35_fill_one", repeat("😀", 35), {}, 1}, {"emoji_36_need_two", repeat("😀", 36), {}, 2},
        {"signature_counted", std::string(67, 'a'), rules(70, 1, "【签名】"), 2},
        {"signature_ignored_when_0", std::string(67, 'a'), rules(70, 0, "【签名】"), 1},
        {"signature_as_tail_counted_once", std::string(64, 'a') + "【签名签名】", signedByTail(), 1},
        {"tail_other_than_signature_adds_it", std::string(64, 'a') + "【签名签名】", signedByTail("【店】"), 2},
        {"other_segment_length", std::string(57, 'a'), rules(56), 2},
        {"zero_length_falls_back", std::string(70, 'a'), rules(0), 1}};
    for (const auto& row : rows) {
        EXPECT_EQ(CountSmsSegments(row.text, row.values), row.expected) << row.name;
    }
}

// ---------------------------------------------------------------- numbers and carriers

// Every four-digit start is tried, so a stray extra prefix fails as well as a missing one. A
// three-digit prefix is listed whole when its ten four-digit starts agree.
TEST(ClassifyMobileNumber, ExactlyTheKnownPrefixes)
{
    std::map<Carrier, std::string> found;
    for (int three = 100; three < 200; ++three) {
        std::map<Carrier, std::vector<std::string>> starts;
        for (int fourth = 0; fourth < 10; ++fourth) {
            const std::string start = std::to_string(three * 10 + fourth);
            starts[ClassifyMobileNumber(start + "1234567")].push_back(start);
        }
        for (const auto& [carrier, list] : starts) {
            if (list.size() == 10) {
                found[carrier] += std::to_string(three) + " ";
            } else {
                for (const std::string& start : list) {
                    found[carrier] += start + " ";
                }
            }
        }
    }
    // The old table, plus 166 167 171 172 174 175 190 191 192 193 195 to 199, and 170 split
    // as the carrier data has it; CBN's 192 goes with China Mobile.
    EXPECT_EQ(found[Carrier::ChinaMobile],
        "134 135 136 137 138 139 147 150 151 152 157 158 159 1703 1705 1706 172 178 182 183 184 187 188 192 195 197 ");
    EXPECT_EQ(found[Carrier::ChinaUnicom],
        "130 131 132 145 154 155 156 166 167 1704 1707 1708 1709 171 175 176 185 186 196 ");
    EXPECT_EQ(found[Carrier::ChinaTelecom], "133 153 1700 1701 1702 173 174 177 180 181 189 190 191 193 198 199 ");
}

TEST(ClassifyMobileNumber, RefusesWhatIsNoMobileNumber)
{
    for (const char* number : {"14912345678", "16212345678", "16512345678", "19412345678", "1391234567", "139123456789",
             "1391234567a", "+8613912345678", " 1391234567", "01012345678", "", "１３９１２３４５６７８"}) {
        EXPECT_EQ(ClassifyMobileNumber(number), Carrier::Invalid) << number;
    }
}

// ---------------------------------------------------------------- number blocks

struct BlockCase
{
    const char* name;
    std::vector<std::pair<std::string, int>> blocks; // block and count, in ascending order
    int limit;
    bool passes;
};

TEST(CheckNumberBlockLimit, FailsWhenOneBlockReachesTheLimit)
{
    const BlockCase rows[] = {{"one_block_49_shorter_than_limit", {{"1391234", 49}}, 50, true},
        {"one_block_50_fails", {{"1391234", 50}}, 50, false},
        {"block_49_among_others_passes", {{"1301111", 10}, {"1391234", 49}, {"1891111", 10}}, 50, true},
        {"block_50_after_others_fails", {{"1301111", 10}, {"1391234", 50}}, 50, false}, {"empty_list", {}, 50, true},
        {"limit_zero_never_fails", {{"1391234", 60}}, 0, true},
        {"limit_one_lets_a_lone_number_pass", {{"1391234", 1}}, 1, true},
        {"limit_one_refuses_two_of_a_block", {{"1391234", 2}}, 1, false},
        {"limit_one_passes_two_blocks_of_one", {{"1301111", 1}, {"1391234", 1}}, 1, true}};
    for (const auto& row : rows) {
        std::vector<std::string> numbers;
        for (const auto& [block, count] : row.blocks) {
            for (int i = 0; i < count; ++i) {
                numbers.push_back(block + std::to_string(1000 + i));
            }
        }
        EXPECT_EQ(CheckNumberBlockLimit(numbers, row.limit), row.passes) << row.name;
    }
}

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

TEST(EditLimit, CutsAndCounts)
{
    const EditCase rows[] = {{"empty", "", "", false, false, 0, 640, 0, 1},
        {"placeholder_is_empty", std::string(kSmsPlaceholder), "", false, false, 0, 640, 0, 1},
        {"blanks_trimmed", "  abc \r\n", "", false, false, 3, 640, 3, 1},
        {"ascii_320_kept", std::string(320, 'a'), "", false, false, 320, 640, 320, 5},
        {"ascii_321_cut", std::string(321, 'a'), "", false, true, 320, 320, 320, 5},
        {"chinese_330_with_tail_cut_to_314", repeat("字", 330), "【签名测试】", false, true, 314, 628, 320, 5},
        {"tail_pushes_over", std::string(316, 'a'), "【签名测试】", false, true, 314, 314, 320, 5},
        {"emoji_on_the_edge_dropped", std::string(319, 'a') + "😀", "", false, true, 319, 319, 319, 5},
        {"insertion_adds_four_to_figure_only", std::string(70, 'a'), "", true, false, 70, 640, 74, 1}};
    for (const EditCase& row : rows) {
        SmsRuleValues values;
        values.addSmsTail = !row.tail.empty();
        values.smsTail = row.tail;
        const SmsEditState state = ApplySmsEditLimit(row.content, row.insertion, values);
        EXPECT_EQ(state.cut, row.cut) << row.name;
        if (row.cut) {
            EXPECT_EQ(CountSmsChars(state.content), row.keptChars) << row.name;
        }
        EXPECT_EQ(state.byteLimit, row.byteLimit) << row.name;
        EXPECT_EQ(state.charCount, row.shown) << row.name;
        EXPECT_EQ(state.segments, row.segments) << row.name;
    }
}

TEST(EditLimit, CaptionShowsTheTailButNotTheCountedSignature)
{
    SmsRuleValues values;
    EXPECT_EQ(
        ApplySmsEditLimit("你好", false, values).caption, "发送内容( 2字,短信分为 1条发送;移动、联通、电信单条70字)");
    values.addSmsTail = true;
    values.smsTail = "【公司】";
    EXPECT_EQ(ApplySmsEditLimit("你好", false, values).caption,
        "发送内容( 6字,短信分为 1条发送, 短信落款为 【公司】;移动、联通、电信单条70字)");
    values = rules(70, 1, "【签名】");
    EXPECT_EQ(ApplySmsEditLimit(std::string(67, 'a'), false, values).caption,
        "发送内容( 67字,短信分为 2条发送;移动、联通、电信单条70字)");
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

SendCheckInput scheduled(bool future)
{
    SendCheckInput input = sendInput("hi");
    input.scheduled = true;
    input.scheduleInFuture = future;
    return input;
}

const std::string kNoSignature
    = "为了保证您的短信即时送达，请您在系统设置中设置添加签名，或在短信内容最未手动添加签名，签名格式如： 【***】!";

TEST(SendCheck, OutcomeAndText)
{
    const SendCase rows[]
        = {{"not_logged_in", SendCheckInput {}, stock(100), Outcome::Refuse, "尚未在线登录，不能进行发送操作!"},
            {"schedule_in_past", scheduled(false), stock(100), Outcome::Refuse, "定时发送的日期必须大于当前日期!"},
            {"schedule_in_future", scheduled(true), stock(100), Outcome::Go, ""},
            {"blank_content", sendInput(" \r\n "), stock(100), Outcome::Refuse, "短信内容不能为空或空格!"},
            {"placeholder_content", sendInput(std::string(kSmsPlaceholder)), stock(100), Outcome::Refuse,
                "短信内容不能为空或空格!"},
            {"no_numbers", sendInput("hi", 0), stock(100), Outcome::Refuse,
                "手机发送列表为空，请添加需要接收短信的手机号码!"},
            {"signature_missing", sendInput("hi"), stock(100, 1), Outcome::Refuse, kNoSignature},
            {"signature_without_opening", sendInput("hi公司】"), stock(100, 1), Outcome::Refuse, kNoSignature},
            {"signature_not_at_end", sendInput("【公司】hi"), stock(100, 1), Outcome::Refuse, kNoSignature},
            {"signature_in_content", sendInput("hi【公司】"), stock(100, 1), Outcome::Go, ""},
            {"signature_from_tail", sendInput("hi"), stock(100, 1, "【公司】"), Outcome::Go, ""},
            {"six_segments_refused_without_stock", sendInput(std::string(340, 'a'), 10), stock(0), Outcome::Refuse,
                "发送内容超过320个字，请精减您的短信内容!"},
            {"two_segments_asks_first", sendInput(std::string(71, 'a'), 10), stock(0), Outcome::Confirm,
                "短信内容超长，移动联通电信号码将按2条收费，您确认要发送吗？"},
            {"tail_makes_two_segments", sendInput(std::string(69, 'a')), stock(100, 0, "【公司】"), Outcome::Confirm,
                "短信内容超长，移动联通电信号码将按2条收费，您确认要发送吗？"},
            {"confirmed_then_stock_short", sendInput(std::string(71, 'a'), 10, true), stock(19), Outcome::Refuse,
                "本次发送所需短信条数[20]，您的短信余量不足!"},
            {"confirmed_and_stock_enough", sendInput(std::string(71, 'a'), 10, true), stock(20), Outcome::Go, ""}};
    for (const SendCase& row : rows) {
        const SendCheckResult result = CheckSendRequest(row.input, row.values);
        EXPECT_EQ(result.outcome, row.outcome) << row.name;
        EXPECT_EQ(result.text, row.text) << row.name;
    }
}

TEST(SendCheck, ContentIsTrimmedWithFullWidthAmpersandAndStockCountsOnlyCarrierNumbers)
{
    SendCheckInput input = sendInput("  a&b&c \n", 5);
    input.carrierNumbers = 2;
    const SendCheckResult result = CheckSendRequest(input, stock(2, 0, "【公司】"));
    EXPECT_EQ(result.outcome, Outcome::Go);
    EXPECT_EQ(result.content, "a＆b＆c") << "without the tail";
    EXPECT_EQ(result.segments, 1);
    EXPECT_EQ(result.neededStock, 2u);
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
}

} // namespace
} // namespace telvora
