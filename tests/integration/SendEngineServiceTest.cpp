// The send engine against the simulator, for cases the command line cannot reach: numbers
// the client lets through but the service refuses, and a send requested while one runs.
#include "CliHarness.h"
#include "app/AppContext.h"
#include "send/SendEngine.h"
#include "send/SendObserver.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"

#include <condition_variable>
#include <mutex>

namespace telvora::test {
namespace {

class WrittenSignal final : public CSendObserver
{
public:
    void numbersWritten(int, int) override
    {
        const std::lock_guard lock(m_mutex);
        m_written = true;
        m_changed.notify_all();
    }
    void sendFinished(int) override { }
    void noJobCreated(int, const std::string&) override { }
    void waitForRows()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_written; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_written = false;
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
};

TEST_F(EngineAgainstService, NumbersRefusedInsideAnAcceptedBatchAreMarked)
{
    CSendEngine engine(app, session, service, &observer);
    // Digits, so the engine passes them on; not mobile numbers, so the service refuses them.
    ASSERT_TRUE(engine.PrepareSend({"13900000001", "1390000000", "23900000001", "13900000002"}, "hi", 1, 0));
    ASSERT_TRUE(engine.StartSend());
    engine.Wait();
    const std::string id = std::to_string(engine.GetRecordId());

    EXPECT_EQ(scalar(app.GetDatabase(), "SELECT COUNT(*) FROM tbl_sendsms_detail WHERE group_id=" + id), "4");
    EXPECT_EQ(scalar(app.GetDatabase(),
                  "SELECT GROUP_CONCAT(phones, ',') FROM (SELECT phones FROM tbl_sendsms_detail WHERE status=-1 "
                  "ORDER BY phones)"),
        "1390000000,23900000001");
    EXPECT_EQ(scalar(app.GetDatabase(), "SELECT success_count FROM tbl_sendsms WHERE id=" + id), "4");
    ASSERT_EQ(sim.jobs().size(), 1U);
    EXPECT_EQ(sim.jobs().front().messages.size(), 2U);
    EXPECT_EQ(sim.jobs().front().refused.size(), 2U);
}

TEST_F(EngineAgainstService, SecondSendIsRefusedWhileOneRuns)
{
    // The first post waits at the service until the test lets it go.
    sim.injectFault("MessSendSMS", simFault(SimFault::Kind::Delay, {}, std::chrono::minutes(10)), 1);
    CSendEngine engine(app, session, service, &observer);
    ASSERT_TRUE(engine.PrepareSend({"13900000001", "13900000002"}, "first", 1, 0));
    ASSERT_TRUE(engine.StartSend());
    observer.waitForRows();

    EXPECT_TRUE(engine.IsBusy());
    EXPECT_FALSE(engine.PrepareSend({"13900000009"}, "second", 1, 0));
    EXPECT_FALSE(engine.StartSend());

    sim.interruptWaits(); // the held call ends without an answer
    engine.Wait();
    sim.resumeWaits();
    EXPECT_FALSE(engine.IsBusy());
    const std::string id = std::to_string(engine.GetRecordId());
    EXPECT_EQ(scalar(app.GetDatabase(), "SELECT fail_count FROM tbl_sendsms WHERE id=" + id), "2");
    EXPECT_EQ(scalar(app.GetDatabase(), "SELECT COUNT(*) FROM tbl_sendsms_detail WHERE status=-1"), "2");
    EXPECT_EQ(scalar(app.GetDatabase(), "SELECT COUNT(*) FROM tbl_sendsms"), "1");

    ASSERT_TRUE(engine.PrepareSend({"13900000009"}, "second", 1, 0));
    ASSERT_TRUE(engine.StartSend());
    engine.Wait();
    EXPECT_EQ(scalar(app.GetDatabase(), "SELECT success_count FROM tbl_sendsms WHERE content='second'"), "1");
}

} // namespace
} // namespace telvora::test
