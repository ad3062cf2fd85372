#include "service/ServiceClient.h"

#include "LocalServers.h"
#include "service/WebClient.h"

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
        ReplyCase {"HttpError", 500, "<Reply><Message>内部错误</Message></Reply>", false, ""}),
    [](const testing::TestParamInfo<ReplyCase>& info) { return info.param.name; });

// The address is trimmed and loses a trailing "/"; the login goes as a GET.
TEST(ServiceClient, PostsTheFormToTheMethodPathAndSendsTheLoginAsAGet)
{
    test::LocalHttpServer http;
    httplib::Request seen;
    const auto handler = [&](const httplib::Request& request, httplib::Response& response) {
        seen = request;
        response.set_content(kSuccessDoc, "text/xml");
    };
    http.server().Post("/Services.asmx/CancelJob", handler).Get("/Services.asmx/UserLogin", handler);
    CWebClient web(nullptr, 2000, 2000);
    CServiceClient service(web, " http://" + http.address() + "/ ");
    EXPECT_EQ(service.Address(), "http://" + http.address());
    std::string reply;
    EXPECT_TRUE(service.CallService("CancelJob", "Token=t&JobIDs=1,2", reply));
    EXPECT_EQ(seen.body, "Token=t&JobIDs=1,2");
    EXPECT_TRUE(service.CallService("UserLogin", "UserID=c&Account=u&Password=secret", reply, false));
    EXPECT_EQ(reply, kSuccessDoc);
    EXPECT_EQ(seen.get_param_value("Password"), "secret");
}

TEST(ServiceClient, TimeoutAndRefusalEndWithAnEmptyReply)
{
    test::bypassProxies();
    test::ListeningSocket silent;
    CWebClient web(nullptr, 300, 300);
    for (const std::string& address : {silent.address(), "127.0.0.1:" + std::to_string(test::refusingPort())}) {
        CServiceClient service(web, address);
        std::string reply = "left over";
        EXPECT_FALSE(service.CallService("FetchSMS", "Token=t", reply)) << address;
        EXPECT_EQ(reply, "") << address;
    }
}

} // namespace
} // namespace telvora
