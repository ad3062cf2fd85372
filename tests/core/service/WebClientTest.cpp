#include "service/WebClient.h"

#include "LocalServers.h"
#include "SmsSimulator.h"
#include "service/DiagnosticLog.h"
#include "support/TempDir.h"

#include <atomic>
#include <curl/curl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/stat.h>

namespace telvora {
namespace {

constexpr int kShortTimeoutMs = 300;

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct SplitCase
{
    const char* name;
    const char* url;
    bool tls;
    const char* host; // empty: the address is refused
    int port;
    const char* object;
};

class UrlSplit : public testing::TestWithParam<SplitCase>
{
};

TEST_P(UrlSplit, SplitsHostPortAndObject)
{
    const SplitCase& c = GetParam();
    UrlParts parts;
    ASSERT_EQ(SplitUrl(c.url, parts), *c.host != '\0');
    if (*c.host != '\0') {
        EXPECT_EQ(parts.tls, c.tls);
        EXPECT_EQ(parts.host, c.host);
        EXPECT_EQ(parts.port, c.port);
        EXPECT_EQ(parts.object, c.object);
    }
}

INSTANTIATE_TEST_SUITE_P(Urls, UrlSplit,
    testing::Values(SplitCase {"HostOnly", "sms.example.cn", false, "sms.example.cn", 80, ""},
        SplitCase {"DefaultPort", "sms.example.cn/Services.asmx/UserLogin", false, "sms.example.cn", 80,
            "Services.asmx/UserLogin"},
        SplitCase {"ExplicitPort", "10.0.0.1:8080/Download/UpdateFileList.asp", false, "10.0.0.1", 8080,
            "Download/UpdateFileList.asp"},
        SplitCase {"QueryKept", "h:81/a?x=1&y=2", false, "h", 81, "a?x=1&y=2"},
        SplitCase {"Https", "https://sms.example.cn/a", true, "sms.example.cn", 443, "a"},
        SplitCase {"HttpsWithPort", "HTTPS://sms.example.cn:8443/a", true, "sms.example.cn", 8443, "a"},
        SplitCase {"HttpSchemeDropped", "http://h:81/a", false, "h", 81, "a"},
        SplitCase {"Ipv6Literal", "[::1]:8080/a", false, "[::1]", 8080, "a"},
        SplitCase {"PortNotNumeric", "h:80x/a", false, "", 0, ""}, SplitCase {"PortZero", "h:0/a", false, "", 0, ""},
        SplitCase {"PortTooLarge", "h:65536/a", false, "", 0, ""}, SplitCase {"NoHost", ":8080/a", false, "", 0, ""}),
    [](const testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

class WebClientTest : public testing::Test
{
protected:
    WebClientTest()
        : m_log(m_dir.path())
        , m_client(&m_log, kShortTimeoutMs, kShortTimeoutMs)
    {
        test::bypassProxies();
    }

    std::string logText() const { return readFile(m_log.path()); }

    test::TempDir m_dir;
    CDiagnosticLog m_log;
    CWebClient m_client;
    test::LocalHttpServer m_http;
};

TEST_F(WebClientTest, SendsParametersAndFormsAndCleansTheReplyWhileFetchKeepsItRaw)
{
    std::string account;
    std::string body;
    std::string contentType;
    m_http.server().Get("/Services.asmx/UserLogin", [&](const httplib::Request& request, httplib::Response& response) {
        account = request.get_param_value("Account");
        response.set_content("<r>登录\xC4\xE3</r>", "text/xml; charset=utf-8");
    });
    m_http.server().Post("/Services.asmx/UserLogin", [&](const httplib::Request& request, httplib::Response& response) {
        body = request.body;
        contentType = request.get_header_value("Content-Type");
        response.set_content("<r>\xC4\xE3</r>", "text/xml");
    });
    const std::string url = m_http.address() + "/Services.asmx/UserLogin";
    std::string reply = "old";
    EXPECT_EQ(m_client.Get(url, "UserID=a&Account=张 三#1&Password=p", reply), CWebClient::kResultOk);
    EXPECT_EQ(reply, "<r>登录?\?</r>");
    EXPECT_EQ(account, "张 三#1");

    const std::string form = "Token=t&Content=%e4%b8%ad%26&SmsType=1&PostFixNumber=" + std::string(5000, '1');
    EXPECT_EQ(m_client.Post(url, form, reply), CWebClient::kResultOk);
    EXPECT_EQ(reply, "<r>?\?</r>");
    EXPECT_EQ(body, form);
    EXPECT_EQ(contentType, "application/x-www-form-urlencoded");

    EXPECT_EQ(m_client.Fetch(url, reply), CWebClient::kResultOk);
    EXPECT_EQ(reply, "<r>\xC4\xE3</r>");
}

TEST_F(WebClientTest, AnErrorStatusIsReturnedAndLeavesTheReply)
{
    m_http.server().Post("/x", [](const httplib::Request&, httplib::Response& response) {
        response.status = 500;
        response.set_content("<r><Message>boom</Message></r>", "text/xml");
    });
    m_http.server().Get("/x", [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
    std::string reply = "before";
    EXPECT_EQ(m_client.Post(m_http.address() + "/x", "a=1", reply), 500);
    EXPECT_EQ(m_client.Get(m_http.address() + "/x", "a=1", reply), 404);
    EXPECT_EQ(reply, "before");
}

TEST_F(WebClientTest, HugeReplyIsRefusedWithTheLibraryError)
{
    m_http.server().Get("/big", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::string(CWebClient::kMaxReplySize + 1, 'x'), "text/plain");
    });
    CWebClient patient(nullptr, 60'000, 60'000); // the short limit would end the transfer first
    std::string reply;
    EXPECT_EQ(patient.Get(m_http.address() + "/big", "", reply), CWebClient::kLibraryErrorBase + CURLE_WRITE_ERROR);
    EXPECT_EQ(reply, curl_easy_strerror(CURLE_WRITE_ERROR));
}

// The update list comes with a bodiless POST, which the server only takes with "Content-Length: 0".
TEST_F(WebClientTest, FetchReadsTheUpdateListAndSeesADroppedConnection)
{
    SmsSimulator sim;
    sim.setUpdateInfo("3.2", "10.0.0.1:8080");
    ASSERT_TRUE(sim.start());
    const std::string url = sim.address() + "/Download/UpdateFileList.asp";
    std::string reply;
    ASSERT_EQ(m_client.Fetch(url, reply), CWebClient::kResultOk);
    EXPECT_NE(reply.find("<Version>3.2</Version><ServerIP>10.0.0.1:8080</ServerIP>"), std::string::npos) << reply;

    sim.injectFault("UpdateFileList", {SimFault::Kind::Drop, {}, {}});
    EXPECT_EQ(m_client.Fetch(url, reply), CWebClient::kLibraryErrorBase + CURLE_GOT_NOTHING);
    EXPECT_EQ(reply, curl_easy_strerror(CURLE_GOT_NOTHING));
}

TEST_F(WebClientTest, RefusedOrUnusableAddressesCannotConnect)
{
    const std::string refused = "127.0.0.1:" + std::to_string(test::refusingPort());
    for (const std::string& url : {refused + "/x", std::string("127.0.0.1:99999/x"), std::string("/x")}) {
        std::string reply = "before";
        EXPECT_EQ(m_client.Post(url, "a=1", reply), CWebClient::kResultNoConnection) << url;
        EXPECT_EQ(reply, "before");
    }
    EXPECT_EQ(logText(), "");
}

TEST_F(WebClientTest, ServerThatNeverAnswersTimesOutWithOneLogEntry)
{
    test::ListeningSocket silent;
    const std::string url = silent.address() + "/Services.asmx/UserLogin";
    std::string reply;
    EXPECT_EQ(m_client.Get(url, "UserID=a", reply), CWebClient::kResultTimeout);
    EXPECT_EQ(reply, "服务器操作超时");
    const std::regex entry("-----------\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\n(.*)\n\n");
    std::smatch match;
    const std::string log = logText();
    ASSERT_TRUE(std::regex_match(log, match, entry)) << log;
    EXPECT_EQ(match[1].str(), url + "GET请求数据----------服务器无反应超时0.3秒退出---------------");

    EXPECT_EQ(m_client.Post(url, "Token=t", reply), CWebClient::kResultTimeout);
    EXPECT_EQ(reply, "服务器操作超时");
    const std::string both = logText();
    ASSERT_GT(both.size(), log.size());
    EXPECT_EQ(both.substr(log.size() + 31),
        url + "POST请求数据Token=t----------服务器无反应超时0.3秒退出---------------\n\n");
    // Fetch runs on the UI thread during the login, so it is bounded too.
    EXPECT_EQ(m_client.Fetch(url, reply), CWebClient::kResultTimeout);
}

TEST_F(WebClientTest, HttpsAddressSpeaksTls)
{
    // Plain HTTP on the other side: the TLS handshake must fail, not fall back.
    m_http.server().Get("/x",
        [](const httplib::Request&, httplib::Response& response) { response.set_content("plain", "text/plain"); });
    std::string reply = "before";
    const int result = m_client.Get("https://" + m_http.address() + "/x", "", reply);
    EXPECT_GT(result, CWebClient::kLibraryErrorBase) << reply;
    EXPECT_NE(reply, "plain");
}

TEST_F(WebClientTest, RequestsRunConcurrently)
{
    m_http.server().Post("/echo", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content(request.body, "text/plain");
    });
    std::atomic<int> matched {0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 5; ++i) {
                const std::string body = "n=" + std::to_string(t * 100 + i);
                std::string reply;
                if (m_client.Post(m_http.address() + "/echo", body, reply) == CWebClient::kResultOk && reply == body) {
                    ++matched;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(matched, 20);
}

TEST_F(WebClientTest, CheckConnectionProbesTheAddress)
{
    test::ListeningSocket listening;
    EXPECT_TRUE(m_client.CheckConnection(listening.address()));
    EXPECT_EQ(logText(), "");
    EXPECT_FALSE(m_client.CheckConnection("127.0.0.1:" + std::to_string(test::refusingPort())));
    EXPECT_NE(logText().find("\nInternetCheckConnection fail\n\n"), std::string::npos);
}

TEST(DiagnosticLog, AppendsPrivateEntriesAndDropsThemWhenItCannotWrite)
{
    test::TempDir dir;
    CDiagnosticLog log(dir.path());
    log.Write("first");
    log.Write("second\nline");
    const std::regex entries("-----------\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\nfirst\n\n"
                             "-----------\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\nsecond\nline\n\n");
    EXPECT_TRUE(std::regex_match(readFile(log.path()), entries)) << readFile(log.path());
    struct stat info
    {
    };
    ASSERT_EQ(::stat(log.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    CDiagnosticLog nowhere(dir.path() / "missing" / "dir");
    nowhere.Write("dropped");
    EXPECT_FALSE(std::filesystem::exists(nowhere.path()));
}

} // namespace
} // namespace telvora
