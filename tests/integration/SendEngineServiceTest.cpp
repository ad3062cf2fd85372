// The send engine against the simulator, for cases the command line cannot reach: numbers
// the client lets through but the service refuses, and a send requested while one runs.
#include "CliHarness.h"
#include "app/AppContext.h"
#include "send/SendEngine.h"
#include "send/SendObserver.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"

#include <atomic>
#include <future>

namespace telvora::test {
namespace {

// Tells when the first rows of a send are written.
struct WrittenSignal final : CSendObserver
{
    void numbersWritten(int, int) override
    {
        if (!m_told.exchange(true)) {
            written.set_value();
        }
    }
    void sendFinished(int, const std::string&) override { }
    void sendFailed(int, const std::string&) override { }

    std::promise<void> written;

private:
    std::atomic<bool> m_told {false};
};

class EngineAgainstService : public CliHarness
{
protected:
    void SetUp() override
    {
        CliHarness::SetUp();
        service.SetAddress(sim.address());
        ASSERT_TRUE(app.OpenWorkDatabase("admin.db"));
        app.GetParameters().Load(app.GetDatabase(), app.GetSetupFile());
        std::string reply;
        ASSERT_TRUE(service.CallService(
            "UserLogin", std::string("UserID=") + kAccount + "&Account=admin&Password=" + kPassword, reply, false));
        ParseLoginReply(reply, session);
    }

    CAppContext app {preparedDataDirectory(home)};
    CWebClient web {nullptr, 5000, 60'000};
    CServiceClient service {web};
    CSession session;
    WrittenSignal observer;
    CSendEngine engine {app, session, service, &observer};
};

TEST_F(EngineAgainstService, NumbersRefusedInsideAnAcceptedBatchAreMarked)
{
    // Digits, so the engine passes them on; not mobile numbers, so the service refuses them.
    ASSERT_TRUE(engine.PrepareSend({"13900000001", "1390000000", "23900000001", "13900000002"}, "hi", 1, 0));
    ASSERT_TRUE(engine.StartSend());
    engine.Wait();

    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms_detail"), "4");
    EXPECT_EQ(query("SELECT GROUP_CONCAT(phones, ',') FROM (SELECT phones FROM tbl_sendsms_detail WHERE status=-1 "
                    "ORDER BY phones)"),
        "1390000000,23900000001");
    EXPECT_EQ(query("SELECT success_count || '/' || fail_count FROM tbl_sendsms"), "2/2");
    ASSERT_EQ(sim.jobs().size(), 1U);
    EXPECT_EQ(sim.jobs().front().messages.size(), 2U);
    EXPECT_EQ(sim.jobs().front().refused.size(), 2U);
}

TEST_F(EngineAgainstService, SecondSendIsRefusedWhileOneRuns)
{
    // The first post waits at the service until the test lets it go.
    sim.injectFault("MessSendSMS", simFault(SimFault::Kind::Delay, {}, std::chrono::minutes(10)), 1);
    ASSERT_TRUE(engine.PrepareSend({"13900000001", "13900000002"}, "first", 1, 0));
    ASSERT_TRUE(engine.StartSend());
    observer.written.get_future().wait();

    EXPECT_TRUE(engine.IsBusy());
    EXPECT_FALSE(engine.PrepareSend({"13900000009"}, "second", 1, 0));
    EXPECT_FALSE(engine.StartSend());

    sim.interruptWaits(); // the held call ends without an answer
    engine.Wait();
    sim.resumeWaits();
    EXPECT_FALSE(engine.IsBusy());
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms"), "1") << "the refused request left no record";
    EXPECT_EQ(query("SELECT fail_count FROM tbl_sendsms"), "2");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms_detail WHERE status=2"), "2") << "posted, outcome unknown";

    ASSERT_TRUE(engine.PrepareSend({"13900000009"}, "second", 1, 0));
    ASSERT_TRUE(engine.StartSend());
    engine.Wait();
    EXPECT_EQ(query("SELECT success_count FROM tbl_sendsms WHERE content='second'"), "1");
}

struct FaultCase
{
    const char* name;
    std::vector<std::pair<int, SimFault>> faults; // n-th post and its fault
};

SimFault offlineFor(std::chrono::milliseconds time)
{
    return simFault(SimFault::Kind::Offline, {}, time);
}

// An 8,000-number send (ten batches) with faults on some batches. Whatever the service did,
// every number has one row that agrees with what it delivered, and none went out twice.
class FaultMatrix : public EngineAgainstService, public testing::WithParamInterface<FaultCase>
{
protected:
    void SetUp() override
    {
        EngineAgainstService::SetUp();
        quickService.SetAddress(sim.address());
        SendRetryPolicy policy;
        policy.firstPause = std::chrono::milliseconds(100);
        policy.writePause = std::chrono::milliseconds(10);
        quickEngine.SetRetryPolicy(policy);
    }

    // A short time-out, so that a held post soon counts as unanswered.
    CWebClient quickWeb {nullptr, 5000, 400};
    CServiceClient quickService {quickWeb};
    CSendEngine quickEngine {app, session, quickService, &observer};
};

TEST_P(FaultMatrix, EveryNumberAgreesWithTheDeliveryRecord)
{
    for (const auto& [call, fault] : GetParam().faults) {
        sim.injectFault("MessSendSMS", fault, call);
    }
    const auto numbers = spreadNumbers(8000);
    ASSERT_TRUE(quickEngine.PrepareSend(numbers, "matrix", 1, 0));
    ASSERT_TRUE(quickEngine.StartSend());
    quickEngine.Wait();
    // A service that stays away longer than the retries ends the send early; it is finished
    // as the user would, by resuming.
    for (int round = 0;
         round < 5 && !quickEngine.FindInterrupted().empty() && quickEngine.FindInterrupted().front().notPosted > 0;
         ++round) {
        sim.waitUntilOnline();
        ASSERT_TRUE(quickEngine.ResumeSend(quickEngine.GetRecordId(), false)) << quickEngine.GetLastError();
        quickEngine.Wait();
    }
    EXPECT_EQ(disagreements(app.DatabasePathFor("admin.db"), numbers, sim.deliveries()), "");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms_detail WHERE status=0"), "0");
    EXPECT_GE(sim.callCount("MessSendSMS"), 10);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix,
    testing::Values(FaultCase {"Refusal", {{4, simFault(SimFault::Kind::Refuse, "号码格式错误")}}},
        FaultCase {"Http500", {{4, simFault(SimFault::Kind::Http500)}}},
        FaultCase {"HangPastTheTimeOut", {{4, simFault(SimFault::Kind::Delay, {}, std::chrono::milliseconds(1500))}}},
        FaultCase {"DroppedConnection", {{4, simFault(SimFault::Kind::Drop)}}},
        FaultCase {"RefusedForAWhile", {{4, offlineFor(std::chrono::milliseconds(300))}}},
        FaultCase {"EveryKind",
            {{2, offlineFor(std::chrono::milliseconds(300))}, {3, simFault(SimFault::Kind::Refuse, "拒绝")},
                {5, simFault(SimFault::Kind::Http500)}, {7, simFault(SimFault::Kind::Drop)},
                {9, simFault(SimFault::Kind::Delay, {}, std::chrono::milliseconds(1500))}}}),
    [](const testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

} // namespace
} // namespace telvora::test
