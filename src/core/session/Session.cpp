#include "session/Session.h"

#include "service/XmlReader.h"
#include "session/TextUtil.h"

#include <cctype>
#include <climits>

namespace telvora {

bool CSession::isInterfaceUser() const
{
    return userType == "接口用户";
}

std::string UserTypeName(const std::string& code)
{
    if (code == "1")
        return "正式用户";
    if (code == "2")
        return "VIP用户";
    if (code == "3")
        return "会员用户";
    if (code == "4")
        return "接口用户";
    return "试用用户";
}

int DecimalValue(const std::string& text)
{
    std::size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        negative = text[pos++] == '-';
    long long value = 0;
    for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

void ParseLoginReply(const std::string& reply, CSession& session)
{
    // Every login starts from the defaults: nothing of an earlier account survives a reply
    // that lacks a field (a signature of another company on this one's messages).
    session = CSession {};
    CXmlReader reader(reply);
    // A missing field keeps its default rather than repeating the field before it.
    auto read = [&reader](const char* name, auto assign) {
        if (reader.FindChildElem(name))
            assign(reader.GetChildData());
    };
    read("Token", [&](const std::string& v) { session.token = std::string(TrimAscii(v)); });
    read("Version", [&](const std::string& v) { session.version = std::string(TrimAscii(v)); });
    read("SmsServerAddress", [&](const std::string& v) { session.smsServerAddress = v; });
    read("UserType", [&](const std::string& v) { session.userType = UserTypeName(v); });
    read("UserRight", [&](const std::string& v) { session.userRight = DecimalValue(v); });
    read("SegmentUpperLimit", [&](const std::string& v) { session.segmentUpperLimit = DecimalValue(v); });
    read("LongSmsLen", [&](const std::string& v) { session.longSmsLen = DecimalValue(v); });
    read("ShortSmsLen", [&](const std::string& v) { session.shortSmsLen = DecimalValue(v); });
    read("FetchSendStat", [&](const std::string& v) { session.fetchSendStat = static_cast<short>(DecimalValue(v)); });
    read("SmsStock", [&](const std::string& v) { session.stock = DecimalValue(v); });
    read("SignName", [&](const std::string& v) { session.signName = std::string(TrimAscii(v)); });
    session.loggedIn = true;
}

} // namespace telvora
