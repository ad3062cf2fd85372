#pragma once

#include "session/Session.h"

#include <string>
#include <vector>

namespace telvora {

class CAppContext;
class CAutoStart;
class CPasswordVault;
class CServiceClient;

struct LoginRequest
{
    std::string account;
    std::string user; // sub-account; names the account database
    std::string password;
    bool rememberPassword = false;
    bool startAtLogon = false;
};

struct LoginOutcome
{
    enum class Result {
        LoggedIn, // session filled, account database open
        Invalid, // a field check failed; nothing was sent
        Refused, // the service refused or could not be reached
        DatabaseFailed, // the account database could not be created or opened
        InterfaceAccount, // logged in with an account that may not use the client
    };
    Result result = Result::Invalid;
    std::string message; // the text to show the user, empty after a plain success
    bool updateAvailable = false; // ask "Telvora已升级，是否在线更新？"
    std::string remoteVersion;
};

/// The log-in sequence behind the login dialog and the command line: field checks,
/// the service call, the account database, the setup-file and parameter records, the
/// record clean-up, start-at-logon and the update-list check.
class CLoginService final
{
public:
    /// vault, when given, keeps remembered passwords out of the database.
    CLoginService(CAppContext& app, CServiceClient& service, CSession& session, CAutoStart& autoStart,
        CPasswordVault* vault = nullptr);

    /// Service address the dialog starts with: "LoginIP", else the default service host.
    std::string InitialServiceAddress() const;
    static std::string DefaultServiceAddress();
    bool IsAddressLocked() const;

    /// Account and sub-account histories from the setup file, in order.
    std::vector<std::string> AccountHistory() const;
    std::vector<std::string> UserHistory() const;
    void ClearAccountHistory();

    /// Opens user's database when it exists and reports the remembered password. When
    /// none is remembered the offline database is open again afterwards.
    void LoadAccountPassword(const std::string& user, bool& remember, std::string& password);

    LoginOutcome LogIn(const LoginRequest& request);

    static constexpr const char* kUpdateListPath = "/Download/UpdateFileList.asp";

private:
    void recordLogin(const LoginRequest& request);
    void appendHistory(const char* key, const std::string& entry);
    void checkUpdateList(LoginOutcome& outcome);
    void reloadParameters();

    CAppContext& m_app;
    CServiceClient& m_service;
    CSession& m_session;
    CAutoStart& m_autoStart;
    CPasswordVault* m_vault;
};

/// Splits a history text ("a;b;") into its entries, dropping empty ones.
std::vector<std::string> SplitHistory(const std::string& text);

} // namespace telvora
