#pragma once

#include <string>
#include <vector>

namespace telvora {

class CServiceClient;
struct CSession;

/// One user of the account as "GetUserInfo" lists it.
struct AccountItem
{
    std::string user;
    std::string stock; // "CurRemain", as received
    std::string memo;
};

/// The "GetUserInfo" reply.
struct AccountInfo
{
    std::string totalAccounts;
    std::string companyName;
    std::string address;
    std::string contact;
    std::string phone;
    std::vector<AccountItem> accounts; // in reply order
};

/// The account administration calls of the main user: sub-accounts, stock distribution
/// and the login password. Every value goes to the service form-escaped as typed (no
/// apostrophe doubling: it is no SQL there). A failed call keeps the service's text in
/// GetMessage() and changes nothing here; the session's stock is refreshed after a
/// successful distribution or removal.
class CAccountAdmin final
{
public:
    CAccountAdmin(CServiceClient& service, CSession& session);

    bool GetUserInfo(AccountInfo& info);
    bool AddSubAccount(const std::string& name, const std::string& password, const std::string& memo);
    /// amount > 0 moves stock to the sub-account, amount < 0 takes it back.
    bool DistributeStock(const std::string& name, int amount);
    bool ResetSubAccountPassword(const std::string& name, const std::string& password);
    bool RemoveSubAccount(const std::string& name);
    bool ChangePassword(const std::string& oldPassword, const std::string& newPassword);

    /// The failure text of the last call; empty when the service gave none.
    const std::string& GetMessage() const { return m_message; }

private:
    using Fields = std::vector<std::pair<const char*, std::string>>;
    // Posts "Token=...&" + the escaped fields in order; false when a value is too long.
    bool call(const std::string& method, const Fields& fields, std::string& reply);
    // A call that moves stock: the session's stock is refreshed after it.
    bool callMovingStock(const std::string& method, const Fields& fields);

    CServiceClient& m_service;
    CSession& m_session;
    std::string m_message;
};

} // namespace telvora
