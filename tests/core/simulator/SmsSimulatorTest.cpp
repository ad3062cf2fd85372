#include "SmsSimulator.h"

#include <ctime>
#include <gtest/gtest.h>
#include <httplib.h>

namespace telvora {
namespace {

using namespace std::chrono_literals;

// Text of the first <name> element.
std::string xmlField(const std::string& xml, const std::string& name)
{
    const std::string open = "<" + name + ">";
    const auto begin = xml.find(open);
    if (begin == std::string::npos)
        return "<missing>";
    const auto end = xml.find("</" + name + ">", begin);
    return xml.substr(begin + open.size(), end - begin - open.size());
}

// A send time as the service takes it, offset from now.
std::string sendTime(std::chrono::seconds fromNow)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now() + fromNow);
    std::tm parts {};
    localtime_r(&seconds, &parts);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &parts);
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

    std::string send(
        const std::string& auth, const std::string& jobId, const std::string& phones, const std::string& when = {})
    {
        return call("MessSendSMS", auth + "&Phones=" + phones + "&JobID=" + jobId + "&SendTime=" + when);
    }

    std::string customSend(const std::string& auth, const std::string& pattern, const std::string& details,
        const std::string& phones, const std::string& when = {})
    {
        return call("CustomSend",
            auth + "&Pattern=" + pattern + "&DefaultDetail={}{};&Details=" + details + "&Phones=" + phones
                + "&SmsType=1&SendTime=" + when + "&PostFixNumber=");
    }

    std::int64_t stockOf(const std::string& user = "admin") { return m_sim.stock("8001", user).value_or(-1); }

    static bool ok(const std::string& reply) { return reply.find("<RetCode>Sucess</RetCode>") != std::string::npos; }

    SmsSimulator m_sim;
    std::unique_ptr<httplib::Client> m_client;
};

TEST_F(SmsSimulatorTest, TokenExpiresAfterIdleTimeButUseKeepsItAlive)
{
    m_sim.setTokenIdleTimeout(60s);
    const std::string auth = token();
    for (const auto idle : {40s, 40s, 61s}) {
        m_sim.advanceClock(idle);
        EXPECT_EQ(xmlField(call("HeartBeating", auth), "Message"), idle < 60s ? "<missing>" : "登录已超时，请重新登录");
    }
    EXPECT_FALSE(ok(call("GetStockDetails", auth)));
}

TEST_F(SmsSimulatorTest, LongTextChargesPerSegmentAndShortStockRefusesTheWholeBatch)
{
    const std::string auth = token("sales01", "sales-pw"); // stock 50
    const std::string jobId = createJob(auth, std::string(71, 'a')); // 2 segments
    ASSERT_TRUE(ok(send(auth, jobId, numbers(0, 20))));
    EXPECT_EQ(stockOf("sales01"), 10);

    const std::string reply = send(auth, jobId, numbers(100, 6));
    EXPECT_FALSE(ok(reply));
    EXPECT_EQ(xmlField(reply, "Message"), "短信余量不足，本次需要12条，剩余10条");
    EXPECT_EQ(stockOf("sales01"), 10);
    EXPECT_EQ(m_sim.job(jobId)->messages.size(), 20u);
}

// All or nothing: one bad identifier spoils the call; a cancellation refunds once.
TEST_F(SmsSimulatorTest, OnlyAScheduledJobBeforeItsTimeIsCancelledOnceWithARefund)
{
    const std::string auth = token();
    const auto schedule = [&](const std::string& when) {
        const std::string jobId = createJob(auth, "x");
        EXPECT_TRUE(ok(send(auth, jobId, numbers(0, 2), when)));
        return jobId;
    };
    const auto cancel
        = [&](const std::string& ids) { return xmlField(call("CancelJob", auth + "&JobIDs=" + ids), "Message"); };
    const std::string later = schedule(sendTime(1h));
    const std::string sent = schedule("");
    const std::string gone = schedule(sendTime(-1h));
    const struct
    {
        const char* name;
        std::string ids;
        std::string message;
        std::int64_t stock;
    } steps[] = {
        {"sent at once", sent + ";", "任务[" + sent + "]已发送，不能取消", 994},
        {"time already past", gone + ";", "任务[" + gone + "]已发送，不能取消", 994},
        {"unknown", "999999;", "任务[999999]不存在", 994},
        {"only a separator", ";", "没有要取消的任务", 994},
        {"one bad id spoils the call", later + ";" + sent + ";", "任务[" + sent + "]已发送，不能取消", 994},
        {"cancelled with a refund", later + ";", "<missing>", 996},
        {"not twice", later + ";", "任务[" + later + "]已取消", 996},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(cancel(step.ids), step.message) << step.name;
        EXPECT_EQ(stockOf(), step.stock) << step.name;
    }
    EXPECT_FALSE(ok(send(auth, later, numbers(0, 1))));
    EXPECT_EQ(stockOf(), 996);

    const std::string soon = schedule(sendTime(1h));
    m_sim.setTokenIdleTimeout(24h);
    m_sim.advanceClock(2h);
    EXPECT_EQ(cancel(soon + ";"), "任务[" + soon + "]已发送，不能取消");
}

// Escaped as the spreadsheet send escapes it: the pattern is "{姓名}您好，工资{工资}元" and the
// second number's first value holds escaped braces and ";" that must stay inside it. Defaults
// for a number without details are the command line's insertion send's case.
TEST_F(SmsSimulatorTest, CustomSendMergesThePatternPerNumberAndChargesEachText)
{
    const std::string auth = token("sales01", "sales-pw"); // stock 50
    const std::string pattern = "%7b%e5%a7%93%e5%90%8d%7d%e6%82%a8%e5%a5%bd%ef%bc%8c"
                                "%e5%b7%a5%e8%b5%84%7b%e5%b7%a5%e8%b5%84%7d%e5%85%83";
    const std::string reply = customSend(auth, pattern,
        "{%e5%bc%a0%e4%b8%89}{100};{%7bx%7d%3b}{" + std::string(200, '9') + "};", "13800000001;13800000002;123;");
    ASSERT_TRUE(ok(reply)) << reply;
    EXPECT_EQ(xmlField(reply, "TotalSendCount"), "2");
    EXPECT_EQ(xmlField(reply, "ErrorPhones"), "123");
    const auto job = m_sim.job(xmlField(reply, "CommonJobID"));
    ASSERT_TRUE(job);
    ASSERT_EQ(job->messages.size(), 2u);
    EXPECT_EQ(job->messages[0].text, "张三您好，工资100元");
    EXPECT_EQ(job->messages[1].text, "{x};您好，工资" + std::string(200, '9') + "元");
    EXPECT_EQ(stockOf("sales01"), 45);
}

std::string soapEnvelope(const std::string& token, const std::string& data)
{
    return "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><UploadFile "
           "xmlns=\"http://tempuri.org/\"><Token>"
        + token + "</Token><BinaryDatas>" + data + "</BinaryDatas></UploadFile></soap:Body></soap:Envelope>";
}

// The round trip of a backup and an injected refusal are the server backup test's.
TEST_F(SmsSimulatorTest, UploadRefusesBadEnvelopesAndTakesAnEmptyFile)
{
    const auto upload = [&](const std::string& body) {
        auto res = m_client->Post("/Services.asmx?op=UploadFile", body, "text/xml; charset=utf-8");
        EXPECT_TRUE(res);
        return res ? res->body : std::string();
    };
    for (const std::string& body : {soapEnvelope("nope", "YWJj"), soapEnvelope(login(), "@@@@"),
             std::string("<soap:Envelope><BinaryDatas>YWJj</BinaryDatas></soap:Envelope>")}) {
        EXPECT_NE(xmlField(upload(body), "Message"), "<missing>") << body;
    }
    EXPECT_EQ(m_client->Get("/8001_admin.dat")->status, 404);
    const std::string reply = upload(soapEnvelope(login(), ""));
    EXPECT_TRUE(ok(reply)) << reply;
    EXPECT_NE(reply.find("<soap:Envelope"), std::string::npos);
    EXPECT_EQ(m_client->Get("/8001_admin.dat")->status, 200);
}

TEST_F(SmsSimulatorTest, FaultsAreSeenByTheClientAndLeaveTheStateAlone)
{
    const std::string auth = token();
    const std::string jobId = createJob(auth, "x");
    const std::string body = auth + "&Phones=13800000001;&JobID=" + jobId + "&SendTime=";
    const struct
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

    // A short delay still carries the call out.
    m_sim.clearFaults();
    m_sim.injectFault("MessSendSMS", {SimFault::Kind::Delay, 1ms, {}});
    EXPECT_TRUE(ok(call("MessSendSMS", body)));
    EXPECT_EQ(stockOf(), 999);

    // A fault of the second call from now wins over one of every call; other methods are untouched.
    m_sim.clearFaults();
    m_sim.injectFault("MessSendSMS", {SimFault::Kind::Http500, {}, {}}, 2);
    m_sim.injectFault("MessSendSMS", {SimFault::Kind::Refuse, {}, "每次"}, 0);
    EXPECT_EQ(xmlField(call("MessSendSMS", body), "Message"), "每次");
    EXPECT_EQ(post("MessSendSMS", body)->status, 500);
    EXPECT_EQ(xmlField(call("MessSendSMS", body), "Message"), "每次");
    EXPECT_TRUE(ok(call("GetStockDetails", auth)));
}

TEST_F(SmsSimulatorTest, ControlInterfaceOverHttp)
{
    auto control = [this](const std::string& path, const httplib::Params& params) {
        auto res = m_client->Post(path.c_str(), params);
        return res ? res->body : std::string();
    };
    const std::string done = "{\"ok\":true}";
    EXPECT_EQ(control("/control/account", {{"account", "7001"}, {"password", "pw 1"}, {"stock", "30"}}), done);
    EXPECT_EQ(control("/control/fault", {{"method", "HeartBeating"}, {"kind", "explode"}}), "{\"ok\":false}");
    EXPECT_EQ(
        control("/control/fault", {{"method", "CreateJob"}, {"kind", "refuse"}, {"message", "停机"}, {"call", "2"}}),
        done);
    auto res = m_client->Get("/Services.asmx/UserLogin?UserID=7001&Account=admin&Password=pw%201");
    ASSERT_TRUE(res);
    const std::string auth = "Token=" + xmlField(res->body, "Token");
    send(auth, createJob(auth, "%e5%97%a8"), "13800000001;1;");
    EXPECT_EQ(xmlField(call("CreateJob", auth + "&Content=x&SmsType=1&PostFixNumber="), "Message"), "停机");
    EXPECT_NE(m_client->Get("/control/jobs")
                  ->body.find("\"content\":\"嗨\",\"smsType\":1,\"sendTime\":\"\",\"scheduled\":false,"
                              "\"cancelled\":false,\"charged\":1,\"messages\":[{\"phone\":\"13800000001\","
                              "\"text\":\"嗨\",\"segments\":1}],\"refused\":[\"1\"]}"),
        std::string::npos);
    EXPECT_EQ(m_client->Get("/control/stock?account=7001&user=admin")->body, "{\"ok\":true,\"stock\":29}");
}

} // namespace
} // namespace telvora
