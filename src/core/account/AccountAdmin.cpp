#include "account/AccountAdmin.h"

#include "service/ServiceClient.h"
#include "service/TextCodec.h"
#include "service/XmlReader.h"
#include "session/Session.h"
#include "session/SessionKeeper.h"

namespace telvora {

namespace {

constexpr const char* kTooLong = "输入的内容太长!";

std::string childText(const std::string& reply, const char* name)
{
    // A reader per field: a missing one must not make the search skip past the others.
    CXmlReader reader(reply);
    return reader.FindChildElem(name) ? reader.GetChildData() : std::string();
}

} // namespace

CAccountAdmin::CAccountAdmin(CServiceClient& service, CSession& session)
    : m_service(service)
    , m_session(session)
{ }

bool CAccountAdmin::call(const std::string& method, const Fields& fields, std::string& reply)
{
    m_message.clear();
    std::string body = "Token=" + m_session.token;
    for (const auto& [name, value] : fields) {
        std::string escaped = value;
        if (!EscapeFormValue(escaped)) {
            m_message = kTooLong;
            return false;
        }
        body += std::string("&") + name + "=" + escaped;
    }
    if (!m_service.CallService(method, body, reply)) {
        m_message = reply;
        return false;
    }
    return true;
}

bool CAccountAdmin::GetUserInfo(AccountInfo& info)
{
    info = {};
    std::string reply;
    if (!call("GetUserInfo", {}, reply)) {
        return false;
    }
    info.totalAccounts = childText(reply, "TotalAccounts");
    info.companyName = childText(reply, "CompanyName");
    info.address = childText(reply, "Address");
    info.contact = childText(reply, "Contact");
    info.phone = childText(reply, "Phone");
    CXmlReader reader(reply);
    if (reader.FindChildElem("AccountList") && reader.IntoElem()) {
        while (reader.FindChildElem("AccountItem")) {
            info.accounts.push_back(
                {reader.GetChildData(), reader.GetChildAttrib("CurRemain"), reader.GetChildAttrib("Memo")});
        }
    }
    return true;
}

bool CAccountAdmin::AddSubAccount(const std::string& name, const std::string& password, const std::string& memo)
{
    std::string reply;
    return call(
        "AddSubAccount", {{"AccountName", name}, {"Password", password}, {"SignNameID", "1"}, {"Memo", memo}}, reply);
}

bool CAccountAdmin::DistributeStock(const std::string& name, int amount)
{
    return callMovingStock("DistributeStock", {{"AccountName", name}, {"Amount", std::to_string(amount)}});
}

bool CAccountAdmin::ResetSubAccountPassword(const std::string& name, const std::string& password)
{
    std::string reply;
    return call("SubAccountPswModify", {{"AccountName", name}, {"NewPsw", password}}, reply);
}

bool CAccountAdmin::RemoveSubAccount(const std::string& name)
{
    return callMovingStock("RemoveSubAccount", {{"AccountName", name}});
}

bool CAccountAdmin::callMovingStock(const std::string& method, const Fields& fields)
{
    std::string reply;
    if (!call(method, fields, reply)) {
        return false;
    }
    CSessionKeeper(m_service, m_session).RefreshStock();
    return true;
}

bool CAccountAdmin::ChangePassword(const std::string& oldPassword, const std::string& newPassword)
{
    std::string reply;
    return call("PasswordChange", {{"oldPSW", oldPassword}, {"newPSW", newPassword}}, reply);
}

} // namespace telvora
