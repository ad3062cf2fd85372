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
    CallResult result;
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
    EXPECT_EQ(service.Call("HeartBeating", "Token=t", reply), GetParam().result);
    EXPECT_EQ(reply, GetParam().reply);
    EXPECT_EQ(service.CallService("HeartBeating", "Token=t", reply), GetParam().result == CallResult::Success);
}

INSTANTIATE_TEST_SUITE_P(Replies, CallServiceReply,
    testing::Values(ReplyCase {"Success", 200, kSuccessDoc, CallResult::Success, kSuccessDoc},
        ReplyCase {"SuccessMarkAnywhere", 200, "junk <RetCode>Sucess</RetCode>", CallResult::Success,
            "junk <RetCode>Sucess</RetCode>"},
        ReplyCase {"RefusalWithMessage", 200,
            "<Reply><RetCode>Faild</RetCode><Message>令牌已失效&amp;请重新登录</Message></Reply>", CallResult::Refused,
            "令牌已失效&请重新登录"},
        ReplyCase {
            "CorrectSpellingIsNotSuccess", 200, "<Reply><RetCode>Success</RetCode></Reply>", CallResult::Refused, ""},
        ReplyCase {"RefusalWithoutMessage", 200, "<Reply><RetCode>Faild</RetCode></Reply>", CallResult::Refused, ""},
        // Anything that is no reply of the service may hide a call it carried out.
        ReplyCase {"NotXml", 200, "Server Error in '/' Application.", CallResult::NoAnswer, ""},
        ReplyCase {"XmlWithoutRetCode", 200, "<html><Message>Bad Gateway</Message></html>", CallResult::NoAnswer, ""},
        ReplyCase {"HttpError", 500, "<Reply><Message>内部错误</Message></Reply>", CallResult::NoAnswer, ""}),
    [](const testing::TestParamInfo<ReplyCase>& info) { return info.param.name; });

// The address is trimmed and loses a trailing "/"; the form goes to the method's path.
TEST(ServiceClient, PostsTheFormToTheMethodPath)
{
    test::LocalHttpServer http;
    std::string body;
    http.server().Post("/Services.asmx/CancelJob", [&](const httplib::Request& request, httplib::Response& response) {
        body = request.body;
        response.set_content(kSuccessDoc, "text/xml");
    });
    CWebClient web(nullptr, 2000, 2000);
    CServiceClient service(web, " http://" + http.address() + "/ ");
    EXPECT_EQ(service.Address(), "http://" + http.address());
    std::string reply;
    EXPECT_TRUE(service.CallService("CancelJob", "Token=t&JobIDs=1,2", reply));
    EXPECT_EQ(body, "Token=t&JobIDs=1,2");
}

TEST(ServiceClient, TimeoutAndRefusalEndWithAnEmptyReply)
{
    test::bypassProxies();
    test::ListeningSocket silent;
    CWebClient web(nullptr, 300, 300);
    // A silent service may have acted on the request; a refused connection certainly did not.
    const std::pair<std::string, CallResult> rows[] = {{silent.address(), CallResult::NoAnswer},
        {"127.0.0.1:" + std::to_string(test::refusingPort()), CallResult::NotReached}};
    for (const auto& [address, result] : rows) {
        CServiceClient service(web, address);
        std::string reply = "left over";
        EXPECT_EQ(service.Call("FetchSMS", "Token=t", reply), result) << address;
        EXPECT_EQ(reply, "") << address;
    }
}

} // namespace
} // namespace telvora
