#pragma once

#include <string>

struct sqlite3;

namespace telvora {

/// One connection to a working database file (SQLite with the Jet dialect functions
/// registered). Nothing throws or prints: failures return false and keep an error text.
class CADODataBase final
{
public:
    CADODataBase();
    ~CADODataBase();
    CADODataBase(const CADODataBase&) = delete;
    CADODataBase& operator=(const CADODataBase&) = delete;

    /// The connection string is the database file path; an empty one reopens the last.
    /// user and password are accepted for the callers' sake and not used.
    bool Open(const std::string& connectionString = {}, const std::string& user = {},
        const std::string& password = {});
    void Close();
    bool IsOpen() const;
    /// Runs one or more statements that return no rows; records affected is set.
    bool Execute(const std::string& sql);

    bool BeginTransaction();
    bool CommitTransaction();
    bool RollbackTransaction();

    int GetRecordsAffected() const { return m_recordsAffected; }
    const std::string& GetConnectionString() const { return m_connectionString; }
    const std::string& GetLastError() const { return m_lastError; }
    const std::string& GetErrorDescription() const { return m_errorDescription; }
    int GetLastErrorCode() const { return m_lastErrorCode; }
    sqlite3* GetActiveConnection() const { return m_db; }

    /// Records a failure in the layer's report format (used by the recordset too).
    void setError(int code, const std::string& description);

private:
    sqlite3* m_db = nullptr;
    std::string m_connectionString;
    std::string m_lastError;
    std::string m_errorDescription;
    int m_lastErrorCode = 0;
    int m_recordsAffected = 0;
};

/// Copies the database at sourcePath into a new, compacted file at destinationPath.
bool CompactDatabase(const std::string& sourcePath, const std::string& destinationPath);

} // namespace telvora
