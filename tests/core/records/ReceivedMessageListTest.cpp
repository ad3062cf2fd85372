#include "records/ReceivedMessageList.h"

#include "core/app/AppTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class ReceivedMessageListTest : public test::WorkDatabaseTest
{
protected:
    void SetUp() override
    {
        WorkDatabaseTest::SetUp();
        ASSERT_TRUE(
            db().Execute("INSERT INTO tbl_card (id, folder_id, phone, name) VALUES (7, 1, '13800000001', '李四')"));
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sms_recive (id, phone, content, recive_time, is_read) VALUES "
                                 "(1, '13800000001', '好的', '2026-12-06 09:30:00', 0),"
                                 "(2, '13900000002', 'TD', '2026-12-06 10:00:00', 1)"));
    }
};

TEST_F(ReceivedMessageListTest, LoadsNamesRegionsAndReadFlags)
{
    CReceivedMessageList list(db(), [](const std::string& phone) {
        return phone.starts_with("1380000") ? std::string("广东/深圳") : std::string("未知");
    });
    const std::vector<ReceivedRow> rows = list.Load();
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0].name, "李四");
    EXPECT_EQ(rows[0].cardId, 7);
    EXPECT_EQ(rows[0].region, "广东/深圳");
    EXPECT_FALSE(rows[0].read);
    EXPECT_EQ(rows[0].receiveTime.toString(), "2026-12-06 09:30:00");
    EXPECT_EQ(rows[1].name, "");
    EXPECT_FALSE(rows[1].cardId.has_value());
    EXPECT_EQ(rows[1].region, "未知");
    EXPECT_TRUE(rows[1].read);

    CReceivedMessageList withoutRegions(db());
    EXPECT_EQ(withoutRegions.Load()[0].region, "未知");
}

TEST_F(ReceivedMessageListTest, MarksDeletesAndFindsCards)
{
    CReceivedMessageList list(db());
    ASSERT_TRUE(list.MarkRead(1));
    EXPECT_TRUE(list.Load()[0].read);
    EXPECT_EQ(list.CardIdOf("13800000001"), 7);
    EXPECT_FALSE(list.CardIdOf("13900000002").has_value());
    EXPECT_FALSE(list.CardIdOf("x' OR '1'='1").has_value());
    ASSERT_TRUE(list.Delete({2}));
    ASSERT_EQ(list.Load().size(), 1U);
    ASSERT_TRUE(list.Clear());
    EXPECT_TRUE(list.Load().empty());
}

} // namespace
} // namespace telvora
