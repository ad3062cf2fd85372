#include "app/RememberedPassword.h"

#include "app/ParameterStore.h"
#include "app/PasswordVault.h"
#include "db/ADODataBase.h"
#include "db/SqlText.h"

namespace telvora {

bool KeepRememberedPassword(CADODataBase& database, CPasswordVault* vault, const std::string& account,
    const std::string& user, const std::string& password, bool remember)
{
    bool inVault = false;
    if (vault && vault->IsAvailable()) {
        if (remember) {
            inVault = vault->Store(account, user, password);
        } else {
            vault->Clear(account, user);
        }
    }
    const std::string stored = remember && !inVault ? password : std::string();
    return database.Execute("UPDATE tbl_sys_param SET para_value=" + SqlQuote(stored) + " WHERE para_name='Password'");
}

std::string ReadRememberedPassword(
    const CParameterStore& parameters, const CPasswordVault* vault, const std::string& user)
{
    const std::string stored = parameters.Get("Password");
    if (!stored.empty() || !vault) {
        return stored;
    }
    return vault->Lookup(parameters.Get("Account"), user).value_or(std::string());
}

bool StoreChangedPassword(
    CADODataBase& database, CParameterStore& parameters, CPasswordVault* vault, const std::string& password)
{
    parameters.Set("Password", password);
    if (parameters.Get("RememberPwd") != "1") {
        return true;
    }
    return KeepRememberedPassword(database, vault, parameters.Get("Account"), parameters.Get("User"), password, true);
}

} // namespace telvora
