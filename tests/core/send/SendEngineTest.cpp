// The engine against a scripted service, for what the end-to-end tests cannot reach: write
// faults, stopping and destruction mid-send, observer reports and preparation rules.
#include "send/SendEngine.h"

#include "app/AppContext.h"
#include "core/app/AppTestSupport.h"
#include "db/ADODataBase.h"
#include "send/SendObserver.h"
#include "session/Session.h"

#include <algorithm>
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

// Answers every call with success unless told otherwise: a refused job, or an outcome per
// n-th post. The worker is the only caller, so the counts are read after Wait(), which joins it.
struct FakeService
{
    CallResult call(const std::string& method, const std::string& body, std::string& reply)
    {
        const int nth = ++calls[method];
        if (beforeCall) {
            beforeCall(method);
        }
        if (method == "CreateJob") {
            if (jobOutcome != CallResult::Success) {
                reply = jobOutcome == CallResult::Refused ? "短信内容含有敏感词" : "";
                return jobOutcome;
            }
            reply = "<MethodResult><RetCode>Sucess</RetCode><JobID>J" + std::to_string(nth) + "</JobID></MethodResult>";
            return CallResult::Success;
        }
        if (const auto planned = posts.find(nth); planned != posts.end() && planned->second != CallResult::Success) {
            reply.clear();
            return planned->second;
        }
        posted.push_back(body);
        const std::string id = std::to_string(nth);
        reply = "<MethodResult><RetCode>Sucess</RetCode><OKPhoneCounts>1</OKPhoneCounts><ErrPhones>" + refuse
            + "</ErrPhones><CommonJobID>C" + id + "</CommonJobID><SpecialJobIDs>S" + id
            + ";</SpecialJobIDs><ErrorPhones>" + refuse + "</ErrorPhones></MethodResult>";
        return CallResult::Success;
    }

    std::map<std::string, int> calls;
    CallResult jobOutcome = CallResult::Success;
    std::map<int, CallResult> posts; // n-th post (MessSendSMS or CustomSend) and its outcome
    std::string refuse; // numbers every accepted batch refuses
    std::vector<std::string> posted; // bodies of the accepted posts
    std::function<void(const std::string& method)> beforeCall;
};

// Like the service, read only after Wait().
struct CountingObserver final : CSendObserver
{
    void numbersWritten(int, int) override { ++progress; }
    void sendFinished(int, const std::string& note) override
    {
        ++finished;
        notes.push_back(note);
    }
    void sendFailed(int, const std::string& message) override { failures.push_back(message); }
    void recordWriteRetrying(int) override
    {
        ++retried;
        if (onRetry) {
            onRetry();
        }
    }

    int progress = 0;
    int finished = 0;
    int retried = 0;
    std::vector<std::string> notes;
    std::vector<std::string> failures;
    std::function<void()> onRetry;
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
        SendRetryPolicy quick;
        quick.firstPause = std::chrono::milliseconds(1);
        quick.writePause = std::chrono::milliseconds(1);
        engine->SetRetryPolicy(quick);
    }

    // Prepares, starts and waits for one send.
    int send(const std::vector<std::string>& numbers, const std::string& text, int insertion = CSendEngine::PlainSend,
        int mode = CSendEngine::SendViewMode)
    {
        EXPECT_TRUE(engine->PrepareSend(numbers, text, mode, insertion));
        EXPECT_TRUE(engine->StartSend()) << engine->GetLastError();
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
    // "accepted/refused/unknown/not posted" rows, then "success/fail" counters of the record.
    std::string accounts(int id)
    {
        return countDetails(id, "status=1") + "/" + countDetails(id, "status=-1") + "/" + countDetails(id, "status=2")
            + "/" + countDetails(id, "status=0") + " " + recordField(id, "success_count") + "/"
            + recordField(id, "fail_count");
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
        [this](const std::string& method, const std::string& body, std::string& reply) {
            return service.call(method, body, reply);
        },
        &observer);
};

const std::string kTwoSegments(71, 'a');

TEST_F(SendEngineTest, SendWhoseRowsCannotBeWrittenPostsNothing)
{
    const auto numbers = spreadNumbers(1000);
    // Stands in for a file locked past the busy time-out.
    ASSERT_TRUE(app.GetDatabase().Execute("CREATE TRIGGER refuse_rows BEFORE INSERT ON tbl_sendsms_detail WHEN "
                                          "NEW.phones >= '"
        + numbers[800] + "' BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    ASSERT_TRUE(engine->PrepareSend(numbers, "x", 1, 0));
    EXPECT_FALSE(engine->StartSend());
    engine->Wait();

    EXPECT_TRUE(engine->GetLastError().starts_with("有1000个号码无法写入发送记录，未能发送!"))
        << engine->GetLastError();
    EXPECT_EQ(service.calls.size(), 0U) << "nothing is posted without its rows";
    EXPECT_EQ(
        query("SELECT COUNT(*) FROM tbl_sendsms") + "/" + query("SELECT COUNT(*) FROM tbl_sendsms_detail"), "0/0");
}

struct OutcomeCase
{
    const char* name;
    std::map<int, CallResult> posts; // of a 2,000-number send in three batches
    std::string accounts; // rows 1/-1/2/0, then success/fail counters in segments (2 a number)
    int postCalls;
    bool finished;
};

class SendOutcomes : public SendEngineTest, public testing::WithParamInterface<OutcomeCase>
{
};

// Counters always equal what the rows say; only a request that never left is tried again.
TEST_P(SendOutcomes, RowsAndCountersFollowWhatTheServiceSaid)
{
    service.posts = GetParam().posts;
    const int id = send(spreadNumbers(2000), kTwoSegments);

    EXPECT_EQ(accounts(id), GetParam().accounts);
    EXPECT_EQ(service.calls["MessSendSMS"], GetParam().postCalls);
    EXPECT_EQ(observer.finished, GetParam().finished ? 1 : 0);
    EXPECT_EQ(observer.failures.size(), GetParam().finished ? 0U : 1U);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SendOutcomes,
    testing::Values(OutcomeCase {"AllAccepted", {}, "2000/0/0/0 4000/0", 3, true},
        OutcomeCase {"RefusedBatchGoesOn", {{2, CallResult::Refused}}, "1200/800/0/0 2400/1600", 3, true},
        OutcomeCase {"NoAnswerStaysUnknownAndGoesOn", {{2, CallResult::NoAnswer}}, "1200/0/800/0 2400/1600", 3, true},
        OutcomeCase {"NotReachedIsRetried", {{2, CallResult::NotReached}, {3, CallResult::NotReached}},
            "2000/0/0/0 4000/0", 5, true},
        OutcomeCase {"StillUnreachableInterrupts",
            {{2, CallResult::NotReached}, {3, CallResult::NotReached}, {4, CallResult::NotReached},
                {5, CallResult::NotReached}},
            "800/0/0/1200 1600/0", 5, false}),
    [](const testing::TestParamInfo<OutcomeCase>& info) { return info.param.name; });

TEST_F(SendEngineTest, RefusedJobRefusesEveryNumberAndSaysWhy)
{
    service.jobOutcome = CallResult::Refused;
    const int id = send(spreadNumbers(900), "x");
    EXPECT_EQ(accounts(id), "0/900/0/0 0/900");
    EXPECT_EQ(observer.failures, std::vector<std::string> {"短信内容含有敏感词"});
}

// A job that could not be created leaves the record to resume; the resume sends the numbers
// never posted under a new job, the unknown ones only when asked.
TEST_F(SendEngineTest, InterruptedSendIsResumedUnderNewJobs)
{
    service.jobOutcome = CallResult::NotReached;
    const int id = send(spreadNumbers(2000), "x");
    EXPECT_EQ(service.calls["CreateJob"], 4) << "tried once and retried three times";
    EXPECT_EQ(accounts(id), "0/0/0/2000 0/0");
    ASSERT_EQ(observer.failures.size(), 1U);
    EXPECT_EQ(observer.failures.front(), "发送中断：已提交0个号码，尚有2000个号码未发送，可在发送记录中继续发送。");
    ASSERT_EQ(engine->FindInterrupted().size(), 1U);
    EXPECT_EQ(
        ResumeOfferOf(engine->FindInterrupted()).question, "有1条发送记录尚未完成（剩余2000个号码），是否继续发送？");

    service.jobOutcome = CallResult::Success;
    service.posts = {{2, CallResult::NoAnswer}};
    ASSERT_TRUE(engine->ResumeSend(id, false));
    engine->Wait();
    EXPECT_EQ(accounts(id), "1200/0/800/0 1200/800");
    EXPECT_EQ(recordField(id, "jobid"), "J5");
    EXPECT_EQ(observer.notes.back(), "有800个号码已提交但没有收到服务器的答复，发送结果未知，没有重发。");
    const InterruptedSend left = engine->FindInterrupted().at(0);
    EXPECT_EQ(std::to_string(left.notPosted) + "/" + std::to_string(left.unknown), "0/800");
    EXPECT_TRUE(ResumeOfferOf(engine->FindInterrupted()).recordIds.empty()) << "nothing to send without asking";
    EXPECT_FALSE(engine->ResumeSend(id, false));

    ASSERT_TRUE(engine->ResumeSend(id, true));
    engine->Wait();
    EXPECT_EQ(accounts(id), "2000/0/0/0 2000/0");
    EXPECT_EQ(recordField(id, "jobid"), "J5;J6");
    EXPECT_EQ(service.posted.back().find("13910000000;"), std::string::npos) << "accepted numbers are not posted again";
    EXPECT_TRUE(engine->FindInterrupted().empty());
}

TEST_F(SendEngineTest, ScheduledResumeKeepsItsTimeOrNeedsConsent)
{
    service.jobOutcome = CallResult::NotReached;
    ASSERT_TRUE(engine->PrepareSend({"13900000001"}, "x", 1, 0));
    ASSERT_TRUE(engine->SetSendTime("2000-01-01 08:00:00"));
    ASSERT_TRUE(engine->StartSend());
    engine->Wait();
    service.jobOutcome = CallResult::Success;

    EXPECT_FALSE(engine->ResumeSend(1, false)) << "its time has passed";
    EXPECT_EQ(engine->GetLastError(), "定时发送的时间[2000-01-01 08:00:00]已过，需要立即发送");
    ASSERT_TRUE(engine->ResumeSend(1, false, true));
    engine->Wait();
    ASSERT_EQ(service.posted.size(), 1U);
    EXPECT_TRUE(service.posted.front().ends_with("&SendTime=")) << "sent at once";
    EXPECT_EQ(accounts(1), "1/0/0/0 1/0");

    service.jobOutcome = CallResult::NotReached;
    ASSERT_TRUE(engine->PrepareSend({"13900000002"}, "x", 1, 0));
    ASSERT_TRUE(engine->SetSendTime("2099-01-01 08:00:00"));
    ASSERT_TRUE(engine->StartSend());
    engine->Wait();
    service.jobOutcome = CallResult::Success;
    ASSERT_TRUE(engine->ResumeSend(2, false, true));
    engine->Wait();
    EXPECT_TRUE(service.posted.back().ends_with("&SendTime=2099-01-01%2008:00:00")) << service.posted.back();
}

// An answer that cannot be written is kept until it is: the rows never disagree with the service.
TEST_F(SendEngineTest, AnswerThatCannotBeWrittenIsRetriedUntilWritten)
{
    ASSERT_TRUE(
        app.GetDatabase().Execute("CREATE TRIGGER busy_outcome BEFORE UPDATE OF status ON "
                                  "tbl_sendsms_detail WHEN NEW.status=1 BEGIN SELECT RAISE(ABORT, 'busy'); END"));
    observer.onRetry = [this] {
        if (observer.retried == 3) {
            CADODataBase other;
            other.Open(app.DatabasePathFor("user1.db"));
            other.Execute("DROP TRIGGER busy_outcome");
        }
    };
    const int id = send(spreadNumbers(1000), "x");
    EXPECT_EQ(accounts(id), "1000/0/0/0 1000/0");
    EXPECT_EQ(service.calls["MessSendSMS"], 2) << "no batch is posted twice";
    EXPECT_EQ(observer.retried, 3);
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

// Opted-out numbers never get a row; with nobody left the engine says how many it left out.
TEST_F(SendEngineTest, OptedOutNumbersAreLeftOutBeforeTheRecord)
{
    ASSERT_TRUE(app.GetDatabase().Execute("INSERT INTO tbl_card (id, folder_id, phone, status) VALUES "
                                          "(1, 1, '13900000001', '退订'), (2, 1, '13900000002', '订阅')"));
    const int id = send({"13900000001", "13900000002", "13900000001"}, "hi");
    EXPECT_EQ(engine->GetExcludedCount(), 1U);
    EXPECT_EQ(engine->GetExcludedNote(), "已排除1个退订号码");
    EXPECT_EQ(countDetails(id), "1");
    EXPECT_EQ(countDetails(id, "phones='13900000001'"), "0");

    EXPECT_FALSE(engine->PrepareSend({"13900000001"}, "hi", 1, 0));
    EXPECT_EQ(engine->GetLastError(), "已排除1个退订号码");

    app.GetParameters().Set("SkipUnsubscribed", "0");
    ASSERT_TRUE(engine->PrepareSend({"13900000001"}, "hi", 1, 0));
    EXPECT_EQ(engine->GetExcludedCount(), 0U);
    EXPECT_EQ(engine->GetExcludedNote(), "");
}

TEST_F(SendEngineTest, InsertionJobIdsOfSeveralBatchesStaySeparated)
{
    addCard(1, "13900000001", "张三");
    const int id = send(spreadNumbers(900), "hi", CSendEngine::InsertName);
    EXPECT_EQ(service.calls["CustomSend"], 2);
    EXPECT_EQ(recordField(id, "jobid"), "C1;S1;C2;S2");
    EXPECT_EQ(countDetails(id, "status=1"), "900");
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
    service.jobOutcome = CallResult::Refused;
    send({"13900000001"}, "生日快乐", CSendEngine::PlainSend, CSendEngine::BirthdayMode);
    EXPECT_EQ(observer.progress, 2);
    EXPECT_EQ(observer.finished, 1);
    EXPECT_TRUE(observer.failures.empty());
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms WHERE send_mode=2"), "2");
}

// The worker is held inside the first post; the destructor must wait for it, and the
// numbers not yet posted must stay at 0 for a resume.
TEST_F(SendEngineTest, StoppedSendLeavesTheRestToResume)
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
    EXPECT_TRUE(engine->FindInterrupted().empty()) << "the running send is not interrupted";
    EXPECT_FALSE(engine->ResumeSend(1, false));
    engine->RequestStop();
    auto destroyed = std::async(std::launch::async, [this] { engine.reset(); });
    release.set_value();
    destroyed.get();

    EXPECT_EQ(service.calls["MessSendSMS"], 1);
    EXPECT_EQ(accounts(1), "800/0/0/1200 800/0");
}

// A field of a form body as it was sent (still escaped).
std::string formField(const std::string& body, const std::string& name)
{
    const std::string key = "&" + name + "=";
    const auto at = ("&" + body).find(key);
    if (at == std::string::npos) {
        return {};
    }
    const auto start = at + key.size() - 1;
    return body.substr(start, body.find('&', start) - start);
}

std::size_t countOf(const std::string& text, char c)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

// count recipients in descending number order, every tenth number twice; texts of one or
// two segments.
PersonalisedSend personalised(std::size_t count)
{
    PersonalisedSend send;
    send.pattern = "{姓名}您好";
    send.placeholders = 1;
    const auto numbers = spreadNumbers(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = count - 1 - i;
        const std::string name = at % 2 == 0 ? "名" + std::to_string(at) : std::string(70, 'x');
        send.recipients.push_back({numbers[at % 10 == 0 && at > 0 ? at - 1 : at], name + "您好", "{v};"});
    }
    return send;
}

class PersonalisedSendTest : public SendEngineTest
{
protected:
    PersonalisedSendTest()
    {
        SendRetryPolicy quick;
        quick.firstPause = std::chrono::milliseconds(1);
        quick.writePause = std::chrono::milliseconds(1);
        quick.customPause = std::chrono::milliseconds(1);
        engine->SetRetryPolicy(quick);
    }

    int sendPersonalised(const PersonalisedSend& send)
    {
        EXPECT_TRUE(engine->PreparePersonalisedSend(send));
        EXPECT_TRUE(engine->StartSend()) << engine->GetLastError();
        engine->Wait();
        return engine->GetRecordId();
    }
    std::vector<std::size_t> postedSizes() const
    {
        std::vector<std::size_t> sizes;
        for (const auto& body : service.posted) {
            sizes.push_back(countOf(formField(body, "Phones"), ';'));
        }
        return sizes;
    }
};

TEST_F(PersonalisedSendTest, GoesOutIn101Then100WithEveryRowItsOwnText)
{
    const PersonalisedSend send = personalised(250);
    const int id = sendPersonalised(send);

    EXPECT_EQ(postedSizes(), (std::vector<std::size_t> {101, 100, 49}));
    EXPECT_EQ(service.calls["CreateJob"], 0);
    const std::string& body = service.posted.front();
    EXPECT_EQ(formField(body, "DefaultDetail"), "{};");
    EXPECT_EQ(formField(body, "Pattern"), "%7b%e5%a7%93%e5%90%8d%7d%e6%82%a8%e5%a5%bd");
    EXPECT_EQ(formField(body, "Details").substr(0, 8), "{v};{v};");
    EXPECT_TRUE(formField(body, "Phones").starts_with("13910000000;13910000001;"));

    // 125 texts of one segment and 125 of two: the counters follow each row's own count.
    EXPECT_EQ(accounts(id), "250/0/0/0 375/0");
    EXPECT_EQ(recordField(id, "send_mode") + "/" + recordField(id, "content"), "4/{姓名}您好");
    EXPECT_EQ(recordField(id, "jobid"), "C1;S1;C2;S2;C3;S3");
    EXPECT_EQ(countDetails(id, "phones='13910000009'"), "2") << "a number given twice gets two rows";
    EXPECT_EQ(countDetails(id, "split_count=2 AND content LIKE 'xxx%'"), "125");
    EXPECT_EQ(query("SELECT content FROM tbl_sendsms_detail WHERE phones='13910000002'"), "名2您好");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_message"), "0") << "a template is no used phrase";
}

TEST_F(PersonalisedSendTest, DefaultDetailHasOnePairPerPlaceholder)
{
    PersonalisedSend send = personalised(3);
    send.pattern = "{a}{b}{c}";
    send.placeholders = 3;
    sendPersonalised(send);
    ASSERT_EQ(service.posted.size(), 1U);
    EXPECT_EQ(formField(service.posted.front(), "DefaultDetail"), "{}{}{};");
}

TEST_F(PersonalisedSendTest, RefusedNumberGivenTwiceIsRefusedInBothRows)
{
    service.refuse = "13910000009;";
    const int id = sendPersonalised(personalised(20));
    EXPECT_EQ(countDetails(id, "status=-1"), "2");
    EXPECT_EQ(countDetails(id, "status=1"), "18");
}

struct PersonalisedOutcome
{
    const char* name;
    std::map<int, CallResult> posts; // of a 250-recipient send in three requests
    std::string accounts;
    bool finished;
};

class PersonalisedOutcomes : public PersonalisedSendTest, public testing::WithParamInterface<PersonalisedOutcome>
{
};

// The rows' statuses after each kind of answer to the second request (numbers 101 to 200).
TEST_P(PersonalisedOutcomes, RowsFollowWhatTheServiceSaid)
{
    service.posts = GetParam().posts;
    const int id = sendPersonalised(personalised(250));
    EXPECT_EQ(accounts(id), GetParam().accounts);
    EXPECT_EQ(observer.finished, GetParam().finished ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, PersonalisedOutcomes,
    testing::Values(
        PersonalisedOutcome {"RefusedRequestGoesOn", {{2, CallResult::Refused}}, "150/100/0/0 225/150", true},
        PersonalisedOutcome {"NoAnswerStaysUnknown", {{2, CallResult::NoAnswer}}, "150/0/100/0 225/150", true},
        PersonalisedOutcome {"StillUnreachableInterrupts",
            {{2, CallResult::NotReached}, {3, CallResult::NotReached}, {4, CallResult::NotReached},
                {5, CallResult::NotReached}},
            "101/0/0/149 151/0", false}),
    [](const testing::TestParamInfo<PersonalisedOutcome>& info) { return info.param.name; });

// The rest of an interrupted personalised send goes out with each stored text as the value
// of a one-placeholder pattern, so every number still gets its own text.
TEST_F(PersonalisedSendTest, InterruptedSendIsResumedWithTheStoredTexts)
{
    service.posts = {{2, CallResult::NotReached}, {3, CallResult::NotReached}, {4, CallResult::NotReached},
        {5, CallResult::NotReached}};
    const int id = sendPersonalised(personalised(250));
    ASSERT_EQ(engine->FindInterrupted().size(), 1U);
    service.posted.clear();

    ASSERT_TRUE(engine->ResumeSend(id, false));
    engine->Wait();
    EXPECT_EQ(accounts(id), "250/0/0/0 375/0");
    EXPECT_EQ(postedSizes(), (std::vector<std::size_t> {101, 48}));
    const std::string& body = service.posted.front();
    EXPECT_EQ(formField(body, "Pattern"), "%7b%e5%86%85%e5%ae%b9%7d");
    EXPECT_EQ(formField(body, "DefaultDetail"), "{};");
    const std::string details = formField(body, "Details");
    EXPECT_TRUE(details.starts_with("{xxxxxxxxxx")) << details;
    EXPECT_NE(details.find("};{%e5%90%8d102%e6%82%a8%e5%a5%bd};"), std::string::npos) << details;
}

// Stopped in the pause after the first request: the rest stays at 0.
TEST_F(PersonalisedSendTest, StopInThePauseLeavesTheRestToResume)
{
    SendRetryPolicy slow;
    slow.customPause = std::chrono::hours(1);
    engine->SetRetryPolicy(slow);
    std::promise<void> posted;
    service.beforeCall = [&](const std::string&) { posted.set_value(); };
    ASSERT_TRUE(engine->PreparePersonalisedSend(personalised(150)));
    ASSERT_TRUE(engine->StartSend());
    posted.get_future().wait();
    engine->RequestStop();
    engine->Wait();
    EXPECT_EQ(service.calls["CustomSend"], 1);
    EXPECT_EQ(accounts(engine->GetRecordId()).substr(0, 10), "101/0/0/49");
}

// An opted-out number given twice loses both rows; the others still go.
TEST_F(PersonalisedSendTest, OptedOutNumbersGetNoText)
{
    ASSERT_TRUE(app.GetDatabase().Execute(
        "INSERT INTO tbl_card (id, folder_id, phone, status) VALUES (1, 1, '13910000009', '退订')"));
    const int id = sendPersonalised(personalised(20));
    EXPECT_EQ(engine->GetExcludedNote(), "已排除2个退订号码");
    EXPECT_EQ(countDetails(id), "18");
    EXPECT_EQ(countDetails(id, "phones='13910000009'"), "0");
}

TEST_F(PersonalisedSendTest, PreparationNeedsAPatternAndANumber)
{
    PersonalisedSend send = personalised(2);
    send.pattern = "  ";
    EXPECT_FALSE(engine->PreparePersonalisedSend(send));
    send = personalised(2);
    for (auto& recipient : send.recipients) {
        recipient.number = "1391;000";
    }
    EXPECT_FALSE(engine->PreparePersonalisedSend(send));
    EXPECT_FALSE(engine->StartSend());
    ASSERT_TRUE(engine->PreparePersonalisedSend(personalised(2)));
    ASSERT_TRUE(engine->SetSendTime("2099-01-01 08:00"));
    ASSERT_TRUE(engine->StartSend());
    engine->Wait();
    EXPECT_EQ(recordField(1, "is_idle") + "/" + recordField(1, "status"), "T/已发送");
    EXPECT_TRUE(service.posted.back().ends_with("&SendTime=2099-01-01%2008:00:00&PostFixNumber="));
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
