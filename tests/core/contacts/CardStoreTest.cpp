#include "contacts/CardStore.h"

#include "CardTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class CardStoreTest : public test::CardDatabaseTest
{
protected:
    CCardStore m_store {db()};
};

TEST_F(CardStoreTest, TreeShowsOnlyFoldersWhoseParentCameFirst)
{
    folder(1, "root");
    folder(2, "child", 1);
    folder(3, "orphan", 40);
    folder(4, "under orphan", 3);
    folder(5, "grandchild", 2);
    std::string shown;
    for (const CardFolder& f : m_store.LoadFolderTree())
        shown += std::to_string(f.id) + ":" + std::to_string(f.parentId) + " ";
    EXPECT_EQ(shown, "1:0 2:1 5:2 ");
}

TEST_F(CardStoreTest, FolderNamesAreUniqueAcrossTheTree)
{
    long root = 0;
    long child = 0;
    EXPECT_EQ(m_store.NewFolder("客户", 0, root), CCardStore::NameResult::Done);
    EXPECT_EQ(root, 1) << "an empty table numbers from 1";
    EXPECT_EQ(m_store.NewFolder("O'Brien 100%", root, child), CCardStore::NameResult::Done);
    EXPECT_EQ(query("SELECT name || '|' || memos || '|' || sub_id FROM tbl_card_folder WHERE id = 2"),
        "O'Brien 100%|O'Brien 100%|1");

    long other = 0;
    EXPECT_EQ(m_store.NewFolder("o'brien 100%", 0, other), CCardStore::NameResult::Duplicate);
    EXPECT_EQ(m_store.NewFolder("  ", 0, other), CCardStore::NameResult::Empty);
    EXPECT_EQ(m_store.RenameFolder(root, "O'Brien 100%"), CCardStore::NameResult::Duplicate);
    EXPECT_EQ(m_store.RenameFolder(child, "O'Brien 100%"), CCardStore::NameResult::Done) << "its own name";
    EXPECT_EQ(m_store.RenameFolder(root, "新名"), CCardStore::NameResult::Done);
    EXPECT_EQ(m_store.FolderName(root), "新名");
    EXPECT_EQ(m_store.EnsureFolder("O'Brien 100%", 0), child) << "found wherever it stands";
    EXPECT_EQ(m_store.EnsureFolder("新目录", 0), 3);
}

TEST_F(CardStoreTest, DeletingAFolderTakesItsSubtreeAndEveryCopyOfItsCards)
{
    folder(1, "A");
    folder(2, "A1", 1);
    folder(3, "A11", 2);
    folder(4, "B");
    card(10, "13800000010", 1);
    card(11, "13800000011", 3);
    card(12, "13800000012", 4);
    copy(11, 4); // a card of the subtree listed in B
    copy(12, 2); // B's card listed in the subtree

    ASSERT_TRUE(m_store.DeleteFolder(1)) << m_store.GetLastError();
    EXPECT_EQ(query("SELECT group_concat(id) FROM tbl_card_folder"), "4");
    EXPECT_EQ(query("SELECT group_concat(id) FROM tbl_card"), "12");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card_copy"), "0");
    EXPECT_EQ(members(4), "12");
}

TEST_F(CardStoreTest, ClearingRemovesCopiesOfTheClearedCards)
{
    folder(1, "A");
    folder(2, "B");
    card(10, "13800000010", 1);
    card(11, "13800000011", 2);
    copy(10, 2);
    copy(11, 1);
    ASSERT_TRUE(m_store.ClearFolder(1));
    EXPECT_EQ(members(2), "11");
    EXPECT_EQ(members(1), "");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card_copy"), "0");

    ASSERT_TRUE(m_store.ClearAll());
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card"), "0");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card_folder"), "2") << "folders stay";
}

TEST_F(CardStoreTest, DeletingCardsInGroupsTakesThemEverywhere)
{
    folder(1, "A");
    folder(2, "B");
    std::vector<long> ids;
    ASSERT_TRUE(db().BeginTransaction());
    for (long id = 1; id <= 450; ++id) {
        card(id, std::to_string(13800000000 + id), 1);
        copy(id, 2);
        ids.push_back(id);
    }
    card(451, "13800000451", 1);
    ASSERT_TRUE(db().CommitTransaction());
    ASSERT_TRUE(m_store.DeleteCards(ids));
    EXPECT_EQ(members(1), "451");
    EXPECT_EQ(members(2), "");
    EXPECT_TRUE(m_store.DeleteCards({}));
}

TEST_F(CardStoreTest, RemovingFromAFolderMovesOrDeletesOnlyCardsAtHomeThere)
{
    folder(1, "A");
    folder(2, "B");
    folder(3, "C");
    card(10, "13800000010", 1); // home A, copies in B and C
    copy(10, 2);
    copy(10, 3);
    card(11, "13800000011", 1); // home A only
    card(12, "13800000012", 3); // home C, copies in B and A
    copy(12, 2);
    copy(12, 1);

    ASSERT_TRUE(m_store.RemoveFromFolder({10, 11, 12}, 1));
    EXPECT_EQ(query("SELECT folder_id FROM tbl_card WHERE id = 10"), "2") << "first remaining copy becomes home";
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card_copy WHERE card_id = 10 AND folder_id = 2"), "0");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card WHERE id = 11"), "0") << "no copy: deleted";
    EXPECT_EQ(query("SELECT folder_id FROM tbl_card WHERE id = 12"), "3") << "a copy leaves the home alone";
    EXPECT_EQ(members(1), "");
    EXPECT_EQ(members(2), "10,12");
    EXPECT_EQ(members(3), "10,12");
}

TEST_F(CardStoreTest, CopyingTwiceAddsNoSecondListing)
{
    folder(1, "A");
    folder(2, "B");
    card(10, "13800000010", 1);
    card(11, "13800000011", 2);
    for (int round = 0; round < 2; ++round)
        ASSERT_TRUE(m_store.CopyToFolders({10, 11, 99}, {1, 2}));
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card_copy"), "2") << "no row for a home, a repeat or a missing card";
    EXPECT_EQ(members(1), "10,11");
    EXPECT_EQ(members(2), "10,11");
}

TEST_F(CardStoreTest, MailAndChatAddresses)
{
    folder(1, "A");
    card(10, "13800000010", 1);
    card(11, "13800000011", 1);
    card(12, "13800000012", 1);
    ASSERT_TRUE(db().Execute("UPDATE tbl_card SET email = ' a@x.cn ', qq = '12345' WHERE id = 10"));
    ASSERT_TRUE(db().Execute("UPDATE tbl_card SET email = 'b?c@y.cn', qq = '123&Menu=no' WHERE id = 12"));
    EXPECT_EQ(m_store.MailtoAddress({12, 11, 10}), "mailto:a@x.cn;b%3Fc@y.cn;");
    EXPECT_EQ(m_store.MailtoAddress({11}), "");
    EXPECT_EQ(m_store.QqChatAddress(10), "http://wpa.qq.com/msgrd?V=1&Uin=12345&Site=telvora&Menu=yes");
    EXPECT_EQ(m_store.QqChatAddress(11), "");
    EXPECT_EQ(m_store.QqChatAddress(12), "") << "not a QQ number";
}

} // namespace
} // namespace telvora
