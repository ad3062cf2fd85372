#include "remind/BirthdayGreeter.h"

#include "ReminderTestSupport.h"
#include "remind/BirthdaySettings.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class BirthdayGreeterTest : public test::ReminderSendTest
{
protected:
    void SetUp() override
    {
        ReminderSendTest::SetUp();
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_card (id, phone, birtyday, isll) VALUES "
                                 "(1, '13800000001', '1990-12-05', 0),"
                                 "(2, '13800000002', '1980-12-06', 0)"));
        parameters().Set("AutoSendBirth", "1");
        parameters().Set("BirthdayTime", "1900-01-01 10:0:0");
        parameters().Set("BirthSendDate", "2026-12-04");
        parameters().Set("BirthSMSContent", "生日快乐");
        parameters().Set("BirthTitle", "0");
    }

    CBirthdayGreeter greeter() { return CBirthdayGreeter(db(), parameters(), *m_engine); }
};

struct DueCase
{
    const char* name;
    const char* autoSend;
    bool connected;
    const char* time;
    const char* lastSent;
    CBirthdayGreeter::Due due;
};

class BirthdayDueTest : public BirthdayGreeterTest, public testing::WithParamInterface<DueCase>
{
};

TEST_P(BirthdayDueTest, GuardsTheDailySend)
{
    const DueCase& row = GetParam();
    parameters().Set("AutoSendBirth", row.autoSend);
    parameters().Set("BirthdayTime", row.time);
    parameters().Set("BirthSendDate", row.lastSent);
    EXPECT_EQ(greeter().CheckToday(row.connected, DateTime::parse("2026-12-05 08:00")), row.due);
}

INSTANTIATE_TEST_SUITE_P(Guards, BirthdayDueTest,
    testing::Values(DueCase {"Due", "1", true, "1900-01-01 10:0:0", "2026-12-04", CBirthdayGreeter::Due::Today},
        DueCase {"Off", "0", true, "1900-01-01 10:0:0", "2026-12-04", CBirthdayGreeter::Due::Off},
        DueCase {"OnWithSpaces", " 1", true, "1900-01-01 10:0:0", "2026-12-04", CBirthdayGreeter::Due::Today},
        DueCase {"Offline", "1", false, "1900-01-01 10:0:0", "2026-12-04", CBirthdayGreeter::Due::Off},
        DueCase {"BadTime", "1", true, "ten", "2026-12-04", CBirthdayGreeter::Due::ParameterError},
        DueCase {"BadDate", "1", true, "1900-01-01 10:0:0", "", CBirthdayGreeter::Due::ParameterError},
        DueCase {"SentToday", "1", true, "1900-01-01 10:0:0", "2026-12-05", CBirthdayGreeter::Due::AlreadySent},
        DueCase {"SentLater", "1", true, "1900-01-01 10:0:0", "2027-01-01", CBirthdayGreeter::Due::AlreadySent}),
    [](const testing::TestParamInfo<DueCase>& info) { return info.param.name; });

// Before the time the send is scheduled for today at it; at the time it goes at once.
TEST_F(BirthdayGreeterTest, SendTodayBeforeAndAtTheTime)
{
    CBirthdayGreeter sender = greeter();
    const DateTime early = DateTime::parse("2026-12-05 08:00:00");
    const CBirthdayGreeter::Outcome before = sender.SendToday(sender.PhonesOn(early), early);
    EXPECT_TRUE(before.sent && before.scheduled);
    EXPECT_EQ(sendRecords(), "2|2026-12-05 10:00:00|1|生日快乐");
    const CBirthdayGreeter::Outcome at = sender.SendToday({"13800000001"}, DateTime::parse("2026-12-05 10:00:30"));
    EXPECT_TRUE(at.sent && !at.scheduled);
    EXPECT_EQ(sendRecords(), "2|2026-12-05 10:00:00|1|生日快乐\n2|" + m_engine->GetSendTime() + "|0|生日快乐");
}

TEST_F(BirthdayGreeterTest, RefusedSendLeavesTheDayOpen)
{
    parameters().Set("BirthSMSContent", "");
    CBirthdayGreeter sender = greeter();
    const DateTime now = DateTime::parse("2026-12-05 11:00");
    EXPECT_FALSE(sender.SendToday({"13800000001"}, now).sent);
    EXPECT_EQ(sendRecords(), "");
    EXPECT_EQ(sender.CheckToday(true, now), CBirthdayGreeter::Due::Today);
}

TEST_F(BirthdayGreeterTest, MarkSentClosesTheDayInStoreAndTable)
{
    CBirthdayGreeter sender = greeter();
    const DateTime now = DateTime::parse("2026-12-05 11:00");
    ASSERT_TRUE(sender.MarkSent(now));
    EXPECT_EQ(parameters().Get("BirthSendDate"), "2026-12-05");
    EXPECT_EQ(test::scalar(db(), "SELECT para_value FROM tbl_sys_param WHERE para_name='BirthSendDate'"), "2026-12-05");
    EXPECT_EQ(sender.CheckToday(true, now.addSeconds(3600)), CBirthdayGreeter::Due::AlreadySent);
}

TEST_F(BirthdayGreeterTest, WeekendDaysAreScheduledAtTheTimeOrTen)
{
    const DateTime friday = DateTime::parse("2026-12-04 15:00");
    EXPECT_EQ(CBirthdayGreeter::Saturday(friday).format("%Y-%m-%d"), "2026-12-05");
    EXPECT_EQ(CBirthdayGreeter::Sunday(friday).format("%Y-%m-%d"), "2026-12-06");
    parameters().Set("BirthdayTime", "1900-01-01 9:30:0");
    CBirthdayGreeter sender = greeter();
    ASSERT_TRUE(
        sender.ScheduleOn(sender.PhonesOn(CBirthdayGreeter::Saturday(friday)), CBirthdayGreeter::Saturday(friday)));
    parameters().Set("BirthdayTime", "broken");
    m_engine->Wait();
    ASSERT_TRUE(sender.ScheduleOn({"13800000002"}, CBirthdayGreeter::Sunday(friday)));
    EXPECT_EQ(sendRecords(), "2|2026-12-05 09:30:00|1|生日快乐\n2|2026-12-06 10:00:00|1|生日快乐");
}

TEST_F(BirthdayGreeterTest, SettingsStoreTheGreetingAsTyped)
{
    BirthdaySettings settings = BirthdaySettings::Load(parameters());
    EXPECT_TRUE(settings.autoSend);
    EXPECT_EQ(settings.hour, 10);
    settings.content = "It's your day";
    settings.hour = 8;
    settings.minute = 5;
    settings.Store(parameters());
    ASSERT_TRUE(parameters().SaveAll(db(), m_app.GetSetupFile()));
    EXPECT_EQ(
        test::scalar(db(), "SELECT para_value FROM tbl_sys_param WHERE para_name='BirthSMSContent'"), "It's your day");
    EXPECT_EQ(parameters().Get("BirthdayTime"), "1900-01-01 8:5:0");
    settings.content.clear();
    EXPECT_EQ(settings.Validate(), BirthdaySettings::kEmptyContent);
    settings.autoSend = false;
    EXPECT_EQ(settings.Validate(), "");
}

} // namespace
} // namespace telvora
