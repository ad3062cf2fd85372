#include "remind/CalendarTaskStore.h"

#include "core/app/AppTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class CalendarTaskStoreTest : public test::WorkDatabaseTest
{
protected:
    CalendarTask task(const std::string& name, const char* start, int lead, int type = 0)
    {
        CalendarTask added;
        added.name = name;
        added.subject = "内容";
        added.popupReminder = true;
        added.popupLead = lead;
        added.start = DateTime::parse(start);
        added.type = type;
        EXPECT_TRUE(m_store.Insert(added)) << m_store.GetLastError();
        return added;
    }

    std::vector<int> ids(const std::vector<CalendarTask>& tasks)
    {
        std::vector<int> list;
        for (const CalendarTask& each : tasks) {
            list.push_back(each.id);
        }
        return list;
    }

    CCalendarTaskStore m_store {db()};
};

TEST_F(CalendarTaskStoreTest, DueAtStartLessLeadAndAgainAfterASnooze)
{
    task("会议", "2026-12-07 10:00", 15);
    EXPECT_EQ(m_store.AnyDue(DateTime::parse("2026-12-07 09:44:59")), false);
    EXPECT_EQ(m_store.AnyDue(DateTime::parse("2026-12-07 09:45")), true);
    EXPECT_EQ(ids(m_store.DueTasks(DateTime::parse("2026-12-07 09:46"))), std::vector<int>({1}));
    // A snooze within the lead is due again at once.
    const DateTime now = DateTime::parse("2026-12-07 09:50");
    ASSERT_TRUE(m_store.Snooze(1, now, 5));
    EXPECT_EQ(m_store.Load(1)->start.toString(), "2026-12-07 09:55:00");
    EXPECT_EQ(m_store.AnyDue(now), true);
}

TEST_F(CalendarTaskStoreTest, FinishAllFinishesExactlyTheListed)
{
    for (int i = 0; i < 3; ++i) {
        task("到期" + std::to_string(i), "2026-12-07 09:00", 5);
    }
    const CalendarTask later = task("以后", "2026-12-08 09:00", 5);
    const DateTime now = DateTime::parse("2026-12-07 10:00");
    const std::vector<int> due = ids(m_store.DueTasks(now));
    ASSERT_EQ(due, std::vector<int>({1, 2, 3}));
    ASSERT_TRUE(m_store.FinishAll(due));
    EXPECT_EQ(m_store.AnyDue(now), false);
    EXPECT_EQ(m_store.Load(later.id)->status, CalendarTask::kOpen);
    EXPECT_EQ(m_store.Load(2)->status, CalendarTask::kFinished);
    ASSERT_TRUE(m_store.ClearHistory());
    EXPECT_EQ(ids(m_store.List(CCalendarTaskStore::kAllTypes)), std::vector<int>({later.id}));
}

TEST_F(CalendarTaskStoreTest, TextsWithApostrophesRoundTripAndEditsKeepTheSms)
{
    CalendarTask added;
    added.name = "Bob's party";
    added.subject = "It's at 8";
    added.smsReminder = true;
    added.start = DateTime::parse("2026-12-07 20:00");
    added.smsTime = DateTime::parse("2026-12-07 19:00");
    added.phones = "13800000001;13800000002";
    added.insertTitle = true;
    ASSERT_TRUE(m_store.Insert(added));
    added.name = "Bob's dinner";
    added.phones = "changed";
    added.start = DateTime::parse("2026-12-08 20:00");
    ASSERT_TRUE(m_store.Update(added));
    const CalendarTask stored = *m_store.Load(added.id);
    EXPECT_EQ(stored.name, "Bob's dinner");
    EXPECT_EQ(stored.subject, "It's at 8");
    EXPECT_EQ(stored.phones, "13800000001;13800000002");
    EXPECT_EQ(stored.smsTime.toString(), "2026-12-07 19:00:00");
    EXPECT_EQ(stored.start.toString(), "2026-12-08 20:00:00");
    EXPECT_TRUE(stored.insertTitle);
}

TEST_F(CalendarTaskStoreTest, ListsByTypeAndDeletes)
{
    task("a", "2026-12-07 09:00", 5, 0);
    task("b", "2026-12-07 09:00", 5, 1);
    task("c", "2026-12-07 09:00", 5, 1);
    EXPECT_EQ(ids(m_store.List(1)), std::vector<int>({2, 3}));
    ASSERT_TRUE(m_store.Delete(2));
    EXPECT_EQ(ids(m_store.List(CCalendarTaskStore::kAllTypes)), std::vector<int>({1, 3}));
    EXPECT_FALSE(m_store.Load(2).has_value());
    EXPECT_EQ(task("d", "2026-12-07 09:00", 5).id, 4);
}

TEST_F(CalendarTaskStoreTest, UnreadableTableIsNoAnswer)
{
    ASSERT_TRUE(db().Execute("ALTER TABLE tbl_calendar_task RENAME TO gone"));
    EXPECT_FALSE(m_store.AnyDue(DateTime::parse("2026-12-07 09:00")).has_value());
}

} // namespace
} // namespace telvora
