#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

class CDiagnosticLog;

/// Progress of a long transfer: bytes moved so far and in all (0 while unknown). Returning
/// false cancels the transfer.
using TransferProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

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
/// was received; -22 = the connection could not be opened within the time-out (the request
/// never left), reply holds kTimeoutReply and the log has an entry; any other status code =
/// that status, reply unchanged; kLibraryErrorBase
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
    static constexpr int kResultConnectTimeout = -22;
    // Keeps library error numbers clear of 1, 0 and the HTTP status codes.
    static constexpr int kLibraryErrorBase = 12'000;
    // Service replies are small XML documents; anything past this is not one.
    static constexpr std::size_t kMaxReplySize = 32 * 1024 * 1024;
    static constexpr const char* kTimeoutReply = "服务器操作超时";
    static constexpr const char* kDefaultProbeAddress = "www.baidu.com";
    static constexpr int kDefaultStallSeconds = 60;
    static constexpr int kResultCancelled = kLibraryErrorBase + 42; // CURLE_ABORTED_BY_CALLBACK

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
    /// POST of a large body (a backup) with the given header lines. Not bound by the POST
    /// time-out, since a large file on a slow line needs longer: it ends as a time-out only
    /// when no byte has moved for the stall time, and as kResultCancelled when progress
    /// returns false. The reply is passed raw.
    int PostLarge(const std::string& url, const std::vector<std::string>& headers, const std::string& body,
        std::string& reply, const TransferProgress& progress = {});
    /// GET of url with its body written to the file at path (created with mode 0600, or
    /// emptied), with the limits of PostLarge. On anything but kResultOk the file's content
    /// is undefined.
    int Download(const std::string& url, const std::string& path, const TransferProgress& progress = {});
    /// How long a large transfer may stand still before it ends (at least 1 s).
    void SetStallSeconds(int seconds) { m_stallSeconds = seconds < 1 ? 1 : seconds; }

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
    int m_stallSeconds = kDefaultStallSeconds;
};

} // namespace telvora
