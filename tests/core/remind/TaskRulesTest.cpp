#include "remind/TaskRules.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

struct SmsTimeCase
{
    const char* name;
    const char* start;
    int lead;
    const char* expected;
};

class SmsTimeTest : public testing::TestWithParam<SmsTimeCase>
{
};

TEST_P(SmsTimeTest, KeepsTheDialogsDate)
{
    const DateTime smsDate = DateTime::parse("2026-12-10 14:00");
    EXPECT_EQ(TaskRules::SmsTimeFor(smsDate, DateTime::parse(GetParam().start), GetParam().lead).toString(),
        GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Leads, SmsTimeTest,
    testing::Values(SmsTimeCase {"HourBefore", "2026-12-07 10:00", 60, "2026-12-10 09:00:00"},
        SmsTimeCase {"PastMidnightKeepsClockOnly", "2026-12-07 00:30", 60, "2026-12-10 23:30:00"},
        SmsTimeCase {"WholeDay", "2026-12-07 08:15", 1440, "2026-12-10 08:15:00"}),
    [](const testing::TestParamInfo<SmsTimeCase>& info) { return info.param.name; });

TEST(TaskRulesTest, WizardChecksInOrder)
{
    const DateTime now = DateTime::parse("2026-12-07 10:00");
    const DateTime later = DateTime::parse("2026-12-07 10:01");
    EXPECT_EQ(TaskRules::ValidateTask(true, now, now, "", ""), TaskRules::kStartInPast);
    EXPECT_EQ(TaskRules::ValidateTask(false, now, now, "  ", ""), TaskRules::kEmptyName);
    EXPECT_EQ(TaskRules::ValidateTask(true, later, now, "名", " "), TaskRules::kEmptyContent);
    EXPECT_EQ(TaskRules::ValidateTask(true, later, now, "名", "事"), "");
}

TEST(TaskRulesTest, SmsChecksInOrder)
{
    const DateTime now = DateTime::parse("2026-12-07 10:00");
    const DateTime later = DateTime::parse("2026-12-07 11:00");
    EXPECT_EQ(TaskRules::ValidateSms(now, now, {}, "会员用户"), TaskRules::kSmsInPast);
    EXPECT_EQ(TaskRules::ValidateSms(later, now, {}, "会员用户"), TaskRules::kNoRecipients);
    EXPECT_EQ(TaskRules::ValidateSms(later, now, {"13800000001"}, "会员用户"), TaskRules::kMemberRefused);
    EXPECT_EQ(TaskRules::ValidateSms(later, now, {"13800000001"}, "正式用户"), "");
}

TEST(TaskRulesTest, RecipientsFromTypedText)
{
    EXPECT_EQ(TaskRules::RecipientNumbers("13800000001;13800000002,\n 13800000003;;"),
        std::vector<std::string>({"13800000001", "13800000002", "13800000003"}));
    EXPECT_EQ(TaskRules::JoinNumbers({"1", "2"}), "1;2");
    EXPECT_TRUE(TaskRules::RecipientNumbers(" ; ").empty());
}

} // namespace
} // namespace telvora
