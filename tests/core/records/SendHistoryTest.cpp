#include "records/SendHistory.h"

#include "app/AppConstants.h"
#include "app/AppContext.h"
#include "core/app/AppTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class SendHistoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_app.OpenWorkDatabase(kOfflineDatabase)) << m_app.GetErrorDetail();
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms (id, content) VALUES (1, 'a')"));
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms_detail (id, group_id, phones) VALUES (1, 1, '13800138000')"));
        ASSERT_TRUE(db().Execute(
            "INSERT INTO tbl_sms_recive (id, phone, content, recive_time) VALUES (1, '13800138000', 'x', Now())"));
    }

    CADODataBase& db() { return m_app.GetDatabase(); }
    std::string count(const std::string& table) { return test::scalar(db(), "SELECT COUNT(*) FROM " + table); }

    test::TempDir m_temp;
    CAppContext m_app {test::preparedDataDirectory(m_temp)};
};

TEST_F(SendHistoryTest, ClearEmptiesBothSendTablesAndKeepsReceivedMessages)
{
    CSendHistory history(db());
    ASSERT_TRUE(history.Clear()) << history.GetLastError();
    EXPECT_EQ(count("tbl_sendsms"), "0");
    EXPECT_EQ(count("tbl_sendsms_detail"), "0");
    EXPECT_EQ(count("tbl_sms_recive"), "1");
}

TEST_F(SendHistoryTest, FailureLeavesTheDetailRowsInPlace)
{
    // Without the record table the second DELETE fails; the first must be undone.
    ASSERT_TRUE(db().Execute("ALTER TABLE tbl_sendsms RENAME TO tbl_sendsms_gone"));
    CSendHistory history(db());
    EXPECT_FALSE(history.Clear());
    EXPECT_FALSE(history.GetLastError().empty());
    EXPECT_EQ(count("tbl_sendsms_detail"), "1");
}

} // namespace
} // namespace telvora
