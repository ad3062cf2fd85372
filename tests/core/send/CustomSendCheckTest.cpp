#include "send/CustomSendCheck.h"

#include "records/SendLedger.h"
#include "send/CustomSheet.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace telvora {
namespace {

CCustomSheet sheetOf(const std::vector<std::vector<std::string>>& table)
{
    CCustomSheet sheet;
    sheet.Load(table);
    return sheet;
}

const std::vector<std::vector<std::string>> kPay = {
    {"手机号码", "姓名", "实发工资"},
    {"13800011002", "李四", "3000"},
    {" 13800011000 ", "张三;{老}", "5000"},
    {"12345", "无效", "1"},
    {"13800011002", "李四二", "4000"},
};

TEST(CustomSheet, CellsAreCleanedAndThePhoneColumnFound)
{
    const CCustomSheet sheet = sheetOf({{" 姓名 ", "手机号码", "{x}"}, {"a;b", "13800011000"}, {"", "", ""}});
    EXPECT_EQ(sheet.GetHeaders(), (std::vector<std::string> {"姓名", "手机号码", "[x]"}));
    ASSERT_EQ(sheet.GetRows().size(), 1U) << "a row without any text is left out";
    EXPECT_EQ(sheet.GetRows()[0].cells, (std::vector<std::string> {"a；b", "13800011000", ""}));
    EXPECT_EQ(sheet.GetPhoneColumn(), 1);
    EXPECT_EQ(sheetOf({{"电话"}, {"13800011000"}}).GetPhoneColumn(), -1);
}

// The service merges by the same reading of braces, so what it delivers is what is recorded.
TEST(CustomSheet, PersonalisedTextAndDetailsAgree)
{
    const CCustomSheet sheet = sheetOf(kPay);
    const std::string pattern = "{姓名}:{实发工资}元{姓名}{未知}";
    const auto names = TemplatePlaceholders(pattern);
    EXPECT_EQ(names, (std::vector<std::string> {"姓名", "实发工资", "未知"}));
    EXPECT_EQ(sheet.PersonalisedText(pattern, 1), "张三；[老]:5000元张三；[老]{未知}");
    EXPECT_EQ(sheet.RequestDetails(names, 1),
        "{%e5%bc%a0%e4%b8%89%ef%bc%9b%5b%e8%80%81%5d}{5000}{%7b%e6%9c%aa%e7%9f%a5%7d};");
    EXPECT_EQ(sheet.PersonalisedText("no {brace", 0), "no {brace");
}

TEST(CustomSheet, TickingAColumnPutsItsPlaceholderInOrOut)
{
    CCustomSheet sheet = sheetOf(kPay);
    const std::string loaded = sheet.TemplateWithPlaceholders("您好");
    EXPECT_EQ(loaded, "您好{手机号码} {姓名} {实发工资} ");
    EXPECT_EQ(sheet.TemplateWithPlaceholders(loaded), loaded) << "no placeholder twice";
    const std::string without = sheet.SetShown(1, false, "{姓名}您好 {姓名}");
    EXPECT_EQ(without, "您好");
    EXPECT_FALSE(sheet.IsShown(1));
    EXPECT_EQ(sheet.SetShown(1, true, without), "您好{姓名} ");
    EXPECT_EQ(RemovePlaceholder(" a{x}b ", "x"), "ab");
}

TEST(CustomSheet, DemoHasNineRowsAndItsTemplateUsesEveryColumn)
{
    CCustomSheet sheet;
    sheet.LoadDemo();
    EXPECT_TRUE(sheet.IsDemo());
    ASSERT_EQ(sheet.GetRows().size(), 9U);
    EXPECT_EQ(sheet.PhoneOf(8), "13800011008");
    EXPECT_EQ(sheet.GetRows()[1].cells[1], "刘兵海");
    EXPECT_EQ(TemplatePlaceholders(kCustomDemoTemplate).size(), 5U);
}

struct Refusal
{
    const char* name;
    std::function<void(CCustomSheet&, CustomSendInput&, SmsRuleValues&)> change;
    std::string refusal;
};

class CustomSendRefusals : public testing::TestWithParam<Refusal>
{
};

// Each case breaks one condition of a send that would otherwise go.
TEST_P(CustomSendRefusals, RefusesWithItsMessage)
{
    CCustomSheet sheet = sheetOf(kPay);
    CustomSendInput input;
    input.loggedIn = true;
    input.templateText = "{姓名}您好";
    input.now = DateTime::parse("2026-12-07 10:00:00");
    SmsRuleValues rules;
    rules.smsStock = 100;
    GetParam().change(sheet, input, rules);
    const CustomSendCheck check = CheckCustomSend(sheet, input, rules);
    EXPECT_FALSE(check.go);
    EXPECT_EQ(check.refusal, GetParam().refusal);
    EXPECT_TRUE(check.send.recipients.empty());
}

std::vector<std::vector<std::string>> rowsOf(std::size_t count, const std::string& firstDigits)
{
    std::vector<std::vector<std::string>> table {{"手机号码", "姓名"}};
    for (std::size_t i = 0; i < count; ++i) {
        const std::string digits = std::to_string(i);
        table.push_back({firstDigits + std::string(11 - firstDigits.size() - digits.size(), '0') + digits, digits});
    }
    return table;
}

INSTANTIATE_TEST_SUITE_P(InOrder, CustomSendRefusals,
    testing::Values(Refusal {"NotLoggedIn",
                        [](CCustomSheet& sheet, CustomSendInput& input, SmsRuleValues&) {
                            input.loggedIn = false;
                            sheet.SetPhoneColumn(-1);
                        },
                        "尚未在线登录，不能进行发送操作!"},
        Refusal {"NoPhoneColumn",
            [](CCustomSheet& sheet, CustomSendInput& input, SmsRuleValues&) {
                sheet.SetPhoneColumn(-1);
                input.templateText = " ";
            },
            "手机号码列不能为空!"},
        Refusal {"BlankTemplate",
            [](CCustomSheet&, CustomSendInput& input, SmsRuleValues&) { input.templateText = " \r\n"; },
            "短信内容不能为空或空格!"},
        Refusal {"SignatureOnlyAtTheStart",
            [](CCustomSheet&, CustomSendInput& input, SmsRuleValues& rules) {
                rules.fetchSendStat = 1;
                input.templateText = "【店】{姓名}您好";
            },
            std::string(kSignatureRefusal)},
        Refusal {"NoRows",
            [](CCustomSheet& sheet, CustomSendInput& input, SmsRuleValues&) {
                sheet = sheetOf({{"手机号码"}});
                input.userType = "会员用户";
            },
            "短信接收列表不能为空!"},
        Refusal {"MemberAccount",
            [](CCustomSheet&, CustomSendInput& input, SmsRuleValues&) { input.userType = "会员用户"; },
            "EXCEL发送模式暂停服务!"},
        Refusal {"TimeNotAhead",
            [](CCustomSheet&, CustomSendInput& input, SmsRuleValues&) {
                input.scheduled = true;
                input.sendTime = input.now;
            },
            "定时发送的日期必须大于当前日期!"},
        Refusal {"NothingTickedWithAValidNumber",
            [](CCustomSheet& sheet, CustomSendInput&, SmsRuleValues&) {
                sheet.SetTicked(0, false);
                sheet.SetTicked(1, false);
                sheet.SetTicked(3, false);
            },
            "短信接收列表不能为空!"},
        Refusal {"NoPlaceholder",
            [](CCustomSheet&, CustomSendInput& input, SmsRuleValues&) { input.templateText = "您好"; },
            "您所发送的短信适合用普通发送模式，请选择普通发送的[加载文件]功能发送!"},
        Refusal {"OverFiveThousand",
            [](CCustomSheet& sheet, CustomSendInput&, SmsRuleValues& rules) {
                sheet = sheetOf(rowsOf(5001, "1380"));
                rules.smsStock = 100000;
            },
            "自定义短信一次不能发送超过5000个号码，请分多次发送!"},
        Refusal {"NumberRange",
            [](CCustomSheet& sheet, CustomSendInput&, SmsRuleValues&) { sheet = sheetOf(rowsOf(50, "1380001")); },
            "您选择的号码包含号段,本次发送非法!"},
        Refusal {"StockShort",
            [](CCustomSheet&, CustomSendInput& input, SmsRuleValues& rules) {
                rules.smsStock = 4;
                input.templateText = "{姓名}" + std::string(70, 'x');
            },
            "本次发送所需短信条数[6]，您的短信余量不足!"}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST(CustomSendCheck, SendsTickedValidRowsInNumberOrder)
{
    CCustomSheet sheet = sheetOf(kPay);
    CustomSendInput input;
    input.loggedIn = true;
    input.templateText = " {姓名}：\r\n{实发工资}【店】";
    input.scheduled = true;
    input.now = DateTime::parse("2026-12-07 10:00:00");
    input.sendTime = DateTime::parse("2026-12-7 10:1:0");
    SmsRuleValues rules;
    rules.fetchSendStat = 1;
    rules.smsStock = 3;
    const CustomSendCheck check = CheckCustomSend(sheet, input, rules);
    ASSERT_TRUE(check.go) << check.refusal;
    EXPECT_EQ(check.sendTime, "2026-12-07 10:01:00");
    EXPECT_EQ(check.send.pattern, "{姓名}：{实发工资}【店】");
    EXPECT_EQ(check.send.placeholders, 2);
    ASSERT_EQ(check.send.recipients.size(), 3U);
    EXPECT_EQ(check.send.recipients[0].number, "13800011000");
    EXPECT_EQ(check.send.recipients[1].text, "李四：3000【店】") << "rows of one number keep the sheet's order";
    EXPECT_EQ(check.send.recipients[2].text, "李四二：4000【店】");
    EXPECT_EQ(check.send.recipients[2].details, "{%e6%9d%8e%e5%9b%9b%e4%ba%8c}{4000};");

    sheet.SetTicked(1, false);
    const CustomSendCheck fewer = CheckCustomSend(sheet, input, rules);
    ASSERT_EQ(fewer.send.recipients.size(), 2U);
    EXPECT_EQ(fewer.neededStock, 2U);
}

TEST(CustomSendCheck, TailIsPartOfEveryText)
{
    const CCustomSheet sheet = sheetOf(kPay);
    CustomSendInput input;
    input.loggedIn = true;
    input.templateText = "{姓名}";
    SmsRuleValues rules;
    rules.smsStock = 10;
    rules.addSmsTail = true;
    rules.smsTail = "【店】";
    rules.fetchSendStat = 1;
    const CustomSendCheck check = CheckCustomSend(sheet, input, rules);
    ASSERT_TRUE(check.go) << check.refusal;
    EXPECT_EQ(check.send.recipients[0].text, "张三；[老]【店】");
}

TEST(CustomPreview, ShowsEveryValidRowWithItsSegments)
{
    CCustomSheet sheet = sheetOf(kPay);
    sheet.SetTicked(0, false);
    SmsRuleValues rules;
    const CustomPreview preview = BuildCustomPreview(sheet, "{姓名}" + std::string(70, 'x'), rules);
    ASSERT_TRUE(preview.refusal.empty());
    ASSERT_EQ(preview.rows.size(), 3U) << "unticked rows are previewed too";
    EXPECT_EQ(preview.rows[0].segments, 2);
    ASSERT_EQ(preview.rows[0].parts.size(), 2U);
    EXPECT_EQ(preview.rows[0].parts[0], "1/2>李四" + std::string(34, 'x'));
    EXPECT_EQ(preview.totalSegments, 6);
    EXPECT_EQ(preview.longestText, 76);
    EXPECT_EQ(preview.textsBySegments, (std::map<int, int> {{2, 3}}));

    const std::pair<CCustomSheet, std::string> refused[] = {
        {CCustomSheet {}, "手机号码列不能为空!"},
        {sheetOf({{"手机号码"}}), "请先加载EXCEL文件，没有可预览的EXCEL发送数据!"},
        {sheetOf({{"手机号码"}, {"123"}}), "手机号码格式不正确，请选择一个正确的手机号码列!"},
    };
    for (const auto& [shown, message] : refused) {
        EXPECT_EQ(BuildCustomPreview(shown, "{手机号码}", rules).refusal, message);
    }
}

TEST(CustomSendOutcome, TellsAcceptedPartlyRefusedAndFailed)
{
    DetailCounts counts;
    counts.accepted = 5;
    EXPECT_EQ(CustomSendOutcomeOf(counts).message, "短信已成功提交到服务器，详情请查询短信发送记录!");
    counts.refused = 2;
    EXPECT_EQ(
        CustomSendOutcomeOf(counts).message, "短信部分成功提交到服务器，提交失败 [2] 个号码，详情请查询短信发送记录!");
    counts.accepted = 0;
    counts.unknown = 3;
    const CustomSendOutcome failed = CustomSendOutcomeOf(counts);
    EXPECT_FALSE(failed.accepted);
    EXPECT_EQ(failed.message, "短信发送失败,请检查内容是否包含非法关键字！");
}

} // namespace
} // namespace telvora
