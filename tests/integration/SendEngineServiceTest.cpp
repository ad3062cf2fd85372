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
    void sendFinished(int) override { }
    void noJobCreated(int, const std::string&) override { }

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
    EXPECT_EQ(query("SELECT success_count FROM tbl_sendsms"), "4");
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
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms_detail WHERE status=-1"), "2");

    ASSERT_TRUE(engine.PrepareSend({"13900000009"}, "second", 1, 0));
    ASSERT_TRUE(engine.StartSend());
    engine.Wait();
    EXPECT_EQ(query("SELECT success_count FROM tbl_sendsms WHERE content='second'"), "1");
}

} // namespace
} // namespace telvora::test
