#include "SmsSimulator.h"

#include "SimText.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

namespace telvora {

namespace {

constexpr const char* kXmlType = "text/xml; charset=utf-8";
constexpr const char* kJsonType = "application/json; charset=utf-8";
constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";

constexpr const char* kNoticePage = R"(<!DOCTYPE html>
<html lang="zh-CN">
<head><meta charset="utf-8"><title>系统公告</title></head>
<body>
<h3>系统公告</h3>
<ul>
<li>欢迎使用短信群发平台（模拟服务）。</li>
<li>本服务仅供开发与测试使用，短信不会真正发出。</li>
<li>定时短信在发送时间之前可以取消，取消后短信条数退回帐号。</li>
</ul>
</body>
</html>
)";

std::string serviceXml(const std::string& method, const SimOutcome& outcome)
{
    std::string body = kXmlDeclaration;
    body += "<" + method + "Result><RetCode>" + (outcome.ok ? std::string("Sucess") : sim::xmlEscape(outcome.code))
        + "</RetCode>";
    body += outcome.ok ? outcome.fields : "<Message>" + sim::xmlEscape(outcome.message) + "</Message>";
    body += "</" + method + "Result>";
    return body;
}

std::string soapXml(const std::string& ns, const SimOutcome& outcome)
{
    std::string result
        = "<RetCode>" + (outcome.ok ? std::string("Sucess") : sim::xmlEscape(outcome.code)) + "</RetCode>";
    if (!outcome.ok)
        result += "<Message>" + sim::xmlEscape(outcome.message) + "</Message>";
    return std::string(kXmlDeclaration)
        + "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
          "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">"
          "<soap:Body><UploadFileResponse xmlns=\""
        + sim::xmlEscape(ns) + "\"><UploadFileResult>" + result
        + "</UploadFileResult></UploadFileResponse></soap:Body></soap:Envelope>";
}

// Text between <tag> and </tag>; nullopt when the element is missing. "<tag/>" reads as empty.
std::optional<std::string> elementText(const std::string& xml, const std::string& tag)
{
    if (xml.find("<" + tag + "/>") != std::string::npos)
        return std::string();
    const std::string open = "<" + tag + ">";
    const std::size_t begin = xml.find(open);
    if (begin == std::string::npos)
        return std::nullopt;
    const std::size_t end = xml.find("</" + tag + ">", begin + open.size());
    if (end == std::string::npos)
        return std::nullopt;
    return xml.substr(begin + open.size(), end - begin - open.size());
}

int portOf(const sockaddr_storage& address)
{
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

// The server library gives a handler no access to its socket, so the connection is found by its
// two ports among our descriptors and shut down: the client then reads end-of-file with no answer.
// Shutting down (not closing) leaves the descriptor to the library, which closes it as usual.
bool shutdownConnection(const httplib::Request& req)
{
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr)
        return false;
    bool found = false;
    while (const dirent* entry = readdir(dir)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == dirfd(dir))
            continue;
        struct stat info
        {
        };
        if (fstat(static_cast<int>(fd), &info) != 0 || !S_ISSOCK(info.st_mode))
            continue;
        sockaddr_storage peer {};
        sockaddr_storage local {};
        socklen_t peerLength = sizeof peer;
        socklen_t localLength = sizeof local;
        if (getpeername(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0
            || getsockname(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&local), &localLength) != 0)
            continue;
        if (portOf(peer) == req.remote_port && portOf(local) == req.local_port) {
            found = shutdown(static_cast<int>(fd), SHUT_RDWR) == 0;
            break;
        }
    }
    closedir(dir);
    return found;
}

void dropConnection(const httplib::Request& req, httplib::Response& res)
{
    res.status = 500;
    if (shutdownConnection(req))
        return;
    // Fallback: promise a body and break off before sending it.
    res.set_content_provider(1024, "text/plain", [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
}

std::string readBody(const httplib::ContentReader& reader)
{
    std::string body;
    reader([&body](const char* data, std::size_t length) {
        body.append(data, length);
        return true;
    });
    return body;
}

std::string rawQuery(const httplib::Request& req)
{
    const std::size_t mark = req.target.find('?');
    return mark == std::string::npos ? std::string() : req.target.substr(mark + 1);
}

std::int64_t intParam(const httplib::Request& req, const char* name, std::int64_t fallback)
{
    if (!req.has_param(name))
        return fallback;
    return sim::parseInt(req.get_param_value(name)).value_or(fallback);
}

std::optional<SimFault::Kind> faultKind(const std::string& text)
{
    if (text == "delay")
        return SimFault::Kind::Delay;
    if (text == "http500")
        return SimFault::Kind::Http500;
    if (text == "refuse")
        return SimFault::Kind::Refuse;
    if (text == "notxml")
        return SimFault::Kind::NotXml;
    if (text == "drop")
        return SimFault::Kind::Drop;
    if (text == "offline")
        return SimFault::Kind::Offline;
    return std::nullopt;
}

std::string jobsJson(const std::vector<SimJob>& jobs)
{
    using sim::jsonEscape;
    std::string out = "[";
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const SimJob& job = jobs[i];
        out += i == 0 ? "" : ",";
        out += "{\"jobId\":\"" + jsonEscape(job.jobId) + "\",\"account\":\"" + jsonEscape(job.account)
            + "\",\"user\":\"" + jsonEscape(job.user) + "\",\"method\":\"" + jsonEscape(job.method)
            + "\",\"content\":\"" + jsonEscape(job.content) + "\",\"smsType\":" + std::to_string(job.smsType)
            + ",\"sendTime\":\"" + jsonEscape(job.sendTime) + "\",\"scheduled\":" + (job.scheduled ? "true" : "false")
            + ",\"cancelled\":" + (job.cancelled ? "true" : "false") + ",\"charged\":" + std::to_string(job.charged)
            + ",\"messages\":[";
        for (std::size_t k = 0; k < job.messages.size(); ++k) {
            const SimMessage& message = job.messages[k];
            out += k == 0 ? "" : ",";
            out += "{\"phone\":\"" + jsonEscape(message.phone) + "\",\"text\":\"" + jsonEscape(message.text)
                + "\",\"segments\":" + std::to_string(message.segments) + "}";
        }
        out += "],\"refused\":[";
        for (std::size_t k = 0; k < job.refused.size(); ++k)
            out += (k == 0 ? "\"" : ",\"") + jsonEscape(job.refused[k]) + "\"";
        out += "]}";
    }
    return out + "]";
}

std::string reachableAddress(const std::string& host, int port)
{
    const bool wildcard = host.empty() || host == "0.0.0.0" || host == "::";
    return (wildcard ? std::string("127.0.0.1") : host) + ":" + std::to_string(port);
}

void jsonReply(httplib::Response& res, bool ok, const std::string& extra = {})
{
    if (!ok)
        res.status = 400;
    res.set_content(std::string("{\"ok\":") + (ok ? "true" : "false") + extra + "}", kJsonType);
}

} // namespace

SmsSimulator::SmsSimulator(SimConfig config)
    : SimService(std::move(config))
{ }

SmsSimulator::~SmsSimulator()
{
    stop();
}

bool SmsSimulator::start(const std::string& host, int port)
{
    std::lock_guard lock(m_lifecycle);
    if (m_server)
        return false;
    // A client that goes away while we write must not take the process down.
    struct sigaction current
    {
    };
    if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        std::signal(SIGPIPE, SIG_IGN);

    resumeWaits();
    {
        std::lock_guard offline(m_offlineMutex);
        m_stopping = false;
    }
    return listen(host, port);
}

bool SmsSimulator::listen(const std::string& host, int port)
{
    auto server = std::make_unique<httplib::Server>();
    installRoutes(*server);
    // One request per connection: an idle keep-alive connection would hold a worker and delay stop().
    server->set_keep_alive_max_count(1);
    server->set_keep_alive_timeout(1);
    // The library's default also sets SO_REUSEPORT, which lets a second simulator share the
    // port and take requests at random; a port in use must be refused instead.
    server->set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    const int bound = port == 0 ? server->bind_to_any_port(host) : (server->bind_to_port(host, port) ? port : -1);
    if (bound <= 0)
        return false;
    m_host = host;
    m_port = bound;
    setOwnAddress(reachableAddress(host, bound));
    m_listenEnded = false;
    httplib::Server* raw = server.get();
    m_thread = std::thread([this, raw] {
        raw->listen_after_bind();
        m_listenEnded = true;
    });
    // stop() only takes effect once the accept loop runs.
    while (!raw->is_running() && !m_listenEnded)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::lock_guard offline(m_offlineMutex);
    m_server = std::move(server);
    return true;
}

void SmsSimulator::goOffline(std::chrono::milliseconds time)
{
    std::thread finished;
    {
        std::lock_guard offline(m_offlineMutex);
        if (m_offlineBusy || m_stopping || !m_server)
            return;
        m_offlineBusy = true;
        m_server->stop(); // closes the listening socket only; calls under way go on
        finished = std::move(m_offline);
        m_offline = std::thread([this, time] {
            {
                std::unique_lock offline(m_offlineMutex);
                if (m_offlineWake.wait_for(offline, time, [this] { return m_stopping; })) {
                    m_offlineBusy = false;
                    m_offlineWake.notify_all();
                    return;
                }
            }
            std::lock_guard lifecycle(m_lifecycle);
            // The old accept loop ends once its calls are answered.
            if (m_thread.joinable())
                m_thread.join();
            const bool back = listen(m_host, m_port);
            {
                std::lock_guard offline(m_offlineMutex);
                if (!back)
                    m_server.reset();
                m_offlineBusy = false;
            }
            m_offlineWake.notify_all();
        });
    }
    if (finished.joinable())
        finished.join();
}

void SmsSimulator::waitUntilOnline()
{
    std::unique_lock offline(m_offlineMutex);
    m_offlineWake.wait(offline, [this] { return !m_offlineBusy; });
}

void SmsSimulator::stop()
{
    std::thread offline;
    {
        std::lock_guard guard(m_offlineMutex);
        m_stopping = true;
        offline = std::move(m_offline);
    }
    m_offlineWake.notify_all();
    if (offline.joinable())
        offline.join();
    std::lock_guard lock(m_lifecycle);
    interruptWaits();
    {
        std::lock_guard guard(m_offlineMutex);
        if (m_server)
            m_server->stop();
    }
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard guard(m_offlineMutex);
    m_server.reset();
}

bool SmsSimulator::isRunning() const
{
    std::lock_guard lock(m_lifecycle);
    std::lock_guard offline(m_offlineMutex);
    return m_server != nullptr || m_offlineBusy;
}

int SmsSimulator::port() const
{
    std::lock_guard lock(m_lifecycle);
    return m_port;
}

std::string SmsSimulator::address() const
{
    std::lock_guard lock(m_lifecycle);
    return reachableAddress(m_host, m_port);
}

void SmsSimulator::installRoutes(httplib::Server& server)
{
    // Applies the fault of the call; true when it has answered (the call is then not carried out).
    // kind: 0 service method, 1 SOAP, 2 plain page.
    auto applyFault = [this](const httplib::Request& req, httplib::Response& res, const std::string& method, int kind) {
        const std::optional<SimFault> fault = beginCall(method);
        if (!fault)
            return false;
        switch (fault->kind) {
        case SimFault::Kind::Delay:
            if (waitFor(fault->delay))
                return false;
            dropConnection(req, res); // stopping: answer nothing
            return true;
        case SimFault::Kind::Http500:
            res.status = 500;
            res.set_content("Internal Server Error", "text/plain");
            return true;
        case SimFault::Kind::Refuse: {
            const SimOutcome refused {false, {}, "Failed", fault->message};
            res.set_content(
                kind == 1 ? soapXml(config().soapNamespace, refused) : serviceXml(method, refused), kXmlType);
            return true;
        }
        case SimFault::Kind::NotXml:
            res.set_content("Service Unavailable: this is not XML", "text/html; charset=utf-8");
            return true;
        case SimFault::Kind::Drop:
            dropConnection(req, res);
            return true;
        case SimFault::Kind::Offline:
            goOffline(fault->delay);
            return false;
        }
        return false;
    };

    auto serve = [this, applyFault](const httplib::Request& req, httplib::Response& res, const std::string& method,
                     const std::string& body) {
        if (!isServiceMethod(method)) {
            res.status = 404;
            res.set_content("unknown method " + method, "text/plain");
            return;
        }
        if (applyFault(req, res, method, 0))
            return;
        res.set_content(serviceXml(method, call(method, sim::parseFormRaw(body))), kXmlType);
    };

    server.Post(R"(/Services\.asmx/(\w+))",
        [serve](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
            // Read the body ourselves: the library refuses form bodies above 8 KiB, and a batch of
            // 800 numbers is larger than that.
            const std::string body = readBody(reader);
            serve(req, res, req.matches[1].str(), body);
        });
    server.Get(R"(/Services\.asmx/(\w+))", [serve](const httplib::Request& req, httplib::Response& res) {
        serve(req, res, req.matches[1].str(), rawQuery(req));
    });

    server.Post("/Services.asmx",
        [this, applyFault](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
            const std::string body = readBody(reader);
            if (req.get_param_value("op") != "UploadFile"
                && req.get_header_value("SOAPAction").find("UploadFile") == std::string::npos) {
                res.status = 404;
                res.set_content("unknown operation", "text/plain");
                return;
            }
            if (applyFault(req, res, "UploadFile", 1))
                return;
            const auto token = elementText(body, "Token");
            const auto data = elementText(body, "BinaryDatas");
            const SimOutcome outcome
                = token && data ? upload(sim::trim(*token), *data) : SimOutcome {false, {}, "Failed", "请求格式不正确"};
            res.set_content(soapXml(config().soapNamespace, outcome), kXmlType);
        });

    auto updateList = [this, applyFault](const httplib::Request& req, httplib::Response& res) {
        if (!applyFault(req, res, "UpdateFileList", 2))
            res.set_content(updateListXml(), kXmlType);
    };
    auto notice = [applyFault](const httplib::Request& req, httplib::Response& res) {
        if (!applyFault(req, res, "UserNotice", 2))
            res.set_content(kNoticePage, "text/html; charset=utf-8");
    };
    for (const char* path : {"/Download/UpdateFileList.asp", "/download/UpdateFileList.asp"}) {
        server.Get(path, updateList);
        server.Post(path, updateList);
    }
    for (const char* path : {"/download/UserNoticeNew.asp", "/Download/UserNoticeNew.asp"}) {
        server.Get(path, notice);
        server.Post(path, notice);
    }

    server.Get(R"(/([^/_]+)_([^/]+)\.dat)", [this, applyFault](const httplib::Request& req, httplib::Response& res) {
        if (applyFault(req, res, "DownloadBackup", 2))
            return;
        const auto data = backup(req.matches[1].str(), req.matches[2].str());
        if (!data) {
            res.status = 404;
            res.set_content("no backup", "text/plain");
            return;
        }
        res.set_content(*data, "application/octet-stream");
    });

    // --- control interface: parameters in the query string or a form body ---------------------
    server.Post("/control/account", [this](const httplib::Request& req, httplib::Response& res) {
        SimAccount account;
        account.account = req.get_param_value("account");
        if (req.has_param("password"))
            account.adminPassword = req.get_param_value("password");
        account.stock = intParam(req, "stock", 0);
        account.userType = static_cast<int>(intParam(req, "userType", account.userType));
        account.userRight = static_cast<int>(intParam(req, "userRight", account.userRight));
        account.totalAccounts = static_cast<int>(intParam(req, "totalAccounts", account.totalAccounts));
        account.companyName = req.get_param_value("company");
        account.address = req.get_param_value("address");
        account.contact = req.get_param_value("contact");
        account.phone = req.get_param_value("phone");
        account.signName = req.get_param_value("signName");
        if (account.account.empty())
            return jsonReply(res, false);
        addAccount(account);
        jsonReply(res, true);
    });
    server.Post("/control/user", [this](const httplib::Request& req, httplib::Response& res) {
        jsonReply(res,
            addUser(req.get_param_value("account"), req.get_param_value("user"), req.get_param_value("password"),
                intParam(req, "stock", 0), req.get_param_value("memo")));
    });
    server.Post("/control/stock", [this](const httplib::Request& req, httplib::Response& res) {
        const auto value = sim::parseInt(req.get_param_value("stock"));
        jsonReply(res, value && setStock(req.get_param_value("account"), req.get_param_value("user"), *value));
    });
    server.Get("/control/stock", [this](const httplib::Request& req, httplib::Response& res) {
        const auto value = stock(req.get_param_value("account"), req.get_param_value("user"));
        jsonReply(res, value.has_value(), value ? ",\"stock\":" + std::to_string(*value) : std::string());
    });
    server.Post("/control/reply", [this](const httplib::Request& req, httplib::Response& res) {
        SimReply reply {req.get_param_value("phone"), req.get_param_value("content"), req.get_param_value("time"),
            req.get_param_value("postfix")};
        const std::string user = req.has_param("user") ? req.get_param_value("user") : "admin";
        jsonReply(res, queueReply(req.get_param_value("account"), user, std::move(reply)));
    });
    server.Get("/control/jobs",
        [this](const httplib::Request&, httplib::Response& res) { res.set_content(jobsJson(jobs()), kJsonType); });
    server.Get("/control/deliveries", [this](const httplib::Request&, httplib::Response& res) {
        std::string out = "{";
        for (const auto& [phone, count] : deliveries())
            out += (out.size() > 1 ? ",\"" : "\"") + sim::jsonEscape(phone) + "\":" + std::to_string(count);
        res.set_content(out + "}", kJsonType);
    });
    server.Post("/control/offline", [this](const httplib::Request& req, httplib::Response& res) {
        const auto ms = sim::parseInt(req.get_param_value("ms"));
        if (ms)
            goOffline(std::chrono::milliseconds(*ms));
        jsonReply(res, ms.has_value());
    });
    server.Get("/control/calls", [this](const httplib::Request&, httplib::Response& res) {
        std::string out = "{";
        for (const auto& [method, count] : callCounts())
            out += (out.size() > 1 ? ",\"" : "\"") + sim::jsonEscape(method) + "\":" + std::to_string(count);
        res.set_content(out + "}", kJsonType);
    });
    server.Post("/control/fault", [this](const httplib::Request& req, httplib::Response& res) {
        const auto kind = faultKind(req.get_param_value("kind"));
        const std::string method = req.get_param_value("method");
        if (!kind || method.empty())
            return jsonReply(res, false);
        SimFault fault;
        fault.kind = *kind;
        fault.delay = std::chrono::milliseconds(intParam(req, "delayMs", 0));
        fault.message = req.get_param_value("message");
        injectFault(method, fault, static_cast<int>(intParam(req, "call", 0)));
        jsonReply(res, true);
    });
    server.Post("/control/faults/clear", [this](const httplib::Request&, httplib::Response& res) {
        clearFaults();
        jsonReply(res, true);
    });
    server.Post("/control/clock", [this](const httplib::Request& req, httplib::Response& res) {
        advanceClock(std::chrono::milliseconds(intParam(req, "advanceMs", 0)));
        jsonReply(res, true);
    });
    server.Post("/control/token-idle", [this](const httplib::Request& req, httplib::Response& res) {
        const auto ms = sim::parseInt(req.get_param_value("ms"));
        if (ms)
            setTokenIdleTimeout(std::chrono::milliseconds(*ms));
        jsonReply(res, ms.has_value());
    });
    server.Post("/control/consumption", [this](const httplib::Request& req, httplib::Response& res) {
        jsonReply(res,
            addConsumption(req.get_param_value("account"), req.get_param_value("user"), req.get_param_value("day"),
                intParam(req, "count", 0)));
    });
    server.Post("/control/update", [this](const httplib::Request& req, httplib::Response& res) {
        setUpdateInfo(req.get_param_value("version"), req.get_param_value("serverIp"));
        jsonReply(res, true);
    });
}

} // namespace telvora
