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
    std::vector<bool> outcomes;
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
    for (bool alive : GetParam().outcomes)
        seen.push_back(keeper.RecordHeartbeat(alive));
    EXPECT_EQ(seen, GetParam().expected);
    EXPECT_EQ(session.loggedIn, GetParam().loggedInAfter);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, HeartbeatRecordTest,
    ::testing::Values(HeartbeatCase {"one_failure", {false}, {Heartbeat::Failed}, true},
        HeartbeatCase {
            "two_failures_end_the_session", {false, false}, {Heartbeat::Failed, Heartbeat::SessionEnded}, false},
        HeartbeatCase {"third_failure_does_nothing_more", {false, false, false},
            {Heartbeat::Failed, Heartbeat::SessionEnded, Heartbeat::NotLoggedIn}, false},
        HeartbeatCase {"success_in_between_resets", {false, true, false},
            {Heartbeat::Failed, Heartbeat::Alive, Heartbeat::Failed}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HeartbeatRecord, NewSessionCountsAfresh)
{
    CWebClient web;
    CServiceClient service(web);
    CSession session;
    session.loggedIn = true;
    CSessionKeeper keeper(service, session);
    keeper.RecordHeartbeat(false);
    keeper.SessionStarted();
    EXPECT_EQ(keeper.RecordHeartbeat(false), Heartbeat::Failed);
}

} // namespace
} // namespace telvora
