#include "send/SendEngine.h"

#include "app/AppContext.h"
#include "core/app/AppTestSupport.h"
#include "db/ADORecordset.h"
#include "send/SendObserver.h"
#include "session/Session.h"

#include <condition_variable>
#include <cstdio>
#include <future>
#include <gtest/gtest.h>
#include <map>
#include <mutex>

namespace telvora {
namespace {

using test::scalar;

// Distinct numbers spread over blocks of 40, below the default block limit of 50.
std::vector<std::string> spreadNumbers(std::size_t count, int prefix = 139)
{
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < count; ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%03d%04u%04u", prefix % 1000, static_cast<unsigned>(i / 40 % 10000),
            static_cast<unsigned>(i % 40));
        numbers.emplace_back(number);
    }
    return numbers;
}

struct Call
{
    std::string method;
    std::string body;
};

// A scripted service: counts and keeps the calls, answers as told.
class FakeService
{
public:
    bool call(const std::string& method, const std::string& body, std::string& reply)
    {
        int nth = 0;
        std::function<void()> hook;
        {
            const std::lock_guard lock(m_mutex);
            calls.push_back({method, body});
            nth = ++counts[method];
            hook = beforeCall;
        }
        if (hook) {
            hook();
        }
        if (method == "CreateJob") {
            if (!createJobRefusal.empty()) {
                reply = createJobRefusal;
                return false;
            }
            reply = "<MethodResult><RetCode>Sucess</RetCode><JobID> J7 </JobID></MethodResult>";
            return true;
        }
        if (nth == failingCall) {
            reply = "批次失败";
            return false;
        }
        if (method == "MessSendSMS") {
            reply = "<MethodResult><RetCode>Sucess</RetCode><OKPhoneCounts>1</OKPhoneCounts><ErrPhones>" + errPhones
                + "</ErrPhones></MethodResult>";
            return true;
        }
        reply = "<MethodResult><RetCode>Sucess</RetCode><CommonJobID>C" + std::to_string(nth)
            + "</CommonJobID><SpecialJobIDs>S" + std::to_string(nth) + "a;S" + std::to_string(nth)
            + "b;</SpecialJobIDs><ErrorPhones>" + errPhones + "</ErrorPhones></MethodResult>";
        return true;
    }

    int count(const std::string& method)
    {
        const std::lock_guard lock(m_mutex);
        return counts[method];
    }

    std::vector<Call> callsOf(const std::string& method)
    {
        const std::lock_guard lock(m_mutex);
        std::vector<Call> found;
        for (const auto& call : calls) {
            if (call.method == method) {
                found.push_back(call);
            }
        }
        return found;
    }

    std::string createJobRefusal;
    std::string errPhones;
    int failingCall = 0; // n-th call of MessSendSMS or CustomSend fails
    std::function<void()> beforeCall;
    std::vector<Call> calls;
    std::map<std::string, int> counts;

private:
    std::mutex m_mutex;
};

class RecordingObserver final : public CSendObserver
{
public:
    void numbersWritten(int done, int total) override
    {
        const std::lock_guard lock(m_mutex);
        progress.emplace_back(done, total);
        m_changed.notify_all();
    }
    void sendFinished(int recordId) override
    {
        const std::lock_guard lock(m_mutex);
        finished.push_back(recordId);
    }
    void noJobCreated(int recordId, const std::string& message) override
    {
        const std::lock_guard lock(m_mutex);
        failed.emplace_back(recordId, message);
    }
    void waitForProgress()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !progress.empty(); });
    }

    std::vector<std::pair<int, int>> progress;
    std::vector<int> finished;
    std::vector<std::pair<int, std::string>> failed;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

class SendEngineTest : public testing::Test
{
protected:
    SendEngineTest()
        : app(test::preparedDataDirectory(temp))
    {
        app.OpenWorkDatabase("user1.db");
        app.GetParameters().Load(app.GetDatabase(), app.GetSetupFile());
        session.token = "TOKEN";
        session.loggedIn = true;
    }

    std::unique_ptr<CSendEngine> makeEngine()
    {
        return std::make_unique<CSendEngine>(
            app, session,
            [this](const std::string& method, const std::string& body, std::string& reply) {
                return service.call(method, body, reply);
            },
            &observer);
    }

    // Prepares, starts and waits for one send.
    int send(CSendEngine& engine, const std::vector<std::string>& numbers, const std::string& text,
        int insertion = CSendEngine::PlainSend, int mode = CSendEngine::SendViewMode)
    {
        EXPECT_TRUE(engine.PrepareSend(numbers, text, mode, insertion));
        EXPECT_TRUE(engine.StartSend());
        engine.Wait();
        return engine.GetRecordId();
    }

    std::string query(const std::string& sql) { return scalar(app.GetDatabase(), sql); }
    std::string recordField(int id, const std::string& field)
    {
        return query("SELECT " + field + " FROM tbl_sendsms WHERE id=" + std::to_string(id));
    }
    std::string countDetails(int id, const std::string& condition = "1=1")
    {
        return query(
            "SELECT COUNT(*) FROM tbl_sendsms_detail WHERE group_id=" + std::to_string(id) + " AND " + condition);
    }

    test::TempDir temp;
    CAppContext app;
    CSession session;
    FakeService service;
    RecordingObserver observer;
};

const std::string kTwoSegments(71, 'a');

struct BatchCase
{
    const char* name;
    std::size_t numbers;
    int posts;
};

class SendEngineBatches : public SendEngineTest, public testing::WithParamInterface<BatchCase>
{
};

TEST_P(SendEngineBatches, PostsEightHundredAtATimeUnderOneJob)
{
    const auto engine = makeEngine();
    const int id = send(*engine, spreadNumbers(GetParam().numbers), kTwoSegments);

    EXPECT_EQ(service.count("CreateJob"), 1);
    EXPECT_EQ(service.count("MessSendSMS"), GetParam().posts);
    EXPECT_EQ(countDetails(id), std::to_string(GetParam().numbers));
    EXPECT_EQ(recordField(id, "success_count"), std::to_string(GetParam().numbers * 2));
    EXPECT_EQ(recordField(id, "fail_count"), "0");
    EXPECT_EQ(recordField(id, "jobid"), "J7");
    EXPECT_EQ(countDetails(id, "jobid='J7' AND status=1 AND split_count=2"), std::to_string(GetParam().numbers));
    for (const auto& call : service.callsOf("MessSendSMS")) {
        EXPECT_NE(call.body.find("&JobID=J7&SendTime="), std::string::npos);
        EXPECT_TRUE(call.body.ends_with("&SendTime=")) << "a send made at once has no time";
    }
    ASSERT_EQ(observer.finished.size(), 1U);
    EXPECT_EQ(observer.finished.front(), id);
    EXPECT_EQ(observer.progress.size(), static_cast<std::size_t>(GetParam().posts));
    EXPECT_EQ(observer.progress.back().first, static_cast<int>(GetParam().numbers));
}

INSTANTIATE_TEST_SUITE_P(Sizes, SendEngineBatches,
    testing::Values(BatchCase {"One", 1, 1}, BatchCase {"Exactly800", 800, 1}, BatchCase {"801", 801, 2},
        BatchCase {"1600", 1600, 2}),
    [](const testing::TestParamInfo<BatchCase>& info) { return info.param.name; });

TEST_F(SendEngineTest, SendsEachNumberOnceInAscendingOrder)
{
    const auto engine = makeEngine();
    const int id
        = send(*engine, {"13900000003", " 13900000001", "13900000003", "13900000002 ", "", "1390000x001"}, "hello");

    const auto posts = service.callsOf("MessSendSMS");
    ASSERT_EQ(posts.size(), 1U);
    EXPECT_NE(posts.front().body.find("&Phones=13900000001;13900000002;13900000003;&"), std::string::npos);
    EXPECT_EQ(countDetails(id), "3");
    EXPECT_EQ(query("SELECT GROUP_CONCAT(phones, ',') FROM (SELECT phones FROM tbl_sendsms_detail ORDER BY id)"),
        "13900000001,13900000002,13900000003");
    EXPECT_EQ(recordField(id, "success_count"), "3");
}

TEST_F(SendEngineTest, FailedSecondBatchCountsItsSegmentsAsFailures)
{
    service.failingCall = 2;
    const auto engine = makeEngine();
    const auto numbers = spreadNumbers(1000);
    const int id = send(*engine, numbers, kTwoSegments);

    EXPECT_EQ(recordField(id, "success_count"), "1600");
    EXPECT_EQ(recordField(id, "fail_count"), "400");
    EXPECT_EQ(countDetails(id, "status=-1"), "200");
    EXPECT_EQ(countDetails(id, "status=-1 AND phones >= '" + numbers[800] + "'"), "200");
    ASSERT_EQ(observer.finished.size(), 1U);
}

TEST_F(SendEngineTest, BatchWhoseRowsCannotBeWrittenIsCountedAndReported)
{
    const auto numbers = spreadNumbers(1000);
    // Stands in for a file locked past the busy time-out: every write of the second batch fails.
    ASSERT_TRUE(app.GetDatabase().Execute("CREATE TRIGGER refuse_rows BEFORE INSERT ON tbl_sendsms_detail WHEN "
                                          "NEW.phones >= '"
        + numbers[800] + "' BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    const auto engine = makeEngine();
    const int id = send(*engine, numbers, kTwoSegments);

    EXPECT_EQ(service.count("MessSendSMS"), 1) << "a batch without rows is not posted";
    EXPECT_EQ(countDetails(id), "800");
    EXPECT_EQ(recordField(id, "success_count"), "1600");
    EXPECT_EQ(recordField(id, "fail_count"), "400") << "the unrecorded numbers are not lost silently";
    EXPECT_TRUE(observer.finished.empty());
    ASSERT_EQ(observer.failed.size(), 1U);
    EXPECT_EQ(observer.failed.front().second, "有200个号码无法写入发送记录，未能发送!");
}

TEST_F(SendEngineTest, RefusedNumbersOfAnAcceptedBatchAreMarked)
{
    const auto numbers = spreadNumbers(900);
    // One refused number of the first batch and one the batch does not hold.
    service.errPhones = numbers[5] + ";" + numbers[850] + ";";
    service.failingCall = 0;
    const auto engine = makeEngine();
    const int id = send(*engine, numbers, "hi");

    // The second batch's answer names numbers[5] again, which belongs to the first batch.
    EXPECT_EQ(countDetails(id, "status=-1"), "2");
    EXPECT_EQ(countDetails(id, "status=-1 AND phones IN ('" + numbers[5] + "','" + numbers[850] + "')"), "2");
    EXPECT_EQ(recordField(id, "success_count"), "900") << "counters are not corrected for refused numbers";
    EXPECT_EQ(recordField(id, "fail_count"), "0");
}

TEST_F(SendEngineTest, RefusedJobMarksEveryNumberAndReportsTheMessage)
{
    service.createJobRefusal = "短信内容含有非法关键字";
    const auto engine = makeEngine();
    const int id = send(*engine, spreadNumbers(1000), kTwoSegments);

    EXPECT_EQ(service.count("MessSendSMS"), 0);
    EXPECT_EQ(countDetails(id), "1000") << "no number may be lost";
    EXPECT_EQ(countDetails(id, "status=-1"), "1000");
    EXPECT_EQ(recordField(id, "fail_count"), "2000");
    EXPECT_EQ(recordField(id, "success_count"), "0");
    EXPECT_TRUE(observer.finished.empty());
    ASSERT_EQ(observer.failed.size(), 1U);
    EXPECT_EQ(observer.failed.front(), std::make_pair(id, std::string("短信内容含有非法关键字")));
    EXPECT_FALSE(engine->IsBusy());
}

TEST_F(SendEngineTest, ScheduledSendIsStoredAsSentAndCarriesItsTime)
{
    const auto engine = makeEngine();
    ASSERT_TRUE(engine->PrepareSend({"13900000001"}, "later", CSendEngine::SendViewMode, CSendEngine::PlainSend));
    ASSERT_TRUE(engine->SetSendTime("2031-5-6 7:08"));
    ASSERT_TRUE(engine->StartSend());
    engine->Wait();
    const int id = engine->GetRecordId();

    EXPECT_EQ(recordField(id, "status"), "已发送");
    EXPECT_EQ(recordField(id, "is_idle"), "T");
    EXPECT_EQ(recordField(id, "send_time"), "2031-05-06 07:08:00");
    const auto posts = service.callsOf("MessSendSMS");
    ASSERT_EQ(posts.size(), 1U);
    EXPECT_TRUE(posts.front().body.ends_with("&SendTime=2031-05-06%2007:08:00"));
}

TEST_F(SendEngineTest, SendTimeNeedsAPreparedSendAndADate)
{
    const auto engine = makeEngine();
    EXPECT_FALSE(engine->SetSendTime("2031-05-06 07:08:00")) << "nothing prepared";
    ASSERT_TRUE(engine->PrepareSend({"13900000001"}, "x", CSendEngine::SendViewMode, CSendEngine::PlainSend));
    EXPECT_FALSE(engine->SetSendTime("tomorrow"));
    EXPECT_FALSE(engine->IsScheduled());
    ASSERT_TRUE(engine->SetSendTime("2031-05-06 07:08:00"));
    ASSERT_TRUE(engine->PrepareSend({"13900000001"}, "x", CSendEngine::SendViewMode, CSendEngine::PlainSend));
    EXPECT_FALSE(engine->IsScheduled()) << "a new preparation forgets the time";
}

TEST_F(SendEngineTest, ApostrophesAreStoredAndSentIntactAndPhrasesKeptOnce)
{
    const std::string text = "It's Tom's day; 50% off & more";
    const auto engine = makeEngine();
    const int first = send(*engine, {"13900000001"}, text);
    app.GetParameters().Set("AddSMSTail", "1");
    app.GetParameters().Set("SMSTail", "【店】");
    const int second = send(*engine, {"13900000002"}, text);

    EXPECT_NE(first, second);
    EXPECT_EQ(recordField(first, "content"), text);
    EXPECT_EQ(recordField(second, "content"), text + "【店】");
    EXPECT_EQ(recordField(second, "status"), "已提交");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_message WHERE ClassName='已发送短语' AND Message="
                    "'It''s Tom''s day; 50% off & more' AND Title='已发短语'"),
        "1");
    const auto jobs = service.callsOf("CreateJob");
    ASSERT_EQ(jobs.size(), 2U);
    EXPECT_NE(jobs.front().body.find("&Content=It's%20Tom's%20day%3b%2050%25%20off%20%26%20more&"), std::string::npos);
}

struct RefusalCase
{
    const char* name;
    std::vector<std::string> numbers;
    std::string text;
};

class SendEngineRefusals : public SendEngineTest, public testing::WithParamInterface<RefusalCase>
{
};

TEST_P(SendEngineRefusals, PrepareSendRefuses)
{
    const auto engine = makeEngine();
    EXPECT_FALSE(engine->PrepareSend(GetParam().numbers, GetParam().text, 1, 0));
    EXPECT_FALSE(engine->StartSend());
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms"), "0");
}

std::vector<std::string> oneBlock(std::size_t count)
{
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < count; ++i) {
        numbers.push_back("1390000" + std::to_string(1000 + i));
    }
    return numbers;
}

INSTANTIATE_TEST_SUITE_P(Inputs, SendEngineRefusals,
    testing::Values(RefusalCase {"EmptyText", {"13900000001"}, ""}, RefusalCase {"NoNumbers", {}, "x"},
        RefusalCase {"OnlyGarbage", {"", "abc", "1390000;001"}, "x"},
        RefusalCase {"FiftyNumbersOfOneBlock", oneBlock(50), "x"}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST_F(SendEngineTest, FortyNineNumbersOfOneBlockPass)
{
    const auto engine = makeEngine();
    EXPECT_TRUE(engine->PrepareSend(oneBlock(49), "x", 1, 0));
}

class SendEngineInsertion : public SendEngineTest
{
protected:
    void addCard(int id, const std::string& phone, const std::string& name, const std::string& title = {})
    {
        ASSERT_TRUE(app.GetDatabase().Execute("INSERT INTO tbl_card (id, folder_id, phone, name, title) VALUES ("
            + std::to_string(id) + ", 1, '" + phone + "', '" + name + "', '" + title + "')"));
    }
};

TEST_F(SendEngineInsertion, NamesGoOutWithTheirNumbersThroughCustomSend)
{
    addCard(1, "13900000001", "张三");
    addCard(2, "13900000003", "O''Brien", "先生");
    const auto engine = makeEngine();
    ASSERT_TRUE(engine->PrepareSend({"13900000003", "13900000002", "13900000001"}, "您好", 1, CSendEngine::InsertName));
    EXPECT_EQ(engine->GetInsertionMode(), CSendEngine::InsertName);
    EXPECT_EQ(engine->GetPattern(), "{zf}：您好");
    ASSERT_TRUE(engine->StartSend());
    engine->Wait();
    const int id = engine->GetRecordId();

    EXPECT_EQ(service.count("CreateJob"), 0);
    const auto posts = service.callsOf("CustomSend");
    ASSERT_EQ(posts.size(), 1U);
    const std::string& body = posts.front().body;
    EXPECT_NE(body.find("&Pattern=%7bzf%7d%ef%bc%9a%e6%82%a8%e5%a5%bd&DefaultDetail={};&"), std::string::npos) << body;
    EXPECT_NE(body.find("&Details={%e5%bc%a0%e4%b8%89};{};{O'Brien};&Phones=13900000001;13900000002;13900000003;&"),
        std::string::npos)
        << body;
    EXPECT_EQ(query("SELECT content FROM tbl_sendsms_detail WHERE phones='13900000003'"), "O'Brien");
    EXPECT_EQ(query("SELECT content FROM tbl_sendsms_detail WHERE phones='13900000002'"), "");
    EXPECT_EQ(query("SELECT jobid FROM tbl_sendsms_detail WHERE phones='13900000001'"), "");
    EXPECT_EQ(recordField(id, "jobid"), "C1;S1a;S1b");
}

TEST_F(SendEngineInsertion, JobIdsOfSeveralBatchesStaySeparated)
{
    addCard(1, "13900000001", "张三");
    const auto engine = makeEngine();
    const int id = send(*engine, spreadNumbers(900), "hi", CSendEngine::InsertName);
    EXPECT_EQ(service.count("CustomSend"), 2);
    EXPECT_EQ(recordField(id, "jobid"), "C1;S1a;S1b;C2;S2a;S2b");
}

TEST_F(SendEngineInsertion, WithoutAnyNameTheSendGoesOutPlain)
{
    addCard(1, "13900000001", "张三", "");
    const auto engine = makeEngine();
    // An insertion send builds a pattern ...
    send(*engine, {"13900000001"}, "first", CSendEngine::InsertName);
    ASSERT_EQ(service.count("CustomSend"), 1);
    // ... which must not serve a later send that has no titles at all.
    ASSERT_TRUE(engine->PrepareSend({"13900000001"}, "second", 1, CSendEngine::InsertTitle));
    EXPECT_EQ(engine->GetInsertionMode(), CSendEngine::PlainSend);
    EXPECT_EQ(engine->GetPattern(), "");
    ASSERT_TRUE(engine->StartSend());
    engine->Wait();
    EXPECT_EQ(service.count("CustomSend"), 1);
    EXPECT_EQ(service.count("CreateJob"), 1);
    EXPECT_EQ(service.count("MessSendSMS"), 1);
}

TEST_F(SendEngineInsertion, ManyNumbersAgainstFewCardsGoOutPlain)
{
    addCard(1, "13900000001", "张三");
    const auto engine = makeEngine();
    ASSERT_TRUE(engine->PrepareSend(spreadNumbers(1001), "x", 1, CSendEngine::InsertName));
    EXPECT_EQ(engine->GetInsertionMode(), CSendEngine::PlainSend);
    ASSERT_TRUE(engine->PrepareSend(spreadNumbers(1000), "x", 1, CSendEngine::InsertName));
    EXPECT_EQ(engine->GetInsertionMode(), CSendEngine::InsertName);
}

TEST_F(SendEngineTest, BirthdayGreetingsReportNothing)
{
    const auto engine = makeEngine();
    send(*engine, spreadNumbers(801), "生日快乐", CSendEngine::PlainSend, CSendEngine::BirthdayMode);
    service.createJobRefusal = "refused";
    send(*engine, {"13900000001"}, "生日快乐", CSendEngine::PlainSend, CSendEngine::BirthdayMode);
    EXPECT_TRUE(observer.progress.empty());
    EXPECT_TRUE(observer.finished.empty());
    EXPECT_TRUE(observer.failed.empty());
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms WHERE send_mode=2"), "2");
}

// Holds the first batch's post until the test lets it go.
class HeldBatch
{
public:
    explicit HeldBatch(FakeService& service)
    {
        service.beforeCall = [this, &service] {
            if (service.count("MessSendSMS") == 1 && !m_held.exchange(true)) {
                m_arrived.set_value();
                m_release.get_future().wait();
            }
        };
    }
    void waitUntilHeld() { m_arrived.get_future().wait(); }
    void release() { m_release.set_value(); }

private:
    std::atomic<bool> m_held {false};
    std::promise<void> m_arrived;
    std::promise<void> m_release;
};

TEST_F(SendEngineTest, SecondSendIsRefusedWhileOneRuns)
{
    HeldBatch held(service);
    const auto engine = makeEngine();
    ASSERT_TRUE(engine->PrepareSend({"13900000001", "13900000002"}, "first", 1, 0));
    ASSERT_TRUE(engine->StartSend());
    held.waitUntilHeld();

    EXPECT_TRUE(engine->IsBusy());
    EXPECT_FALSE(engine->PrepareSend({"13900000009"}, "second", 3, 0));
    EXPECT_FALSE(engine->StartSend());
    EXPECT_FALSE(engine->SetSendTime("2031-01-01 00:00:00")) << "the running send's time is not touched";

    held.release();
    engine->Wait();
    EXPECT_FALSE(engine->IsBusy());
    EXPECT_EQ(recordField(engine->GetRecordId(), "send_mode"), "1");
    EXPECT_EQ(recordField(engine->GetRecordId(), "success_count"), "2");
    EXPECT_EQ(observer.finished.size(), 1U) << "the refused request did not silence the running send";
    EXPECT_TRUE(engine->PrepareSend({"13900000009"}, "second", 3, 0));
}

TEST_F(SendEngineTest, StoppedSendRecordsTheRestAsFailed)
{
    HeldBatch held(service);
    const auto engine = makeEngine();
    ASSERT_TRUE(engine->PrepareSend(spreadNumbers(2000), "x", 1, 0));
    ASSERT_TRUE(engine->StartSend());
    held.waitUntilHeld();
    engine->RequestStop();
    held.release();
    engine->Wait();
    const int id = engine->GetRecordId();

    EXPECT_EQ(service.count("MessSendSMS"), 1);
    EXPECT_EQ(countDetails(id), "2000");
    EXPECT_EQ(countDetails(id, "status=-1"), "1200");
    EXPECT_EQ(recordField(id, "success_count"), "800");
    EXPECT_EQ(recordField(id, "fail_count"), "1200");
}

TEST_F(SendEngineTest, DestroyingARunningEngineWaitsForItsWorker)
{
    HeldBatch held(service);
    auto engine = makeEngine();
    ASSERT_TRUE(engine->PrepareSend(spreadNumbers(1600), "x", 1, 0));
    ASSERT_TRUE(engine->StartSend());
    held.waitUntilHeld();
    auto destroyed = std::async(std::launch::async, [&engine] { engine.reset(); });
    held.release();
    destroyed.get();
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms_detail"), "1600");
}

TEST_F(SendEngineTest, DetailIdsFollowRowsWrittenElsewhere)
{
    ASSERT_TRUE(app.GetDatabase().Execute("INSERT INTO tbl_sendsms_detail (id, phones, status, group_id) VALUES (41, "
                                          "'13800000000', 1, 99)"));
    const auto engine = makeEngine();
    const int id = send(*engine, {"13900000001", "13900000002"}, "x");
    EXPECT_EQ(query("SELECT MIN(id) FROM tbl_sendsms_detail WHERE group_id=" + std::to_string(id)), "42");
    EXPECT_EQ(id, 1);
}

} // namespace
} // namespace telvora
