#include "db/SingleStatement.h"

#include <algorithm>
#include <sqlite3.h>

namespace telvora {

namespace {

constexpr const char* kSecondStatement = "one statement at a time: the text holds a second statement";

// Compiles the first statement of text, passing over leading blanks, semicolons and
// comments; *rest is what follows it.
int prepareFirst(sqlite3* db, std::string_view text, unsigned flags, sqlite3_stmt** statement, std::string_view* rest)
{
    *statement = nullptr;
    while (true) {
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v3(db, text.data(), static_cast<int>(text.size()), flags, statement, &tail);
        const std::size_t used = tail ? static_cast<std::size_t>(tail - text.data()) : text.size();
        if (rc != SQLITE_OK || *statement || used == 0 || used >= text.size()) {
            *rest = text.substr(std::min(used, text.size()));
            return rc;
        }
        text.remove_prefix(used);
    }
}

} // namespace

int PrepareSingleStatement(
    sqlite3* db, std::string_view sql, unsigned flags, sqlite3_stmt** statement, std::string& error)
{
    error.clear();
    std::string_view rest;
    int rc = prepareFirst(db, sql, flags, statement, &rest);
    if (rc == SQLITE_OK && *statement && rest.find_first_not_of(" \t\r\n;") != std::string_view::npos) {
        sqlite3_stmt* second = nullptr;
        std::string_view ignored;
        rc = prepareFirst(db, rest, 0, &second, &ignored);
        // A second statement, or text after the first that does not even compile.
        if (rc != SQLITE_OK || second) {
            sqlite3_finalize(second);
            sqlite3_finalize(*statement);
            *statement = nullptr;
            error = kSecondStatement;
            return SQLITE_MISUSE;
        }
    }
    if (rc != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        sqlite3_finalize(*statement);
        *statement = nullptr;
    }
    return rc;
}

} // namespace telvora
