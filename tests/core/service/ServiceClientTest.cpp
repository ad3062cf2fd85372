#include "service/ServiceClient.h"

#include "LocalServers.h"
#include "SmsSimulator.h"
#include "service/WebClient.h"
#include "service/XmlReader.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

struct ReplyCase
{
    const char* name;
    int status;
    std::string body;
    bool success;
    std::string reply; // what the caller gets back
};

const std::string kSuccessDoc = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                "<Reply><RetCode>Sucess</RetCode><Token>T</Token></Reply>";

class CallServiceReply : public testing::TestWithParam<ReplyCase>
{
};

TEST_P(CallServiceReply, DecidesFromTheReply)
{
    const ReplyCase param = GetParam();
    test::LocalHttpServer http;
    http.server().Post("/Services.asmx/HeartBeating", [param](const httplib::Request&, httplib::Response& response) {
        response.status = param.status;
        response.set_content(param.body, "text/xml; charset=utf-8");
    });
    CWebClient web(nullptr, 2000, 2000);
    CServiceClient service(web, http.address());
    std::string reply = "left over";
    EXPECT_EQ(service.CallService("HeartBeating", "Token=t", reply), GetParam().success);
    EXPECT_EQ(reply, GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(Replies, CallServiceReply,
    testing::Values(ReplyCase {"Success", 200, kSuccessDoc, true, kSuccessDoc},
        ReplyCase {
            "SuccessMarkAnywhere", 200, "junk <RetCode>Sucess</RetCode>", true, "junk <RetCode>Sucess</RetCode>"},
        ReplyCase {"RefusalWithMessage", 200,
            "<Reply><RetCode>Faild</RetCode><Message>令牌已失效&amp;请重新登录</Message></Reply>", false,
            "令牌已失效&请重新登录"},
        ReplyCase {"CorrectSpellingIsNotSuccess", 200, "<Reply><RetCode>Success</RetCode></Reply>", false, ""},
        ReplyCase {"RefusalWithoutMessage", 200, "<Reply><RetCode>Faild</RetCode></Reply>", false, ""},
        ReplyCase {"NotXml", 200, "Server Error in '/' Application.", false, ""},
        ReplyCase {"EmptyBody", 200, "", false, ""},
        ReplyCase {"HttpError", 500, "<Reply><Message>内部错误</Message></Reply>", false, ""}),
    [](const testing::TestParamInfo<ReplyCase>& info) { return info.param.name; });

TEST(ServiceClient, PostsTheFormToTheMethodPathAndSendsTheLoginAsAGet)
{
    test::LocalHttpServer http;
    std::string body;
    std::string password;
    http.server().Post("/Services.asmx/CancelJob", [&](const httplib::Request& request, httplib::Response& response) {
        body = request.body;
        response.set_content(kSuccessDoc, "text/xml");
    });
    http.server().Get("/Services.asmx/UserLogin", [&](const httplib::Request& request, httplib::Response& response) {
        password = request.get_param_value("Password");
        response.set_content(kSuccessDoc, "text/xml");
    });
    CWebClient web(nullptr, 2000, 2000);
    CServiceClient service(web, " http://" + http.address() + "/ ");
    EXPECT_EQ(service.Address(), "http://" + http.address());
    std::string reply;
    EXPECT_TRUE(service.CallService("CancelJob", "Token=t&JobIDs=1,2", reply));
    EXPECT_EQ(body, "Token=t&JobIDs=1,2");
    EXPECT_TRUE(service.CallService("UserLogin", "UserID=c&Account=u&Password=secret", reply, false));
    EXPECT_EQ(reply, kSuccessDoc);
    EXPECT_EQ(password, "secret");
}

// Every method of the catalogue against the substitute service, read the way the callers read it:
// one FindChildElem per field, in the order the fields stand in the reply.
TEST(ServiceClient, TheSimulatorAnswersEveryMethodWithItsFieldsInOrder)
{
    test::bypassProxies();
    SmsSimulator sim;
    SimAccount account;
    account.account = "8001";
    account.adminPassword = "pw";
    account.stock = 100;
    sim.addAccount(account);
    sim.addUser("8001", "sales01", "pw", 10);
    sim.queueReply("8001", "admin", {"13800000001", "好", {}, {}});
    ASSERT_TRUE(sim.start());
    CWebClient web(nullptr, 5000, 5000);
    CServiceClient service(web, sim.address());

    std::string reply;
    ASSERT_TRUE(service.CallService("UserLogin", "UserID=8001&Account=admin&Password=pw", reply, false)) << reply;
    CXmlReader login(reply);
    std::vector<std::string> values;
    for (const char* field : {"Token", "Version", "SmsServerAddress", "UserType", "UserRight", "SegmentUpperLimit",
             "LongSmsLen", "ShortSmsLen", "FetchSendStat", "SmsStock", "SignName"}) {
        ASSERT_TRUE(login.FindChildElem(field)) << field;
        values.push_back(login.GetChildData());
    }
    EXPECT_EQ(values[9], "100");
    const std::string token = "Token=" + values[0];
    const std::string later = "2099-01-01 08:00:00";

    ASSERT_TRUE(service.CallService("CreateJob", token + "&Content=%e4%bd%a0%26%25&SmsType=1&PostFixNumber=", reply));
    CXmlReader created(reply);
    ASSERT_TRUE(created.FindChildElem("JobID"));
    const std::string jobId = created.GetChildData();
    EXPECT_EQ(sim.job(jobId)->content, "你&%"); // "&" escaped arrives as "&", "%" as the escape it is

    const struct
    {
        const char* method;
        std::string body;
        std::vector<const char*> fields;
    } calls[] = {
        {"HeartBeating", token, {}},
        {"GetStockDetails", token, {"StockRemain"}},
        {"FetchSMS", token, {"Count", "Nodes"}},
        {"GetUserInfo", token, {"TotalAccounts", "CompanyName", "Address", "Contact", "Phone", "AccountList"}},
        {"AddSubAccount", token + "&AccountName=clerk&Password=p&SignNameID=1&Memo=", {}},
        {"SubAccountPswModify", token + "&AccountName=clerk&NewPsw=q", {}},
        {"DistributeStock", token + "&AccountName=clerk&Amount=5", {}},
        {"RemoveSubAccount", token + "&AccountName=clerk", {}},
        {"MessSendSMS", token + "&Phones=13800000001;&JobID=" + jobId + "&SendTime=" + later,
            {"OKPhoneCounts", "ErrPhones"}},
        {"CustomSend",
            token
                + "&Pattern={a}x&DefaultDetail={};&Details={1};&Phones=13800000002;&SmsType=1&SendTime=&PostFixNumber=",
            {"CommonJobID", "SpecialJobIDs", "TotalSendCount", "ErrorPhones"}},
        {"CancelJob", token + "&JobIDs=" + jobId, {}},
        {"GetClientBills", token + "&DayStart=2000-1-1&DayEnd=2099-12-31", {"CompanyName", "BillDetail"}},
        {"PasswordChange", token + "&oldPSW=pw&newPSW=pw2", {}},
        {"UserLogOff", token, {}},
    };
    for (const auto& call : calls) {
        ASSERT_TRUE(service.CallService(call.method, call.body, reply)) << call.method << ": " << reply;
        CXmlReader xml(reply);
        for (const char* field : call.fields) {
            EXPECT_TRUE(xml.FindChildElem(field)) << call.method << " " << field;
        }
    }
    EXPECT_FALSE(service.CallService("HeartBeating", token, reply));
    EXPECT_EQ(reply, "登录已失效，请重新登录");
}

TEST(ServiceClient, TimeoutAndRefusalEndWithAnEmptyReply)
{
    test::bypassProxies();
    test::ListeningSocket silent;
    CWebClient web(nullptr, 300, 300);
    CServiceClient service(web, silent.address());
    std::string reply = "left over";
    EXPECT_FALSE(service.CallService("FetchSMS", "Token=t", reply));
    EXPECT_EQ(reply, "");

    service.SetAddress("127.0.0.1:" + std::to_string(test::refusingPort()));
    reply = "left over";
    EXPECT_FALSE(service.CallService("FetchSMS", "Token=t", reply));
    EXPECT_EQ(reply, "");
}

} // namespace
} // namespace telvora
