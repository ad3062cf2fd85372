#include "records/RecordSearch.h"

#include "core/app/AppTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class RecordSearchTest : public test::WorkDatabaseTest
{
protected:
    void SetUp() override
    {
        WorkDatabaseTest::SetUp();
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms (id, content, send_mode) VALUES "
                                 "(1, '周五开会', 1), (2, '生日快乐', 4)"));
        ASSERT_TRUE(db().Execute(
            "INSERT INTO tbl_sendsms_detail (id, group_id, phones, send_time, status, split_count, content) VALUES "
            "(1, 1, '13800000001', '2026-12-31 00:00:00', 1, 1, '欧阳娜'),"
            "(2, 1, '13800000002', '2026-12-31 23:59:59', -1, 2, ''),"
            "(3, 1, '13800000003', '2027-01-01 00:00:00', 1, 1, ''),"
            "(4, 2, '13800000004', '2026-12-30 10:00:00', 2, 3, '王五，100% 满意'),"
            "(5, 1, '13800000005', '2026-12-30 23:59:59', 1, 1, 'O''Neil')"));
    }

    std::vector<long> ids(const RecordSearchQuery& query)
    {
        CRecordSearch search(db());
        EXPECT_TRUE(search.Run(query)) << search.GetLastError();
        std::vector<long> found;
        for (const RecordSearchRow& row : search.Rows())
            found.push_back(row.id);
        return found;
    }
};

TEST_F(RecordSearchTest, DayIncludesItsMidnightAndEndsBeforeTheNextDay)
{
    EXPECT_EQ(ids(RecordSearchQuery::Day(DateTime::fromFields(2026, 12, 31, 15, 30))), (std::vector<long> {2, 1}));
    EXPECT_EQ(ids(RecordSearchQuery::Range(DateTime::fromFields(2026, 12, 30), DateTime::fromFields(2026, 12, 31))),
        (std::vector<long> {2, 1, 5, 4}));
    EXPECT_TRUE(
        ids(RecordSearchQuery::Range(DateTime::fromFields(2026, 12, 31), DateTime::fromFields(2026, 12, 30))).empty());
}

TEST_F(RecordSearchTest, PhoneAndTextNarrowTheSearch)
{
    RecordSearchQuery query
        = RecordSearchQuery::Range(DateTime::fromFields(2026, 12, 1), DateTime::fromFields(2027, 1, 1));
    query.phone = " 13800000002 ";
    EXPECT_EQ(ids(query), (std::vector<long> {2}));
    query.phone.clear();
    query.text = "开会";
    EXPECT_EQ(ids(query), (std::vector<long> {3, 2, 1, 5}));
    query.text = "100%";
    EXPECT_EQ(ids(query), (std::vector<long> {4}));
    query.text = "0%";
    EXPECT_EQ(ids(query), (std::vector<long> {4}));
    query.text = "_";
    EXPECT_TRUE(ids(query).empty()) << "an underscore means itself";
    query.text = "O'Neil";
    EXPECT_EQ(ids(query), (std::vector<long> {5}));
}

TEST_F(RecordSearchTest, RowsShowTheirMessageAndTotalsAddUp)
{
    CRecordSearch search(db());
    ASSERT_TRUE(
        search.Run(RecordSearchQuery::Range(DateTime::fromFields(2026, 12, 30), DateTime::fromFields(2026, 12, 31))));
    ASSERT_EQ(search.Rows().size(), 4U);
    EXPECT_EQ(search.Rows()[0].message, "周五开会");
    EXPECT_EQ(search.Rows()[1].message, "欧阳娜：周五开会");
    EXPECT_EQ(search.Rows()[3].message, "王五，100% 满意");
    EXPECT_EQ(search.Totals().Text(), "合计信息:共发送号码:4 (成功:2/异常:2) 短信数:7(成功:2/异常:5)");
}

} // namespace
} // namespace telvora
