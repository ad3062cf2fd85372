#include "service/WebClient.h"

#include "LocalServers.h"
#include "service/DiagnosticLog.h"
#include "support/TempDir.h"

#include <atomic>
#include <curl/curl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

namespace telvora {
namespace {

constexpr int kShortTimeoutMs = 300;
// Answers from a local server under a loaded CI machine must never count as hangs.
constexpr int kAmpleTimeoutMs = 10000;
const std::string kStamp = "-----------\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\n"; // heads each log entry

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
    const char* parts; // "tls|host|port|object"; empty: the address is refused
};

class UrlSplit : public testing::TestWithParam<SplitCase>
{
};

TEST_P(UrlSplit, SplitsHostPortAndObject)
{
    UrlParts parts;
    const bool split = SplitUrl(GetParam().url, parts);
    EXPECT_EQ(split ? (parts.tls ? "tls|" : "|") + parts.host + "|" + std::to_string(parts.port) + "|" + parts.object
                    : std::string(),
        GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(Urls, UrlSplit,
    testing::Values(SplitCase {"HostOnly", "sms.example.cn", "|sms.example.cn|80|"},
        SplitCase {"ExplicitPortAndQuery", "10.0.0.1:8080/a/b.asp?x=1&y=2", "|10.0.0.1|8080|a/b.asp?x=1&y=2"},
        SplitCase {"Https", "https://h/a", "tls|h|443|a"},
        SplitCase {"HttpsWithPort", "HTTPS://h:8443/a", "tls|h|8443|a"},
        SplitCase {"HttpSchemeDropped", "http://h:81/a", "|h|81|a"},
        SplitCase {"Ipv6Literal", "[::1]:8080/a", "|[::1]|8080|a"}, SplitCase {"PortNotNumeric", "h:80x/a", ""},
        SplitCase {"PortZero", "h:0/a", ""}, SplitCase {"PortTooLarge", "h:65536/a", ""},
        SplitCase {"NoHost", ":8080/a", ""}),
    [](const testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

class WebClientTest : public testing::Test
{
protected:
    WebClientTest()
        : m_log(m_dir.path())
        , m_client(&m_log, kAmpleTimeoutMs, kAmpleTimeoutMs)
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
    httplib::Request seen;
    const auto handler = [&](const httplib::Request& request, httplib::Response& response) {
        seen = request;
        response.set_content("<r>登录\xC4\xE3</r>", "text/xml; charset=utf-8");
    };
    m_http.server().Get("/a", handler).Post("/a", handler);
    const std::string url = m_http.address() + "/a";
    std::string reply;
    EXPECT_EQ(m_client.Get(url, "UserID=a&Account=张 三#1&Password=p", reply), CWebClient::kResultOk);
    EXPECT_EQ(reply, "<r>登录?\?</r>");
    EXPECT_EQ(seen.get_param_value("Account"), "张 三#1");

    const std::string form = "Token=t&Content=%e4%b8%ad%26&SmsType=1&PostFixNumber=" + std::string(5000, '1');
    EXPECT_EQ(m_client.Post(url, form, reply), CWebClient::kResultOk);
    EXPECT_EQ(seen.body, form);
    EXPECT_EQ(seen.get_header_value("Content-Type"), "application/x-www-form-urlencoded");

    EXPECT_EQ(m_client.Fetch(url, reply), CWebClient::kResultOk);
    EXPECT_EQ(reply, "<r>登录\xC4\xE3</r>");
}

TEST_F(WebClientTest, AnErrorStatusIsReturnedAndLeavesTheReply)
{
    m_http.server().Post("/x", [](const httplib::Request&, httplib::Response& response) {
        response.status = 500;
        response.set_content("<r><Message>boom</Message></r>", "text/xml");
    });
    std::string reply = "before"; // nothing answers a GET of /x but the 404
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

TEST_F(WebClientTest, ServerThatNeverAnswersTimesOutWithALogEntryEach)
{
    test::ListeningSocket silent;
    const std::string url = silent.address() + "/Services.asmx/UserLogin";
    CWebClient client(&m_log, kShortTimeoutMs, kShortTimeoutMs);
    std::string reply;
    EXPECT_EQ(client.Get(url, "UserID=a", reply), CWebClient::kResultTimeout);
    EXPECT_EQ(reply, "服务器操作超时");
    EXPECT_EQ(client.Post(url, "Token=t", reply), CWebClient::kResultTimeout);
    EXPECT_EQ(reply, "服务器操作超时");
    const std::string tail = "----------服务器无反应超时0.3秒退出---------------\n\n";
    EXPECT_TRUE(std::regex_match(
        logText(), std::regex(kStamp + url + "GET请求数据" + tail + kStamp + url + "POST请求数据Token=t" + tail)))
        << logText();
    // Fetch runs on the UI thread during the login, so it is bounded too.
    EXPECT_EQ(client.Fetch(url, reply), CWebClient::kResultTimeout);
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
                std::string reply;
                const std::string body = "n=" + std::to_string(t * 100 + i);
                matched
                    += m_client.Post(m_http.address() + "/echo", body, reply) == CWebClient::kResultOk && reply == body;
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
    EXPECT_TRUE(std::regex_match(readFile(log.path()), std::regex(kStamp + "first\n\n" + kStamp + "second\nline\n\n")));
    EXPECT_EQ(std::filesystem::status(log.path()).permissions(),
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    CDiagnosticLog nowhere(dir.path() / "missing" / "dir");
    nowhere.Write("dropped");
    EXPECT_FALSE(std::filesystem::exists(nowhere.path()));
}

} // namespace
} // namespace telvora
