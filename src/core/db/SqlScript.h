#pragma once

#include <string_view>

namespace telvora {

class CADODataBase;

/// Runs a script of statements separated by semicolons (the template's schema, a
/// migration step), in order, stopping at the first that fails. That failure is kept in
/// the database's error report, with the statement it came from. No transaction of its
/// own: the caller decides what must be undone together.
bool ExecuteScript(CADODataBase& database, std::string_view script);

} // namespace telvora
