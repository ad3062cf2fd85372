// telvora-make-template SCHEMA OUTPUT: builds the template database from schema.sql and
// the migration steps that follow it.
// It goes through the access layer so the SQL functions the triggers call exist, writes
// to a temporary file and renames it at the end, so a failing schema fails the build and
// leaves no half-made template behind.

#include "db/ADODataBase.h"
#include "db/SchemaUpgrader.h"
#include "db/SqlScript.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sqlite3.h>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

void removeWithSideFiles(const std::string& path)
{
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        fs::remove(path + suffix, ignored);
    }
}

int fail(const std::string& temporary, const std::string& message)
{
    std::cerr << "telvora-make-template: " << message << '\n';
    removeWithSideFiles(temporary);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: telvora-make-template SCHEMA.sql OUTPUT.db\n";
        return 2;
    }
    const std::string schemaPath = argv[1];
    const std::string output = argv[2];
    const std::string temporary = output + ".tmp";

    std::ifstream in(schemaPath, std::ios::binary);
    if (!in) {
        std::cerr << "telvora-make-template: cannot read " << schemaPath << '\n';
        return 1;
    }
    std::ostringstream schema;
    schema << in.rdbuf();

    removeWithSideFiles(temporary);
    std::error_code error;
    fs::create_directories(fs::path(output).parent_path(), error);

    {
        telvora::CADODataBase database;
        if (!database.OpenOrCreate(temporary)) {
            return fail(temporary, database.GetLastError());
        }
        if (!telvora::ExecuteScript(database, schema.str())) {
            return fail(temporary, database.GetLastError());
        }
        // schema.sql is version 1; the later versions are the migration steps.
        telvora::CSchemaUpgrader upgrader;
        if (!upgrader.Upgrade(database)) {
            return fail(temporary, upgrader.GetLastError());
        }
        // The shipped file is read-only data: no write-ahead log beside it, and compact.
        char* message = nullptr;
        if (sqlite3_exec(
                database.GetActiveConnection(), "PRAGMA journal_mode=DELETE; VACUUM;", nullptr, nullptr, &message)
            != SQLITE_OK) {
            const std::string text = message ? message : "PRAGMA failed";
            sqlite3_free(message);
            return fail(temporary, text);
        }
        database.Close();
    }

    fs::permissions(temporary,
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read,
        fs::perm_options::replace, error);
    fs::rename(temporary, output, error);
    if (error) {
        return fail(temporary, "cannot rename to " + output + ": " + error.message());
    }
    return 0;
}
