#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace telvora {

class CDiagnosticLog;

/// Where a request goes, split from "host[:port][/object]". An address that starts with
/// "https://" uses TLS (default port 443); a leading "http://" is accepted and dropped.
struct UrlParts
{
    bool tls = false;
    std::string host;
    int port = 80;
    std::string object; // everything after the first "/", without that "/"
};

/// False when the host is empty or the port is not a number from 1 to 65535.
bool SplitUrl(std::string_view url, UrlParts& parts);

/// HTTP client for the service and its download site, on libcurl.
///
/// Results: 1 = status 200 and reply holds the body; 0 = time-out, reply holds
/// kTimeoutReply and the diagnostic log has an entry; -20 = no connection could be made
/// (bad address, host not found, connection refused), reply unchanged; -21 = no status
/// was received; any other status code = that status, reply unchanged; kLibraryErrorBase
/// plus a libcurl error number = the exchange failed some other way (for example the
/// server dropped the connection), reply holds libcurl's message for it.
///
/// Every call uses its own handle, so Get and Post may run at the same time on the UI
/// thread and the send worker.
class CWebClient final
{
public:
    static constexpr int kDefaultGetTimeoutMs = 30'000;
    static constexpr int kDefaultPostTimeoutMs = 60'000;
    static constexpr int kResultOk = 1;
    static constexpr int kResultTimeout = 0;
    static constexpr int kResultNoConnection = -20;
    static constexpr int kResultNoStatus = -21;
    // Keeps library error numbers clear of 1, 0 and the HTTP status codes.
    static constexpr int kLibraryErrorBase = 12'000;
    // Service replies are small XML documents; anything past this is not one.
    static constexpr std::size_t kMaxReplySize = 32 * 1024 * 1024;
    static constexpr const char* kTimeoutReply = "服务器操作超时";
    static constexpr const char* kDefaultProbeAddress = "www.baidu.com";

    /// log may be null (no diagnostic entries).
    explicit CWebClient(CDiagnosticLog* log = nullptr, int getTimeoutMs = kDefaultGetTimeoutMs,
        int postTimeoutMs = kDefaultPostTimeoutMs);

    /// GET of url + "?" + parameters; the body reaches reply as valid UTF-8.
    int Get(const std::string& url, const std::string& parameters, std::string& reply);
    /// Form POST of body (sent unchanged) to url; the body reaches reply as valid UTF-8.
    /// timeoutMs 0 is the client's POST time-out.
    int Post(const std::string& url, const std::string& body, std::string& reply, int timeoutMs = 0);
    /// POST without a body, for plain pages such as the update list; the body is passed raw.
    int Fetch(const std::string& url, std::string& reply);
    /// Whether a connection to probeAddress ("host[:port]") can be opened; logs
    /// "InternetCheckConnection fail" when it cannot.
    bool CheckConnection(const std::string& probeAddress = kDefaultProbeAddress);

    int getTimeoutMs() const { return m_getTimeoutMs; }
    int postTimeoutMs() const { return m_postTimeoutMs; }

private:
    struct Exchange;
    int perform(const Exchange& exchange, std::string& reply);

    CDiagnosticLog* m_log;
    int m_getTimeoutMs;
    int m_postTimeoutMs;
};

} // namespace telvora
