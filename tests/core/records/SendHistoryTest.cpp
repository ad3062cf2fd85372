#include "records/SendHistory.h"

#include "core/app/AppTestSupport.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace telvora
