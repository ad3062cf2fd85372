// The engine against a scripted service, for what the end-to-end tests cannot reach: write
// faults, stopping and destruction mid-send, observer reports and preparation rules.
#include "send/SendEngine.h"

#include "app/AppContext.h"
#include "core/app/AppTestSupport.h"
#include "send/SendObserver.h"
#include "session/Session.h"

#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <map>

namespace telvora {
namespace {

// Distinct numbers spread over blocks of 40, below the default block limit of 50.
std::vector<std::string> spreadNumbers(std::size_t count)
{
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < count; ++i) {
        numbers.push_back("139" + std::to_string(10000000 + i / 40 * 10000 + i % 40));
    }
    return numbers;
}

// Answers every call with success unless told to refuse the job. The worker is the only
// caller, so the counts are read after Wait(), which joins it.
struct FakeService
{
    bool call(const std::string& method, std::string& reply)
    {
        const std::string nth = std::to_string(++calls[method]);
        if (beforeCall) {
            beforeCall(method);
        }
        if (method == "CreateJob") {
            reply = createJobRefusal.empty() ? "<MethodResult><RetCode>Sucess</RetCode><JobID>J7</JobID></MethodResult>"
                                             : createJobRefusal;
            return createJobRefusal.empty();
        }
        reply = "<MethodResult><RetCode>Sucess</RetCode><OKPhoneCounts>1</OKPhoneCounts><CommonJobID>C" + nth
            + "</CommonJobID><SpecialJobIDs>S" + nth + ";</SpecialJobIDs></MethodResult>";
        return true;
    }

    std::map<std::string, int> calls;
    std::string createJobRefusal;
    std::function<void(const std::string& method)> beforeCall;
};

// Like the service, read only after Wait().
struct CountingObserver final : CSendObserver
{
    void numbersWritten(int, int) override { ++progress; }
    void sendFinished(int) override { ++finished; }
    void noJobCreated(int, const std::string& message) override { failures.push_back(message); }

    int progress = 0;
    int finished = 0;
    std::vector<std::string> failures;
};

class SendEngineTest : public testing::Test
{
protected:
    SendEngineTest()
    {
        app.OpenWorkDatabase("user1.db");
        app.GetParameters().Load(app.GetDatabase(), app.GetSetupFile());
        session.token = "TOKEN";
        session.loggedIn = true;
    }

    // Prepares, starts and waits for one send.
    int send(const std::vector<std::string>& numbers, const std::string& text, int insertion = CSendEngine::PlainSend,
        int mode = CSendEngine::SendViewMode)
    {
        EXPECT_TRUE(engine->PrepareSend(numbers, text, mode, insertion));
        EXPECT_TRUE(engine->StartSend());
        engine->Wait();
        return engine->GetRecordId();
    }

    std::string query(const std::string& sql) { return test::scalar(app.GetDatabase(), sql); }
    std::string recordField(int id, const std::string& field)
    {
        return query("SELECT " + field + " FROM tbl_sendsms WHERE id=" + std::to_string(id));
    }
    std::string countDetails(int id, const std::string& condition = "1=1")
    {
        return query(
            "SELECT COUNT(*) FROM tbl_sendsms_detail WHERE group_id=" + std::to_string(id) + " AND " + condition);
    }
    void addCard(int id, const std::string& phone, const std::string& name)
    {
        ASSERT_TRUE(app.GetDatabase().Execute("INSERT INTO tbl_card (id, folder_id, phone, name) VALUES ("
            + std::to_string(id) + ", 1, '" + phone + "', '" + name + "')"));
    }

    test::TempDir temp;
    CAppContext app {test::preparedDataDirectory(temp)};
    CSession session;
    FakeService service;
    CountingObserver observer;
    std::unique_ptr<CSendEngine> engine = std::make_unique<CSendEngine>(
        app, session,
        [this](
            const std::string& method, const std::string&, std::string& reply) { return service.call(method, reply); },
        &observer);
};

const std::string kTwoSegments(71, 'a');

TEST_F(SendEngineTest, BatchWhoseRowsCannotBeWrittenIsCountedAndReported)
{
    const auto numbers = spreadNumbers(1000);
    // Stands in for a file locked past the busy time-out: every write of the second batch fails.
    ASSERT_TRUE(app.GetDatabase().Execute("CREATE TRIGGER refuse_rows BEFORE INSERT ON tbl_sendsms_detail WHEN "
                                          "NEW.phones >= '"
        + numbers[800] + "' BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    const int id = send(numbers, kTwoSegments);

    EXPECT_EQ(service.calls["MessSendSMS"], 1) << "a batch without rows is not posted";
    EXPECT_EQ(countDetails(id), "800");
    EXPECT_EQ(recordField(id, "success_count"), "1600");
    EXPECT_EQ(recordField(id, "fail_count"), "400") << "the unrecorded numbers are not lost silently";
    EXPECT_EQ(observer.finished, 0);
    EXPECT_EQ(observer.failures, std::vector<std::string> {"有200个号码无法写入发送记录，未能发送!"});
}

TEST_F(SendEngineTest, SendTimeNeedsAPreparedSendAndADate)
{
    EXPECT_FALSE(engine->SetSendTime("2031-05-06 07:08:00")) << "nothing prepared";
    ASSERT_TRUE(engine->PrepareSend({"13900000001"}, "x", CSendEngine::SendViewMode, CSendEngine::PlainSend));
    EXPECT_FALSE(engine->SetSendTime("tomorrow"));
    EXPECT_FALSE(engine->IsScheduled());
    ASSERT_TRUE(engine->SetSendTime("2031-5-6 7:08"));
    EXPECT_TRUE(engine->IsScheduled());
    ASSERT_TRUE(engine->PrepareSend({"13900000001"}, "x", CSendEngine::SendViewMode, CSendEngine::PlainSend));
    EXPECT_FALSE(engine->IsScheduled()) << "a new preparation forgets the time";
}

TEST_F(SendEngineTest, TailIsAppendedAndRepeatedPhraseKeptOnce)
{
    const std::string text = "It's Tom's day";
    send({"13900000001"}, text);
    app.GetParameters().Set("AddSMSTail", "1");
    app.GetParameters().Set("SMSTail", "【店】");
    const int second = send({"13900000002"}, text);

    EXPECT_EQ(recordField(second, "content"), text + "【店】");
    EXPECT_EQ(
        query("SELECT COUNT(*) FROM tbl_message WHERE ClassName='已发送短语' AND Message='It''s Tom''s day'"), "1");
}

TEST_F(SendEngineTest, PrepareSendRefusesWhatCannotBeSent)
{
    std::vector<std::string> fiftyOfOneBlock;
    for (int i = 0; i < 50; ++i) {
        fiftyOfOneBlock.push_back("1390000" + std::to_string(1000 + i));
    }
    const std::pair<std::vector<std::string>, std::string> rows[]
        = {{{"13900000001"}, ""}, {{}, "x"}, {{"", "abc", "1390000;001"}, "x"}, {fiftyOfOneBlock, "x"}};
    for (const auto& [numbers, text] : rows) {
        EXPECT_FALSE(engine->PrepareSend(numbers, text, 1, 0)) << numbers.size() << " numbers, text " << text;
        EXPECT_FALSE(engine->StartSend());
    }
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms"), "0");
}

TEST_F(SendEngineTest, InsertionJobIdsOfSeveralBatchesStaySeparated)
{
    addCard(1, "13900000001", "张三");
    const int id = send(spreadNumbers(900), "hi", CSendEngine::InsertName);
    EXPECT_EQ(service.calls["CustomSend"], 2);
    EXPECT_EQ(recordField(id, "jobid"), "C1;S1;C2;S2");
}

TEST_F(SendEngineTest, InsertionFallsBackToPlain)
{
    addCard(1, "13900000001", "张三");
    ASSERT_TRUE(engine->PrepareSend(spreadNumbers(1001), "x", 1, CSendEngine::InsertName));
    EXPECT_EQ(engine->GetInsertionMode(), CSendEngine::PlainSend) << "too many numbers for the cards";
    ASSERT_TRUE(engine->PrepareSend(spreadNumbers(1000), "x", 1, CSendEngine::InsertName));
    EXPECT_EQ(engine->GetInsertionMode(), CSendEngine::InsertName);
    // Regression: the pattern of an insertion send served a later send that had no titles at all.
    send({"13900000001"}, "first", CSendEngine::InsertName);
    ASSERT_TRUE(engine->PrepareSend({"13900000001"}, "second", 1, CSendEngine::InsertTitle));
    EXPECT_EQ(engine->GetInsertionMode(), CSendEngine::PlainSend);
    EXPECT_EQ(engine->GetPattern(), "");
}

TEST_F(SendEngineTest, ViewSendReportsEachBatchAndBirthdayGreetingsNothing)
{
    send(spreadNumbers(801), "x");
    EXPECT_EQ(observer.progress, 2);
    EXPECT_EQ(observer.finished, 1);
    send(spreadNumbers(801), "生日快乐", CSendEngine::PlainSend, CSendEngine::BirthdayMode);
    service.createJobRefusal = "refused";
    send({"13900000001"}, "生日快乐", CSendEngine::PlainSend, CSendEngine::BirthdayMode);
    EXPECT_EQ(observer.progress, 2);
    EXPECT_EQ(observer.finished, 1);
    EXPECT_TRUE(observer.failures.empty());
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms WHERE send_mode=2"), "2");
}

// The worker is held inside the first post; the destructor must wait for it, and the stop
// must record the numbers not yet posted as failed.
TEST_F(SendEngineTest, StoppedSendRecordsTheRestAsFailedBeforeTheEngineGoes)
{
    std::promise<void> arrived;
    std::promise<void> release;
    service.beforeCall = [&](const std::string& method) {
        if (method == "MessSendSMS" && service.calls[method] == 1) {
            arrived.set_value();
            release.get_future().wait();
        }
    };
    ASSERT_TRUE(engine->PrepareSend(spreadNumbers(2000), "x", 1, 0));
    ASSERT_TRUE(engine->StartSend());
    arrived.get_future().wait();
    EXPECT_FALSE(engine->SetSendTime("2031-01-01 00:00:00")) << "the running send's time is not touched";
    engine->RequestStop();
    auto destroyed = std::async(std::launch::async, [this] { engine.reset(); });
    release.set_value();
    destroyed.get();

    EXPECT_EQ(service.calls["MessSendSMS"], 1);
    EXPECT_EQ(countDetails(1), "2000");
    EXPECT_EQ(countDetails(1, "status=-1"), "1200");
    EXPECT_EQ(recordField(1, "success_count"), "800");
    EXPECT_EQ(recordField(1, "fail_count"), "1200");
}

TEST_F(SendEngineTest, DetailIdsFollowRowsWrittenElsewhere)
{
    ASSERT_TRUE(app.GetDatabase().Execute("INSERT INTO tbl_sendsms_detail (id, phones, status, group_id) VALUES (41, "
                                          "'13800000000', 1, 99)"));
    const int id = send({"13900000001", "13900000002"}, "x");
    EXPECT_EQ(query("SELECT MIN(id) FROM tbl_sendsms_detail WHERE group_id=" + std::to_string(id)), "42");
    EXPECT_EQ(id, 1);
}

} // namespace
} // namespace telvora
