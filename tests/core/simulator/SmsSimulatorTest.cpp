#include "SmsSimulator.h"

#include "SimText.h"

#include <ctime>
#include <gtest/gtest.h>
#include <httplib.h>

namespace telvora {
namespace {

using namespace std::chrono_literals;

// Text of the first <name> element, or of the attribute name="..." when attribute is set.
std::string xmlField(const std::string& xml, const std::string& name)
{
    const std::string open = "<" + name + ">";
    const auto begin = xml.find(open);
    if (begin == std::string::npos)
        return "<missing>";
    const auto end = xml.find("</" + name + ">", begin);
    return xml.substr(begin + open.size(), end - begin - open.size());
}

std::string attribute(const std::string& xml, std::size_t from, const std::string& name)
{
    const std::string open = " " + name + "=\"";
    const auto begin = xml.find(open, from);
    if (begin == std::string::npos)
        return "<missing>";
    const auto end = xml.find('"', begin + open.size());
    return xml.substr(begin + open.size(), end - begin - open.size());
}

int occurrences(const std::string& text, const std::string& piece)
{
    int count = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

std::string localTime(std::chrono::system_clock::time_point time, const char* format)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm parts {};
    localtime_r(&seconds, &parts);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, format, &parts);
    return buffer;
}

std::string numbers(int first, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += std::to_string(13900000000LL + first + i) + ";";
    return out;
}

class SmsSimulatorTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SimAccount account;
        account.account = "8001";
        account.adminPassword = "admin-pw";
        account.stock = 1000;
        account.companyName = "测试公司";
        account.signName = "【测试】";
        m_sim.addAccount(account);
        m_sim.addUser("8001", "sales01", "sales-pw", 50, "销售");
        ASSERT_TRUE(m_sim.start());
        m_client = std::make_unique<httplib::Client>("127.0.0.1", m_sim.port());
        m_client->set_read_timeout(10, 0);
    }

    httplib::Result post(const std::string& method, const std::string& body)
    {
        return m_client->Post(("/Services.asmx/" + method).c_str(), body, "application/x-www-form-urlencoded");
    }

    // The reply document of a call that is expected to reach the service.
    std::string call(const std::string& method, const std::string& body)
    {
        auto res = post(method, body);
        EXPECT_TRUE(res) << method << ": " << httplib::to_string(res.error());
        if (!res)
            return {};
        EXPECT_EQ(res->status, 200);
        return res->body;
    }

    std::string login(const std::string& user = "admin", const std::string& password = "admin-pw")
    {
        auto res
            = m_client->Get(("/Services.asmx/UserLogin?UserID=8001&Account=" + user + "&Password=" + password).c_str());
        EXPECT_TRUE(res);
        return res ? xmlField(res->body, "Token") : std::string();
    }

    std::string token(const std::string& user = "admin", const std::string& password = "admin-pw")
    {
        return "Token=" + login(user, password);
    }

    std::string createJob(const std::string& auth, const std::string& content)
    {
        return xmlField(call("CreateJob", auth + "&Content=" + content + "&SmsType=1&PostFixNumber="), "JobID");
    }

    std::int64_t stockOf(const std::string& user = "admin") { return m_sim.stock("8001", user).value_or(-1); }

    static bool ok(const std::string& reply) { return reply.find("<RetCode>Sucess</RetCode>") != std::string::npos; }

    SmsSimulator m_sim;
    std::unique_ptr<httplib::Client> m_client;
};

// --- login and session -------------------------------------------------------------------------

TEST_F(SmsSimulatorTest, LoginAnswersTheSessionFieldsInOrder)
{
    auto res = m_client->Get("/Services.asmx/UserLogin?UserID=8001&Account=sales01&Password=sales-pw");
    ASSERT_TRUE(res);
    const std::string& xml = res->body;
    ASSERT_TRUE(ok(xml)) << xml;
    std::size_t last = 0;
    for (const char* name : {"RetCode", "Token", "Version", "SmsServerAddress", "UserType", "UserRight",
             "SegmentUpperLimit", "LongSmsLen", "ShortSmsLen", "FetchSendStat", "SmsStock", "SignName"}) {
        const auto at = xml.find(std::string("<") + name + ">");
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_GT(at, last) << name << " out of order";
        last = at;
    }
    EXPECT_EQ(xmlField(xml, "SmsStock"), "50");
    EXPECT_EQ(xmlField(xml, "LongSmsLen"), "70");
    EXPECT_EQ(xmlField(xml, "SignName"), "【测试】");
    EXPECT_EQ(xmlField(xml, "SmsServerAddress"), m_sim.address());
    EXPECT_EQ(xmlField(xml, "Token").size(), 32u);
}

TEST_F(SmsSimulatorTest, LoginRefusals)
{
    struct Case
    {
        const char* name;
        const char* query;
    } cases[] = {
        {"wrong password", "UserID=8001&Account=admin&Password=nope"},
        {"unknown user", "UserID=8001&Account=ghost&Password=admin-pw"},
        {"unknown account", "UserID=9999&Account=admin&Password=admin-pw"},
        {"password decoded, not '+' as blank", "UserID=8001&Account=admin&Password=admin+pw"},
    };
    for (const auto& c : cases) {
        auto res = m_client->Get((std::string("/Services.asmx/UserLogin?") + c.query).c_str());
        ASSERT_TRUE(res) << c.name;
        EXPECT_FALSE(ok(res->body)) << c.name;
        EXPECT_EQ(xmlField(res->body, "Message"), "帐号或密码错误") << c.name;
    }
}

TEST_F(SmsSimulatorTest, LoginWithPlusInPassword)
{
    m_sim.addUser("8001", "plus1", "a+b c", 0);
    auto res = m_client->Get("/Services.asmx/UserLogin?UserID=8001&Account=plus1&Password=a%2bb%20c");
    ASSERT_TRUE(res);
    EXPECT_TRUE(ok(res->body)) << res->body;
}

TEST_F(SmsSimulatorTest, EmptySubAccountLogsInAsAdminAndInterfaceAccountsStillLogIn)
{
    auto res = m_client->Get("/Services.asmx/UserLogin?UserID=8001&Account=&Password=admin-pw");
    ASSERT_TRUE(res);
    EXPECT_EQ(xmlField(res->body, "SmsStock"), "1000");

    SimAccount api;
    api.account = "8002";
    api.userType = 4;
    m_sim.addAccount(api);
    res = m_client->Get("/Services.asmx/UserLogin?UserID=8002&Account=admin&Password=123456");
    ASSERT_TRUE(res);
    EXPECT_EQ(xmlField(res->body, "UserType"), "4"); // the client refuses it, not the service
}

TEST_F(SmsSimulatorTest, TokenExpiresAfterIdleTimeButUseKeepsItAlive)
{
    m_sim.setTokenIdleTimeout(60s);
    const std::string auth = token();
    m_sim.advanceClock(40s);
    EXPECT_TRUE(ok(call("HeartBeating", auth)));
    m_sim.advanceClock(40s);
    EXPECT_TRUE(ok(call("HeartBeating", auth)));
    m_sim.advanceClock(61s);
    const std::string expired = call("GetStockDetails", auth);
    EXPECT_FALSE(ok(expired));
    EXPECT_EQ(xmlField(expired, "Message"), "登录已超时，请重新登录");
    EXPECT_FALSE(ok(call("HeartBeating", auth)));
}

TEST_F(SmsSimulatorTest, UnknownTokenAndLogOff)
{
    EXPECT_EQ(xmlField(call("HeartBeating", "Token=nope"), "Message"), "登录已失效，请重新登录");
    EXPECT_FALSE(ok(call("HeartBeating", "")));
    const std::string auth = token();
    EXPECT_TRUE(ok(call("UserLogOff", auth)));
    EXPECT_FALSE(ok(call("HeartBeating", auth)));
}

TEST_F(SmsSimulatorTest, UnknownMethodIsNotFound)
{
    auto res = post("NoSuchMethod", token());
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 404);
}

// --- sending -----------------------------------------------------------------------------------

TEST_F(SmsSimulatorTest, BatchRefusesInvalidNumbersAndChargesTheValidOnes)
{
    const std::string auth = token();
    // "%e4%bd%a0%e5%a5%bd" is 你好; '+' arrives escaped and stays a plus sign.
    const std::string jobId = createJob(auth, "%e4%bd%a0%e5%a5%bd%2b1");
    ASSERT_FALSE(jobId.empty());
    const std::string reply = call("MessSendSMS",
        auth + "&Phones=13800000001;1380000000;23800000001;13800000002;1380000000x;&JobID=" + jobId + "&SendTime=");
    ASSERT_TRUE(ok(reply)) << reply;
    EXPECT_EQ(xmlField(reply, "OKPhoneCounts"), "2");
    EXPECT_EQ(xmlField(reply, "ErrPhones"), "1380000000;23800000001;1380000000x");
    EXPECT_LT(reply.find("<OKPhoneCounts>"), reply.find("<ErrPhones>"));
    EXPECT_EQ(stockOf(), 998);

    const auto job = m_sim.job(jobId);
    ASSERT_TRUE(job);
    ASSERT_EQ(job->messages.size(), 2u);
    EXPECT_EQ(job->messages[0].phone, "13800000001");
    EXPECT_EQ(job->messages[0].text, "你好+1");
    EXPECT_FALSE(job->scheduled);
    EXPECT_EQ(job->refused.size(), 3u);
}

TEST_F(SmsSimulatorTest, LongTextChargesPerSegmentAndShortStockRefusesTheWholeBatch)
{
    const std::string auth = token("sales01", "sales-pw"); // stock 50
    const std::string jobId = createJob(auth, std::string(71, 'a')); // 2 segments
    std::string reply = call("MessSendSMS", auth + "&Phones=" + numbers(0, 20) + "&JobID=" + jobId + "&SendTime=");
    ASSERT_TRUE(ok(reply)) << reply;
    EXPECT_EQ(stockOf("sales01"), 10);

    reply = call("MessSendSMS", auth + "&Phones=" + numbers(100, 6) + "&JobID=" + jobId + "&SendTime=");
    EXPECT_FALSE(ok(reply));
    EXPECT_EQ(xmlField(reply, "Message"), "短信余量不足，本次需要12条，剩余10条");
    EXPECT_EQ(stockOf("sales01"), 10);
    EXPECT_EQ(m_sim.job(jobId)->messages.size(), 20u);
}

TEST_F(SmsSimulatorTest, FullBatchOf800NumbersIsAccepted)
{
    // 800 numbers make a body well above the 8 KiB the server library allows for forms by itself.
    const std::string auth = token();
    const std::string jobId = createJob(auth, "hello");
    const std::string reply
        = call("MessSendSMS", auth + "&Phones=" + numbers(0, 800) + "&JobID=" + jobId + "&SendTime=");
    ASSERT_TRUE(ok(reply)) << reply;
    EXPECT_EQ(xmlField(reply, "OKPhoneCounts"), "800");
    EXPECT_EQ(stockOf(), 200);
}

TEST_F(SmsSimulatorTest, JobRefusals)
{
    const std::string auth = token();
    EXPECT_EQ(
        xmlField(call("CreateJob", auth + "&Content=%20&SmsType=1&PostFixNumber="), "Message"), "短信内容不能为空");
    EXPECT_FALSE(ok(call("MessSendSMS", auth + "&Phones=13800000001;&JobID=424242&SendTime=")));
    const std::string jobId = createJob(auth, "x");
    EXPECT_FALSE(ok(call("MessSendSMS", auth + "&Phones=;&JobID=" + jobId + "&SendTime=")));
    EXPECT_EQ(
        xmlField(call("MessSendSMS", auth + "&Phones=13800000001;&JobID=" + jobId + "&SendTime=tomorrow"), "Message"),
        "定时时间格式不正确");
    // Another account's job is not ours.
    SimAccount other;
    other.account = "8003";
    other.stock = 10;
    m_sim.addAccount(other);
    auto res = m_client->Get("/Services.asmx/UserLogin?UserID=8003&Account=admin&Password=123456");
    ASSERT_TRUE(res);
    EXPECT_FALSE(ok(call("MessSendSMS",
        "Token=" + xmlField(res->body, "Token") + "&Phones=13800000001;&JobID=" + jobId + "&SendTime=")));
    EXPECT_EQ(stockOf(), 1000);
}

TEST_F(SmsSimulatorTest, ScheduledJobCanBeCancelledOnceAndRefundsItsStock)
{
    const std::string auth = token();
    const std::string when = localTime(std::chrono::system_clock::now() + 2h, "%Y-%m-%d %H:%M:%S");
    const std::string jobId = createJob(auth, "later");
    ASSERT_TRUE(ok(call("MessSendSMS", auth + "&Phones=" + numbers(0, 3) + "&JobID=" + jobId + "&SendTime=" + when)));
    EXPECT_EQ(stockOf(), 997);
    auto job = m_sim.job(jobId);
    ASSERT_TRUE(job);
    EXPECT_TRUE(job->scheduled);
    EXPECT_EQ(job->sendTime, when);

    EXPECT_TRUE(ok(call("CancelJob", auth + "&JobIDs=" + jobId + ";")));
    EXPECT_EQ(stockOf(), 1000);
    EXPECT_TRUE(m_sim.job(jobId)->cancelled);
    EXPECT_EQ(xmlField(call("CancelJob", auth + "&JobIDs=" + jobId + ";"), "Message"), "任务[" + jobId + "]已取消");
    EXPECT_EQ(stockOf(), 1000);
    EXPECT_FALSE(ok(call("MessSendSMS", auth + "&Phones=" + numbers(0, 1) + "&JobID=" + jobId + "&SendTime=" + when)));
}

TEST_F(SmsSimulatorTest, CancelRefusesSentUnknownAndEmptyJobsAndChangesNothing)
{
    const std::string auth = token();
    const std::string when = localTime(std::chrono::system_clock::now() + 1h, "%Y-%m-%d %H:%M:%S");
    const std::string later = createJob(auth, "later");
    ASSERT_TRUE(ok(call("MessSendSMS", auth + "&Phones=" + numbers(0, 2) + "&JobID=" + later + "&SendTime=" + when)));
    const std::string now = createJob(auth, "now");
    ASSERT_TRUE(ok(call("MessSendSMS", auth + "&Phones=" + numbers(0, 2) + "&JobID=" + now + "&SendTime=")));
    const std::string past = localTime(std::chrono::system_clock::now() - 1h, "%Y-%m-%d %H:%M:%S");
    const std::string gone = createJob(auth, "past time");
    ASSERT_TRUE(ok(call("MessSendSMS", auth + "&Phones=" + numbers(0, 2) + "&JobID=" + gone + "&SendTime=" + past)));
    EXPECT_FALSE(m_sim.job(gone)->scheduled);

    struct Case
    {
        const char* name;
        std::string ids;
    } cases[] = {
        {"sent at once", now + ";"},
        {"time already past", gone + ";"},
        {"unknown", "999999;"},
        {"only a separator", ";"},
        {"one bad id spoils the call", later + ";" + now + ";"},
    };
    for (const auto& c : cases) {
        const std::string reply = call("CancelJob", auth + "&JobIDs=" + c.ids);
        EXPECT_FALSE(ok(reply)) << c.name;
        EXPECT_NE(xmlField(reply, "Message"), "") << c.name;
    }
    EXPECT_FALSE(m_sim.job(later)->cancelled);
    EXPECT_EQ(stockOf(), 994);

    // Once its time has come the scheduled job is sent and no longer cancellable.
    m_sim.setTokenIdleTimeout(24h);
    m_sim.advanceClock(2h);
    EXPECT_EQ(
        xmlField(call("CancelJob", auth + "&JobIDs=" + later + ";"), "Message"), "任务[" + later + "]已发送，不能取消");
}

TEST_F(SmsSimulatorTest, CustomSendMergesThePatternPerNumber)
{
    const std::string auth = token();
    // Pattern "{姓名}您好，工资{工资}元" escaped as the spreadsheet send does; one value holds an
    // escaped ";" and braces that must stay inside it.
    const std::string details = "{%e5%bc%a0%e4%b8%89}{100};{%7bx%7d%3b}{" + std::string(200, '9') + "};{bad}{0};";
    const std::string reply = call("CustomSend",
        auth
            + "&Pattern=%7b%e5%a7%93%e5%90%8d%7d%e6%82%a8%e5%a5%bd%ef%bc%8c"
              "%e5%b7%a5%e8%b5%84%7b%e5%b7%a5%e8%b5%84%7d%e5%85%83"
              "&DefaultDetail={}{};&Details="
            + details + "&Phones=13800000001;13800000002;123;&SmsType=1&SendTime=&PostFixNumber=");
    ASSERT_TRUE(ok(reply)) << reply;
    EXPECT_EQ(xmlField(reply, "TotalSendCount"), "2");
    EXPECT_EQ(xmlField(reply, "ErrorPhones"), "123");
    EXPECT_EQ(xmlField(reply, "SpecialJobIDs"), "");
    const std::string jobId = xmlField(reply, "CommonJobID");
    const auto job = m_sim.job(jobId);
    ASSERT_TRUE(job);
    ASSERT_EQ(job->messages.size(), 2u);
    EXPECT_EQ(job->messages[0].text, "张三您好，工资100元");
    EXPECT_EQ(job->messages[0].segments, 1);
    EXPECT_EQ(job->messages[1].text, "{x};您好，工资" + std::string(200, '9') + "元");
    EXPECT_EQ(job->messages[1].segments, 4);
    EXPECT_EQ(stockOf(), 995);
    EXPECT_EQ(job->method, "CustomSend");
}

TEST_F(SmsSimulatorTest, CustomSendOfTheSendEngineAndItsRefusal)
{
    // The engine sends its pattern without percent escapes and one name per number.
    const std::string auth = token("sales01", "sales-pw");
    const std::string when = localTime(std::chrono::system_clock::now() + 1h, "%Y-%m-%d %H:%M:%S");
    std::string reply = call("CustomSend",
        auth
            + "&Pattern={zf}：明天开会&DefaultDetail={};&Details={%e7%8e%8b};{};"
              "&Phones=13800000001;13800000002;&SmsType=1&SendTime="
            + when + "&PostFixNumber=");
    ASSERT_TRUE(ok(reply)) << reply;
    const auto job = m_sim.job(xmlField(reply, "CommonJobID"));
    ASSERT_TRUE(job);
    EXPECT_TRUE(job->scheduled);
    EXPECT_EQ(job->messages[0].text, "王：明天开会");
    EXPECT_EQ(job->messages[1].text, "：明天开会");
    EXPECT_EQ(stockOf("sales01"), 48);

    reply = call("CustomSend",
        auth + "&Pattern={zf}：" + std::string(71, 'a') + "&DefaultDetail={};&Details=" + "&Phones=" + numbers(0, 25)
            + "&SmsType=1&SendTime=&PostFixNumber=");
    EXPECT_EQ(xmlField(reply, "Message"), "短信余量不足，本次需要50条，剩余48条");
    EXPECT_EQ(stockOf("sales01"), 48);
}

TEST_F(SmsSimulatorTest, FetchSmsHandsOutEachReplyOnce)
{
    ASSERT_TRUE(m_sim.queueReply("8001", "admin", {"13800000001", "好的<收到>&", "2026-01-02 03:04:05", "12"}));
    ASSERT_TRUE(m_sim.queueReply("8001", "admin", {"13800000002", "第二条", {}, {}}));
    ASSERT_TRUE(m_sim.queueReply("8001", "sales01", {"13800000003", "给子帐号", {}, {}}));
    const std::string auth = token();
    const std::string reply = call("FetchSMS", auth);
    ASSERT_TRUE(ok(reply)) << reply;
    EXPECT_EQ(xmlField(reply, "Count"), "2");
    EXPECT_LT(reply.find("<Count>"), reply.find("<Nodes>"));
    EXPECT_EQ(occurrences(reply, "<SMSGroup "), 2);
    const auto first = reply.find("<SMSGroup ");
    EXPECT_EQ(attribute(reply, first, "Phone"), "13800000001");
    EXPECT_EQ(attribute(reply, first, "RecDateTime"), "2026-01-02 03:04:05");
    EXPECT_EQ(attribute(reply, first, "PostFixNumber"), "12");
    EXPECT_NE(reply.find(">好的&lt;收到&gt;&amp;</SMSGroup>"), std::string::npos);

    const std::string again = call("FetchSMS", auth);
    EXPECT_EQ(xmlField(again, "Count"), "0");
    EXPECT_EQ(occurrences(again, "<SMSGroup "), 0);
    EXPECT_EQ(m_sim.pendingReplies("8001", "sales01"), 1u);
}

// --- account administration --------------------------------------------------------------------

TEST_F(SmsSimulatorTest, DistributeStockMovesBetweenAdminAndSubAccount)
{
    const std::string auth = token();
    struct Step
    {
        const char* name;
        std::string body;
        bool succeeds;
        std::int64_t admin;
        std::int64_t sub;
    } steps[] = {
        {"give 100", "&AccountName=sales01&Amount=100", true, 900, 150},
        {"give more than admin holds", "&AccountName=sales01&Amount=901", false, 900, 150},
        {"take back 30", "&AccountName=sales01&Amount=-30", true, 930, 120},
        {"take back more than it holds", "&AccountName=sales01&Amount=-121", false, 930, 120},
        {"zero", "&AccountName=sales01&Amount=0", false, 930, 120},
        {"not a number", "&AccountName=sales01&Amount=12x", false, 930, 120},
        {"unknown sub-account", "&AccountName=ghost&Amount=1", false, 930, 120},
        {"to admin itself", "&AccountName=admin&Amount=1", false, 930, 120},
        {"give all", "&AccountName=sales01&Amount=930", true, 0, 1050},
    };
    for (const auto& step : steps) {
        const std::string reply = call("DistributeStock", auth + step.body);
        EXPECT_EQ(ok(reply), step.succeeds) << step.name << ": " << reply;
        if (!step.succeeds) {
            EXPECT_NE(xmlField(reply, "Message"), "") << step.name;
        }
        EXPECT_EQ(stockOf(), step.admin) << step.name;
        EXPECT_EQ(stockOf("sales01"), step.sub) << step.name;
    }
    EXPECT_FALSE(ok(call("DistributeStock", token("sales01", "sales-pw") + "&AccountName=sales01&Amount=1")));
}

TEST_F(SmsSimulatorTest, UserInfoListsUsersWithStockAndMemo)
{
    const std::string reply = call("GetUserInfo", token());
    ASSERT_TRUE(ok(reply)) << reply;
    EXPECT_EQ(xmlField(reply, "TotalAccounts"), "10");
    EXPECT_EQ(xmlField(reply, "CompanyName"), "测试公司");
    EXPECT_NE(reply.find("<AccountItem CurRemain=\"1000\" Memo=\"\">admin</AccountItem>"), std::string::npos);
    EXPECT_NE(reply.find("<AccountItem CurRemain=\"50\" Memo=\"销售\">sales01</AccountItem>"), std::string::npos);
    // A sub-account sees only itself.
    EXPECT_EQ(occurrences(call("GetUserInfo", token("sales01", "sales-pw")), "<AccountItem "), 1);
}

TEST_F(SmsSimulatorTest, SubAccountLifecycle)
{
    const std::string auth = token();
    EXPECT_TRUE(
        ok(call("AddSubAccount", auth + "&AccountName=clerk&Password=pw123456&SignNameID=1&Memo=%e5%89%8d%e5%8f%b0")));
    EXPECT_FALSE(ok(call("AddSubAccount", auth + "&AccountName=clerk&Password=x&SignNameID=1&Memo=")));
    EXPECT_FALSE(ok(call("AddSubAccount", auth + "&AccountName=admin&Password=x&SignNameID=1&Memo=")));
    EXPECT_FALSE(
        ok(call("AddSubAccount", token("sales01", "sales-pw") + "&AccountName=x2&Password=x&SignNameID=1&Memo=")));
    EXPECT_NE(call("GetUserInfo", auth).find("Memo=\"前台\">clerk<"), std::string::npos);

    const std::string clerk = token("clerk", "pw123456");
    EXPECT_TRUE(ok(call("HeartBeating", clerk)));
    EXPECT_TRUE(ok(call("SubAccountPswModify", auth + "&AccountName=clerk&NewPsw=newpw99")));
    EXPECT_FALSE(ok(call("SubAccountPswModify", auth + "&AccountName=admin&NewPsw=newpw99")));
    EXPECT_EQ(m_sim.password("8001", "clerk"), "newpw99");

    EXPECT_TRUE(ok(call("DistributeStock", auth + "&AccountName=clerk&Amount=40")));
    EXPECT_TRUE(ok(call("RemoveSubAccount", auth + "&AccountName=clerk")));
    EXPECT_EQ(stockOf(), 1000); // its stock came back
    EXPECT_FALSE(ok(call("HeartBeating", clerk)));
    EXPECT_FALSE(ok(call("RemoveSubAccount", auth + "&AccountName=clerk")));
    EXPECT_FALSE(ok(call("RemoveSubAccount", auth + "&AccountName=admin")));
}

TEST_F(SmsSimulatorTest, SubAccountLimit)
{
    SimAccount small;
    small.account = "8004";
    small.totalAccounts = 1;
    m_sim.addAccount(small);
    auto res = m_client->Get("/Services.asmx/UserLogin?UserID=8004&Account=admin&Password=123456");
    ASSERT_TRUE(res);
    const std::string auth = "Token=" + xmlField(res->body, "Token");
    EXPECT_TRUE(ok(call("AddSubAccount", auth + "&AccountName=one11&Password=p&SignNameID=1&Memo=")));
    EXPECT_EQ(xmlField(call("AddSubAccount", auth + "&AccountName=two22&Password=p&SignNameID=1&Memo="), "Message"),
        "子帐号数量已达上限");
}

TEST_F(SmsSimulatorTest, PasswordChangeChecksTheOldPassword)
{
    const std::string auth = token("sales01", "sales-pw");
    EXPECT_EQ(xmlField(call("PasswordChange", auth + "&oldPSW=wrong&newPSW=abc123"), "Message"), "旧密码错误");
    EXPECT_FALSE(ok(call("PasswordChange", auth + "&oldPSW=sales-pw&newPSW=")));
    EXPECT_TRUE(ok(call("PasswordChange", auth + "&oldPSW=sales-pw&newPSW=abc123")));
    EXPECT_FALSE(login("sales01", "sales-pw").size() == 32);
    EXPECT_EQ(login("sales01", "abc123").size(), 32u);
}

TEST_F(SmsSimulatorTest, BillsListConsumptionPerDayAndUserInTheRange)
{
    const std::string auth = token();
    ASSERT_TRUE(m_sim.addConsumption("8001", "admin", "2025-3-1", 7));
    ASSERT_TRUE(m_sim.addConsumption("8001", "sales01", "2025-03-01", 5));
    ASSERT_TRUE(m_sim.addConsumption("8001", "admin", "2025-3-2", 4));
    ASSERT_TRUE(m_sim.addConsumption("8001", "admin", "2025-3-9", 1));
    EXPECT_FALSE(m_sim.addConsumption("8001", "admin", "2025-13-1", 1));
    const std::string jobId = createJob(auth, "today");
    ASSERT_TRUE(ok(call("MessSendSMS", auth + "&Phones=" + numbers(0, 3) + "&JobID=" + jobId + "&SendTime=")));

    std::string reply = call("GetClientBills", auth + "&DayStart=2025-3-1&DayEnd=2025-3-2");
    ASSERT_TRUE(ok(reply)) << reply;
    EXPECT_EQ(xmlField(reply, "CompanyName"), "测试公司");
    EXPECT_LT(reply.find("<CompanyName>"), reply.find("<BillDetail>"));
    EXPECT_NE(reply.find("<Bill BillDay=\"2025-03-01\" Account=\"admin\" CurRemain=\"1000\" CurDaySend=\"7\" "
                         "CurTotal=\"7\"/><Bill BillDay=\"2025-03-01\" Account=\"sales01\" CurRemain=\"50\" "
                         "CurDaySend=\"5\" CurTotal=\"5\"/><Bill BillDay=\"2025-03-02\" Account=\"admin\" "
                         "CurRemain=\"1000\" CurDaySend=\"4\" CurTotal=\"11\"/></BillDetail>"),
        std::string::npos)
        << reply;

    const std::string today = localTime(std::chrono::system_clock::now(), "%Y-%m-%d");
    reply = call("GetClientBills", auth + "&DayStart=" + today + "&DayEnd=" + today);
    EXPECT_EQ(occurrences(reply, "<Bill "), 1);
    EXPECT_EQ(attribute(reply, reply.find("<Bill "), "CurDaySend"), "3");
    EXPECT_EQ(attribute(reply, reply.find("<Bill "), "CurRemain"), "997");

    EXPECT_EQ(occurrences(call("GetClientBills", auth + "&DayStart=2025-3-3&DayEnd=2025-3-8"), "<Bill "), 0);
    EXPECT_EQ(occurrences(call("GetClientBills", token("sales01", "sales-pw") + "&DayStart=2025-3-1&DayEnd=2025-3-9"),
                  "<Bill "),
        1);
    EXPECT_FALSE(ok(call("GetClientBills", auth + "&DayStart=yesterday&DayEnd=2025-3-2")));
}

TEST_F(SmsSimulatorTest, StockDetails)
{
    EXPECT_EQ(xmlField(call("GetStockDetails", token("sales01", "sales-pw")), "StockRemain"), "50");
}

// --- backups, pages ----------------------------------------------------------------------------

std::string soapEnvelope(const std::string& token, const std::string& data)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><UploadFile "
           "xmlns=\"http://tempuri.org/\"><Token>"
        + token + "</Token><BinaryDatas>" + data + "</BinaryDatas></UploadFile></soap:Body></soap:Envelope>";
}

TEST_F(SmsSimulatorTest, UploadedBackupIsServedBack)
{
    EXPECT_EQ(m_client->Get("/8001_sales01.dat")->status, 404);
    const std::string bytes("SQLite format 3\0\x01\xff\n", 20);
    httplib::Headers headers {{"SOAPAction", "\"http://tempuri.org/UploadFile\""}};
    auto res = m_client->Post("/Services.asmx?op=UploadFile", headers,
        soapEnvelope(login("sales01", "sales-pw"), sim::base64Encode(bytes)), "text/xml; charset=utf-8");
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("<RetCode>Sucess</RetCode>"), std::string::npos) << res->body;
    EXPECT_NE(res->body.find("<soap:Envelope"), std::string::npos);

    res = m_client->Get("/8001_sales01.dat");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(res->body, bytes);
    EXPECT_EQ(m_client->Get("/8001_admin.dat")->status, 404);
}

TEST_F(SmsSimulatorTest, UploadRefusals)
{
    struct Case
    {
        const char* name;
        std::string body;
    } cases[] = {
        {"bad token", soapEnvelope("nope", "YWJj")},
        {"not base64", soapEnvelope(login(), "@@@@")},
        {"no token element", "<soap:Envelope><BinaryDatas>YWJj</BinaryDatas></soap:Envelope>"},
    };
    for (const auto& c : cases) {
        auto res = m_client->Post("/Services.asmx?op=UploadFile", c.body, "text/xml; charset=utf-8");
        ASSERT_TRUE(res) << c.name;
        EXPECT_EQ(res->body.find("<RetCode>Sucess</RetCode>"), std::string::npos) << c.name;
        EXPECT_NE(xmlField(res->body, "Message"), "<missing>") << c.name;
    }
    EXPECT_FALSE(m_sim.backup("8001", "admin").has_value());
}

TEST_F(SmsSimulatorTest, EmptyBackupIsStillAnUpload)
{
    auto res = m_client->Post("/Services.asmx?op=UploadFile", soapEnvelope(login(), ""), "text/xml; charset=utf-8");
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("<RetCode>Sucess</RetCode>"), std::string::npos);
    EXPECT_EQ(m_sim.backup("8001", "admin"), "");
    EXPECT_EQ(m_client->Get("/8001_admin.dat")->status, 200);
}

TEST_F(SmsSimulatorTest, UpdateListAndNotice)
{
    m_sim.setUpdateInfo("3.1", "10.0.0.1:8080");
    // The client fetches the list with a bodiless POST.
    auto res = m_client->Post("/Download/UpdateFileList.asp", "", "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_EQ(xmlField(res->body, "Version"), "3.1");
    EXPECT_EQ(xmlField(res->body, "ServerIP"), "10.0.0.1:8080");
    EXPECT_LT(res->body.find("<Version>"), res->body.find("<ServerIP>"));

    res = m_client->Get("/download/UserNoticeNew.asp");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_NE(res->body.find("系统公告"), std::string::npos);
    EXPECT_NE(res->get_header_value("Content-Type").find("utf-8"), std::string::npos);
}

// --- faults ------------------------------------------------------------------------------------

TEST_F(SmsSimulatorTest, FaultsAreSeenByTheClientAndLeaveTheStateAlone)
{
    const std::string auth = token();
    const std::string jobId = createJob(auth, "x");
    const std::string body = auth + "&Phones=13800000001;&JobID=" + jobId + "&SendTime=";

    m_sim.injectFault("MessSendSMS", {SimFault::Kind::Http500, {}, {}});
    auto res = post("MessSendSMS", body);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 500);

    m_sim.clearFaults();
    m_sim.injectFault("MessSendSMS", {SimFault::Kind::Refuse, {}, "系统维护中"});
    res = post("MessSendSMS", body);
    ASSERT_TRUE(res);
    EXPECT_FALSE(ok(res->body));
    EXPECT_EQ(xmlField(res->body, "Message"), "系统维护中");

    m_sim.clearFaults();
    m_sim.injectFault("MessSendSMS", {SimFault::Kind::NotXml, {}, {}});
    res = post("MessSendSMS", body);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(res->body.find('<'), std::string::npos);

    m_sim.clearFaults();
    m_sim.injectFault("MessSendSMS", {SimFault::Kind::Drop, {}, {}});
    res = post("MessSendSMS", body);
    EXPECT_FALSE(res);

    EXPECT_EQ(stockOf(), 1000);
    EXPECT_TRUE(m_sim.job(jobId)->messages.empty());
    EXPECT_EQ(m_sim.callCount("MessSendSMS"), 4);

    m_sim.clearFaults();
    EXPECT_TRUE(ok(call("MessSendSMS", body)));
    EXPECT_EQ(stockOf(), 999);
}

TEST_F(SmsSimulatorTest, FaultOnTheNthCallOnly)
{
    const std::string auth = token();
    call("HeartBeating", auth);
    m_sim.injectFault("HeartBeating", {SimFault::Kind::Http500, {}, {}}, 2);
    m_sim.injectFault("HeartBeating", {SimFault::Kind::Refuse, {}, "每次"}, 0);
    EXPECT_EQ(xmlField(call("HeartBeating", auth), "Message"), "每次");
    auto res = post("HeartBeating", auth);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 500); // the n-th call wins over the every-call fault
    EXPECT_EQ(xmlField(call("HeartBeating", auth), "Message"), "每次");
    EXPECT_EQ(m_sim.callCount("HeartBeating"), 4);
    EXPECT_TRUE(ok(call("GetStockDetails", auth))); // other methods untouched
}

TEST_F(SmsSimulatorTest, DelayOutlastsTheClientTimeoutAndStopDoesNotWaitForIt)
{
    const std::string auth = token();
    m_sim.injectFault("GetStockDetails", {SimFault::Kind::Delay, 60s, {}}, 1);
    httplib::Client impatient("127.0.0.1", m_sim.port());
    impatient.set_read_timeout(0, 200000);
    auto res = impatient.Post("/Services.asmx/GetStockDetails", auth, "application/x-www-form-urlencoded");
    EXPECT_FALSE(res);
    EXPECT_EQ(res.error(), httplib::Error::Read);
    m_sim.stop(); // must wake the sleeping handler rather than wait a minute
    EXPECT_FALSE(m_sim.isRunning());
}

TEST_F(SmsSimulatorTest, ShortDelayStillAnswers)
{
    const std::string auth = token();
    m_sim.injectFault("GetStockDetails", {SimFault::Kind::Delay, 1ms, {}});
    EXPECT_EQ(xmlField(call("GetStockDetails", auth), "StockRemain"), "1000");
}

TEST_F(SmsSimulatorTest, FaultsReachTheSoapUploadToo)
{
    m_sim.injectFault("UploadFile", {SimFault::Kind::Refuse, {}, "磁盘已满"});
    auto res = m_client->Post("/Services.asmx?op=UploadFile", soapEnvelope(login(), "YWJj"), "text/xml");
    ASSERT_TRUE(res);
    EXPECT_EQ(xmlField(res->body, "Message"), "磁盘已满");
    EXPECT_NE(res->body.find("<soap:Envelope"), std::string::npos);
    EXPECT_FALSE(m_sim.backup("8001", "admin").has_value());
}

// --- control over HTTP -------------------------------------------------------------------------

TEST_F(SmsSimulatorTest, ControlInterfaceOverHttp)
{
    auto control = [this](const std::string& path, const httplib::Params& params) {
        auto res = m_client->Post(path.c_str(), params);
        EXPECT_TRUE(res) << path;
        return res ? res->body : std::string();
    };
    EXPECT_EQ(
        control("/control/account",
            {{"account", "7001"}, {"password", "pw 1"}, {"stock", "30"}, {"company", "公司"}, {"userRight", "4"}}),
        "{\"ok\":true}");
    EXPECT_EQ(control("/control/user", {{"account", "7001"}, {"user", "sub01"}, {"password", "p"}, {"stock", "5"}}),
        "{\"ok\":true}");
    EXPECT_EQ(control("/control/stock", {{"account", "7001"}, {"user", "sub01"}, {"stock", "9"}}), "{\"ok\":true}");
    EXPECT_EQ(control("/control/stock", {{"account", "nope"}, {"user", "sub01"}, {"stock", "9"}}), "{\"ok\":false}");
    EXPECT_EQ(m_client->Get("/control/stock?account=7001&user=sub01")->body, "{\"ok\":true,\"stock\":9}");
    EXPECT_EQ(
        control("/control/reply", {{"account", "7001"}, {"phone", "13800000009"}, {"content", "好"}}), "{\"ok\":true}");
    EXPECT_EQ(m_sim.pendingReplies("7001", "admin"), 1u);

    auto res = m_client->Get("/Services.asmx/UserLogin?UserID=7001&Account=admin&Password=pw%201");
    ASSERT_TRUE(res);
    EXPECT_EQ(xmlField(res->body, "UserRight"), "4");
    const std::string auth = "Token=" + xmlField(res->body, "Token");
    const std::string jobId = createJob(auth, "%e5%97%a8");
    call("MessSendSMS", auth + "&Phones=13800000001;1;&JobID=" + jobId + "&SendTime=");
    EXPECT_NE(
        m_client->Get("/control/jobs")
            ->body.find(
                "\"method\":\"MessSendSMS\",\"content\":\"嗨\",\"smsType\":1,\"sendTime\":\"\",\"scheduled\":false,"
                "\"cancelled\":false,\"charged\":1,\"messages\":[{\"phone\":\"13800000001\",\"text\":\"嗨\","
                "\"segments\":1}],\"refused\":[\"1\"]}"),
        std::string::npos);
    EXPECT_NE(m_client->Get("/control/calls")->body.find("\"MessSendSMS\":1"), std::string::npos);

    EXPECT_EQ(control("/control/fault", {{"method", "HeartBeating"}, {"kind", "refuse"}, {"message", "停机"}}),
        "{\"ok\":true}");
    EXPECT_EQ(control("/control/fault", {{"method", "HeartBeating"}, {"kind", "explode"}}), "{\"ok\":false}");
    EXPECT_EQ(xmlField(call("HeartBeating", auth), "Message"), "停机");
    control("/control/faults/clear", {});
    EXPECT_TRUE(ok(call("HeartBeating", auth)));

    control("/control/token-idle", {{"ms", "1000"}});
    control("/control/clock", {{"advanceMs", "2000"}});
    EXPECT_FALSE(ok(call("HeartBeating", auth)));
    control("/control/update", {{"version", "9"}, {"serverIp", "h:1"}});
    EXPECT_EQ(m_sim.config().updateVersion, "9");
    EXPECT_EQ(
        control("/control/consumption", {{"account", "7001"}, {"user", "admin"}, {"day", "2025-1-1"}, {"count", "3"}}),
        "{\"ok\":true}");
}

TEST(SmsSimulatorLifecycle, StartsTwiceOnDifferentPortsAndStopsIdempotently)
{
    SmsSimulator first;
    SmsSimulator second;
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(second.start());
    EXPECT_NE(first.port(), second.port());
    EXPECT_FALSE(first.start()); // already running
    first.stop();
    first.stop();
    EXPECT_FALSE(first.isRunning());
    ASSERT_TRUE(first.start()); // and again
    httplib::Client client("127.0.0.1", first.port());
    auto res = client.Get("/download/UserNoticeNew.asp");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
}

} // namespace
} // namespace telvora
