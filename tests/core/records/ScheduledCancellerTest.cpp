#include "records/ScheduledCanceller.h"

#include "core/app/AppTestSupport.h"
#include "core/service/LocalServers.h"
#include "records/SendHistory.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"

#include <gtest/gtest.h>
#include <mutex>
#include <set>

namespace telvora {
namespace {

std::string jobList(int count)
{
    std::string list;
    for (int i = 1; i <= count; ++i)
        list += (i > 1 ? ";J" : "J") + std::to_string(i);
    return list;
}

int idsIn(const std::string& batch)
{
    return static_cast<int>(std::count(batch.begin(), batch.end(), ';'));
}

TEST(JobIdBatchesTest, SplitsIntoCallsOf101Ids)
{
    struct Case
    {
        std::string jobs;
        std::vector<int> sizes;
    };
    const std::vector<Case> cases {
        {"", {}},
        {";", {}},
        {"J1", {1}},
        {"J1;", {1}},
        {"J1;;J2", {2}},
        {jobList(101), {101}},
        {jobList(102), {101, 1}},
        {jobList(250), {101, 101, 48}},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> batches = CScheduledCanceller::JobIdBatches(c.jobs);
        std::vector<int> sizes;
        for (const std::string& batch : batches) {
            sizes.push_back(idsIn(batch));
            EXPECT_EQ(batch.back(), ';');
        }
        EXPECT_EQ(sizes, c.sizes) << c.jobs.substr(0, 20);
    }
    EXPECT_EQ(CScheduledCanceller::JobIdBatches("J1;J2").front(), "J1;J2;");
}

class ScheduledCancellerTest : public test::WorkDatabaseTest
{
protected:
    void SetUp() override
    {
        WorkDatabaseTest::SetUp();
        m_server.server().Post(
            "/Services.asmx/CancelJob", [this](const httplib::Request& request, httplib::Response& response) {
                std::lock_guard lock(m_mutex);
                m_bodies.push_back(request.body);
                const bool succeed = m_succeeding.count(static_cast<int>(m_bodies.size())) > 0;
                response.set_content(succeed ? "<Result><RetCode>Sucess</RetCode></Result>"
                                             : "<Result><RetCode>Faild</RetCode><Message>busy</Message></Result>",
                    "text/xml");
            });
        m_service.SetAddress(m_server.address());
    }

    SendRecord scheduled(long id, const std::string& jobs)
    {
        const std::string time = m_now.addDays(1).toString();
        EXPECT_TRUE(db().Execute("INSERT INTO tbl_sendsms (id, content, send_time, status, is_idle, jobid) VALUES ("
            + std::to_string(id) + ", 'x', '" + time + "', '已发送', 1, '" + jobs + "')"));
        return *CSendHistory(db()).Find(id);
    }

    std::string statusOf(long id)
    {
        return test::scalar(db(), "SELECT status FROM tbl_sendsms WHERE id=" + std::to_string(id));
    }

    DateTime m_now = DateTime::fromFields(2026, 12, 6, 12, 0, 0);
    test::LocalHttpServer m_server;
    CWebClient m_web {nullptr, 5000, 5000};
    CServiceClient m_service {m_web};
    CScheduledCanceller m_canceller {db(), m_service, "TOKEN"};
    std::mutex m_mutex;
    std::vector<std::string> m_bodies;
    std::set<int> m_succeeding;
};

TEST_F(ScheduledCancellerTest, OneSucceedingCallOfThreeCancelsTheRecord)
{
    m_succeeding = {2};
    const SendRecord record = scheduled(1, jobList(250));
    EXPECT_EQ(m_canceller.Cancel(record, m_now), CScheduledCanceller::Outcome::Cancelled);
    ASSERT_EQ(m_bodies.size(), 3U);
    EXPECT_EQ(m_bodies[0].rfind("Token=TOKEN&JobIDs=J1;J2;", 0), 0U);
    EXPECT_EQ(idsIn(m_bodies[1]), 101);
    EXPECT_EQ(idsIn(m_bodies[2]), 48);
    EXPECT_EQ(statusOf(1), "定时已取消");
}

// A refused call, or no job to post, leaves the record; a sent or cancelled one is not posted.
TEST_F(ScheduledCancellerTest, OnlyASucceedingCallCancels)
{
    EXPECT_EQ(m_canceller.Cancel(scheduled(1, "J1;J2"), m_now), CScheduledCanceller::Outcome::Failed);
    EXPECT_EQ(m_bodies.size(), 1U);
    m_succeeding = {2, 3};
    EXPECT_EQ(m_canceller.Cancel(scheduled(2, ""), m_now), CScheduledCanceller::Outcome::Failed);
    SendRecord record = scheduled(3, "J1");
    EXPECT_EQ(m_canceller.Cancel(record, m_now.addDays(2)), CScheduledCanceller::Outcome::Skipped);
    record.status = "定时已取消";
    EXPECT_EQ(m_canceller.Cancel(record, m_now), CScheduledCanceller::Outcome::Skipped);
    EXPECT_EQ(m_bodies.size(), 1U);
    EXPECT_EQ(statusOf(1) + statusOf(2), "已发送已发送");
}

} // namespace
} // namespace telvora
