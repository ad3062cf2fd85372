#include "session/SessionKeeper.h"

#include "SmsSimulator.h"
#include "db/DateTime.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"

#include <gtest/gtest.h>
#include <vector>

namespace telvora {
namespace {

using Heartbeat = CSessionKeeper::Heartbeat;

// Two failures in a row end the session; a success or a new session counts afresh, and
// once ended nothing more happens.
TEST(SessionKeeper, CountsHeartbeatFailuresInARow)
{
    CWebClient web;
    CServiceClient service(web);
    CSession session;
    session.loggedIn = true;
    CSessionKeeper keeper(service, session);
    std::vector<Heartbeat> seen;
    for (const char event : std::string("fsfaf")) {
        if (event == 's') {
            keeper.SessionStarted();
        } else {
            seen.push_back(keeper.RecordHeartbeat(event == 'a'));
        }
    }
    EXPECT_EQ(
        seen, (std::vector<Heartbeat> {Heartbeat::Failed, Heartbeat::Failed, Heartbeat::Alive, Heartbeat::Failed}));
    EXPECT_TRUE(session.loggedIn);
    EXPECT_EQ(keeper.RecordHeartbeat(false), Heartbeat::SessionEnded);
    EXPECT_FALSE(session.loggedIn);
    EXPECT_EQ(keeper.RecordHeartbeat(false), Heartbeat::NotLoggedIn);
}

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

TEST(BackupNames, CarryTheTimeAndWhoseDataTheyHold)
{
    const DateTime now = DateTime::fromFields(2026, 3, 5, 9, 7);
    EXPECT_EQ(ProposedBackupName(true, "8001", now), "03月05日9时7备份数据.db");
    EXPECT_EQ(ProposedBackupName(false, "8001", now), "8001 03月05日9时7备份数据.db");
    EXPECT_EQ(AutomaticBackupName("sales", now), "backupdata/sales 03月05日9自动备份.db");
    EXPECT_EQ(AutomaticBackupName("", now), "backupdata/admin 03月05日9自动备份.db");
}

} // namespace
} // namespace telvora
