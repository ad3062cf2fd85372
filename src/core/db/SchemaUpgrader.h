#pragma once

#include "db/SchemaMigrations.h"

#include <span>
#include <string>

namespace telvora {

class CADODataBase;

/// Brings working databases to the schema version of this program (PRAGMA user_version)
/// through the numbered migration steps. An older database is upgraded in one
/// transaction: every missing step and the new version, or, when a step fails, nothing.
/// A newer database, or a file of ours without a version, is refused and left as it was.
class CSchemaUpgrader final
{
public:
    /// steps must be numbered on from 2 without gaps (version 1 is schema.sql).
    explicit CSchemaUpgrader(std::span<const SchemaMigration> steps = SchemaMigrations());

    /// The version a database has after the last step.
    int GetTargetVersion() const;

    /// Looks at the version written in the file's header without opening the file, so
    /// that a newer database is refused before anything could write to it. True when
    /// the file may be opened and upgraded.
    bool CheckFile(const std::string& path);

    /// Upgrades the open database when it is older; true when it is at the target
    /// version afterwards.
    bool Upgrade(CADODataBase& database);

    const std::string& GetLastError() const { return m_lastError; }

private:
    bool checkVersion(int version, const std::string& path);
    bool fail(std::string text);

    std::span<const SchemaMigration> m_steps;
    std::string m_lastError;
};

} // namespace telvora
