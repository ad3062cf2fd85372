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

TEST_F(SmsSimulatorTest, LoginAnswersTheUsersSession)
{
    auto res = m_client->Get("/Services.asmx/UserLogin?UserID=8001&Account=sales01&Password=sales-pw");
    ASSERT_TRUE(res);
    ASSERT_TRUE(ok(res->body)) << res->body;
    EXPECT_EQ(xmlField(res->body, "SmsStock"), "50");
    EXPECT_EQ(xmlField(res->body, "SignName"), "【测试】");
    EXPECT_EQ(xmlField(res->body, "SmsServerAddress"), m_sim.address());
    EXPECT_EQ(xmlField(res->body, "Token").size(), 32u);
    // An empty sub-account is the admin.
    res = m_client->Get("/Services.asmx/UserLogin?UserID=8001&Account=&Password=admin-pw");
    ASSERT_TRUE(res);
    EXPECT_EQ(xmlField(res->body, "SmsStock"), "1000");
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
        {"'+' is a plus sign, not a blank", "UserID=8001&Account=admin&Password=admin+pw"},
    };
    for (const auto& c : cases) {
        auto res = m_client->Get((std::string("/Services.asmx/UserLogin?") + c.query).c_str());
        ASSERT_TRUE(res) << c.name;
        EXPECT_FALSE(ok(res->body)) << c.name;
        EXPECT_EQ(xmlField(res->body, "Message"), "帐号或密码错误") << c.name;
    }
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

// --- sending -----------------------------------------------------------------------------------

TEST_F(SmsSimulatorTest, BatchRefusesInvalidNumbersAndChargesTheValidOnes)
{
    const std::string auth = token();
    // "%e4%bd%a0%e5%a5%bd" is 你好; '+' arrives escaped and stays a plus sign.
    const std::string jobId = createJob(auth, "%e4%bd%a0%e5%a5%bd%2b1");
    std::string reply = call("MessSendSMS",
        auth + "&Phones=13800000001;1380000000;23800000001;13800000002;1380000000x;&JobID=" + jobId + "&SendTime=");
    ASSERT_TRUE(ok(reply)) << reply;
    EXPECT_EQ(xmlField(reply, "OKPhoneCounts"), "2");
    EXPECT_EQ(xmlField(reply, "ErrPhones"), "1380000000;23800000001;1380000000x");
    EXPECT_EQ(stockOf(), 998);

    const auto job = m_sim.job(jobId);
    ASSERT_TRUE(job);
    ASSERT_EQ(job->messages.size(), 2u);
    EXPECT_EQ(job->messages[0].text, "你好+1");

    // 800 numbers make a body well above the 8 KiB the server library allows for forms by itself.
    reply = call("MessSendSMS", auth + "&Phones=" + numbers(0, 800) + "&JobID=" + jobId + "&SendTime=");
    EXPECT_EQ(xmlField(reply, "OKPhoneCounts"), "800");
    EXPECT_EQ(stockOf(), 198);
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

TEST_F(SmsSimulatorTest, OnlyAScheduledJobBeforeItsTimeIsCancelledOnceWithARefund)
{
    const std::string auth = token();
    const auto send = [&](const std::string& text, const std::string& when) {
        const std::string jobId = createJob(auth, text);
        EXPECT_TRUE(
            ok(call("MessSendSMS", auth + "&Phones=" + numbers(0, 2) + "&JobID=" + jobId + "&SendTime=" + when)));
        return jobId;
    };
    const auto now = std::chrono::system_clock::now();
    const std::string later = send("later", localTime(now + 1h, "%Y-%m-%d %H:%M:%S"));
    const std::string sent = send("now", "");
    const std::string gone = send("past time", localTime(now - 1h, "%Y-%m-%d %H:%M:%S"));
    EXPECT_TRUE(m_sim.job(later)->scheduled);
    EXPECT_FALSE(m_sim.job(gone)->scheduled);
    EXPECT_EQ(stockOf(), 994);

    struct Case
    {
        const char* name;
        std::string ids;
    } cases[] = {
        {"sent at once", sent + ";"},
        {"time already past", gone + ";"},
        {"unknown", "999999;"},
        {"only a separator", ";"},
        {"one bad id spoils the call", later + ";" + sent + ";"},
    };
    for (const auto& c : cases) {
        const std::string reply = call("CancelJob", auth + "&JobIDs=" + c.ids);
        EXPECT_FALSE(ok(reply)) << c.name;
        EXPECT_NE(xmlField(reply, "Message"), "") << c.name;
    }
    EXPECT_FALSE(m_sim.job(later)->cancelled);
    EXPECT_EQ(stockOf(), 994);

    EXPECT_TRUE(ok(call("CancelJob", auth + "&JobIDs=" + later + ";")));
    EXPECT_EQ(stockOf(), 996);
    EXPECT_EQ(xmlField(call("CancelJob", auth + "&JobIDs=" + later + ";"), "Message"), "任务[" + later + "]已取消");
    EXPECT_FALSE(ok(call("MessSendSMS", auth + "&Phones=" + numbers(0, 1) + "&JobID=" + later + "&SendTime=")));
    EXPECT_EQ(stockOf(), 996);
}

TEST_F(SmsSimulatorTest, ScheduledJobIsNotCancellableOnceItsTimeHasCome)
{
    const std::string auth = token();
    const std::string jobId = createJob(auth, "later");
    const std::string when = localTime(std::chrono::system_clock::now() + 1h, "%Y-%m-%d %H:%M:%S");
    ASSERT_TRUE(ok(call("MessSendSMS", auth + "&Phones=" + numbers(0, 1) + "&JobID=" + jobId + "&SendTime=" + when)));
    m_sim.setTokenIdleTimeout(24h);
    m_sim.advanceClock(2h);
    EXPECT_EQ(
        xmlField(call("CancelJob", auth + "&JobIDs=" + jobId + ";"), "Message"), "任务[" + jobId + "]已发送，不能取消");
}

// Escaped as the spreadsheet send escapes it: pattern "{姓名}您好，工资{工资}元" and details whose
// second value holds an escaped ";" and braces that must stay inside it. The engine's pattern is
// not escaped, and a number without details takes the defaults.
TEST_F(SmsSimulatorTest, CustomSendMergesThePatternPerNumberAndChargesEachText)
{
    const std::string auth = token("sales01", "sales-pw"); // stock 50
    const std::string details = "{%e5%bc%a0%e4%b8%89}{100};{%7bx%7d%3b}{" + std::string(200, '9') + "};";
    std::string reply = call("CustomSend",
        auth
            + "&Pattern=%7b%e5%a7%93%e5%90%8d%7d%e6%82%a8%e5%a5%bd%ef%bc%8c"
              "%e5%b7%a5%e8%b5%84%7b%e5%b7%a5%e8%b5%84%7d%e5%85%83"
              "&DefaultDetail={}{};&Details="
            + details + "&Phones=13800000001;13800000002;123;&SmsType=1&SendTime=&PostFixNumber=");
    ASSERT_TRUE(ok(reply)) << reply;
    EXPECT_EQ(xmlField(reply, "TotalSendCount"), "2");
    EXPECT_EQ(xmlField(reply, "ErrorPhones"), "123");
    auto job = m_sim.job(xmlField(reply, "CommonJobID"));
    ASSERT_TRUE(job);
    ASSERT_EQ(job->messages.size(), 2u);
    EXPECT_EQ(job->messages[0].text, "张三您好，工资100元");
    EXPECT_EQ(job->messages[1].text, "{x};您好，工资" + std::string(200, '9') + "元");
    EXPECT_EQ(job->messages[1].segments, 4);
    EXPECT_EQ(stockOf("sales01"), 45);

    const std::string when = localTime(std::chrono::system_clock::now() + 1h, "%Y-%m-%d %H:%M:%S");
    reply = call("CustomSend",
        auth
            + "&Pattern={zf}：明天开会&DefaultDetail={};&Details={%e7%8e%8b};&Phones=13800000001;13800000002;&SmsType=1"
              "&SendTime="
            + when + "&PostFixNumber=");
    job = m_sim.job(xmlField(reply, "CommonJobID"));
    ASSERT_TRUE(job) << reply;
    EXPECT_TRUE(job->scheduled);
    EXPECT_EQ(job->messages[0].text, "王：明天开会");
    EXPECT_EQ(job->messages[1].text, "：明天开会");
    EXPECT_EQ(stockOf("sales01"), 43);

    reply = call("CustomSend",
        auth + "&Pattern={zf}：" + std::string(71, 'a') + "&DefaultDetail={};&Details=&Phones=" + numbers(0, 22)
            + "&SmsType=1&SendTime=&PostFixNumber=");
    EXPECT_EQ(xmlField(reply, "Message"), "短信余量不足，本次需要44条，剩余43条");
    EXPECT_EQ(stockOf("sales01"), 43);
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

// --- backups, pages ----------------------------------------------------------------------------

std::string soapEnvelope(const std::string& token, const std::string& data)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><UploadFile "
           "xmlns=\"http://tempuri.org/\"><Token>"
        + token + "</Token><BinaryDatas>" + data + "</BinaryDatas></UploadFile></soap:Body></soap:Envelope>";
}

TEST_F(SmsSimulatorTest, UploadedBackupIsServedBackAndRefusalsStoreNothing)
{
    EXPECT_EQ(m_client->Get("/8001_sales01.dat")->status, 404);
    const std::string bytes("SQLite format 3\0\x01\xff\n", 20);
    httplib::Headers headers {{"SOAPAction", "\"http://tempuri.org/UploadFile\""}};
    auto res = m_client->Post("/Services.asmx?op=UploadFile", headers,
        soapEnvelope(login("sales01", "sales-pw"), sim::base64Encode(bytes)), "text/xml; charset=utf-8");
    ASSERT_TRUE(res);
    EXPECT_TRUE(ok(res->body)) << res->body;
    EXPECT_NE(res->body.find("<soap:Envelope"), std::string::npos);
    res = m_client->Get("/8001_sales01.dat");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(res->body, bytes);

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
        res = m_client->Post("/Services.asmx?op=UploadFile", c.body, "text/xml; charset=utf-8");
        ASSERT_TRUE(res) << c.name;
        EXPECT_FALSE(ok(res->body)) << c.name;
        EXPECT_NE(xmlField(res->body, "Message"), "<missing>") << c.name;
    }
    EXPECT_EQ(m_client->Get("/8001_admin.dat")->status, 404);
    // An empty database file is still a backup.
    res = m_client->Post("/Services.asmx?op=UploadFile", soapEnvelope(login(), ""), "text/xml; charset=utf-8");
    ASSERT_TRUE(res);
    EXPECT_TRUE(ok(res->body));
    EXPECT_EQ(m_client->Get("/8001_admin.dat")->status, 200);

    m_sim.injectFault("UploadFile", {SimFault::Kind::Refuse, {}, "磁盘已满"});
    res = m_client->Post("/Services.asmx?op=UploadFile", soapEnvelope(login(), "YWJj"), "text/xml");
    ASSERT_TRUE(res);
    EXPECT_EQ(xmlField(res->body, "Message"), "磁盘已满");
    EXPECT_NE(res->body.find("<soap:Envelope"), std::string::npos);
    EXPECT_EQ(m_sim.backup("8001", "admin"), "");
}

TEST_F(SmsSimulatorTest, NoticePageIsUtf8Html)
{
    auto res = m_client->Get("/download/UserNoticeNew.asp");
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
    struct Case
    {
        const char* name;
        SimFault::Kind kind;
        int status; // 0: no answer at all
        const char* message;
    } cases[] = {
        {"http 500", SimFault::Kind::Http500, 500, "<missing>"},
        {"refusal", SimFault::Kind::Refuse, 200, "系统维护中"},
        {"not xml", SimFault::Kind::NotXml, 200, "<missing>"},
        {"dropped", SimFault::Kind::Drop, 0, ""},
    };
    for (const auto& c : cases) {
        m_sim.clearFaults();
        m_sim.injectFault("MessSendSMS", {c.kind, {}, "系统维护中"});
        auto res = post("MessSendSMS", body);
        ASSERT_EQ(static_cast<bool>(res), c.status != 0) << c.name;
        if (res) {
            EXPECT_EQ(res->status, c.status) << c.name;
            EXPECT_EQ(xmlField(res->body, "Message"), c.message) << c.name;
        }
    }
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

// --- control over HTTP -------------------------------------------------------------------------

TEST_F(SmsSimulatorTest, ControlInterfaceOverHttp)
{
    auto control = [this](const std::string& path, const httplib::Params& params) {
        auto res = m_client->Post(path.c_str(), params);
        EXPECT_TRUE(res) << path;
        return res ? res->body : std::string();
    };
    const std::string done = "{\"ok\":true}";
    EXPECT_EQ(control("/control/account", {{"account", "7001"}, {"password", "pw 1"}, {"stock", "30"}}), done);
    EXPECT_EQ(control("/control/stock", {{"account", "7001"}, {"user", "admin"}, {"stock", "9"}}), done);
    EXPECT_EQ(control("/control/stock", {{"account", "nope"}, {"user", "admin"}, {"stock", "9"}}), "{\"ok\":false}");
    EXPECT_EQ(m_client->Get("/control/stock?account=7001&user=admin")->body, "{\"ok\":true,\"stock\":9}");
    EXPECT_EQ(control("/control/reply", {{"account", "7001"}, {"phone", "13800000009"}, {"content", "好"}}), done);
    EXPECT_EQ(m_sim.pendingReplies("7001", "admin"), 1u);

    auto res = m_client->Get("/Services.asmx/UserLogin?UserID=7001&Account=admin&Password=pw%201");
    ASSERT_TRUE(res);
    const std::string auth = "Token=" + xmlField(res->body, "Token");
    const std::string jobId = createJob(auth, "%e5%97%a8");
    call("MessSendSMS", auth + "&Phones=13800000001;1;&JobID=" + jobId + "&SendTime=");
    EXPECT_NE(m_client->Get("/control/jobs")
                  ->body.find("\"method\":\"MessSendSMS\",\"content\":\"嗨\",\"smsType\":1,\"sendTime\":\"\","
                              "\"scheduled\":false,\"cancelled\":false,\"charged\":1,\"messages\":[{\"phone\":"
                              "\"13800000001\",\"text\":\"嗨\",\"segments\":1}],\"refused\":[\"1\"]}"),
        std::string::npos);
    EXPECT_NE(m_client->Get("/control/calls")->body.find("\"MessSendSMS\":1"), std::string::npos);

    EXPECT_EQ(
        control("/control/fault", {{"method", "HeartBeating"}, {"kind", "refuse"}, {"message", "停机"}, {"call", "1"}}),
        done);
    EXPECT_EQ(control("/control/fault", {{"method", "HeartBeating"}, {"kind", "explode"}}), "{\"ok\":false}");
    EXPECT_EQ(xmlField(call("HeartBeating", auth), "Message"), "停机");
    EXPECT_TRUE(ok(call("HeartBeating", auth)));

    control("/control/token-idle", {{"ms", "1000"}});
    control("/control/clock", {{"advanceMs", "2000"}});
    EXPECT_FALSE(ok(call("HeartBeating", auth)));
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
