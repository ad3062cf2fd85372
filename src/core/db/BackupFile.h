#pragma once

#include "db/SchemaUpgrader.h"

#include <span>
#include <string>
#include <vector>

namespace telvora {

/// A backup file (or the template) made ready for a restore: checked to be a whole database
/// of this program of a schema version it can read, copied through SQLite into a private
/// temporary file, and upgraded there when it is older. The file itself is never changed;
/// the copy is removed with the object.
class CBackupFile final
{
public:
    /// The copy is made in directory (the working database's). migrations are the schema
    /// steps an older file is upgraded through.
    explicit CBackupFile(std::string directory, std::span<const SchemaMigration> migrations = SchemaMigrations());
    ~CBackupFile();
    CBackupFile(const CBackupFile&) = delete;
    CBackupFile& operator=(const CBackupFile&) = delete;

    /// False, with the reason in GetLastError(), when path is not such a database or lacks
    /// one of tables.
    bool Prepare(const std::string& path, const std::vector<std::string>& tables);

    /// The checked copy, empty before a successful Prepare.
    const std::string& GetCopyPath() const { return m_copyPath; }
    /// The tables of the copy, in the order SQLite lists them.
    const std::vector<std::string>& GetTables() const { return m_tables; }
    const std::string& GetLastError() const { return m_lastError; }

private:
    bool fail(std::string why);
    void removeCopy();

    std::string m_directory;
    CSchemaUpgrader m_upgrader;
    std::string m_copyPath;
    std::vector<std::string> m_tables;
    std::string m_lastError;
};

} // namespace telvora
