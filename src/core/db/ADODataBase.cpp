#include "db/ADODataBase.h"

#include "db/ErrorReport.h"
#include "db/JetDialect.h"
#include "db/SingleStatement.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace telvora {

namespace {

constexpr int kBusyTimeoutMs = 5000;

std::string pathFromConnectionString(const std::string& connectionString)
{
    static constexpr std::string_view kKey = "data source=";
    std::string lowered(connectionString);
    for (char& c : lowered) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const std::size_t key = lowered.find(kKey);
    if (key == std::string::npos) {
        return connectionString;
    }
    const std::size_t start = key + kKey.size();
    const std::size_t end = connectionString.find(';', start);
    return connectionString.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// Creates an empty file readable by its owner only; false when it exists or cannot be made.
bool createPrivateFile(const std::string& path, std::string& error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    ::close(fd);
    return true;
}

bool fileExists(const std::string& path, off_t* size = nullptr)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    if (size) {
        *size = info.st_size;
    }
    return true;
}

// A statement whose sqlite3_changes() is its own count (others leave the last DML's count).
bool countsChanges(sqlite3_stmt* statement)
{
    if (sqlite3_stmt_readonly(statement)) {
        return false;
    }
    const char* text = sqlite3_sql(statement);
    while (text && *text && !std::isalpha(static_cast<unsigned char>(*text))) {
        if (text[0] == '-' && text[1] == '-') {
            text += std::strcspn(text, "\n");
        } else if (text[0] == '/' && text[1] == '*') {
            const char* end = std::strstr(text + 2, "*/");
            text = end ? end + 2 : text + std::strlen(text);
        } else {
            ++text;
        }
    }
    for (const char* keyword : {"insert", "update", "delete", "replace", "with"}) {
        const std::size_t length = std::strlen(keyword);
        if (text && strncasecmp(text, keyword, length) == 0
            && !std::isalnum(static_cast<unsigned char>(text[length]))) {
            return true;
        }
    }
    return false;
}

} // namespace

CADODataBase::CADODataBase() = default;

CADODataBase::~CADODataBase()
{
    Close();
}

bool CADODataBase::Open(const std::string& connectionString, const std::string&, const std::string&)
{
    Close();
    if (!connectionString.empty()) {
        m_connectionString = connectionString;
    }
    m_path = pathFromConnectionString(m_connectionString);
    return openFile(m_path, Mode::existing);
}

bool CADODataBase::OpenOrCreate(const std::string& path)
{
    Close();
    m_connectionString = path;
    m_path = path;
    return openFile(m_path, Mode::create);
}

bool CADODataBase::OpenReadOnly(const std::string& path)
{
    Close();
    m_connectionString = path;
    m_path = path;
    return openFile(m_path, Mode::readOnly);
}

bool CADODataBase::openFile(const std::string& path, Mode mode)
{
    const bool create = mode == Mode::create;
    if (path.empty()) {
        setError(SQLITE_CANTOPEN, "no database file given");
        return false;
    }
    off_t size = 0;
    const bool exists = fileExists(path, &size);
    if (create && !exists) {
        std::string error;
        if (!createPrivateFile(path, error)) {
            setError(SQLITE_CANTOPEN, error);
            return false;
        }
    } else if (!create && !exists) {
        setError(SQLITE_CANTOPEN, "unable to open database file: " + path + " does not exist");
        return false;
    } else if (!create && size == 0) {
        // SQLite would take an empty file for a new database and write one into it.
        setError(SQLITE_NOTADB, "file is empty, not a database: " + path);
        return false;
    }

    sqlite3* db = nullptr;
    const int flags = mode == Mode::readOnly ? SQLITE_OPEN_READONLY
        : create                             ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                                             : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        if (db) {
            setSqliteError(db);
        } else {
            setError(rc, sqlite3_errstr(rc));
        }
        sqlite3_close(db);
        return false;
    }
    m_db = db;
    if (!configure(mode)) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        return false;
    }
    ++m_opens;
    return true;
}

bool CADODataBase::configure(Mode mode)
{
    sqlite3_extended_result_codes(m_db, 0);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    if (!RegisterJetFunctions(m_db)) {
        setSqliteError(m_db);
        return false;
    }
    // Reading the schema first makes a foreign or damaged file fail before anything is written.
    static constexpr const char* kSetup[] = {
        "SELECT count(*) FROM sqlite_master",
        "PRAGMA foreign_keys=OFF",
        "PRAGMA journal_mode=WAL",
        "PRAGMA synchronous=NORMAL",
    };
    for (const char* sql : kSetup) {
        if (mode == Mode::readOnly && std::strstr(sql, "journal_mode")) {
            continue;
        }
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
            setSqliteError(m_db);
            return false;
        }
    }
    return true;
}

void CADODataBase::Close()
{
    if (m_db) {
        // close_v2 defers the close while prepared statements still live.
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool CADODataBase::IsOpen() const
{
    return m_db != nullptr;
}

CADODataBase::ChangeStamp CADODataBase::GetChangeStamp() const
{
    ChangeStamp stamp;
    stamp.opens = m_opens;
    if (!m_db) {
        return stamp;
    }
    stamp.writes = sqlite3_total_changes64(m_db);
    // data_version counts the commits of other connections (the send worker, imports).
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA data_version", -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW) {
        stamp.dataVersion = sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
    return stamp;
}

bool CADODataBase::Execute(const std::string& sql)
{
    m_recordsAffected = 0;
    if (!m_db) {
        setError(SQLITE_MISUSE, "the database is not open");
        return false;
    }
    const std::string text = RewriteJetSql(sql);
    sqlite3_stmt* statement = nullptr;
    std::string error;
    const int prepared = PrepareSingleStatement(m_db, text, 0, &statement, error);
    if (prepared != SQLITE_OK) {
        setError(prepared, error);
        return false;
    }
    if (!statement) {
        return true; // blanks or a comment
    }
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) {
        rc = sqlite3_step(statement);
    }
    if (rc != SQLITE_DONE) {
        setSqliteError(m_db);
        sqlite3_finalize(statement);
        return false;
    }
    if (countsChanges(statement)) {
        m_recordsAffected = sqlite3_changes(m_db);
    }
    sqlite3_finalize(statement);
    return true;
}

bool CADODataBase::BeginTransaction()
{
    const int affected = m_recordsAffected;
    const bool ok = Execute("BEGIN IMMEDIATE");
    m_recordsAffected = affected;
    return ok;
}

bool CADODataBase::CommitTransaction()
{
    const int affected = m_recordsAffected;
    const bool ok = Execute("COMMIT");
    m_recordsAffected = affected;
    return ok;
}

bool CADODataBase::RollbackTransaction()
{
    const int affected = m_recordsAffected;
    const bool ok = Execute("ROLLBACK");
    m_recordsAffected = affected;
    return ok;
}

void CADODataBase::setError(int code, const std::string& description)
{
    setError(code, kSqliteSource, description);
}

void CADODataBase::setError(int code, std::string_view source, const std::string& description)
{
    m_lastErrorCode = code;
    m_errorDescription = description;
    m_lastError = "Connection String = " + m_connectionString + "\n"
        + BuildErrorReport("CADODataBase", code, source, description);
}

void CADODataBase::setSqliteError(sqlite3* db)
{
    setError(sqlite3_errcode(db), sqlite3_errmsg(db));
}

bool CompactDatabase(const std::string& sourcePath, const std::string& destinationPath)
{
    std::string ignored;
    return CompactDatabase(sourcePath, destinationPath, ignored);
}

bool CompactDatabase(const std::string& sourcePath, const std::string& destinationPath, std::string& error)
{
    error.clear();
    CADODataBase source;
    if (!source.OpenReadOnly(sourcePath)) {
        error = source.GetLastError();
        return false;
    }
    // Made here, exclusively: an existing destination is never overwritten, and the new
    // file is private to its owner (VACUUM INTO accepts an empty file).
    if (!createPrivateFile(destinationPath, error)) {
        error = "CompactDatabase: destination refused: " + error;
        return false;
    }
    sqlite3* db = source.GetActiveConnection();
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(db, "VACUUM INTO ?", -1, &statement, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_bind_text(statement, 1, destinationPath.c_str(), -1, SQLITE_TRANSIENT);
        rc = sqlite3_step(statement);
    }
    if (rc != SQLITE_DONE) {
        error = BuildErrorReport("CompactDatabase", sqlite3_errcode(db), kSqliteSource, sqlite3_errmsg(db));
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE) {
        ::unlink(destinationPath.c_str());
        return false;
    }
    return true;
}

bool CopyDatabase(const std::string& sourcePath, const std::string& destinationPath)
{
    std::string ignored;
    return CopyDatabase(sourcePath, destinationPath, ignored);
}

bool CopyDatabase(const std::string& sourcePath, const std::string& destinationPath, std::string& error)
{
    error.clear();
    CADODataBase source;
    if (!source.OpenReadOnly(sourcePath)) {
        error = source.GetLastError();
        return false;
    }
    const bool created = !fileExists(destinationPath);
    if (created && !createPrivateFile(destinationPath, error)) {
        error = "CopyDatabase: " + error;
        return false;
    }
    sqlite3* destination = nullptr;
    int rc = sqlite3_open_v2(destinationPath.c_str(), &destination, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(destination, kBusyTimeoutMs);
        sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source.GetActiveConnection(), "main");
        if (backup) {
            rc = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
        } else {
            rc = sqlite3_errcode(destination);
        }
    }
    if (rc != SQLITE_OK) {
        const char* message = destination ? sqlite3_errmsg(destination) : sqlite3_errstr(rc);
        if (std::strcmp(message, "not an error") == 0) {
            message = sqlite3_errstr(rc);
        }
        error = BuildErrorReport("CopyDatabase", rc, kSqliteSource, message);
    }
    sqlite3_close_v2(destination);
    if (rc != SQLITE_OK && created) {
        ::unlink(destinationPath.c_str());
    }
    return rc == SQLITE_OK;
}

} // namespace telvora
