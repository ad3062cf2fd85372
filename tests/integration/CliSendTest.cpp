#include "CliHarness.h"
#include "db/DateTime.h"

namespace telvora::test {
namespace {

const std::string kTwoSegments(71, 'a');

using CliSend = CliHarness;

TEST_F(CliSend, SendsEachNumberOnceInAscendingOrder)
{
    const std::string file
        = numbersFile({"13900000005", "13900000003,13900000004", "13900000005", "no number 1234567890x"});
    const CliResult result = send({"--text", "hello", "--numbers", file, "13900000004", "13900000001", "13900000001"});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.value("success_count"), "4");
    EXPECT_EQ(query("SELECT GROUP_CONCAT(phones, ',') FROM (SELECT phones FROM tbl_sendsms_detail ORDER BY id)"),
        "13900000001,13900000003,13900000004,13900000005");
    ASSERT_EQ(sim.jobs().size(), 1U);
    EXPECT_EQ(sim.jobs().front().messages.size(), 4U) << "no number reaches the service twice";
}

TEST_F(CliSend, PasswordIsStoredOnlyWhenRemembered)
{
    const std::string password = "SELECT para_value FROM tbl_sys_param WHERE para_name='Password'";
    ASSERT_EQ(run(loggedIn("login", {"--remember"})).exitCode, 0);
    EXPECT_EQ(query(password), kPassword);
    ASSERT_EQ(run(loggedIn("login")).exitCode, 0);
    EXPECT_EQ(query(password), "");
    EXPECT_EQ(query("SELECT para_value FROM tbl_sys_param WHERE para_name='RememberPwd'"), "0");
}

TEST_F(CliSend, EightHundredNumbersArePostedInOneCall)
{
    const CliResult result = send({"--text", "batch", "--numbers", numbersFile(spreadNumbers(800))});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(sim.callCount("CreateJob") * 10 + sim.callCount("MessSendSMS"), 11);
    EXPECT_EQ(result.value("success_count"), "800");
    ASSERT_EQ(sim.jobs().size(), 1U);
    EXPECT_EQ(sim.jobs().front().messages.size(), 800U);
    EXPECT_EQ(result.value("jobid"), sim.jobs().front().jobId);
}

TEST_F(CliSend, UnansweredSecondBatchIsCountedAsUnknown)
{
    sim.injectFault("MessSendSMS", simFault(SimFault::Kind::Http500), 2);
    const auto numbers = spreadNumbers(1000);
    const CliResult unconfirmed = send({"--text", kTwoSegments, "--numbers", numbersFile(numbers)});
    EXPECT_EQ(unconfirmed.exitCode, 2) << "two segments a number need --yes";
    EXPECT_NE(unconfirmed.err.find("短信内容超长，移动联通电信号码将按2条收费，您确认要发送吗？"), std::string::npos);
    EXPECT_EQ(sim.callCount("CreateJob"), 0);
    const CliResult result = send({"--text", kTwoSegments, "--yes", "--numbers", numbersFile(numbers)});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(sim.callCount("MessSendSMS"), 2);
    EXPECT_EQ(result.value("success_count") + "/" + result.value("fail_count"), "1600/400");
    EXPECT_EQ(result.value("accepted") + "/" + result.value("unknown"), "800/200");
    EXPECT_NE(result.err.find("有200个号码已提交但没有收到服务器的答复"), std::string::npos) << result.err;
    EXPECT_EQ(query("SELECT MIN(phones) FROM tbl_sendsms_detail WHERE status=2"), numbers[800]);
}

TEST_F(CliSend, RefusedJobExitsOneWithTheServiceMessage)
{
    sim.injectFault("CreateJob", simFault(SimFault::Kind::Refuse, "短信内容含有敏感词"));
    const CliResult result = send({"--text", "buy now", "--numbers", numbersFile(spreadNumbers(900))});

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("短信内容含有敏感词"), std::string::npos) << result.err;
    EXPECT_EQ(result.value("fail_count"), "900");
}

TEST_F(CliSend, ScheduledSendWaitsAtTheService)
{
    const std::string at = DateTime::now().addDays(2).format("%Y-%m-%d %H:%M");
    const CliResult result = send({"--text", "see you", "--at", at, "13900000001", "13900000002"});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.value("status"), "已发送");
    EXPECT_EQ(result.value("scheduled"), "1");
    EXPECT_EQ(query("SELECT send_time FROM tbl_sendsms"), at + ":00");
    ASSERT_EQ(sim.jobs().size(), 1U);
    EXPECT_TRUE(sim.jobs().front().scheduled);
    EXPECT_EQ(sim.jobs().front().sendTime, at + ":00");

    // Seconds given are the seconds scheduled, and checked.
    const std::string exact = DateTime::now().addDays(2).format("%Y-%m-%d %H:%M") + ":37";
    ASSERT_EQ(send({"--text", "exact", "--at", exact, "13900000004"}).exitCode, 0);
    EXPECT_EQ(query("SELECT send_time FROM tbl_sendsms WHERE content='exact'"), exact);
    EXPECT_EQ(sim.jobs().back().sendTime, exact);
    const std::string past = DateTime::now().addDays(-1).format("%Y-%m-%d %H:%M:%S");
    EXPECT_EQ(send({"--text", "late", "--at", past, "13900000005"}).exitCode, 2);
}

TEST_F(CliSend, ApostropheTravelsIntact)
{
    const std::string text = "O'Neil's sale: 100%AB off + free gift & more";
    const CliResult result = send({"--text", text, "13900000001"});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The send view's rule makes "&" full-width before the text goes anywhere.
    const std::string sent = "O'Neil's sale: 100%AB off + free gift ＆ more";
    EXPECT_EQ(query("SELECT content FROM tbl_sendsms"), sent);
    EXPECT_EQ(query("SELECT Message FROM tbl_message WHERE ClassName='已发送短语'"), sent);
    ASSERT_EQ(sim.jobs().size(), 1U);
    EXPECT_EQ(sim.jobs().front().messages.at(0).text, sent);
}

TEST_F(CliSend, InsertsTheCardNames)
{
    ASSERT_EQ(run(loggedIn("login")).exitCode, 0);
    ASSERT_EQ(execute("INSERT INTO tbl_card (id, folder_id, phone, name) VALUES (1, 1, '13900000001', '张三'), "
                      "(2, 1, '13900000002', 'D''Arcy')"),
        "");
    const CliResult result = send({"--text", "您好", "--insert", "name", "13900000001", "13900000002", "13900000003"});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(sim.callCount("CreateJob") * 10 + sim.callCount("CustomSend"), 1);
    ASSERT_EQ(sim.jobs().size(), 1U);
    const auto& messages = sim.jobs().front().messages;
    ASSERT_EQ(messages.size(), 3U);
    EXPECT_EQ(messages[0].text, "张三：您好");
    EXPECT_EQ(messages[1].text, "D'Arcy：您好");
    EXPECT_EQ(messages[2].text, "：您好");
    EXPECT_EQ(query("SELECT content FROM tbl_sendsms_detail WHERE phones='13900000002'"), "D'Arcy");
    EXPECT_EQ(result.value("jobid"), sim.jobs().front().jobId);
}

// Refused commands: nothing is posted, the exit code tells the kind, the message why.
TEST_F(CliSend, RefusalsExitWithTheirCodeAndReason)
{
    sim.addAccount(simAccount("8002", kPassword, 10, 1));
    ASSERT_EQ(send({"--text", "done", "13900000001"}).exitCode, 0);
    const struct
    {
        std::vector<std::string> arguments;
        int exitCode;
        const char* reason;
    } rows[] = {
        {{"send", "--account", kAccount, "--password", "wrong-password", "--text", "x", "13900000001"}, 2,
            "登录失败：帐号或密码错误!"},
        {{"send", "--account", kAccount, "--password", kPassword, "13900000001"}, 2, ""},
        {{"records", "--text", "x"}, 2, ""},
        {{"frobnicate"}, 2, ""},
        {{"records", "--user", "nobody"}, 3, ""},
        {loggedIn("resume", {"--record", "1"}), 2, "不是尚未完成的发送记录"},
        {{"resume", "--account", kAccount, "--password", kPassword, "--record", "x"}, 2, ""},
        {{"replies", "--account", "8002", "--user", "admin", "--password", kPassword}, 2, "没有接收回复短信的权限"},
    };
    for (const auto& row : rows) {
        const CliResult result = run(row.arguments);
        EXPECT_EQ(result.exitCode, row.exitCode) << row.arguments.front() << " " << row.arguments.back();
        EXPECT_NE(result.err.find(row.reason), std::string::npos) << result.err;
    }
    EXPECT_EQ(sim.callCount("CreateJob") * 10 + sim.callCount("FetchSMS"), 10);
    EXPECT_FALSE(std::filesystem::exists(home.file("nobody.db")));
    const CliResult none = run(loggedIn("resume"));
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_NE(none.err.find("没有尚未完成的发送记录"), std::string::npos) << none.err;
    const CliResult help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Exit codes"), std::string::npos);
}

class CliReplies : public CliHarness
{
protected:
    void queueReply(const std::string& content)
    {
        SimReply reply;
        reply.phone = "13900000001";
        reply.content = content;
        reply.recDateTime = "2026-03-04 05:06:07";
        sim.queueReply(kAccount, "admin", reply);
    }
};

TEST_F(CliReplies, ReplyDeliveredTwiceIsStoredOnce)
{
    queueReply("It's fine, 谢谢");
    queueReply("It's fine, 谢谢");
    const CliResult fetched = run(loggedIn("replies"));
    ASSERT_EQ(fetched.exitCode, 0) << fetched.err;
    EXPECT_EQ(fetched.value("new"), "1");
    EXPECT_NE(fetched.out.find("13900000001\t2026-03-04 05:06:07\tIt's fine, 谢谢"), std::string::npos) << fetched.out;
    EXPECT_EQ(query("SELECT COUNT(*) || content FROM tbl_sms_recive"), "1It's fine, 谢谢");
}

// The whole round: a customer answers "TD", and the next sends leave the number out.
TEST_F(CliReplies, OptOutReplyKeepsTheNumberOutOfLaterSends)
{
    queueReply("td");
    ASSERT_EQ(run(loggedIn("replies")).exitCode, 0);
    EXPECT_EQ(query("SELECT status FROM tbl_card WHERE phone='13900000001'"), "退订");

    const CliResult result = send({"--text", "sale", "13900000001", "13900000002"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("已排除1个退订号码"), std::string::npos) << result.err;
    ASSERT_EQ(sim.jobs().size(), 1U);
    EXPECT_EQ(sim.jobs().front().messages.size(), 1U);

    const CliResult nobody = send({"--text", "sale", "13900000001"});
    EXPECT_EQ(nobody.exitCode, 2);
    EXPECT_NE(nobody.err.find("已排除1个退订号码"), std::string::npos) << nobody.err;
    EXPECT_EQ(sim.jobs().size(), 1U);
}

} // namespace
} // namespace telvora::test
