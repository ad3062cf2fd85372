#include "account/RememberedPassword.h"

#include "app/ParameterStore.h"
#include "db/ADODataBase.h"
#include "db/SqlText.h"

namespace telvora {

bool StoreChangedPassword(CADODataBase& database, CParameterStore& parameters, const std::string& password)
{
    parameters.Set("Password", password);
    if (parameters.Get("RememberPwd") != "1") {
        return true;
    }
    return database.Execute(
        "UPDATE tbl_sys_param SET para_value=" + SqlQuote(password) + " WHERE para_name='Password'");
}

} // namespace telvora
