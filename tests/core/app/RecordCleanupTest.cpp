#include "app/RecordCleanup.h"

#include "core/app/AppTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

struct DaysCase
{
    const char* name;
    const char* text;
    int expected;
};

class KeptDaysTest : public ::testing::TestWithParam<DaysCase>
{
};

TEST_P(KeptDaysTest, ReadsTheParameter)
{
    EXPECT_EQ(GetParam().expected, CRecordCleanup::KeptDays(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Values, KeptDaysTest,
    ::testing::Values(DaysCase {"plain", "30", 30}, DaysCase {"minimum", "15", 15},
        DaysCase {"below_minimum", "14", 15}, DaysCase {"zero", "0", 15}, DaysCase {"empty", "", 15},
        DaysCase {"garbage", "abc", 15}, DaysCase {"negative", "-40", 15}, DaysCase {"blank_and_suffix", " 60天", 60},
        DaysCase {"huge", "99999999999999999999", CRecordCleanup::kMaximumDays}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordCleanupDayTest, WritesTheDayWithoutLeadingZeros)
{
    EXPECT_EQ("2026-2-5", CRecordCleanup::CutOffDay(DateTime::parse("2026-03-07 10:00:00"), 30));
    EXPECT_EQ("2025-12-31", CRecordCleanup::CutOffDay(DateTime::parse("2026-01-15 00:00:00"), 15));
}

class RecordCleanupTest : public test::WorkDatabaseTest
{
protected:
    void addSend(int id, const std::string& time)
    {
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms (id, content, send_time, send_mode, status) VALUES ("
            + std::to_string(id) + ", 'x', '" + time + "', 1, '已提交')"));
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms_detail (jobid, phones, send_time, status, group_id) VALUES "
                                 "('j', '13800000000', '"
            + time + "', 1, " + std::to_string(id) + ")"));
    }
    std::string remaining(const std::string& table)
    {
        return test::scalar(db(),
            "SELECT group_concat(" + std::string(table == "tbl_sendsms" ? "id" : "group_id")
                + ", ',') FROM (SELECT * FROM " + table + " ORDER BY 1)");
    }
};

TEST_F(RecordCleanupTest, DeletesUpToTheCutOffMidnight)
{
    // Now is 2026-03-31 10:00, 30 days kept: the cut-off is 2026-03-01 00:00:00.
    addSend(1, "2026-02-28 23:59:59");
    addSend(2, "2026-03-01 00:00:00");
    addSend(3, "2026-03-01 00:00:01");
    addSend(4, "2026-03-31 09:00:00");
    CRecordCleanup cleanup;
    ASSERT_TRUE(cleanup.Run(db(), "30", DateTime::parse("2026-03-31 10:00:00"))) << cleanup.GetLastError();
    EXPECT_EQ("3,4", remaining("tbl_sendsms"));
    EXPECT_EQ("3,4", remaining("tbl_sendsms_detail"));
}

TEST_F(RecordCleanupTest, FailureIsReported)
{
    ASSERT_TRUE(db().Execute("DROP TABLE tbl_sendsms_detail"));
    CRecordCleanup cleanup;
    EXPECT_FALSE(cleanup.Run(db(), "30", DateTime::parse("2026-03-31 10:00:00")));
    EXPECT_FALSE(cleanup.GetLastError().empty());
}

} // namespace
} // namespace telvora
