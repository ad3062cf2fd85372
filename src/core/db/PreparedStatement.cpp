#include "db/PreparedStatement.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/ErrorReport.h"
#include "db/JetDialect.h"
#include "db/SingleStatement.h"

#include <sqlite3.h>

namespace telvora {

CPreparedStatement::CPreparedStatement(CADODataBase* database)
    : m_database(database)
{ }

CPreparedStatement::~CPreparedStatement()
{
    Finalize();
}

bool CPreparedStatement::Prepare(const std::string& sql)
{
    Finalize();
    m_query = sql;
    if (!m_database || !m_database->IsOpen()) {
        setError(SQLITE_MISUSE, "the database is not open");
        return false;
    }
    const std::string text = RewriteJetSql(sql);
    std::string error;
    const int rc = PrepareSingleStatement(
        m_database->GetActiveConnection(), text, SQLITE_PREPARE_PERSISTENT, &m_statement, error);
    if (rc != SQLITE_OK) {
        setError(rc, error);
        return false;
    }
    if (!m_statement) {
        setError(SQLITE_MISUSE, "no statement to prepare");
        return false;
    }
    return true;
}

bool CPreparedStatement::checkBind(int rc)
{
    if (rc != SQLITE_OK) {
        if (m_statement) {
            setSqliteError();
        } else {
            setError(SQLITE_MISUSE, "no statement prepared");
        }
        return false;
    }
    return true;
}

bool CPreparedStatement::BindText(int index, std::string_view value)
{
    return checkBind(m_statement
            ? sqlite3_bind_text(m_statement, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT)
            : SQLITE_MISUSE);
}

bool CPreparedStatement::BindInt(int index, long long value)
{
    return checkBind(m_statement ? sqlite3_bind_int64(m_statement, index, value) : SQLITE_MISUSE);
}

bool CPreparedStatement::BindDouble(int index, double value)
{
    return checkBind(m_statement ? sqlite3_bind_double(m_statement, index, value) : SQLITE_MISUSE);
}

bool CPreparedStatement::BindNull(int index)
{
    return checkBind(m_statement ? sqlite3_bind_null(m_statement, index) : SQLITE_MISUSE);
}

bool CPreparedStatement::ClearBindings()
{
    return checkBind(m_statement ? sqlite3_clear_bindings(m_statement) : SQLITE_MISUSE);
}

bool CPreparedStatement::Execute()
{
    m_recordsAffected = 0;
    if (!m_statement) {
        setError(SQLITE_MISUSE, "no statement prepared");
        return false;
    }
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) {
        rc = sqlite3_step(m_statement);
    }
    if (rc != SQLITE_DONE) {
        setSqliteError();
        sqlite3_reset(m_statement);
        return false;
    }
    if (!sqlite3_stmt_readonly(m_statement)) {
        m_recordsAffected = sqlite3_changes(sqlite3_db_handle(m_statement));
    }
    sqlite3_reset(m_statement);
    return true;
}

bool CPreparedStatement::Step()
{
    m_failed = false;
    if (!m_statement) {
        setError(SQLITE_MISUSE, "no statement prepared");
        m_failed = true;
        return false;
    }
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc != SQLITE_DONE) {
        setSqliteError();
        m_failed = true;
    }
    return false;
}

long long CPreparedStatement::GetInt(int column) const
{
    return m_statement ? sqlite3_column_int64(m_statement, column) : 0;
}

double CPreparedStatement::GetDouble(int column) const
{
    return m_statement ? sqlite3_column_double(m_statement, column) : 0.0;
}

std::string CPreparedStatement::GetText(int column) const
{
    if (!m_statement) {
        return {};
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)))
                : std::string();
}

bool CPreparedStatement::IsNull(int column) const
{
    return !m_statement || sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

bool CPreparedStatement::Reset()
{
    m_failed = false;
    return m_statement && sqlite3_reset(m_statement) == SQLITE_OK;
}

void CPreparedStatement::Finalize()
{
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
}

void CPreparedStatement::setError(int code, const std::string& description)
{
    m_lastErrorCode = code;
    m_lastError
        = "Query = " + m_query + "\n" + BuildErrorReport("CPreparedStatement", code, kSqliteSource, description);
}

int CPreparedStatement::GetColumnCount() const
{
    return m_statement ? sqlite3_column_count(m_statement) : 0;
}

std::string CPreparedStatement::GetColumnName(int column) const
{
    const char* name = m_statement ? sqlite3_column_name(m_statement, column) : nullptr;
    return name ? name : "";
}

bool CPreparedStatement::IsDateColumn(int column) const
{
    const char* declared = m_statement ? sqlite3_column_decltype(m_statement, column) : nullptr;
    return declared && IsDateColumnType(declared);
}

void CPreparedStatement::setSqliteError()
{
    sqlite3* db = m_statement ? sqlite3_db_handle(m_statement) : m_database->GetActiveConnection();
    setError(sqlite3_errcode(db), sqlite3_errmsg(db));
}

} // namespace telvora
