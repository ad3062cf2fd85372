#include "account/BillQuery.h"

#include "service/ServiceClient.h"
#include "service/XmlReader.h"
#include "session/Session.h"

namespace telvora {

namespace {

std::string dayText(const DateTime& day)
{
    return std::to_string(day.year) + "-" + std::to_string(day.month) + "-" + std::to_string(day.day);
}

} // namespace

BillRange AllowedBillRange(const DateTime& now)
{
    return {now.addDays(-25), now.addDays(-1)};
}

CBillQuery::CBillQuery(CServiceClient& service, const CSession& session)
    : m_service(service)
    , m_session(session)
{ }

bool CBillQuery::Query(const DateTime& start, const DateTime& end, BillReport& report)
{
    report = {};
    m_message.clear();
    if (!m_session.loggedIn) {
        m_message = "尚未在线登录,无法在线查询帐单!";
        return false;
    }
    std::string reply;
    if (!m_service.CallService("GetClientBills",
            "Token=" + m_session.token + "&DayStart=" + dayText(start) + "&DayEnd=" + dayText(end), reply)) {
        m_message = reply;
        return false;
    }
    CXmlReader reader(reply);
    if (reader.FindChildElem("CompanyName")) {
        report.companyName = reader.GetChildData();
    }
    if (!reader.FindChildElem("BillDetail") || !reader.IntoElem()) {
        return true;
    }
    while (reader.FindChildElem("Bill")) {
        BillRow row {reader.GetChildAttrib("Account"), reader.GetChildAttrib("BillDay"),
            reader.GetChildAttrib("CurDaySend"), reader.GetChildAttrib("CurRemain"), reader.GetChildAttrib("CurTotal")};
        const int sent = DecimalValue(row.sent);
        if (sent > 0) {
            report.total += sent;
            report.rows.push_back(std::move(row));
        }
    }
    return true;
}

} // namespace telvora
