#include "app/RecordCleanup.h"

#include "core/app/AppTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(RecordCleanupDayTest, KeepsAtLeastFifteenDaysAndWritesTheDayWithoutLeadingZeros)
{
    const std::pair<const char*, int> days[] = {{"15", 15}, {"14", 15}, {"0", 15}, {"", 15}, {"abc", 15}, {"-40", 15},
        {" 60天", 60}, {"99999999999999999999", CRecordCleanup::kMaximumDays}};
    for (const auto& [text, expected] : days) {
        EXPECT_EQ(expected, CRecordCleanup::KeptDays(text)) << "SaveMaxDay=" << text;
    }
    EXPECT_EQ("2026-2-5", CRecordCleanup::CutOffDay(DateTime::parse("2026-03-07 10:00:00"), 30));
    EXPECT_EQ("2025-12-31", CRecordCleanup::CutOffDay(DateTime::parse("2026-01-15 00:00:00"), 15));
}

class RecordCleanupTest : public test::WorkDatabaseTest
{
protected:
    std::string remaining(const char* column, const char* table)
    {
        return test::scalar(db(),
            std::string("SELECT group_concat(") + column + ", ',') FROM (SELECT * FROM " + table + " ORDER BY 1)");
    }
    CRecordCleanup m_cleanup;
};

TEST_F(RecordCleanupTest, DeletesUpToTheCutOffMidnightAndReportsFailure)
{
    // Now is 2026-03-31 10:00, 30 days kept: the cut-off is 2026-03-01 00:00:00.
    const char* times[] = {"2026-02-28 23:59:59", "2026-03-01 00:00:00", "2026-03-01 00:00:01", "2026-03-31 09:00"};
    for (int id = 1; id <= 4; ++id) {
        const std::string at = times[id - 1];
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms (id, content, send_time, send_mode, status) VALUES ("
            + std::to_string(id) + ", 'x', '" + at + "', 1, '已提交')"));
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms_detail (jobid, phones, send_time, status, group_id) VALUES "
                                 "('j', '13800000000', '"
            + at + "', 1, " + std::to_string(id) + ")"));
    }
    ASSERT_TRUE(m_cleanup.Run(db(), "30", DateTime::parse("2026-03-31 10:00:00"))) << m_cleanup.GetLastError();
    EXPECT_EQ("3,4", remaining("id", "tbl_sendsms"));
    EXPECT_EQ("3,4", remaining("group_id", "tbl_sendsms_detail"));
    ASSERT_TRUE(db().Execute("DROP TABLE tbl_sendsms_detail"));
    EXPECT_FALSE(m_cleanup.Run(db(), "30", DateTime::parse("2026-03-31 10:00:00")));
    EXPECT_FALSE(m_cleanup.GetLastError().empty());
}

} // namespace
} // namespace telvora
