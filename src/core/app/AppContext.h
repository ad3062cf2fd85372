#pragma once

#include "app/DataDirectory.h"
#include "app/IniFile.h"
#include "app/NextCardId.h"
#include "app/ParameterStore.h"
#include "db/ADODataBase.h"
#include "db/SchemaUpgrader.h"

#include <span>
#include <string>

namespace telvora {

/// The application core: owns the process-wide values for the life of the process — the
/// data ("application") directory, the setup file, the one shared database connection,
/// the name of the working database now open and the system parameters — and switches the
/// shared connection between working databases. The desktop program and telvora-cli each
/// create one and hand its parts down; nothing reaches it through a global.
///
/// Connection type: the setup key "ConnType" set to "DSN" selects one shared database file
/// that every user works in. Its name is the setup key "DSNFile" (default "shared.db"),
/// relative to the data directory unless absolute. In that mode OpenWorkDatabase opens
/// that file whatever name it is given, and the working database name still takes the
/// given name, so "OffLineDB.db" still tells offline from logged-in work.
class CAppContext final
{
public:
    /// dataDirectory must have been prepared. Reads "IsProxy" and "ConnType". migrations
    /// are the schema steps databases are upgraded through (tests give their own).
    explicit CAppContext(
        CDataDirectory dataDirectory, std::span<const SchemaMigration> migrations = SchemaMigrations());
    CAppContext(const CAppContext&) = delete;
    CAppContext& operator=(const CAppContext&) = delete;

    /// Closes the shared connection and opens fileName (a bare file name) in the data
    /// directory, first creating it as a copy of the template when it does not exist. A
    /// database older than the program is upgraded first (so is the data directory's copy
    /// of the template before a database is made from it); a newer one, or a file that is
    /// no database of ours, is reported and left untouched. The working database name
    /// becomes fileName in every case. On failure the connection stays closed and
    /// GetLastError() is "打开数据库失败！" (GetErrorDetail() says why).
    bool OpenWorkDatabase(const std::string& fileName);

    CADODataBase& GetDatabase() { return m_database; }
    CDataDirectory& GetDataDirectory() { return m_dataDirectory; }
    CIniFile& GetSetupFile() { return m_setupFile; }
    const CIniFile& GetSetupFile() const { return m_setupFile; }
    CParameterStore& GetParameters() { return m_parameters; }
    /// The next card id of the working database; starts again whenever one is opened.
    CNextCardId& GetNextCardId() { return m_nextCardId; }

    /// The data directory followed by "/".
    std::string GetApplicationDirectory() const { return m_dataDirectory.GetApplicationDirectory(); }
    const std::string& GetWorkDatabaseName() const { return m_workDatabaseName; }
    bool IsOffline() const;
    /// "IsProxy" as read at construction ("TRUE" or other).
    const std::string& GetProxyFlag() const { return m_proxyFlag; }
    /// "ConnType" as read at construction; "DSN" selects the shared file.
    const std::string& GetConnectionType() const { return m_connectionType; }
    bool IsSharedDatabase() const { return m_connectionType == "DSN"; }
    /// "CurVersion" of the setup file, "0" when absent; read on each call.
    std::string GetCurrentVersion() const;
    /// The file OpenWorkDatabase(fileName) opens.
    std::string DatabasePathFor(const std::string& fileName) const;

    const std::string& GetLastError() const { return m_lastError; }
    const std::string& GetErrorDetail() const { return m_errorDetail; }

    // The session record (logged-in flag, token, account, message lengths, segment limit,
    // stock and their start-up defaults) is process-wide too and joins this object as a
    // member when the login is built.

private:
    bool fail(const std::string& detail);
    bool createFromTemplate(const std::string& path);
    bool openUpgraded(CADODataBase& database, const std::string& path);

    CDataDirectory m_dataDirectory;
    CIniFile m_setupFile;
    CADODataBase m_database;
    CParameterStore m_parameters;
    CNextCardId m_nextCardId;
    CSchemaUpgrader m_upgrader;
    std::string m_workDatabaseName;
    std::string m_proxyFlag;
    std::string m_connectionType;
    std::string m_lastError;
    std::string m_errorDetail;
};

} // namespace telvora
