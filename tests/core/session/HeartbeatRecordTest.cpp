#include "SmsSimulator.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"
#include "session/SessionKeeper.h"

#include <gtest/gtest.h>
#include <vector>

namespace telvora {
namespace {

using Heartbeat = CSessionKeeper::Heartbeat;

struct HeartbeatCase
{
    const char* name;
    std::string events; // 'a' alive, 'f' failed, 's' a new session starts
    std::vector<Heartbeat> expected;
    bool loggedInAfter;
};

class HeartbeatRecordTest : public ::testing::TestWithParam<HeartbeatCase>
{
};

TEST_P(HeartbeatRecordTest, CountsFailuresInARow)
{
    CWebClient web;
    CServiceClient service(web);
    CSession session;
    session.loggedIn = true;
    CSessionKeeper keeper(service, session);
    std::vector<Heartbeat> seen;
    for (const char event : GetParam().events) {
        if (event == 's') {
            keeper.SessionStarted();
        } else {
            seen.push_back(keeper.RecordHeartbeat(event == 'a'));
        }
    }
    EXPECT_EQ(seen, GetParam().expected);
    EXPECT_EQ(session.loggedIn, GetParam().loggedInAfter);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, HeartbeatRecordTest,
    ::testing::Values(
        HeartbeatCase {"two_failures_end_the_session", "ff", {Heartbeat::Failed, Heartbeat::SessionEnded}, false},
        HeartbeatCase {"third_failure_does_nothing_more", "fff",
            {Heartbeat::Failed, Heartbeat::SessionEnded, Heartbeat::NotLoggedIn}, false},
        HeartbeatCase {
            "success_in_between_resets", "faf", {Heartbeat::Failed, Heartbeat::Alive, Heartbeat::Failed}, true},
        HeartbeatCase {"new_session_counts_afresh", "fsf", {Heartbeat::Failed, Heartbeat::Failed}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Leaving the program must not wait a whole POST time-out for a service that hangs.
TEST(SessionKeeper, LogOffGivesUpAfterItsOwnShortTimeOut)
{
    SmsSimulator sim;
    ASSERT_TRUE(sim.start());
    sim.injectFault("UserLogOff", SimFault {SimFault::Kind::Delay, std::chrono::minutes(5), {}});
    CWebClient web(nullptr, 600'000, 600'000);
    CServiceClient service(web, sim.address());
    CSession session;
    session.loggedIn = true;
    session.token = "T";
    CSessionKeeper(service, session).LogOff();
    EXPECT_EQ(sim.callCount("UserLogOff"), 1);
}

} // namespace
} // namespace telvora
