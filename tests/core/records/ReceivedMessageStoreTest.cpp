#include "records/ReceivedMessageStore.h"

#include "app/AppContext.h"
#include "core/app/AppTestSupport.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

using test::scalar;

std::string group(const std::string& phone, const std::string& time, const std::string& text)
{
    return "<SMSGroup Phone=\"" + phone + "\" RecDateTime=\"" + time + "\" PostFixNumber=\"\">" + text + "</SMSGroup>";
}

std::string reply(const std::string& groups, int count = 1)
{
    return "<MethodResult><RetCode>Sucess</RetCode><Count>" + std::to_string(count) + "</Count><Nodes>" + groups
        + "</Nodes></MethodResult>";
}

class ReceivedMessageStoreTest : public testing::Test
{
protected:
    ReceivedMessageStoreTest()
    {
        app.OpenWorkDatabase("user1.db");
        app.GetParameters().Load(app.GetDatabase(), app.GetSetupFile());
    }

    std::string query(const std::string& sql) { return scalar(app.GetDatabase(), sql); }

    test::TempDir temp;
    CAppContext app {test::preparedDataDirectory(temp)};
    CReceivedMessageStore store {app.GetDatabase()};
};

TEST_F(ReceivedMessageStoreTest, MessageListedTwiceIsStoredOnce)
{
    const std::string message = group("13900000001", "2026-3-4 5:06:07", "It&apos;s ok");
    const ReceivedMessagesStored stored = store.Store(reply(message + message, 2), app.GetParameters());

    ASSERT_EQ(stored.added.size(), 1U);
    EXPECT_EQ(stored.added.front().content, "It's ok");
    EXPECT_EQ(stored.added.front().receiveTime, "2026-03-04 05:06:07");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sms_recive"), "1");
    EXPECT_EQ(query("SELECT content FROM tbl_sms_recive"), "It's ok");
    EXPECT_EQ(query("SELECT is_read FROM tbl_sms_recive"), "0");

    EXPECT_TRUE(store.Store(reply(message), app.GetParameters()).added.empty()) << "delivered again later";
    const auto later = group("13900000001", "2026-3-4 5:06:08", "It&apos;s ok");
    EXPECT_EQ(store.Store(reply(later), app.GetParameters()).added.size(), 1U) << "same text, another time";
}

TEST_F(ReceivedMessageStoreTest, SoundOnlyForNewMessagesWhenChosen)
{
    const std::string message = group("13900000001", "2026-3-4 5:06:07", "hi");
    app.GetParameters().Set("SoundIncome", "1");
    EXPECT_TRUE(
        store.Store(reply(message + group("13900000002", "2026-3-4 5:06:08", "yo"), 2), app.GetParameters()).playSound)
        << "two messages, one sound";
    EXPECT_FALSE(store.Store(reply(message), app.GetParameters()).playSound) << "nothing new";
    app.GetParameters().Set("SoundIncome", "0");
    EXPECT_FALSE(store.Store(reply(group("13900000003", "2026-3-4 5:06:09", "x")), app.GetParameters()).playSound);
}

TEST_F(ReceivedMessageStoreTest, StrangersAreFiledOnce)
{
    app.GetParameters().Set("AutoSaveReciver", "1");
    const auto first
        = store.Store(reply(group("13900000001", "2026-03-04 05:06:07", "who's this")), app.GetParameters());
    const auto second = store.Store(reply(group("13900000001", "2026-03-04 06:00:00", "again")), app.GetParameters());

    EXPECT_TRUE(first.strangerFolderCreated);
    EXPECT_FALSE(second.strangerFolderCreated);
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card_folder WHERE id=999 AND name='陌生回复号码'"), "1");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card WHERE phone='13900000001'"), "1");
    EXPECT_EQ(query("SELECT memos FROM tbl_card WHERE phone='13900000001'"), "who's this");
}

TEST_F(ReceivedMessageStoreTest, ReplyWithoutNodesStoresNothing)
{
    const auto stored = store.Store("<MethodResult><Count>0</Count></MethodResult>", app.GetParameters());
    EXPECT_TRUE(stored.handled);
    EXPECT_TRUE(stored.added.empty());
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sms_recive"), "0");
}

TEST_F(ReceivedMessageStoreTest, FetchNeedsTheRight)
{
    CWebClient web(nullptr, 1000, 1000);
    CServiceClient service(web, "127.0.0.1:1");
    CSession session;
    session.loggedIn = true;
    session.userRight = 1;
    ReceivedMessagesStored stored;
    std::string message;
    EXPECT_FALSE(store.FetchAndStore(service, session, app.GetParameters(), stored, message));
    EXPECT_EQ(message, "当前帐号没有接收回复短信的权限。");
}

} // namespace
} // namespace telvora
