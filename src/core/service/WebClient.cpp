#include "service/WebClient.h"

#include "service/DiagnosticLog.h"
#include "service/TextCodec.h"

#include <cstdio>
#include <curl/curl.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace telvora {

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

bool parsePort(std::string_view text, int& port)
{
    if (text.empty() || text.size() > 5) {
        return false;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) {
        return false;
    }
    port = value;
    return true;
}

std::string buildTarget(const UrlParts& parts)
{
    return (parts.tls ? "https://" : "http://") + parts.host + ":" + std::to_string(parts.port)
        + "/"
        // libcurl refuses blanks and control bytes in a URL and would cut the query at "#".
        + EscapeUrl(parts.object);
}

std::string secondsText(int milliseconds)
{
    if (milliseconds % 1000 == 0) {
        return std::to_string(milliseconds / 1000);
    }
    std::string text = std::to_string(milliseconds / 1000) + ".";
    std::string fraction = std::to_string(1000 + milliseconds % 1000).substr(1);
    while (fraction.back() == '0') {
        fraction.pop_back();
    }
    return text + fraction;
}

void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Body
{
    std::string data;
    bool overflow = false;
};

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* body = static_cast<Body*>(user);
    const std::size_t bytes = size * count;
    if (body->data.size() + bytes > CWebClient::kMaxReplySize) {
        body->overflow = true;
        return 0; // aborts the transfer
    }
    body->data.append(data, bytes);
    return bytes;
}

std::size_t writeToFile(char* data, std::size_t size, std::size_t count, void* user)
{
    return std::fwrite(data, size, count, static_cast<std::FILE*>(user)) * size;
}

struct Progress
{
    const TransferProgress* report;
    bool upload;
};

int reportProgress(void* user, curl_off_t downTotal, curl_off_t downNow, curl_off_t upTotal, curl_off_t upNow)
{
    const auto* progress = static_cast<const Progress*>(user);
    const bool go = progress->upload ? (*progress->report)(upNow, upTotal) : (*progress->report)(downNow, downTotal);
    return go ? 0 : 1;
}

struct CurlDeleter
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct SlistDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

} // namespace

bool SplitUrl(std::string_view url, UrlParts& parts)
{
    parts = UrlParts {};
    if (startsWithNoCase(url, "https://")) {
        parts.tls = true;
        parts.port = 443;
        url.remove_prefix(8);
    } else if (startsWithNoCase(url, "http://")) {
        url.remove_prefix(7);
    }
    const std::size_t slash = url.find('/');
    std::string_view host = url.substr(0, slash);
    if (slash != std::string_view::npos) {
        parts.object = std::string(url.substr(slash + 1));
    }

    std::size_t colon = std::string_view::npos;
    if (host.starts_with('[')) { // an IPv6 literal keeps its colons
        const std::size_t close = host.find(']');
        if (close == std::string_view::npos) {
            return false;
        }
        if (close + 1 < host.size()) {
            if (host[close + 1] != ':') {
                return false;
            }
            colon = close + 1;
        }
    } else {
        colon = host.find(':');
    }
    if (colon != std::string_view::npos) {
        if (!parsePort(host.substr(colon + 1), parts.port)) {
            return false;
        }
        host = host.substr(0, colon);
    }
    parts.host = std::string(host);
    return !parts.host.empty();
}

struct CWebClient::Exchange
{
    std::string url; // what the caller asked for, as the log shows it
    std::string target;
    const std::string* body = nullptr; // POST when set
    int timeoutMs = 0;
    bool formHeader = true;
    bool convertReply = true;
    std::string timeoutLog;
    std::vector<std::string> headers; // further header lines
    int stallSeconds = 0; // > 0: no overall time-out, only a stall limit
    std::FILE* sink = nullptr; // the body goes here instead of the reply
    const TransferProgress* progress = nullptr;
};

CWebClient::CWebClient(CDiagnosticLog* log, int getTimeoutMs, int postTimeoutMs)
    : m_log(log)
    , m_getTimeoutMs(getTimeoutMs)
    , m_postTimeoutMs(postTimeoutMs)
{
    initialiseLibrary();
}

int CWebClient::Get(const std::string& url, const std::string& parameters, std::string& reply)
{
    Exchange exchange;
    exchange.url = url + "?" + parameters;
    exchange.timeoutMs = m_getTimeoutMs;
    exchange.timeoutLog
        = url + "GET请求数据" + "----------服务器无反应超时" + secondsText(m_getTimeoutMs) + "秒退出---------------";
    return perform(exchange, reply);
}

int CWebClient::Post(const std::string& url, const std::string& body, std::string& reply, int timeoutMs)
{
    Exchange exchange;
    exchange.url = url;
    exchange.body = &body;
    exchange.timeoutMs = timeoutMs > 0 ? timeoutMs : m_postTimeoutMs;
    exchange.timeoutLog = url + "POST请求数据" + body + "----------服务器无反应超时" + secondsText(exchange.timeoutMs)
        + "秒退出---------------";
    return perform(exchange, reply);
}

int CWebClient::Fetch(const std::string& url, std::string& reply)
{
    static const std::string kNoBody;
    Exchange exchange;
    exchange.url = url;
    exchange.body = &kNoBody;
    // Bounded like a GET: it runs on the UI thread during the login.
    exchange.timeoutMs = m_getTimeoutMs;
    exchange.formHeader = false;
    exchange.convertReply = false;
    exchange.timeoutLog
        = url + "POST请求数据" + "----------服务器无反应超时" + secondsText(m_getTimeoutMs) + "秒退出---------------";
    return perform(exchange, reply);
}

int CWebClient::perform(const Exchange& exchange, std::string& reply)
{
    UrlParts parts;
    if (!SplitUrl(exchange.url, parts)) {
        return kResultNoConnection;
    }
    const std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        return kResultNoConnection;
    }
    CURL* handle = curl.get();
    const std::string target = buildTarget(parts);
    curl_easy_setopt(handle, CURLOPT_URL, target.c_str());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(exchange.timeoutMs));
    if (exchange.stallSeconds > 0) {
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, static_cast<long>(exchange.stallSeconds));
    } else {
        curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(exchange.timeoutMs));
    }
    Progress progress {exchange.progress, exchange.body != nullptr};
    if (exchange.progress && *exchange.progress) {
        curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, reportProgress);
        curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &progress);
    }
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "Telvora/1.0");
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);

    curl_slist* headers = nullptr;
    if (exchange.formHeader) {
        headers = curl_slist_append(headers, "Content-Type: application/x-www-form-urlencoded");
    }
    for (const std::string& line : exchange.headers) {
        headers = curl_slist_append(headers, line.c_str());
    }
    // No "Expect: 100-continue" round trip for large sends.
    headers = curl_slist_append(headers, "Expect:");
    const std::unique_ptr<curl_slist, SlistDeleter> headerList(headers);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);

    if (exchange.body) {
        curl_easy_setopt(handle, CURLOPT_POST, 1L);
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(exchange.body->size()));
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, exchange.body->data());
    }

    Body body;
    if (exchange.sink) {
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, writeToFile);
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, exchange.sink);
    } else {
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, appendBody);
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
    }

    const CURLcode result = curl_easy_perform(handle);
    switch (result) {
    case CURLE_OK: {
        long status = 0;
        if (curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status <= 0) {
            return kResultNoStatus;
        }
        if (status != 200) {
            return static_cast<int>(status);
        }
        reply = std::move(body.data);
        if (exchange.convertReply) {
            FromUtf8(reply);
        }
        return kResultOk;
    }
    case CURLE_OPERATION_TIMEDOUT: {
        reply = kTimeoutReply;
        if (m_log) {
            m_log->Write(exchange.timeoutLog);
        }
        // A sender must know whether the service may have acted on the request.
        curl_off_t connected = 0;
        const bool known = curl_easy_getinfo(handle, CURLINFO_CONNECT_TIME_T, &connected) == CURLE_OK;
        return known && connected == 0 ? kResultConnectTimeout : kResultTimeout;
    }
    case CURLE_URL_MALFORMAT:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
        return kResultNoConnection;
    default:
        reply = curl_easy_strerror(result);
        if (reply.size() > 1023) {
            reply.resize(1023);
        }
        return kLibraryErrorBase + static_cast<int>(result);
    }
}

int CWebClient::PostLarge(const std::string& url, const std::vector<std::string>& headers, const std::string& body,
    std::string& reply, const TransferProgress& progress)
{
    Exchange exchange;
    exchange.url = url;
    exchange.body = &body;
    exchange.timeoutMs = m_postTimeoutMs; // for the connection only
    exchange.formHeader = false;
    exchange.convertReply = false;
    exchange.headers = headers;
    exchange.stallSeconds = m_stallSeconds;
    exchange.progress = &progress;
    exchange.timeoutLog
        = url + "POST请求数据----------服务器无反应超时" + std::to_string(m_stallSeconds) + "秒退出---------------";
    return perform(exchange, reply);
}

int CWebClient::Download(const std::string& url, const std::string& path, const TransferProgress& progress)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (!file) {
        if (fd >= 0) {
            ::close(fd);
        }
        return kLibraryErrorBase + CURLE_WRITE_ERROR;
    }
    Exchange exchange;
    exchange.url = url;
    exchange.timeoutMs = m_getTimeoutMs; // for the connection only
    exchange.formHeader = false;
    exchange.headers = {"Cache-Control: no-cache", "Pragma: no-cache"}; // a fresh copy, never a cached one
    exchange.stallSeconds = m_stallSeconds;
    exchange.sink = file;
    exchange.progress = &progress;
    exchange.timeoutLog
        = url + "GET请求数据----------服务器无反应超时" + std::to_string(m_stallSeconds) + "秒退出---------------";
    std::string ignored;
    int result = perform(exchange, ignored);
    if (std::fclose(file) != 0 && result == kResultOk) {
        result = kLibraryErrorBase + CURLE_WRITE_ERROR;
    }
    return result;
}

bool CWebClient::CheckConnection(const std::string& probeAddress)
{
    UrlParts parts;
    bool connected = false;
    if (SplitUrl(probeAddress, parts)) {
        const std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
        if (curl) {
            const std::string target = buildTarget(parts);
            curl_easy_setopt(curl.get(), CURLOPT_URL, target.c_str());
            curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
            curl_easy_setopt(curl.get(), CURLOPT_CONNECT_ONLY, 1L);
            curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_getTimeoutMs));
            curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, static_cast<long>(m_getTimeoutMs));
            connected = curl_easy_perform(curl.get()) == CURLE_OK;
        }
    }
    if (!connected && m_log) {
        m_log->Write("InternetCheckConnection fail");
    }
    return connected;
}

} // namespace telvora
