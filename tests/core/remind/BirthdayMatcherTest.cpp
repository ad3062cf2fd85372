#include "remind/BirthdayMatcher.h"

#include "core/app/AppTestSupport.h"
#include "db/DateTime.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

struct MatchCase
{
    const char* name;
    const char* day;
    std::vector<std::string> phones;
};

class BirthdayMatcherTest : public test::WorkDatabaseTest, public testing::WithParamInterface<MatchCase>
{
protected:
    void SetUp() override
    {
        WorkDatabaseTest::SetUp();
        // Phone ends in the card id; the year of a birthday plays no part.
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_card (id, phone, birtyday, isll) VALUES "
                                 "(1, '13800000001', '1990-04-05', 0),"
                                 "(2, '13800000002', '1980-04-05', 1),"
                                 "(3, '13800000003', '1992-02-29', 0),"
                                 "(4, '13800000004', '1970-12-30', 1),"
                                 "(5, '13800000005', '1985-03-01', 1),"
                                 "(6, '13800000006', '1975-04-30', 1),"
                                 "(7, '13800000007', '2001-04-27', 0),"
                                 "(8, '13800000008', NULL, 1)"));
    }
};

TEST_P(BirthdayMatcherTest, FindsTheCardsOfTheDay)
{
    CBirthdayMatcher matcher(db());
    EXPECT_EQ(matcher.FindPhones(DateTime::parse(GetParam().day)), GetParam().phones);
    EXPECT_EQ(matcher.GetLastError(), "");
}

INSTANTIATE_TEST_SUITE_P(Days, BirthdayMatcherTest,
    testing::Values(MatchCase {"SolarBirthday", "2026-04-05", {"13800000001"}},
        MatchCase {"SolarAndLunarOnOneDay", "2020-04-27", {"13800000002", "13800000007"}},
        MatchCase {"LeapMonthMatchesItsNumber", "2020-05-27", {"13800000002"}},
        MatchCase {"Feb29InLeapYear", "2024-02-29", {"13800000003"}},
        MatchCase {"Feb29NotInCommonYear", "2025-02-28", {}},
        MatchCase {"Lunar2Day30IsNotTheThird1st", "2021-04-11", {}},
        MatchCase {"Lunar3Day1", "2021-04-12", {"13800000005"}},
        MatchCase {"Lunar12Day30", "2024-02-09", {"13800000004"}},
        MatchCase {"Day29OfLongMonthLeavesThe30th", "2024-02-08", {}},
        MatchCase {"Day29OfShortMonthTakesThe30th", "2025-01-28", {"13800000004"}},
        MatchCase {"ShortLeapMonthTakesThe30th", "2020-06-20", {"13800000006"}},
        MatchCase {"LastDayOfTheTable", "2101-01-28", {"13800000004"}},
        MatchCase {"OutsideTheTableOnlySolar", "2150-04-05", {"13800000001"}}),
    [](const testing::TestParamInfo<MatchCase>& info) { return info.param.name; });

TEST_F(BirthdayMatcherTest, FailedQueryGivesNoNumbersAndSaysWhy)
{
    ASSERT_TRUE(db().Execute("ALTER TABLE tbl_card RENAME TO tbl_card_gone"));
    CBirthdayMatcher matcher(db());
    EXPECT_TRUE(matcher.FindPhones(DateTime::parse("2026-04-05")).empty());
    EXPECT_NE(matcher.GetLastError(), "");
}

} // namespace
} // namespace telvora
