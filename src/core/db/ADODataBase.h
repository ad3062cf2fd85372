#pragma once

#include <string>
#include <string_view>

struct sqlite3;

namespace telvora {

/// One connection to a working database file (SQLite with the Jet dialect functions
/// registered). Nothing throws or prints: failures return false and keep an error text.
///
/// Every open sets WAL journalling, a busy time-out of 5 s and foreign keys off, and
/// registers the Jet functions (see JetDialect.h). SQL texts pass through the Jet rewrite
/// (SELECT TOP n) before SQLite sees them.
class CADODataBase final
{
public:
    CADODataBase();
    ~CADODataBase();
    CADODataBase(const CADODataBase&) = delete;
    CADODataBase& operator=(const CADODataBase&) = delete;

    /// The connection string is the database file path (a Jet-style "...;Data Source=path;..."
    /// is also understood); an empty one reopens the last. user and password are accepted for
    /// the callers' sake and not used. The file must exist and be a database: a missing,
    /// empty or foreign file fails and is left as it was.
    bool Open(const std::string& connectionString = {}, const std::string& user = {}, const std::string& password = {});
    /// Like Open, but an absent file is created (mode 0600) as a new, empty database.
    bool OpenOrCreate(const std::string& path);
    /// Like Open, but read-only and leaving the file's journal mode alone: for the source
    /// of a copy, which may be shipped read-only data and must not be changed.
    bool OpenReadOnly(const std::string& path);
    void Close();
    bool IsOpen() const;
    /// Runs one statement that returns no rows; records affected is the number of rows an
    /// INSERT, UPDATE or DELETE touched (triggers not counted). A text holding a second
    /// statement is refused and nothing of it runs; scripts go through ExecuteScript.
    bool Execute(const std::string& sql);

    /// BEGIN IMMEDIATE: the write lock is taken at once, so a second connection waits for
    /// it (busy time-out) rather than failing half-way through the transaction.
    bool BeginTransaction();
    bool CommitTransaction();
    bool RollbackTransaction();

    int GetRecordsAffected() const { return m_recordsAffected; }
    const std::string& GetConnectionString() const { return m_connectionString; }
    /// The database file path taken from the connection string.
    const std::string& GetDatabasePath() const { return m_path; }
    const std::string& GetLastError() const { return m_lastError; }
    const std::string& GetErrorDescription() const { return m_errorDescription; }
    int GetLastErrorCode() const { return m_lastErrorCode; }
    sqlite3* GetActiveConnection() const { return m_db; }

    /// Moves on whenever rows are written through this connection, another connection
    /// commits, or the connection is opened again: results read earlier are still current
    /// while the stamp is unchanged. A stamp that could not be read equals no stamp.
    struct ChangeStamp
    {
        unsigned long opens = 0;
        long long writes = 0;
        long long dataVersion = -1; // below 0: not read
        bool operator==(const ChangeStamp& other) const
        {
            return dataVersion >= 0 && opens == other.opens && writes == other.writes
                && dataVersion == other.dataVersion;
        }
    };
    ChangeStamp GetChangeStamp() const;

    /// Records a failure in the layer's report format (used by the recordset too).
    void setError(int code, const std::string& description);
    void setError(int code, std::string_view source, const std::string& description);

private:
    enum class Mode { existing, create, readOnly };
    bool openFile(const std::string& path, Mode mode);
    bool configure(Mode mode);
    void setSqliteError(sqlite3* db);

    sqlite3* m_db = nullptr;
    std::string m_connectionString;
    std::string m_path;
    std::string m_lastError;
    std::string m_errorDescription;
    int m_lastErrorCode = 0;
    int m_recordsAffected = 0;
    unsigned long m_opens = 0;
};

/// Copies the database at sourcePath into a new, compacted file at destinationPath
/// (VACUUM INTO, so data still in the write-ahead log is included). An existing
/// destination is refused; a failed compaction leaves no destination file behind.
bool CompactDatabase(const std::string& sourcePath, const std::string& destinationPath);
bool CompactDatabase(const std::string& sourcePath, const std::string& destinationPath, std::string& error);

/// Copies the database at sourcePath to destinationPath with SQLite's online backup, page
/// for page (committed data in the write-ahead log included). A missing destination is
/// created (mode 0600); an existing destination database is replaced as a whole.
bool CopyDatabase(const std::string& sourcePath, const std::string& destinationPath);
bool CopyDatabase(const std::string& sourcePath, const std::string& destinationPath, std::string& error);

} // namespace telvora
