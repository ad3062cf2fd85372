#pragma once

#include <mutex>
#include <string>

namespace telvora {

class CWebClient;

/// How a service call ended, for callers that must know whether the service may have acted.
enum class CallResult {
    Success, ///< the reply carries the success mark
    Refused, ///< the service answered with a failure reply; reply is its "Message"
    NotReached, ///< the request certainly never reached the service (no connection)
    NoAnswer, ///< it may have reached the service, but no usable answer came back
};

/// The one way to call a method of the SMS service. Holds the service address
/// ("host[:port]" or "https://host[:port]") and posts forms to
/// address + "/Services.asmx/" + method through the web client.
class CServiceClient final
{
public:
    static constexpr const char* kSuccessMark = "<RetCode>Sucess</RetCode>";

    explicit CServiceClient(CWebClient& webClient, std::string address = {});

    /// Trims blanks and trailing "/". Safe while another thread calls the service.
    void SetAddress(std::string address);
    std::string Address() const;
    /// address + path, for requests that do not go through CallService.
    std::string Url(const std::string& path) const;

    /// Calls method with the form body (GET with the body as query when usePost is false).
    /// True when the reply carries the success mark; reply is then the whole document.
    /// Otherwise false, and reply is the text of the root's "Message" child, or empty when
    /// there is none (time-out, HTTP error, transport failure, a reply that is not XML).
    /// postTimeoutMs shortens the wait of one POST; 0 is the web client's own.
    bool CallService(const std::string& method, const std::string& body, std::string& reply, bool usePost = true,
        int postTimeoutMs = 0);
    /// CallService, telling a refusal, a request that never left and a missing answer apart.
    CallResult Call(const std::string& method, const std::string& body, std::string& reply, bool usePost = true,
        int postTimeoutMs = 0);

    CWebClient& webClient() { return m_webClient; }

private:
    CWebClient& m_webClient;
    mutable std::mutex m_mutex;
    std::string m_address;
};

} // namespace telvora
