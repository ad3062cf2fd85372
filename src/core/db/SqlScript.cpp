#include "db/SqlScript.h"

#include "db/ADODataBase.h"

#include <sqlite3.h>
#include <string>

namespace telvora {

bool ExecuteScript(CADODataBase& database, std::string_view script)
{
    sqlite3* db = database.GetActiveConnection();
    if (!db) {
        database.setError(SQLITE_MISUSE, "the database is not open");
        return false;
    }
    while (!script.empty()) {
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        int rc = sqlite3_prepare_v2(db, script.data(), static_cast<int>(script.size()), &statement, &tail);
        const std::size_t used = tail ? static_cast<std::size_t>(tail - script.data()) : script.size();
        const std::string_view text = script.substr(0, used);
        script.remove_prefix(used);
        if (rc == SQLITE_OK && statement) {
            while ((rc = sqlite3_step(statement)) == SQLITE_ROW) { }
            rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
        }
        if (rc != SQLITE_OK) {
            const std::size_t first = text.find_first_not_of(" \t\r\n");
            const std::string description = std::string(sqlite3_errmsg(db))
                + " in: " + std::string(first == std::string_view::npos ? std::string_view() : text.substr(first));
            sqlite3_finalize(statement);
            database.setError(rc, description);
            return false;
        }
        sqlite3_finalize(statement);
        if (used == 0) {
            break;
        }
    }
    return true;
}

} // namespace telvora
