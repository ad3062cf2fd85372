#include "records/SendHistory.h"

#include "core/app/AppTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace telvora {
namespace {

class SendHistoryTest : public test::WorkDatabaseTest
{
protected:
    void SetUp() override
    {
        WorkDatabaseTest::SetUp();
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms (id, content) VALUES (1, 'a')"));
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms_detail (id, group_id, phones) VALUES (1, 1, '13800138000')"));
        ASSERT_TRUE(db().Execute(
            "INSERT INTO tbl_sms_recive (id, phone, content, recive_time) VALUES (1, '13800138000', 'x', Now())"));
    }

    std::string count(const std::string& table) { return test::scalar(db(), "SELECT COUNT(*) FROM " + table); }
};

TEST_F(SendHistoryTest, ClearIsAllOrNothingAndKeepsReceivedMessages)
{
    CSendHistory history(db());
    // Without the record table the second DELETE fails; the first must be undone.
    ASSERT_TRUE(db().Execute("ALTER TABLE tbl_sendsms RENAME TO tbl_sendsms_gone"));
    EXPECT_FALSE(history.Clear());
    EXPECT_FALSE(history.GetLastError().empty());
    EXPECT_EQ(count("tbl_sendsms_detail"), "1");

    ASSERT_TRUE(db().Execute("ALTER TABLE tbl_sendsms_gone RENAME TO tbl_sendsms"));
    ASSERT_TRUE(history.Clear()) << history.GetLastError();
    EXPECT_EQ(count("tbl_sendsms"), "0");
    EXPECT_EQ(count("tbl_sendsms_detail"), "0");
    EXPECT_EQ(count("tbl_sms_recive"), "1");
}

TEST_F(SendHistoryTest, ListsNewestFirstAndFiltersScheduled)
{
    ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms (id, content, send_time, is_idle, success_count, jobid) "
                             "VALUES (2, 'it''s', '2026-1-2 3:04:05', 1, 160, 'J1;J2')"));
    CSendHistory history(db());
    const std::vector<SendRecord> all = history.List(false);
    ASSERT_EQ(all.size(), 2U);
    EXPECT_EQ(all.front().id, 2);
    EXPECT_EQ(all.front().content, "it's");
    EXPECT_EQ(all.front().sendTime.toString(), "2026-01-02 03:04:05");
    EXPECT_TRUE(all.front().scheduled);
    EXPECT_FALSE(all.back().scheduled);
    ASSERT_EQ(history.List(true).size(), 1U);
    EXPECT_EQ(history.Find(2)->jobIds, "J1;J2");
    EXPECT_FALSE(history.Find(3).has_value());
}

class SendRecordRowsTest : public test::WorkDatabaseTest
{
protected:
    void SetUp() override
    {
        WorkDatabaseTest::SetUp();
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms (id, content, is_idle) VALUES (1, 'now', 0), "
                                 "(2, 'later', 1), (3, 'again', 0)"));
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms_detail (id, group_id, phones, status) VALUES "
                                 "(1, 1, '13800000001', 1), (2, 1, '13800000002', -1), (3, 1, '13800000003', 2), "
                                 "(4, 1, '13800000004', 0), (5, 2, '13800000005', 1), (6, 3, '13800000006', 1)"));
    }

    std::string count(const std::string& sql) { return test::scalar(db(), "SELECT COUNT(*) FROM " + sql); }
};

TEST_F(SendRecordRowsTest, DeleteTakesTheDetailRowsAlong)
{
    CSendHistory history(db());
    ASSERT_TRUE(history.Delete(1)) << history.GetLastError();
    EXPECT_EQ(count("tbl_sendsms"), "2");
    EXPECT_EQ(count("tbl_sendsms_detail WHERE group_id = 1"), "0");
    EXPECT_EQ(count("tbl_sendsms_detail"), "2");
}

TEST_F(SendRecordRowsTest, ClearSentKeepsScheduledSends)
{
    CSendHistory history(db());
    ASSERT_TRUE(history.ClearSent()) << history.GetLastError();
    EXPECT_EQ(count("tbl_sendsms"), "1");
    EXPECT_EQ(count("tbl_sendsms_detail"), "1");
    ASSERT_EQ(history.List(true).size(), 1U);
    EXPECT_TRUE(history.ListSent().empty());
}

TEST_F(SendRecordRowsTest, SentNumbersAreThoseAcceptedOrPossiblyAccepted)
{
    CSendHistory history(db());
    EXPECT_EQ(history.SentNumbers(1), (std::vector<std::string> {"13800000001", "13800000003"}));
    const std::vector<SendDetail> details = history.Details(1);
    ASSERT_EQ(details.size(), 4U);
    EXPECT_EQ(details[1].phone, "13800000002");
    EXPECT_EQ(details[1].status, -1);
}

} // namespace
} // namespace telvora
