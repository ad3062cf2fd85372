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
    reply.clear();
    const std::string url = Url("/Services.asmx/" + method);
    // The transport's result is not needed: its own texts (time-out, errors) are not XML and
    // end below as an empty reply.
    if (usePost) {
        m_webClient.Post(url, body, reply, postTimeoutMs);
    } else {
        m_webClient.Get(url, body, reply);
    }
    if (reply.empty()) {
        return false;
    }
    if (reply.find(kSuccessMark) != std::string::npos) {
        return true;
    }
    CXmlReader xml(std::move(reply));
    reply = xml.FindChildElem("Message") ? xml.GetChildData() : std::string();
    return false;
}

} // namespace telvora
