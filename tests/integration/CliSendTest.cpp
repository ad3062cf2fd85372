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

TEST_F(CliSend, NumberFilesInUtf8AndGbkAreRead)
{
    const std::string utf8 = numbersFile({"\xEF\xBB\xBF张三 13900000002", "李四：13900000001"}, "utf8.txt");
    // "王五，13900000003" and "赵六 13900000004" in GBK.
    const std::string gbk = numbersFile(
        {std::string("\xCD\xF5\xCE\xE5\xA3\xAC") + "13900000003", "\xD5\xD4\xC1\xF9 13900000004"}, "gbk.txt");
    const CliResult result = send({"--text", "hi", "--numbers", utf8, "--numbers", gbk});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(query("SELECT GROUP_CONCAT(phones, ',') FROM (SELECT phones FROM tbl_sendsms_detail ORDER BY id)"),
        "13900000001,13900000002,13900000003,13900000004");
}

TEST_F(CliSend, PasswordIsStoredOnlyWhenRemembered)
{
    const std::vector<std::string> login = {"login", "--account", kAccount, "--user", "admin", "--password", kPassword};
    auto remembered = login;
    remembered.push_back("--remember");
    const std::string password = "SELECT para_value FROM tbl_sys_param WHERE para_name='Password'";

    ASSERT_EQ(run(remembered).exitCode, 0);
    EXPECT_EQ(query(password), kPassword);
    ASSERT_EQ(run(login).exitCode, 0);
    EXPECT_EQ(query(password), "");
    EXPECT_EQ(query("SELECT para_value FROM tbl_sys_param WHERE para_name='RememberPwd'"), "0");
}

struct BatchCase
{
    const char* name;
    std::size_t numbers;
    int posts;
};

class CliSendBatches : public CliHarness, public testing::WithParamInterface<BatchCase>
{
};

TEST_P(CliSendBatches, PostsEightHundredPerCallUnderOneJob)
{
    const CliResult result = send({"--text", "batch", "--numbers", numbersFile(spreadNumbers(GetParam().numbers))});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(sim.callCount("CreateJob"), 1);
    EXPECT_EQ(sim.callCount("MessSendSMS"), GetParam().posts);
    EXPECT_EQ(result.value("success_count"), std::to_string(GetParam().numbers));
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms_detail WHERE status=1"), std::to_string(GetParam().numbers));
    ASSERT_EQ(sim.jobs().size(), 1U);
    EXPECT_EQ(sim.jobs().front().messages.size(), GetParam().numbers);
    EXPECT_EQ(result.value("jobid"), sim.jobs().front().jobId);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CliSendBatches,
    testing::Values(BatchCase {"Exactly800", 800, 1}, BatchCase {"801", 801, 2}, BatchCase {"1600", 1600, 2}),
    [](const testing::TestParamInfo<BatchCase>& info) { return info.param.name; });

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
    EXPECT_EQ(sim.callCount("MessSendSMS"), 0);
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sendsms_detail WHERE status=-1"), "900") << "no number is lost";
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

    const CliResult now = send({"--text", "now", "13900000003"});
    ASSERT_EQ(now.exitCode, 0) << now.err;
    const CliResult listed = run({"records", "--user", "admin", "--scheduled"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("see you"), std::string::npos);
    EXPECT_EQ(listed.out.find("\tnow"), std::string::npos) << listed.out;
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
    ASSERT_EQ(run({"login", "--account", kAccount, "--user", "admin", "--password", kPassword}).exitCode, 0);
    {
        CADODataBase database;
        ASSERT_TRUE(database.Open(home.file("admin.db")));
        ASSERT_TRUE(database.Execute("INSERT INTO tbl_card (id, folder_id, phone, name) VALUES (1, 1, '13900000001', "
                                     "'张三'), (2, 1, '13900000002', 'D''Arcy')"));
    }
    const CliResult result = send({"--text", "您好", "--insert", "name", "13900000001", "13900000002", "13900000003"});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(sim.callCount("CreateJob"), 0);
    EXPECT_EQ(sim.callCount("CustomSend"), 1);
    ASSERT_EQ(sim.jobs().size(), 1U);
    const auto& messages = sim.jobs().front().messages;
    ASSERT_EQ(messages.size(), 3U);
    EXPECT_EQ(messages[0].text, "张三：您好");
    EXPECT_EQ(messages[1].text, "D'Arcy：您好");
    EXPECT_EQ(messages[2].text, "：您好");
    EXPECT_EQ(query("SELECT content FROM tbl_sendsms_detail WHERE phones='13900000002'"), "D'Arcy");
    EXPECT_EQ(result.value("jobid"), sim.jobs().front().jobId);
}

TEST_F(CliSend, LoginRefusalExitsTwo)
{
    const CliResult result
        = run({"send", "--account", kAccount, "--password", "wrong-password", "--text", "x", "13900000001"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("登录失败：帐号或密码错误!"), std::string::npos) << result.err;
    EXPECT_EQ(sim.callCount("CreateJob"), 0);
}

TEST_F(CliSend, BadArgumentsExitTwoAndHelpExitsZero)
{
    EXPECT_EQ(run({"send", "--account", kAccount, "--password", kPassword, "13900000001"}).exitCode, 2) << "no --text";
    EXPECT_EQ(run({"records", "--text", "x"}).exitCode, 2);
    EXPECT_EQ(run({"frobnicate"}).exitCode, 2);
    const CliResult help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Exit codes"), std::string::npos);
}

TEST_F(CliSend, ResumeWithNothingToFinishIsRefused)
{
    const std::vector<std::string> resume
        = {"resume", "--account", kAccount, "--user", "admin", "--password", kPassword};
    const CliResult none = run(resume);
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_NE(none.err.find("没有尚未完成的发送记录"), std::string::npos) << none.err;

    ASSERT_EQ(send({"--text", "done", "13900000001"}).exitCode, 0);
    auto named = resume;
    named.insert(named.end(), {"--record", "1"});
    const CliResult finished = run(named);
    EXPECT_EQ(finished.exitCode, 2);
    EXPECT_NE(finished.err.find("不是尚未完成的发送记录"), std::string::npos) << finished.err;
    EXPECT_EQ(run({"resume", "--account", kAccount, "--password", kPassword, "--record", "x"}).exitCode, 2);
    EXPECT_EQ(sim.callCount("CreateJob"), 1);
}

using CliReplies = CliHarness;

TEST_F(CliReplies, ReplyDeliveredTwiceIsStoredOnce)
{
    SimReply reply;
    reply.phone = "13900000001";
    reply.content = "It's fine, 谢谢";
    reply.recDateTime = "2026-03-04 05:06:07";
    sim.queueReply(kAccount, "admin", reply);
    sim.queueReply(kAccount, "admin", reply);
    const std::vector<std::string> fetch
        = {"replies", "--account", kAccount, "--user", "admin", "--password", kPassword};

    const CliResult first = run(fetch);
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.value("new"), "1");
    EXPECT_NE(first.out.find("13900000001\t2026-03-04 05:06:07\tIt's fine, 谢谢"), std::string::npos) << first.out;

    sim.queueReply(kAccount, "admin", reply);
    const CliResult second = run(fetch);
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.value("new"), "0");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_sms_recive"), "1");
    EXPECT_EQ(query("SELECT content FROM tbl_sms_recive"), "It's fine, 谢谢");
}

TEST_F(CliReplies, AccountWithoutTheRightIsTold)
{
    sim.addAccount(simAccount("8002", kPassword, 10, 1));
    const CliResult result = run({"replies", "--account", "8002", "--user", "admin", "--password", kPassword});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("没有接收回复短信的权限"), std::string::npos) << result.err;
    EXPECT_EQ(sim.callCount("FetchSMS"), 0);
}

TEST_F(CliReplies, RecordsOfAnUnknownUserAreNotCreated)
{
    const CliResult result = run({"records", "--user", "nobody"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_FALSE(std::filesystem::exists(home.file("nobody.db")));
}

} // namespace
} // namespace telvora::test
