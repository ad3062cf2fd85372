#pragma once

#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace telvora {

/// Compiles the one statement of sql on db. A text holding a second statement after the
/// first (a ';' followed by more than blanks and comments) is refused and nothing is
/// compiled, so that text put into SQL can never smuggle in a statement of its own.
/// Returns SQLITE_OK with *statement set (nullptr for a text of blanks and comments only),
/// or an SQLite result code with error set. flags are sqlite3_prepare_v3's.
int PrepareSingleStatement(
    sqlite3* db, std::string_view sql, unsigned flags, sqlite3_stmt** statement, std::string& error);

} // namespace telvora
