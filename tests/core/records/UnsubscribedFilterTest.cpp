#include "records/UnsubscribedFilter.h"

#include "core/app/AppTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(UnsubscribedFilterReplies, OnlyAWholeKeywordOptsOut)
{
    for (const char* text :
        {"TD", "td", "t", "N", "n", "退订", "取消", "0000", " TD\r\n", "\xE3\x80\x80退订\xE3\x80\x80"}) {
        EXPECT_TRUE(CUnsubscribedFilter::IsOptOutReply(text)) << text;
    }
    for (const char* text : {"", "TDD", "T D", "00000", "请退订", "退订吧", "No", "取消预约"}) {
        EXPECT_FALSE(CUnsubscribedFilter::IsOptOutReply(text)) << text;
    }
}

class UnsubscribedFilterTest : public test::WorkDatabaseTest
{
protected:
    void SetUp() override
    {
        WorkDatabaseTest::SetUp();
        m_app.GetParameters().Load(db(), m_app.GetSetupFile());
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_card (id, folder_id, phone, status) VALUES "
                                 "(1, 1, '13900000001', '退订'), (2, 1, ' 13900000002 ', '退订'), "
                                 "(3, 1, '13900000003', NULL), (4, 1, '13900000004', '无效')"));
    }

    std::vector<std::string> numbers {"13900000004", "13900000001", "13900000003", "13900000002", "13900000001"};
};

TEST_F(UnsubscribedFilterTest, LeavesOutEveryEntryOfAnUnsubscribedNumberAndKeepsTheOrder)
{
    CUnsubscribedFilter filter(db(), m_app.GetParameters());
    ASSERT_TRUE(filter.IsActive()) << "on by default";
    EXPECT_EQ(filter.Apply(numbers), 3U);
    EXPECT_EQ(numbers, (std::vector<std::string> {"13900000004", "13900000003"}));
    EXPECT_EQ(CUnsubscribedFilter::ExcludedMessage(3), "已排除3个退订号码");
}

TEST_F(UnsubscribedFilterTest, SettingAtZeroSendsToEveryone)
{
    m_app.GetParameters().Set("SkipUnsubscribed", "0");
    CUnsubscribedFilter filter(db(), m_app.GetParameters());
    EXPECT_FALSE(filter.IsActive());
    EXPECT_EQ(filter.Apply(numbers), 0U);
    EXPECT_EQ(numbers.size(), 5U);
}

TEST_F(UnsubscribedFilterTest, MarkingKeepsQuotesOutOfTheStatement)
{
    EXPECT_TRUE(CUnsubscribedFilter::MarkUnsubscribed(db(), " 13900000003 "));
    EXPECT_EQ(test::scalar(db(), "SELECT COUNT(*) FROM tbl_card WHERE status='退订'"), "3");
    EXPECT_TRUE(CUnsubscribedFilter::MarkUnsubscribed(db(), "1'; DROP TABLE tbl_card; --"));
    EXPECT_EQ(test::scalar(db(), "SELECT COUNT(*) FROM tbl_card"), "4");
}

} // namespace
} // namespace telvora
