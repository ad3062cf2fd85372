#include "core/contacts/CardTestSupport.h"
#include "db/ADODataBase.h"
#include "send/FolderNumberCache.h"
#include "send/PickerCards.h"
#include "send/RecipientChoice.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace telvora {
namespace {

using Numbers = std::vector<std::string>;

// Folder 1 "客户" with a subfolder 2 "子目录", folder 3 "其他". Folder 1 holds cards of
// every kind a folder load must sort out; card 6 lives in folder 3 and is copied into 1.
class RecipientPickerTest : public test::CardDatabaseTest
{
protected:
    void SetUp() override
    {
        CardDatabaseTest::SetUp();
        folder(1, "客户");
        folder(2, "子目录", 1);
        folder(3, "其他");
        card(1, "13800000001", 1);
        card(2, "13800000002", 1);
        card(3, "18900000003", 1);
        card(4, "12345", 1);
        card(5, "13800000005", 2);
        card(6, "13000000006", 3);
        card(7, " 13800000007 ", 1);
        copy(6, 1);
        set("UPDATE tbl_card SET status = '退订' WHERE id = 2");
        set("UPDATE tbl_card SET status = '正常', name = '王五' WHERE id = 3");
        set("UPDATE tbl_card SET name = '' WHERE id = 6");
    }
    void set(const std::string& sql) { ASSERT_TRUE(db().Execute(sql)) << db().GetLastError(); }
    Numbers phones(const std::vector<PickerCard>& cards)
    {
        Numbers out;
        for (const PickerCard& card : cards)
            out.push_back(card.caption());
        return out;
    }
};

TEST_F(RecipientPickerTest, FolderNumbersLeaveOutOptOutsInvalidAndSubfolders)
{
    CollectedNumbers numbers;
    std::string error;
    ASSERT_TRUE(LoadFolderNumbers(db(), 1, numbers, error)) << error;
    EXPECT_EQ(numbers.numbers, (Numbers {"13800000001", "18900000003", "13000000006", "13800000007"}));
    EXPECT_EQ(numbers.counts, (CarrierCounts {2, 1, 1}));
}

TEST_F(RecipientPickerTest, CopiedCardCountsInBothFolders)
{
    CollectedNumbers home;
    CollectedNumbers other;
    std::string error;
    ASSERT_TRUE(LoadFolderNumbers(db(), 3, home, error));
    ASSERT_TRUE(LoadFolderNumbers(db(), 1, other, error));
    EXPECT_EQ(home.numbers, (Numbers {"13000000006"}));
    EXPECT_EQ(std::count(other.numbers.begin(), other.numbers.end(), "13000000006"), 1);
}

TEST_F(RecipientPickerTest, CacheAnswersUntilTheDatabaseChanges)
{
    CFolderNumberCache cache;
    CollectedNumbers numbers;
    ASSERT_TRUE(cache.Load(db(), 1, false, numbers));
    // A renamed table is no write: only an answer from the cache can still succeed.
    set("ALTER TABLE tbl_card RENAME TO tbl_card_gone");
    ASSERT_TRUE(cache.Load(db(), 1, false, numbers));
    EXPECT_EQ(numbers.numbers.size(), 4U);
    EXPECT_FALSE(cache.Load(db(), 1, true, numbers));
    EXPECT_FALSE(cache.GetLastError().empty());
    EXPECT_FALSE(cache.Load(db(), 3, false, numbers));
    set("ALTER TABLE tbl_card_gone RENAME TO tbl_card");

    ASSERT_TRUE(cache.Load(db(), 1, false, numbers));
    set("UPDATE tbl_card SET status = '退订' WHERE id = 1");
    ASSERT_TRUE(cache.Load(db(), 1, false, numbers));
    EXPECT_EQ(numbers.numbers, (Numbers {"18900000003", "13000000006", "13800000007"}));
}

TEST_F(RecipientPickerTest, CacheSeesCommitsOfOtherConnectionsAndReopens)
{
    CFolderNumberCache cache;
    CollectedNumbers numbers;
    ASSERT_TRUE(cache.Load(db(), 3, false, numbers));
    {
        CADODataBase worker;
        ASSERT_TRUE(worker.Open(db().GetDatabasePath()));
        ASSERT_TRUE(worker.Execute("INSERT INTO tbl_card (id, phone, folder_id) VALUES (8, '13300000008', 3)"));
    }
    ASSERT_TRUE(cache.Load(db(), 3, false, numbers));
    EXPECT_EQ(numbers.numbers, (Numbers {"13000000006", "13300000008"}));

    ASSERT_TRUE(cache.Load(db(), 3, false, numbers));
    set("ALTER TABLE tbl_card RENAME TO tbl_card_gone");
    db().Close();
    ASSERT_TRUE(db().Open(m_app.DatabasePathFor("user.db")));
    EXPECT_FALSE(cache.Load(db(), 3, false, numbers));
}

TEST_F(RecipientPickerTest, CardListsOfFolderSearchAndDialog)
{
    CPickerCards cards(db());
    std::vector<PickerCard> listed;
    ASSERT_TRUE(cards.Folder(1, listed)) << cards.GetLastError();
    // Name when there is one, else the phone; the copy is listed once, the subfolder's card not.
    EXPECT_EQ(
        phones(listed), (Numbers {"13800000001", "13800000002", "王五", "12345", "13000000006", " 13800000007 "}));
    ASSERT_TRUE(cards.FolderTop(1, listed));
    EXPECT_EQ(listed.size(), 5U);
    ASSERT_TRUE(cards.Search(" WHERE name = '王五'", listed));
    ASSERT_EQ(listed.size(), 1U);
    EXPECT_EQ(listed[0].phone, "18900000003");
    EXPECT_FALSE(cards.Search(" WHERE no_such_column = 1", listed));
    EXPECT_FALSE(cards.GetLastError().empty());
}

TEST_F(RecipientPickerTest, DialogListsAtMostFiveHundredCards)
{
    ASSERT_TRUE(db().BeginTransaction());
    for (int i = 0; i < CPickerCards::kDialogLimit + 1; ++i)
        card(100 + i, "1370000" + std::to_string(1000 + i), 3);
    ASSERT_TRUE(db().CommitTransaction());
    CPickerCards cards(db());
    std::vector<PickerCard> listed;
    ASSERT_TRUE(cards.FolderTop(3, listed));
    ASSERT_EQ(listed.size(), static_cast<std::size_t>(CPickerCards::kDialogLimit));
    EXPECT_EQ(listed.front().phone, "13000000006");
    EXPECT_EQ(listed.back().phone, "13700001498");
}

TEST_F(RecipientPickerTest, ChoiceCollectsSortedDistinctNumbersThenCards)
{
    CRecipientChoice choice;
    EXPECT_TRUE(choice.AddNumber(" 13900000009 "));
    EXPECT_TRUE(choice.AddNumber("13900000009"));
    EXPECT_FALSE(choice.AddNumber("1390000000"));
    EXPECT_FALSE(choice.AddNumber("abc"));
    EXPECT_TRUE(choice.AddFolder(3, "其他"));
    EXPECT_FALSE(choice.AddFolder(3, "其他"));
    EXPECT_TRUE(choice.AddFolder(1, "客户"));
    EXPECT_TRUE(choice.AddCard({"", "13000000006"})); // reached through both folders already
    EXPECT_TRUE(choice.AddCard({"赵六", "13800000002"})); // an opt-out, chosen by hand
    EXPECT_TRUE(choice.AddCard({"短号", "6601234"}));
    EXPECT_FALSE(choice.AddCard({"again", "13800000002"}));
    EXPECT_TRUE(choice.AddNumber("13000000000"));

    PickedRecipients picked;
    std::string error;
    ASSERT_TRUE(choice.Collect(db(), picked, error)) << error;
    EXPECT_EQ(picked.numbers,
        (Numbers {
            "13000000000", "13000000006", "13800000001", "13800000007", "13900000009", "18900000003", "13800000002"}));
    EXPECT_EQ(picked.text, "13900000009;其他;客户;13000000006;赵六;短号;13000000000;");

    choice.Remove(0);
    EXPECT_TRUE(choice.RemoveFolder(1));
    EXPECT_TRUE(choice.RemoveCard("13800000002"));
    EXPECT_FALSE(choice.HasFolder(1));
    ASSERT_TRUE(choice.Collect(db(), picked, error));
    EXPECT_EQ(picked.numbers, (Numbers {"13000000000", "13000000006"}));
    EXPECT_EQ(picked.text, "其他;13000000006;短号;13000000000;");
}

TEST_F(RecipientPickerTest, ChoiceWithUnreadableFolderGivesNothing)
{
    CRecipientChoice choice;
    choice.AddNumber("13900000009");
    choice.AddFolder(1, "客户");
    set("ALTER TABLE tbl_card RENAME TO tbl_card_gone");
    PickedRecipients picked;
    std::string error;
    EXPECT_FALSE(choice.Collect(db(), picked, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(picked.numbers.empty());
    EXPECT_TRUE(picked.text.empty());
}

} // namespace
} // namespace telvora
