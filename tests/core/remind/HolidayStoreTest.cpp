#include "remind/HolidayStore.h"

#include "core/app/AppTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class HolidayStoreTest : public test::WorkDatabaseTest
{
protected:
    void SetUp() override
    {
        WorkDatabaseTest::SetUp();
        ASSERT_TRUE(db().Execute("DELETE FROM tbl_holiday"));
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_holiday (id, name, holiday, content, Type) VALUES "
                                 "(1, '元旦', '2008-01-01', '新年好', 1),"
                                 "(2, '春节', '2008-01-01', '过年好', 2),"
                                 "(3, '除夕', '2008-12-30', '团圆', 2),"
                                 "(4, '圣诞节', '2008-12-25', 'Merry', 3),"
                                 "(5, '平安夜', '2008-12-24', '', 3),"
                                 "(6, '纪念日', '2008-12-25', '', 4)"));
    }

    std::vector<std::string> names(const std::vector<Holiday>& holidays)
    {
        std::vector<std::string> list;
        for (const Holiday& holiday : holidays) {
            list.push_back(holiday.name);
        }
        return list;
    }

    CHolidayStore m_store {db()};
};

struct WindowCase
{
    const char* name;
    const char* now;
    const char* start;
    const char* end;
};

class WeekWindowTest : public testing::TestWithParam<WindowCase>
{
};

TEST_P(WeekWindowTest, StartsOnMondayOrTheSundayBefore)
{
    const auto [start, end] = CHolidayStore::WeekWindow(DateTime::parse(GetParam().now));
    EXPECT_EQ(start.format("%Y-%m-%d"), GetParam().start);
    EXPECT_EQ(end.format("%Y-%m-%d"), GetParam().end);
}

INSTANTIATE_TEST_SUITE_P(Days, WeekWindowTest,
    testing::Values(WindowCase {"Monday", "2026-12-07 08:00", "2026-12-07", "2026-12-15"},
        WindowCase {"Saturday", "2026-12-12 23:59", "2026-12-07", "2026-12-15"},
        WindowCase {"Sunday", "2026-12-13 00:00", "2026-12-06", "2026-12-14"}),
    [](const testing::TestParamInfo<WindowCase>& info) { return info.param.name; });

TEST_F(HolidayStoreTest, WeekListsByMonthAndDayInAnyYearAndAcrossItsEnd)
{
    // Thursday 2026-12-24: the inner days are 22 to 28 December.
    EXPECT_EQ(names(m_store.ThisWeek(DateTime::parse("2026-12-24 09:00"))),
        std::vector<std::string>({"圣诞节", "平安夜", "纪念日"}));
    EXPECT_EQ(names(m_store.ThisWeek(DateTime::parse("2026-12-28 09:00"))), std::vector<std::string>({"元旦"}));
}

TEST_F(HolidayStoreTest, LunarHolidaysByLunarDay)
{
    // 2026-02-17 is the lunar new year; 2025-01-28 the last day of a 29-day twelfth month.
    EXPECT_EQ(m_store.Today(DateTime::parse("2026-02-17"))->name, "春节");
    EXPECT_EQ(m_store.Today(DateTime::parse("2025-01-28"))->name, "除夕");
    EXPECT_FALSE(m_store.Today(DateTime::parse("2026-02-18")).has_value());
    EXPECT_EQ(names(m_store.ThisWeek(DateTime::parse("2026-02-10"))), std::vector<std::string>({"除夕"}));
    EXPECT_EQ(names(m_store.ThisWeek(DateTime::parse("2026-02-16"))), std::vector<std::string>({"春节"}));
}

TEST_F(HolidayStoreTest, TodayTakesTheHighestIdAndNextOccurrenceComesAfter)
{
    EXPECT_EQ(m_store.Today(DateTime::parse("2031-12-25"))->name, "纪念日");
    const DateTime from = DateTime::parse("2026-12-06");
    EXPECT_EQ(m_store.NextOccurrence(*m_store.Load(2), from).format("%Y-%m-%d"), "2027-02-06");
    EXPECT_EQ(m_store.NextOccurrence(*m_store.Load(4), from).format("%Y-%m-%d"), "2026-12-25");
    EXPECT_EQ(m_store.NextOccurrence(*m_store.Load(1), from).format("%Y-%m-%d"), "2027-01-01");
}

struct AddCase
{
    const char* name;
    const char* holiday;
    int month;
    int day;
    const char* refusal;
};

class AddHolidayTest : public HolidayStoreTest, public testing::WithParamInterface<AddCase>
{
};

TEST_P(AddHolidayTest, ChecksNameAndDay)
{
    const AddCase& row = GetParam();
    EXPECT_EQ(m_store.AddCustom(row.holiday, row.month, row.day), row.refusal);
    const std::string stored = test::scalar(db(), "SELECT COUNT(*) FROM tbl_holiday WHERE Type=4");
    EXPECT_EQ(stored, std::string(row.refusal).empty() ? "2" : "1");
}

INSTANTIATE_TEST_SUITE_P(Inputs, AddHolidayTest,
    testing::Values(AddCase {"Accepted", "Tom's day", 10, 1, ""}, AddCase {"Feb29", "闰日", 2, 29, ""},
        AddCase {"EmptyName", " ", 10, 1, CHolidayStore::kEmptyName},
        AddCase {"MonthPlaceholder", "x", 0, 1, CHolidayStore::kBadDay},
        AddCase {"DayPlaceholder", "x", 3, 0, CHolidayStore::kBadDay},
        AddCase {"NoSuchDay", "x", 4, 31, CHolidayStore::kBadDay}),
    [](const testing::TestParamInfo<AddCase>& info) { return info.param.name; });

TEST_F(HolidayStoreTest, AddedDayIsStoredIn2008AndFoundEveryYear)
{
    ASSERT_EQ(m_store.AddCustom("Tom's day", 10, 1), "");
    EXPECT_EQ(test::scalar(db(), "SELECT holiday FROM tbl_holiday WHERE name='Tom''s day'"), "2008-10-01 00:00:00");
    EXPECT_EQ(names(m_store.ThisWeek(DateTime::parse("2030-10-01"))), std::vector<std::string>({"Tom's day"}));
    const std::vector<Holiday> custom = m_store.ListByType(Holiday::kCustom);
    ASSERT_EQ(custom.size(), 2u);
    ASSERT_TRUE(m_store.Delete(custom.back().id));
    EXPECT_EQ(names(m_store.ListByType(Holiday::kCustom)), std::vector<std::string>({"纪念日"}));
}

} // namespace
} // namespace telvora
