#include "CliHarness.h"
#include "db/DateTime.h"

#include <sstream>

namespace telvora::test {
namespace {

class CliRecords : public CliHarness
{
protected:
    std::string scheduledSend()
    {
        const std::string at = DateTime::now().addDays(2).format("%Y-%m-%d %H:%M");
        const CliResult sent = send({"--text", "see you", "--at", at, "13900000001", "13900000002"});
        EXPECT_EQ(sent.exitCode, 0) << sent.err;
        return sent.value("record");
    }
};

TEST_F(CliRecords, StatsSumPerDayAndPerMonth)
{
    ASSERT_EQ(send({"--text", "hello", "13900000001", "13900000002"}).exitCode, 0);
    ASSERT_EQ(execute("INSERT INTO tbl_sendsms (id, send_time, success_count, fail_count, is_idle) VALUES "
                      "(100, '2010-12-01 00:00:00', 5, 1, 0), (101, '2010-12-31 23:59:59', 2, 0, 1), "
                      "(102, '2011-01-01 00:00:00', 9, 0, 0)"),
        "");

    const CliResult days = run({"stats", "--user", "admin", "--month", "2010-12"});
    ASSERT_EQ(days.exitCode, 0) << days.err;
    EXPECT_EQ(days.out,
        "序号\t发送时间\t发送总条数\t成功合计\t异常合计\n"
        "1\t2010-12-31\t2\t2\t0\n"
        "2\t2010-12-01\t6\t5\t1\n");

    const CliResult today = run({"stats", "--user", "admin", "--month", DateTime::now().format("%Y-%m")});
    EXPECT_NE(today.out.find("1\t" + DateTime::now().format("%Y-%m-%d") + "\t2\t2\t0\n"), std::string::npos)
        << today.out;
}

TEST_F(CliRecords, StatsRefuseBadPeriods)
{
    for (const std::vector<std::string>& arguments :
        std::vector<std::vector<std::string>> {{"stats"}, {"stats", "--month", "2010-13"}, {"stats", "--month", "2010"},
            {"stats", "--year", "10"}, {"stats", "--month", "2010-01", "--year", "2010"}}) {
        EXPECT_EQ(run(arguments).exitCode, 2) << arguments.back();
    }
    EXPECT_EQ(run({"stats", "--user", "nobody", "--year", "2010"}).exitCode, 3);
}

TEST_F(CliRecords, CancelMarksTheRecordAndTheJob)
{
    const std::string id = scheduledSend();
    // Once cancelled, a record is left alone and nothing is posted.
    for (int round = 0; round < 2; ++round) {
        const CliResult cancelled = run(loggedIn("cancel", {id}));
        ASSERT_EQ(cancelled.exitCode, 0) << cancelled.err;
        EXPECT_EQ(cancelled.out, id + "\t定时已取消\n");
    }
    EXPECT_EQ(sim.callCount("CancelJob"), 1);
    EXPECT_EQ(query("SELECT status FROM tbl_sendsms WHERE id=" + id), "定时已取消");
    ASSERT_EQ(sim.jobs().size(), 1U);
    EXPECT_TRUE(sim.jobs().front().cancelled);
}

TEST_F(CliRecords, CancelReportsWhatCannotBeCancelled)
{
    const std::string id = scheduledSend();
    ASSERT_EQ(execute("INSERT INTO tbl_sendsms (id, content, send_time, status, is_idle, jobid) VALUES "
                      "(500, 'x', '2099-01-01 00:00:00', '已发送', 1, '')"),
        "");
    sim.injectFault("CancelJob", simFault(SimFault::Kind::Http500));

    const CliResult failed = run(loggedIn("cancel", {id, "500"}));
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find(id + "\t定时短信取消失败"), std::string::npos) << failed.err;
    EXPECT_NE(failed.err.find("500\t没有任务编号"), std::string::npos) << failed.err;
    EXPECT_EQ(sim.callCount("CancelJob"), 1) << "a record without job ids is not posted";
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms WHERE status='定时已取消'"), "0");

    EXPECT_EQ(run(loggedIn("cancel", {"999"})).exitCode, 2);
    EXPECT_EQ(run(loggedIn("cancel", {"12x"})).exitCode, 2);
}

TEST_F(CliRecords, DetailListsEachNumberWithItsStatusText)
{
    const CliResult sent = send({"--text", "hello", "13900000001", "13900000002"});
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
    const std::string id = sent.value("record");
    ASSERT_EQ(execute("UPDATE tbl_sendsms_detail SET status = 2, content = '欧阳娜' WHERE phones = '13900000002'"), "");
    ASSERT_EQ(execute("INSERT INTO tbl_sendsms_detail (id, group_id, phones, send_time, status, split_count) VALUES "
                      "(900, "
                  + id + ", '13900000003', '2026-01-01 00:00:00', 0, 1)"),
        "");

    const CliResult detail = run({"records", "--user", "admin", "--detail", id});
    ASSERT_EQ(detail.exitCode, 0) << detail.err;
    std::vector<std::string> lines;
    std::istringstream text(detail.out);
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 4U) << detail.out;
    EXPECT_EQ(lines[0], "序号\t发送状态\t发送时间\t拆分条数\t姓名\t手机号码\t短信内容");
    EXPECT_EQ(lines[1].substr(0, lines[1].find('\t', 2)), "1\t发送成功");
    EXPECT_NE(lines[2].find("\t结果未知\t"), std::string::npos);
    EXPECT_NE(lines[2].find("\t欧阳娜\t13900000002\t欧阳娜：hello"), std::string::npos) << lines[2];
    EXPECT_EQ(lines[3], "3\t未发送\t2026-01-01 00:00:00\t1\t\t13900000003\thello");

    EXPECT_EQ(run({"records", "--user", "admin", "--detail", "77"}).exitCode, 2);
    EXPECT_EQ(run({"records", "--user", "admin", "--detail", id, "--scheduled"}).exitCode, 2);
}

TEST_F(CliRecords, SearchIncludesTheFirstMidnightAndPrintsTotals)
{
    ASSERT_EQ(send({"--text", "hello", "13900000001"}).exitCode, 0);
    ASSERT_EQ(execute("INSERT INTO tbl_sendsms (id, content, send_mode) VALUES (700, 'it''s 50%', 1)"), "");
    ASSERT_EQ(execute("INSERT INTO tbl_sendsms_detail (id, group_id, phones, send_time, status, split_count) VALUES "
                      "(701, 700, '13800000001', '2010-12-31 00:00:00', 1, 1),"
                      "(702, 700, '13800000002', '2010-12-31 23:59:59', -1, 2),"
                      "(703, 700, '13800000003', '2011-01-01 00:00:00', 1, 1)"),
        "");

    const CliResult found = run({"records", "--user", "admin", "--from", "2010-12-31", "--to", "2010-12-31"});
    ASSERT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.out,
        "序号\t发送时间\t手机号码\t发送状态\t拆分条数\t短信内容\n"
        "1\t2010-12-31 23:59\t13800000002\t发送异常\t2\tit's 50%\n"
        "2\t2010-12-31 00:00\t13800000001\t发送成功\t1\tit's 50%\n"
        "合计信息:共发送号码:2 (成功:1/异常:1) 短信数:3(成功:1/异常:2)\n");

    const CliResult narrowed = run({"records", "--user", "admin", "--from", "2010-12-30", "--to", "2011-01-01",
        "--phone", "13800000003", "--text", "50%"});
    EXPECT_NE(narrowed.out.find("\n1\t2011-01-01 00:00\t13800000003"), std::string::npos) << narrowed.out;
    EXPECT_EQ(run({"records", "--from", "2010-12-31"}).exitCode, 2);
    EXPECT_EQ(run({"records", "--phone", "13800000003"}).exitCode, 2);
    EXPECT_EQ(run({"records", "--from", "2011-01-02", "--to", "2011-01-01"}).exitCode, 2);
}

} // namespace
} // namespace telvora::test
