#include "contacts/CardSearch.h"

#include "CardTestSupport.h"
#include "contacts/CardListPager.h"
#include "contacts/FieldCatalogue.h"
#include "db/SqlText.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class CardSearchTest : public test::CardDatabaseTest
{
protected:
    void SetUp() override
    {
        CardDatabaseTest::SetUp();
        folder(1, "A");
        folder(2, "B");
        add(1, "13800000001", "王'小明", "1990-12-01", 1);
        add(2, "13800000002", "100%李", "1985-12-31", 1);
        add(3, "13800000003", "张三", "1970-01-05", 2);
        add(4, "13800000004", "王五", "2000-03-15", 2);
        copy(4, 1);
    }
    void add(long id, const std::string& phone, const std::string& name, const std::string& birthday, long folderId)
    {
        card(id, phone, folderId);
        ASSERT_TRUE(db().Execute("UPDATE tbl_card SET name = " + SqlQuote(name) + ", birtyday = '" + birthday
            + "' WHERE id = " + std::to_string(id)));
    }
    std::string found(const CardSearchCriteria& criteria)
    {
        const std::string clause = BuildCardSearchClause(criteria);
        CCardListPager pager(db(), CFieldCatalogue(db()).ListFields());
        std::vector<CardRow> rows;
        if (!pager.Search(clause, rows))
            return "<error> " + pager.GetLastError() + clause;
        std::string ids;
        for (const CardRow& row : rows)
            ids += (ids.empty() ? "" : ",") + std::to_string(row.id);
        return ids;
    }
};

TEST_F(CardSearchTest, NoConditionGivesNoClause)
{
    CardSearchCriteria criteria;
    criteria.folderId = 1;
    EXPECT_EQ(BuildCardSearchClause(criteria), "");
    criteria.custom = {{"custom1", "  "}};
    EXPECT_EQ(BuildCardSearchClause(criteria), "");
}

TEST_F(CardSearchTest, TextsMatchLiterally)
{
    CardSearchCriteria criteria;
    criteria.name = "王'";
    EXPECT_EQ(found(criteria), "1");
    criteria.name = "100%";
    EXPECT_EQ(found(criteria), "2");
    criteria.name = "%";
    EXPECT_EQ(found(criteria), "2") << "a percent sign is no wildcard";
    criteria.name = "_";
    EXPECT_EQ(found(criteria), "");
}

TEST_F(CardSearchTest, FolderScopeEnclosesEveryConditionAndTakesInCopies)
{
    CardSearchCriteria criteria;
    criteria.name = "王";
    criteria.phone = "00003";
    criteria.matchAll = false;
    EXPECT_EQ(found(criteria), "1,3,4");
    criteria.folderId = 1;
    EXPECT_EQ(found(criteria), "1,4") << "card 3 lives in B; card 4 is listed in A";
    criteria.folderId = 2;
    EXPECT_EQ(found(criteria), "3,4");
}

struct BirthdayCase
{
    const char* name;
    CardSearchCriteria::BirthdayMatch match;
    DateTime from;
    DateTime to;
    bool range;
    const char* expected;
};

class BirthdaySearchTest : public CardSearchTest, public ::testing::WithParamInterface<BirthdayCase>
{
};

TEST_P(BirthdaySearchTest, Finds)
{
    CardSearchCriteria criteria;
    criteria.birthdayMatch = GetParam().match;
    criteria.birthdayFrom = GetParam().from;
    criteria.birthdayTo = GetParam().to;
    criteria.birthdayRange = GetParam().range;
    EXPECT_EQ(found(criteria), GetParam().expected);
}

using Match = CardSearchCriteria::BirthdayMatch;
const auto d = [](int y, int m, int day) { return DateTime::fromFields(y, m, day); };
INSTANTIATE_TEST_SUITE_P(Ranges, BirthdaySearchTest,
    ::testing::Values(BirthdayCase {"DayOfYear", Match::MonthDay, d(2026, 12, 31), {}, false, "2"},
        BirthdayCase {"DecemberIncludesItsLastDay", Match::MonthDay, d(2026, 12, 1), d(2026, 12, 31), true, "1,2"},
        BirthdayCase {"OverTheNewYear", Match::MonthDay, d(2026, 12, 31), d(2026, 1, 5), true, "2,3"},
        BirthdayCase {"MonthRangeIncludesLastMonth", Match::Month, d(2026, 1, 1), d(2026, 3, 1), true, "3,4"},
        BirthdayCase {"OneMonth", Match::Month, d(2026, 12, 9), {}, false, "1,2"},
        BirthdayCase {"ExactDate", Match::Date, d(1970, 1, 5), {}, false, "3"},
        BirthdayCase {"DateRangeIncludesLastDay", Match::Date, d(1985, 1, 1), d(1990, 12, 1), true, "1,2"},
        BirthdayCase {"RangeWithoutEndIsOneDay", Match::Date, d(1985, 12, 31), {}, true, "2"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace telvora
