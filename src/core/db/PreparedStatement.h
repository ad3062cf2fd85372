#pragma once

#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace telvora {

class CADODataBase;

/// One compiled statement for work done many times over, such as writing thousands of
/// detail rows: prepare once, then bind, Execute, bind, Execute ... inside a transaction
/// of the connection. Parameters are numbered from 1 ("?" or "?1" in the SQL text).
/// Nothing throws: failures return false and keep an error text in the recordset's form.
class CPreparedStatement final
{
public:
    explicit CPreparedStatement(CADODataBase* database);
    ~CPreparedStatement();
    CPreparedStatement(const CPreparedStatement&) = delete;
    CPreparedStatement& operator=(const CPreparedStatement&) = delete;

    /// Compiles one statement (the Jet rewrite applied); a previous one is released.
    bool Prepare(const std::string& sql);
    bool IsPrepared() const { return m_statement != nullptr; }

    bool BindText(int index, std::string_view value);
    bool BindInt(int index, long long value);
    bool BindDouble(int index, double value);
    bool BindNull(int index);
    /// Sets every parameter back to NULL.
    bool ClearBindings();

    /// Runs the statement to its end and makes it ready for the next run (the bindings
    /// stay). GetRecordsAffected then tells the rows an INSERT, UPDATE or DELETE touched.
    bool Execute();

    /// Row by row for a query: true while a row is there, false at the end or on a failure
    /// (then GetLastError is set and HasFailed is true). Reset before running it again.
    bool Step();
    bool HasFailed() const { return m_failed; }
    long long GetInt(int column) const;
    double GetDouble(int column) const;
    std::string GetText(int column) const;
    bool IsNull(int column) const;
    int GetColumnCount() const;
    /// The column's name, or its AS caption.
    std::string GetColumnName(int column) const;
    /// True when the column comes from a table column declared as a date (DATE or TIME in
    /// its type).
    bool IsDateColumn(int column) const;
    bool Reset();

    void Finalize();

    int GetRecordsAffected() const { return m_recordsAffected; }
    const std::string& GetQuery() const { return m_query; }
    const std::string& GetLastError() const { return m_lastError; }
    int GetLastErrorCode() const { return m_lastErrorCode; }

private:
    bool checkBind(int rc);
    void setError(int code, const std::string& description);
    void setSqliteError();

    CADODataBase* m_database;
    sqlite3_stmt* m_statement = nullptr;
    std::string m_query;
    std::string m_lastError;
    int m_lastErrorCode = 0;
    int m_recordsAffected = 0;
    bool m_failed = false;
};

} // namespace telvora
