#include "session/LoginService.h"

#include "app/AppConstants.h"
#include "app/AppContext.h"
#include "app/AutoStart.h"
#include "app/RecordCleanup.h"
#include "app/RememberedPassword.h"
#include "db/SqlText.h"
#include "service/ServiceClient.h"
#include "service/TextCodec.h"
#include "service/WebClient.h"
#include "service/XmlReader.h"
#include "session/TextUtil.h"

#include <cstdlib>
#include <filesystem>

namespace telvora {

namespace {

constexpr const char* kDatabaseSuffix = ".db";

// A login field as a form value: "&", "#", "+" or "%" typed in a password must reach the
// service as typed, not cut or reinterpret the request.
std::string formValue(std::string text)
{
    EscapeFormValue(text);
    return text;
}

std::string setParamSql(const char* key, const std::string& value)
{
    return "UPDATE tbl_sys_param SET para_value=" + SqlQuote(value) + " WHERE para_name='" + key + "'";
}

} // namespace

std::vector<std::string> SplitHistory(const std::string& text)
{
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = text.find(';', start);
        const std::string entry
            = std::string(TrimAscii(text.substr(start, end == std::string::npos ? std::string::npos : end - start)));
        if (!entry.empty())
            entries.push_back(entry);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return entries;
}

CLoginService::CLoginService(
    CAppContext& app, CServiceClient& service, CSession& session, CAutoStart& autoStart, CPasswordVault* vault)
    : m_app(app)
    , m_service(service)
    , m_session(session)
    , m_autoStart(autoStart)
    , m_vault(vault)
{ }

std::string CLoginService::DefaultServiceAddress()
{
    if (const char* configured = std::getenv("TELVORA_DEFAULT_SERVER"); configured && *configured)
        return configured;
    return "127.0.0.1:18080";
}

std::string CLoginService::InitialServiceAddress() const
{
    const std::string address = std::string(TrimAscii(m_app.GetSetupFile().GetString(kSetupSection, "LoginIP")));
    return address.empty() ? DefaultServiceAddress() : address;
}

bool CLoginService::IsAddressLocked() const
{
    return DecimalValue(m_app.GetSetupFile().GetString(kSetupSection, "AutoUpdate")) != 0;
}

std::vector<std::string> CLoginService::AccountHistory() const
{
    return SplitHistory(m_app.GetSetupFile().GetString(kSetupSection, "LastAccunt"));
}

std::vector<std::string> CLoginService::UserHistory() const
{
    return SplitHistory(m_app.GetSetupFile().GetString(kSetupSection, "LastUser"));
}

void CLoginService::ClearAccountHistory()
{
    m_app.GetSetupFile().WriteString(kSetupSection, "LastAccunt", "");
}

void CLoginService::reloadParameters()
{
    m_app.GetParameters().Load(m_app.GetDatabase(), m_app.GetSetupFile());
}

void CLoginService::LoadAccountPassword(const std::string& user, bool& remember, std::string& password)
{
    remember = false;
    password.clear();
    const std::string name = user + kDatabaseSuffix;
    std::error_code error;
    if (!std::filesystem::exists(m_app.DatabasePathFor(name), error))
        return;
    m_app.OpenWorkDatabase(name);
    reloadParameters();
    remember = DecimalValue(m_app.GetParameters().Get("RememberPwd")) != 0;
    if (remember) {
        password = ReadRememberedPassword(m_app.GetParameters(), m_vault, user);
        return;
    }
    m_app.OpenWorkDatabase(kOfflineDatabase);
    reloadParameters();
}

LoginOutcome CLoginService::LogIn(const LoginRequest& request)
{
    LoginOutcome outcome;
    if (request.account.empty()) {
        outcome.message = "登录帐号不能为空!";
        return outcome;
    }
    if (Utf16Length(request.password) < 6) {
        outcome.message = "登录密码不能少于6位!";
        return outcome;
    }

    std::string reply;
    const std::string body = "UserID=" + formValue(request.account) + "&Account=" + formValue(request.user)
        + "&Password=" + formValue(request.password);
    if (!m_service.CallService("UserLogin", body, reply, false)) {
        outcome.result = LoginOutcome::Result::Refused;
        outcome.message = "登录失败：" + (reply.empty() ? std::string("通讯错误，无法连接到服务器") : reply) + "!";
        return outcome;
    }
    ParseLoginReply(reply, m_session);

    const std::string name = request.user + kDatabaseSuffix;
    if (name != m_app.GetWorkDatabaseName() || !m_app.GetDatabase().IsOpen()) {
        // A missing account database is made from the template by OpenWorkDatabase.
        if (!m_app.OpenWorkDatabase(name)) {
            outcome.result = LoginOutcome::Result::DatabaseFailed;
            outcome.message = "帐号第一次登录创建数据库失败!";
            return outcome;
        }
        reloadParameters();
    }

    recordLogin(request);
    CRecordCleanup().Run(m_app.GetDatabase(), m_app.GetParameters().Get("SaveMaxDay"), DateTime::now());
    m_app.GetSetupFile().WriteString(kSetupSection, "AutoRun", request.startAtLogon ? "1" : "0");
    m_autoStart.Set(request.startAtLogon);
    checkUpdateList(outcome);

    if (m_session.isInterfaceUser()) {
        // Such an account may not send from here; nothing may treat it as logged in.
        m_session.loggedIn = false;
        outcome.result = LoginOutcome::Result::InterfaceAccount;
        outcome.message = "您使用的帐号是我公司接口访问帐号，不能使用客户端发送短信!";
        return outcome;
    }
    if (!m_session.signName.empty()) {
        m_app.GetParameters().Set("AddSMSTail", "1");
        m_app.GetParameters().Set("SMSTail", m_session.signName);
    }
    outcome.result = LoginOutcome::Result::LoggedIn;
    return outcome;
}

void CLoginService::recordLogin(const LoginRequest& request)
{
    CADODataBase& db = m_app.GetDatabase();
    db.Execute(setParamSql("ServerIP", m_session.smsServerAddress));
    db.Execute(setParamSql("Account", request.account));
    // The password is kept only when the user asked for it.
    KeepRememberedPassword(db, m_vault, request.account, request.user, request.password, request.rememberPassword);
    db.Execute(setParamSql("RememberPwd", request.rememberPassword ? "1" : "0"));

    appendHistory("LastAccunt", request.account);
    appendHistory("LastUser", request.user);

    CParameterStore& parameters = m_app.GetParameters();
    parameters.Set("User", request.user);
    parameters.Set("Account", request.account);
    parameters.Set("Password", request.password);
    parameters.Set("RememberPwd", request.rememberPassword ? "1" : "0");

    CIniFile& setup = m_app.GetSetupFile();
    setup.WriteString(kSetupSection, "CurAccount", request.account);
    setup.WriteString(kSetupSection, "CurUser", request.user);
    setup.WriteString(kSetupSection, "LoginIP", m_service.Address());
}

void CLoginService::appendHistory(const char* key, const std::string& entry)
{
    if (entry.empty())
        return;
    CIniFile& setup = m_app.GetSetupFile();
    std::string history = std::string(TrimAscii(setup.GetString(kSetupSection, key)));
    // Whole entries are compared: "12" is not already in "123;".
    for (const auto& known : SplitHistory(history)) {
        if (known == entry)
            return;
    }
    if (!history.empty() && history.back() != ';')
        history += ';';
    setup.WriteString(kSetupSection, key, history + entry + ";");
}

void CLoginService::checkUpdateList(LoginOutcome& outcome)
{
    std::string reply;
    if (m_service.webClient().Fetch(m_service.Url(kUpdateListPath), reply) != 1)
        return;
    CXmlReader list(reply);
    if (!list.FindChildElem("Version"))
        return;
    const std::string remote = std::string(TrimAscii(list.GetChildData()));
    const std::string local = std::string(TrimAscii(m_app.GetCurrentVersion()));
    if (!remote.empty() && !local.empty() && remote != local) {
        outcome.updateAvailable = true;
        outcome.remoteVersion = remote;
    }
    if (IsAddressLocked() || !list.FindChildElem("ServerIP"))
        return;
    const std::string address = std::string(TrimAscii(list.GetChildData()));
    if (address.size() > 8) {
        m_service.SetAddress(address);
        m_app.GetSetupFile().WriteString(kSetupSection, "LoginIP", address);
    }
}

} // namespace telvora
