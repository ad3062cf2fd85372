#include "contacts/CardListPager.h"

#include "CardTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class CardListPagerTest : public test::CardDatabaseTest
{
protected:
    void fill(long folderId, int count, long firstId)
    {
        ASSERT_TRUE(db().BeginTransaction());
        for (int i = 0; i < count; ++i)
            card(firstId + i, std::to_string(13800000000 + firstId + i), folderId);
        ASSERT_TRUE(db().CommitTransaction());
    }
    std::vector<CardField> fields()
    {
        CardField phone;
        phone.id = 1;
        phone.fieldName = "phone";
        CardField birthday;
        birthday.id = 8;
        birthday.fieldName = "birtyday";
        return {phone, birthday};
    }
};

TEST_F(CardListPagerTest, BlocksAndLabels)
{
    folder(1, "A");
    folder(2, "B");
    fill(1, 1001, 1);
    fill(2, 1500, 2001);
    card(5000, "13900005000", 1);
    copy(2001, 1); // listed in A between A's own cards by id
    copy(1, 1); // a stray copy row in the card's own home lists it once
    CCardListPager pager(db(), fields());
    pager.Open(1);
    std::vector<CardRow> rows;
    EXPECT_EQ(pager.Label(), "[2/0]共 1003条记录");
    ASSERT_TRUE(pager.NextBlock(rows));
    EXPECT_EQ(rows.size(), 1000U);
    EXPECT_EQ(pager.Label(), "[2/1]共 1003条记录");
    ASSERT_TRUE(pager.NextBlock(rows));
    ASSERT_EQ(rows.size(), 1003U);
    EXPECT_EQ(rows[1000].id, 1001);
    EXPECT_EQ(rows[1001].id, 2001);
    EXPECT_EQ(rows[1002].id, 5000);
    EXPECT_EQ(pager.Label(), "[2/2]共 1003条记录");
    EXPECT_TRUE(pager.AtEnd());
    EXPECT_FALSE(pager.NextBlock(rows));
}

TEST_F(CardListPagerTest, ExactlyOneBlockAndDatesAsDays)
{
    folder(1, "A");
    fill(1, 1000, 1);
    ASSERT_TRUE(db().Execute("UPDATE tbl_card SET birtyday = '1990-05-03 00:00:00' WHERE id = 1"));
    CCardListPager pager(db(), fields());
    pager.Open(1);
    std::vector<CardRow> rows;
    ASSERT_TRUE(pager.NextBlock(rows));
    EXPECT_FALSE(pager.AtEnd()) << "a full block may have more behind it";
    EXPECT_EQ(pager.Label(), "[1/1]共 1000条记录");
    EXPECT_TRUE(pager.AtEnd());
    EXPECT_EQ(rows.front().values, (std::vector<std::string> {"13800000001", "1990-05-03"}));
    EXPECT_EQ(rows.back().values, (std::vector<std::string> {"13800001000", ""}));

    pager.Open(0);
    EXPECT_FALSE(pager.NextBlock(rows)) << "no folder chosen";
}

} // namespace
} // namespace telvora
