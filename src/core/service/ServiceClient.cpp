#include "service/ServiceClient.h"

#include "service/WebClient.h"
#include "service/XmlReader.h"

namespace telvora {

CServiceClient::CServiceClient(CWebClient& webClient, std::string address)
    : m_webClient(webClient)
{
    SetAddress(std::move(address));
}

void CServiceClient::SetAddress(std::string address)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!address.empty() && (blank(address.back()) || address.back() == '/')) {
        address.pop_back();
    }
    std::size_t lead = 0;
    while (lead < address.size() && blank(address[lead])) {
        ++lead;
    }
    address.erase(0, lead);
    const std::lock_guard lock(m_mutex);
    m_address = std::move(address);
}

std::string CServiceClient::Address() const
{
    const std::lock_guard lock(m_mutex);
    return m_address;
}

std::string CServiceClient::Url(const std::string& path) const
{
    return Address() + path;
}

bool CServiceClient::CallService(
    const std::string& method, const std::string& body, std::string& reply, bool usePost, int postTimeoutMs)
{
    return Call(method, body, reply, usePost, postTimeoutMs) == CallResult::Success;
}

CallResult CServiceClient::Call(
    const std::string& method, const std::string& body, std::string& reply, bool usePost, int postTimeoutMs)
{
    reply.clear();
    const std::string url = Url("/Services.asmx/" + method);
    const int result = usePost ? m_webClient.Post(url, body, reply, postTimeoutMs) : m_webClient.Get(url, body, reply);
    if (result == CWebClient::kResultNoConnection || result == CWebClient::kResultConnectTimeout) {
        reply.clear();
        return CallResult::NotReached;
    }
    // The transport's own texts (time-out, errors) are no answer of the service.
    if (result != CWebClient::kResultOk || reply.empty()) {
        reply.clear();
        return CallResult::NoAnswer;
    }
    if (reply.find(kSuccessMark) != std::string::npos) {
        return CallResult::Success;
    }
    CXmlReader xml(std::move(reply));
    // A body that is no failure reply of the service may come from anything in between.
    if (!xml.FindChildElem("RetCode")) {
        reply.clear();
        return CallResult::NoAnswer;
    }
    reply = xml.FindChildElem("Message") ? xml.GetChildData() : std::string();
    return CallResult::Refused;
}

} // namespace telvora
