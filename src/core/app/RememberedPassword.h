#pragma once

#include <string>

namespace telvora {

class CADODataBase;
class CParameterStore;
class CPasswordVault;

// Where a remembered login password is kept: in the desktop's secret store when one takes
// it, so that neither the working database nor its backups hold it; otherwise, as always,
// in the parameter "Password" of the account's working database (a file of mode 0600).
// vault may be null (no secret store).

/// At login: keeps password for account and user when remember is set, and removes it from
/// every place otherwise. False when the database refused the update.
bool KeepRememberedPassword(CADODataBase& database, CPasswordVault* vault, const std::string& account,
    const std::string& user, const std::string& password, bool remember);

/// The password remembered for user, with the account's parameters loaded; empty when none.
std::string ReadRememberedPassword(
    const CParameterStore& parameters, const CPasswordVault* vault, const std::string& user);

/// After a password change: the parameter "Password" takes it, and so does the place that
/// holds the remembered one, if one is remembered ("RememberPwd" 1).
bool StoreChangedPassword(
    CADODataBase& database, CParameterStore& parameters, CPasswordVault* vault, const std::string& password);

} // namespace telvora
