#include "records/SendStatistics.h"

#include "core/app/AppTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class SendStatisticsTest : public test::WorkDatabaseTest
{
protected:
    void SetUp() override
    {
        WorkDatabaseTest::SetUp();
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms (id, send_time, success_count, fail_count, is_idle) VALUES "
                                 "(1, '2010-11-30 23:59:59', 5, 0, 0),"
                                 "(2, '2010-12-01 00:00:00', 10, 1, 0),"
                                 "(3, '2010-12-01 18:00:00', 20, 2, 1),"
                                 "(4, '2010-12-31 23:59:59', 3, 3, 0),"
                                 "(5, '2011-01-01 00:00:00', 7, 0, 0)"));
    }

    static std::vector<std::string> lines(const std::vector<StatisticsRow>& rows)
    {
        std::vector<std::string> texts;
        for (const StatisticsRow& row : rows)
            texts.push_back(row.period + " " + std::to_string(row.total) + " " + std::to_string(row.success) + " "
                + std::to_string(row.fail));
        return texts;
    }
};

TEST_F(SendStatisticsTest, DecemberByDayCoversTheFirstToTheNewYear)
{
    CSendStatistics statistics(db());
    EXPECT_EQ(lines(statistics.ByDay(2010, 12)), (std::vector<std::string> {"2010-12-31 6 3 3", "2010-12-01 33 30 3"}));
    EXPECT_EQ(lines(statistics.ByDay(2011, 1)), (std::vector<std::string> {"2011-01-01 7 7 0"}));
    EXPECT_TRUE(statistics.ByDay(2010, 13).empty());
    EXPECT_FALSE(statistics.GetLastError().empty());
}

TEST_F(SendStatisticsTest, ByMonthSumsTheYear)
{
    CSendStatistics statistics(db());
    EXPECT_EQ(lines(statistics.ByMonth(2010)), (std::vector<std::string> {"2010-12 39 33 6", "2010-11 5 5 0"}));
    EXPECT_TRUE(statistics.ByMonth(2009).empty());
    EXPECT_TRUE(statistics.GetLastError().empty());
}

} // namespace
} // namespace telvora
