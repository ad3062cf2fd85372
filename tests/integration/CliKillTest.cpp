// telvora-cli killed with SIGKILL in the middle of a send, then the send resumed: across both
// runs every number goes out exactly once, except those posted without an answer, which go
// out at most once and are not posted again unasked.
#include "CliHarness.h"

#include <chrono>
#include <csignal>
#include <functional>
#include <sstream>
#include <thread>

namespace telvora::test {
namespace {

// Polls a condition of another process (the child's database, the simulator's counts).
bool waitUntil(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class CliKill;

struct KillCase
{
    const char* name;
    const char* method; // the held or faulted call
    SimFault fault;
    int call;
    // When to kill, given the harness.
    std::function<bool(CliKill&)> ready;
    int resumeExit = 0; // 2: nothing left but numbers of unknown outcome
};

class CliKill : public CliHarness, public testing::WithParamInterface<KillCase>
{
public:
    std::string rows(const std::string& condition)
    {
        return query("SELECT COUNT(*) FROM tbl_sendsms_detail WHERE " + condition);
    }
    int calls(const std::string& method) { return sim.callCount(method); }
};

const std::chrono::minutes kHeld(10);

TEST_P(CliKill, ResumeSendsWhatIsLeftExactlyOnce)
{
    const auto numbers = spreadNumbers(5000);
    sim.injectFault(GetParam().method, GetParam().fault, GetParam().call);
    const pid_t child = start(loggedIn("send", {"--text", "kill me", "--numbers", numbersFile(numbers)}));
    ASSERT_GT(child, 0);
    const bool ready = waitUntil([this] { return GetParam().ready(*this); });
    kill(child, SIGKILL);
    const CliResult killed = finish(child);
    ASSERT_TRUE(ready) << killed.err;
    ASSERT_EQ(killed.exitCode, 128 + SIGKILL);

    EXPECT_EQ(query("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(rows("1=1"), "5000") << "every number has its row before anything is posted";
    const CliResult listed = run({"records", "--user", "admin"});
    EXPECT_NE(listed.out.find("\t中断\t"), std::string::npos) << listed.out;
    const std::map<std::string, int> before = sim.deliveries();
    std::vector<std::string> unknown;
    std::stringstream unknownText(
        query("SELECT COALESCE(GROUP_CONCAT(phones, ' '), '') FROM tbl_sendsms_detail WHERE status=2"));
    for (std::string number; unknownText >> number;) {
        unknown.push_back(number);
    }

    sim.waitUntilOnline();
    const CliResult resumed = run(loggedIn("resume"));
    ASSERT_EQ(resumed.exitCode, GetParam().resumeExit) << resumed.err;
    EXPECT_EQ(query("PRAGMA integrity_check"), "ok");
    const std::map<std::string, int> after = sim.deliveries();
    EXPECT_EQ(disagreements(home.file("admin.db"), numbers, after), "");
    for (const auto& number : unknown) {
        const auto was = before.find(number);
        const auto is = after.find(number);
        EXPECT_EQ(was == before.end() ? 0 : was->second, is == after.end() ? 0 : is->second)
            << number << " was posted again without being asked";
    }
    EXPECT_EQ(rows("status=0"), "0");
    EXPECT_EQ(std::to_string(unknown.size()), rows("status=2"));
    ASSERT_FALSE(sim.jobs().empty());
    EXPECT_TRUE(query("SELECT jobid FROM tbl_sendsms").ends_with(sim.jobs().back().jobId))
        << "the resume's job id is appended to the record's";
}

INSTANTIATE_TEST_SUITE_P(Points, CliKill,
    testing::Values(KillCase {"BeforeTheFirstPost", "CreateJob", simFault(SimFault::Kind::Delay, {}, kHeld), 1,
                        [](CliKill& t) { return t.calls("CreateJob") == 1; }},
        // The service goes away after the second batch: the child waits to retry the third,
        // its rows back at 0.
        KillCase {"BetweenACommitAndTheNextPost", "MessSendSMS",
            simFault(SimFault::Kind::Offline, {}, std::chrono::milliseconds(1500)), 2,
            [](CliKill& t) { return t.rows("status=1") == "1600" && t.rows("status=2") == "0"; }},
        KillCase {"WhileAPostIsHeld", "MessSendSMS", simFault(SimFault::Kind::Delay, {}, kHeld), 4,
            [](CliKill& t) { return t.calls("MessSendSMS") == 4; }},
        KillCase {"DuringTheLastBatch", "MessSendSMS", simFault(SimFault::Kind::Delay, {}, kHeld), 7,
            [](CliKill& t) { return t.calls("MessSendSMS") == 7; }, 2}),
    [](const testing::TestParamInfo<KillCase>& info) { return info.param.name; });

} // namespace
} // namespace telvora::test
