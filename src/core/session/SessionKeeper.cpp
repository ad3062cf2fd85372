#include "session/SessionKeeper.h"

#include "app/AppConstants.h"
#include "app/ParameterStore.h"
#include "db/DateTime.h"
#include "service/ServiceClient.h"
#include "service/XmlReader.h"
#include "session/Session.h"

#include <cstdio>

namespace telvora {

namespace {

constexpr const char* kSupportPhones = "销售热线：400-800-8800    技术支持：400-800-8801";

} // namespace

CSessionKeeper::CSessionKeeper(CServiceClient& service, CSession& session)
    : m_service(service)
    , m_session(session)
{ }

std::string CSessionKeeper::ConnectedStatusText()
{
    return std::string("保持服务连接成功    ") + kSupportPhones;
}

CSessionKeeper::Heartbeat CSessionKeeper::SendHeartbeat()
{
    if (!m_session.loggedIn)
        return Heartbeat::NotLoggedIn;
    return RecordHeartbeat(Ping(m_service, m_session.token));
}

bool CSessionKeeper::Ping(CServiceClient& service, const std::string& token)
{
    std::string reply;
    return service.CallService("HeartBeating", "Token=" + token, reply);
}

CSessionKeeper::Heartbeat CSessionKeeper::RecordHeartbeat(bool alive)
{
    if (!m_session.loggedIn)
        return Heartbeat::NotLoggedIn;
    if (alive) {
        // Only failures in a row end a session; one lost heartbeat an hour must not.
        m_failures = 0;
        return Heartbeat::Alive;
    }
    if (++m_failures < kFailuresToEnd)
        return Heartbeat::Failed;
    m_session.loggedIn = false;
    return Heartbeat::SessionEnded;
}

bool CSessionKeeper::RefreshStock()
{
    if (!m_session.loggedIn)
        return false;
    std::string reply;
    if (!m_service.CallService("GetStockDetails", "Token=" + m_session.token, reply))
        return false;
    CXmlReader reader(reply);
    if (!reader.FindChildElem("StockRemain"))
        return false;
    m_session.stock = DecimalValue(reader.GetChildData());
    return true;
}

std::string CSessionKeeper::StockText() const
{
    if (!m_session.loggedIn)
        return {};
    return m_session.userType + ":剩余条数" + std::to_string(m_session.stock);
}

std::vector<std::string> CSessionKeeper::LowStockWarnings(const CParameterStore& parameters)
{
    std::vector<std::string> lines;
    if (!m_session.loggedIn || parameters.Get("IsRemainStock") != "1")
        return lines;
    std::string reply;
    if (!m_service.CallService("GetUserInfo", "Token=" + m_session.token, reply))
        return lines;
    const int threshold = DecimalValue(parameters.Get("RemainAmount"));
    CXmlReader reader(reply);
    if (!reader.FindChildElem("AccountList") || !reader.IntoElem())
        return lines;
    while (reader.FindChildElem("AccountItem")) {
        const std::string remain = reader.GetChildAttrib("CurRemain");
        if (DecimalValue(remain) <= threshold)
            lines.push_back("您的子帐号[" + reader.GetChildData() + "]余量为 " + remain + " 条，少于预警余量!!! ");
    }
    return lines;
}

void CSessionKeeper::LogOff()
{
    if (!m_session.loggedIn)
        return;
    std::string reply;
    m_service.CallService("UserLogOff", "Token=" + m_session.token, reply, true, kLogOffTimeoutMs);
}

std::string AutomaticBackupName(const std::string& user, const DateTime& now)
{
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, " %.2d月%.2d日%d自动备份.db", now.month, now.day, now.hour);
    return "backupdata/" + AccountUserName(user) + stamp;
}

std::string ProposedBackupName(bool offline, const std::string& account, const DateTime& now)
{
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%.2d月%.2d日%d时%d备份数据.db", now.month, now.day, now.hour, now.minute);
    return offline ? std::string(stamp) : account + " " + stamp;
}

} // namespace telvora
