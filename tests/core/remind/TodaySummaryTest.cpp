#include "remind/TodaySummary.h"

#include "ReminderTestSupport.h"
#include "remind/CustomDateReminder.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class TodaySummaryTest : public test::ReminderSendTest
{
protected:
    void SetUp() override
    {
        ReminderSendTest::SetUp();
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_card (id, phone, birtyday, isll, custom9) VALUES "
                                 "(1, '13800000001', '1990-12-07', 0, '2020-12-07'),"
                                 "(2, '13800000002', '1980-10-28', 1, '2020-12-08'),"
                                 "(3, '13800000003', '1980-10-29', 1, '2019-12-07')"));
    }

    CustomDateReminder field24()
    {
        for (CustomDateReminder& reminder : CustomDateReminder::LoadAll(db())) {
            if (reminder.id == 24) {
                return reminder;
            }
        }
        ADD_FAILURE() << "no field 24";
        return {};
    }
};

TEST_F(TodaySummaryTest, CountsTheDay)
{
    ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms_detail (id, phones, send_time, status, split_count) VALUES "
                             "(1, '1', '2026-12-07 08:00', 1, 2), (2, '2', '2026-12-07 09:00', -1, 1),"
                             "(3, '3', '2026-12-06 09:00', 1, 1)"));
    ASSERT_TRUE(
        db().Execute("INSERT INTO tbl_sms_recive (id, phone, recive_time) VALUES (1, '1', '2026-12-07 10:00')"));
    // 2026-12-07 is lunar 10-28: the solar card 1 and the lunar card 2.
    const TodaySummary summary = TodaySummary::Load(db(), DateTime::parse("2026-12-07 12:00"));
    EXPECT_EQ(summary.SentLine(), "今日已发短信 1 条,查看详细请点击...");
    EXPECT_EQ(summary.ReceivedLine(), "今日回复短信 1 条,查看详细请点击...");
    EXPECT_EQ(summary.BirthdayLine(true), "今日有[2]位客户过生日,已启用生日祝福自动发送");
    EXPECT_EQ(summary.BirthdayLine(false), "今日有[2]位客户过生日,没启用生日祝福自动发送");
    EXPECT_EQ(summary.HolidayLine(), "今天没有节日提醒");
}

TEST_F(TodaySummaryTest, HolidayLine)
{
    const TodaySummary summary = TodaySummary::Load(db(), DateTime::parse("2026-01-01 12:00"));
    ASSERT_TRUE(summary.holiday.has_value());
    EXPECT_EQ(summary.HolidayLine(), "今天是[" + summary.holiday->name + "]点击发送节日祝福短信！");
}

TEST_F(TodaySummaryTest, FieldFindsTodaysCardsByMonthAndDay)
{
    CustomDateReminder reminder = field24();
    reminder.FindDue(db(), DateTime::parse("2026-12-07"));
    EXPECT_EQ(reminder.phones, std::vector<std::string>({"13800000001", "13800000003"}));
    EXPECT_EQ(reminder.FieldLine(), "自定义日期1:今日共有 2 个到期");
    reminder.FindDue(db(), DateTime::parse("2026-12-09"));
    EXPECT_EQ(reminder.FieldLine(), "自定义日期1:今日共有 0 个到期");
    reminder.fieldName = "custom9) OR (1=1";
    reminder.FindDue(db(), DateTime::parse("2026-12-07"));
    EXPECT_TRUE(reminder.phones.empty());
}

TEST_F(TodaySummaryTest, FieldSendsOnceADayScheduledAtItsTime)
{
    ASSERT_EQ(CustomDateReminder::StoreSettings(db(), 24, true, false, "It's due", 10, 0), "");
    CustomDateReminder reminder = field24();
    EXPECT_EQ(test::scalar(db(), "SELECT COUNT(*) FROM tbl_field_info WHERE id=24 AND ValidFlag=TRUE"), "1");
    const DateTime morning = DateTime::parse("2026-12-07 08:00");
    reminder.FindDue(db(), morning);
    EXPECT_EQ(reminder.SendIfDue(db(), *m_engine, morning), CustomDateReminder::Run::Sent);
    EXPECT_EQ(sendRecords(), "3|2026-12-07 10:00:00|1|It's due");
    // A reload later that day sends nothing.
    CustomDateReminder reloaded = field24();
    reloaded.FindDue(db(), morning);
    EXPECT_EQ(
        reloaded.SendIfDue(db(), *m_engine, DateTime::parse("2026-12-07 15:00")), CustomDateReminder::Run::AlreadySent);
}

TEST_F(TodaySummaryTest, FieldOffOrRefusedSendsNothing)
{
    CustomDateReminder reminder = field24();
    const DateTime now = DateTime::parse("2026-12-07 11:00");
    reminder.FindDue(db(), now);
    EXPECT_EQ(reminder.SendIfDue(db(), *m_engine, now), CustomDateReminder::Run::Off);
    ASSERT_EQ(CustomDateReminder::StoreSettings(db(), 24, true, true, "x", 9, 0), "");
    reminder = field24();
    reminder.FindDue(db(), DateTime::parse("2026-12-09"));
    EXPECT_EQ(reminder.SendIfDue(db(), *m_engine, now), CustomDateReminder::Run::Refused);
    EXPECT_EQ(sendRecords(), "");
    EXPECT_EQ(field24().lastSent.format("%Y"), "2008");
}

TEST_F(TodaySummaryTest, SettingsChecksAndKeepValidFlagWhenSwitchedOff)
{
    EXPECT_EQ(CustomDateReminder::StoreSettings(db(), 25, true, false, "", 9, 0), CustomDateReminder::kEmptyContent);
    ASSERT_EQ(CustomDateReminder::StoreSettings(db(), 25, true, false, "a", 9, 30), "");
    ASSERT_EQ(CustomDateReminder::StoreSettings(db(), 25, false, false, "", 7, 5), "");
    EXPECT_EQ(test::scalar(db(), "SELECT RemainType || ValidFlag || ' ' || RemainTime FROM tbl_field_info WHERE id=25"),
        "01 2008-01-01 07:05:00");
}

} // namespace
} // namespace telvora
