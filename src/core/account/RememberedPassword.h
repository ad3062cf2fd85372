#pragma once

#include <string>

namespace telvora {

class CADODataBase;
class CParameterStore;

/// Takes a new login password into the session's parameter "Password" and into the
/// working database's remembered one, but only when the user chose to have it remembered
/// ("RememberPwd" 1): otherwise no password is ever written there. False when the
/// database refused the update.
bool StoreChangedPassword(CADODataBase& database, CParameterStore& parameters, const std::string& password);

} // namespace telvora
