#pragma once

#include "db/DateTime.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace telvora {

class CADODataBase;

/// True for a declared column type that holds dates (one naming DATE or TIME).
bool IsDateColumnType(std::string_view declaredType);

struct CADOFieldInfo
{
    char m_strName[30] = {};
    short m_nType = 0;
    long m_lSize = 0;
    long m_lDefinedSize = 0;
    long m_lAttributes = 0;
};

/// One result set on a connection. With the static cursor (the default) the rows are read
/// completely on Open, so counting and moving back to the first row are cheap. With the
/// forward-only cursor the statement stays open and each MoveNext reads one more row, so
/// the first rows of a large result show without reading the rest; GetRecordCount then
/// runs the statement through once and MoveFirst runs it again from its start. The
/// statement keeps a read snapshot of the database while it stands inside the result.
///
/// Columns declared DATETIME/DATE (any type naming DATE or TIME) read as dates; columns
/// declared BIT/BOOL/BOOLEAN/YESNO/LOGICAL read as yes/no values ("T"/"F" as text).
class CADORecordset final
{
public:
    enum OpenOption { openUnknown = 0, openQuery = 1, openTable = 2, openStoredProc = 3 };
    // ADO's cursor type codes.
    enum CursorType { cursorForwardOnly = 0, cursorStatic = 3 };
    // ADO data type codes reported by GetFieldInfo.
    enum FieldType : short {
        typeEmpty = 0,
        typeSmallInt = 2,
        typeInteger = 3,
        typeSingle = 4,
        typeDouble = 5,
        typeCurrency = 6,
        typeDate = 7,
        typeBoolean = 11,
        typeUnsignedTinyInt = 17,
        typeBigInt = 20,
        typeNumeric = 131,
        typeVarWChar = 202,
        typeLongVarWChar = 203,
        typeLongVarBinary = 205,
    };

    explicit CADORecordset(CADODataBase* database);
    ~CADORecordset();
    CADORecordset(const CADORecordset&) = delete;
    CADORecordset& operator=(const CADORecordset&) = delete;

    /// Options 0 and 1 run the query, 2 reads the whole table named by it, 3 runs the text
    /// as it stands; any other option fails. An empty sql runs the last query again. A text
    /// holding a second statement is refused.
    bool Open(const std::string& sql = {}, int option = openUnknown, CursorType cursor = cursorStatic);
    void Close();
    bool IsOpen() const;

    int GetRecordCount();
    int GetFieldCount() const;
    bool IsEOF() const;
    void MoveNext();
    void MoveFirst();
    /// True when reading a row failed after Open (forward-only cursor): the end then came
    /// early, and GetLastError says why.
    bool HasFailed() const { return m_failed; }

    /// Each overload: a NULL value gives 0, "", the null date or false and true; a value that
    /// cannot be read as the requested type gives false and an error text.
    bool GetFieldValue(int index, long& value);
    bool GetFieldValue(int index, int& value);
    bool GetFieldValue(int index, std::string& value, const std::string& dateFormat = "%Y-%m-%d %H:%M:%S");
    bool GetFieldValue(int index, DateTime& value);
    bool GetFieldValue(int index, bool& value);
    bool GetFieldValue(const std::string& name, long& value);
    bool GetFieldValue(const std::string& name, int& value);
    bool GetFieldValue(
        const std::string& name, std::string& value, const std::string& dateFormat = "%Y-%m-%d %H:%M:%S");
    bool GetFieldValue(const std::string& name, DateTime& value);
    bool GetFieldValue(const std::string& name, bool& value);

    bool GetFieldInfo(int index, CADOFieldInfo& info);
    /// Zero-based index of a column (names compare ignoring ASCII case), or -1.
    int GetFieldIndex(const std::string& name) const;
    std::string GetFieldName(int index) const;

    const std::string& GetQuery() const { return m_query; }
    const std::string& GetLastError() const { return m_lastError; }
    int GetLastErrorCode() const { return m_lastErrorCode; }

private:
    enum class Kind { plain, date, boolean };
    struct Column
    {
        std::string name;
        std::string declaredType; // upper case
        Kind kind = Kind::plain;
    };
    struct Cell
    {
        long long integer = 0;
        double real = 0.0;
        std::uint32_t offset = 0; // text and blob bytes live in m_text
        std::uint32_t length = 0;
        int type = 0; // SQLite's storage class
    };

    int fetchRow();
    void fetchNextRow();
    std::size_t currentRowStart() const;
    const Cell* currentCell(int index);
    int indexOf(const std::string& name);
    std::string_view cellText(const Cell& cell) const;
    bool readInteger(int index, long long& value);
    void setError(int code, std::string_view source, const std::string& description);
    void setSqliteError();

    CADODataBase* m_database;
    std::string m_query;
    std::string m_lastError;
    int m_lastErrorCode = 0;
    bool m_open = false;
    bool m_failed = false;
    CursorType m_cursor = cursorStatic;
    sqlite3_stmt* m_statement = nullptr; // forward-only: open while rows remain to be read
    std::size_t m_row = 0;
    std::vector<Column> m_columns;
    std::vector<Cell> m_cells; // row after row; forward-only: the current row alone
    std::string m_text;
};

} // namespace telvora
