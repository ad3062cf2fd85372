#include "records/ReceivedMessageStore.h"

#include "core/app/AppTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

std::string group(const std::string& phone, const std::string& time, const std::string& text)
{
    return "<SMSGroup Phone=\"" + phone + "\" RecDateTime=\"" + time + "\" PostFixNumber=\"\">" + text + "</SMSGroup>";
}

class ReceivedMessageStoreTest : public test::WorkDatabaseTest
{
protected:
    void SetUp() override
    {
        WorkDatabaseTest::SetUp();
        m_app.GetParameters().Load(db(), m_app.GetSetupFile());
    }

    ReceivedMessagesStored store(const std::string& groups, int count = 1)
    {
        return m_store.Store("<MethodResult><RetCode>Sucess</RetCode><Count>" + std::to_string(count)
                + "</Count><Nodes>" + groups + "</Nodes></MethodResult>",
            m_app.GetParameters());
    }
    std::string query(const std::string& sql) { return test::scalar(db(), sql); }

    CReceivedMessageStore m_store {db(), m_app.GetNextCardId()};
};

TEST_F(ReceivedMessageStoreTest, MessageListedTwiceIsStoredOnce)
{
    const std::string message = group("13900000001", "2026-3-4 5:06:07", "It&apos;s ok");
    const ReceivedMessagesStored stored = store(message + message, 2);

    ASSERT_EQ(stored.added.size(), 1U);
    EXPECT_EQ(stored.added.front().content, "It's ok");
    EXPECT_EQ(stored.added.front().receiveTime, "2026-03-04 05:06:07");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sms_recive"), "1");
    EXPECT_EQ(query("SELECT is_read FROM tbl_sms_recive"), "0");

    EXPECT_TRUE(store(message).added.empty()) << "delivered again later";
    const auto later = group("13900000001", "2026-3-4 5:06:08", "It&apos;s ok");
    EXPECT_EQ(store(later).added.size(), 1U) << "same text, another time";
}

// However the service spells the time, the message keeps it, so a second delivery is
// recognised instead of being stored again with the time of the fetch.
TEST_F(ReceivedMessageStoreTest, ReceiveTimesInOtherFormsAreKeptAndRecognised)
{
    const auto first = store(group("13900000001", "2026/3/4 5:06:07 PM", "hi"));
    ASSERT_EQ(first.added.size(), 1U);
    EXPECT_EQ(first.added.front().receiveTime, "2026-03-04 17:06:07");
    EXPECT_TRUE(store(group("13900000001", "2026年3月4日 下午5:06:07", "hi")).added.empty());
    EXPECT_TRUE(store(group("13900000001", "2026.03.04 17:06:07", "hi")).added.empty());
    EXPECT_EQ(query("SELECT recive_time FROM tbl_sms_recive"), "2026-03-04 17:06:07");
}

TEST_F(ReceivedMessageStoreTest, SoundOnlyForNewMessagesWhenChosen)
{
    const std::string message = group("13900000001", "2026-3-4 5:06:07", "hi");
    m_app.GetParameters().Set("SoundIncome", "1");
    EXPECT_TRUE(store(message + group("13900000002", "2026-3-4 5:06:08", "yo"), 2).playSound);
    EXPECT_FALSE(store(message).playSound) << "nothing new";
    m_app.GetParameters().Set("SoundIncome", "0");
    EXPECT_FALSE(store(group("13900000003", "2026-3-4 5:06:09", "x")).playSound);
}

TEST_F(ReceivedMessageStoreTest, StrangersAreFiledOnce)
{
    m_app.GetParameters().Set("AutoSaveReciver", "1");
    // An id the address book handed out but whose card is not written yet must not be reused.
    EXPECT_EQ(m_app.GetNextCardId().Take(db()), 1);
    const auto first = store(group("13900000001", "2026-03-04 05:06:07", "who's this"));
    const auto second = store(group("13900000001", "2026-03-04 06:00:00", "again"));

    EXPECT_TRUE(first.strangerFolderCreated);
    EXPECT_FALSE(second.strangerFolderCreated);
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card_folder WHERE id=999 AND name='陌生回复号码'"), "1");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card WHERE phone='13900000001'"), "1");
    EXPECT_EQ(query("SELECT memos FROM tbl_card WHERE phone='13900000001'"), "who's this");
    EXPECT_NE(query("SELECT create_date FROM tbl_card WHERE phone='13900000001'"), "");
    EXPECT_EQ(query("SELECT id FROM tbl_card WHERE phone='13900000001'"), "2") << "id 1 was handed out first";
}

TEST_F(ReceivedMessageStoreTest, ReplyWithoutNodesStoresNothing)
{
    const auto stored = m_store.Store("<MethodResult><Count>0</Count></MethodResult>", m_app.GetParameters());
    EXPECT_TRUE(stored.handled);
    EXPECT_TRUE(stored.added.empty());
}

// An opt-out marks the number's card, and a stranger gets a card to hold the mark even
// when strangers are not filed; any other text, or a keyword inside a sentence, changes nothing.
TEST_F(ReceivedMessageStoreTest, OptOutRepliesMarkTheCardUnsubscribed)
{
    m_app.GetParameters().Set("AutoSaveReciver", "0");
    ASSERT_TRUE(db().Execute("INSERT INTO tbl_card (id, folder_id, phone, status) VALUES (1, 1, '13900000001', NULL), "
                             "(3, 1, '13900000002', '订阅')"));
    const auto stored = store(group("13900000001", "2026-03-04 05:06:07", " td ")
            + group("13900000002", "2026-03-04 05:06:08", "不要退订")
            + group("13900000003", "2026-03-04 05:06:09", "退订"),
        3);
    EXPECT_EQ(stored.added.size(), 3U) << "opt-outs are stored like any reply";
    EXPECT_EQ(stored.unsubscribed, 2);
    EXPECT_EQ(query("SELECT status FROM tbl_card WHERE phone='13900000001'"), "退订");
    EXPECT_EQ(query("SELECT status FROM tbl_card WHERE phone='13900000002'"), "订阅");
    EXPECT_EQ(query("SELECT status || '/' || folder_id FROM tbl_card WHERE phone='13900000003'"), "退订/999");
    EXPECT_TRUE(stored.strangerFolderCreated);
}

} // namespace
} // namespace telvora
