#include "db/ADORecordset.h"

#include "db/ADODataBase.h"
#include "db/ErrorReport.h"
#include "db/JetDialect.h"
#include "db/SingleStatement.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>

namespace telvora {

namespace {

constexpr std::string_view kOwnSource = "CADORecordset";

std::string upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}

bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

bool isBooleanType(const std::string& type)
{
    return type == "BIT" || contains(type, "BOOL") || type == "YESNO" || type == "LOGICAL";
}

bool isSingleType(const std::string& type)
{
    return contains(type, "SINGLE") || contains(type, "FLOAT");
}

std::string formatDouble(double value, bool single)
{
    char buffer[64];
    if (single) {
        std::snprintf(buffer, sizeof buffer, "%.10g", value);
        return buffer;
    }
    // Shortest text that reads back as the same double: all the digits that mean anything.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// The declared size in "TEXT(50)" or "VARCHAR(255)"; 0 when none is given.
long declaredSize(const std::string& type)
{
    const std::size_t open = type.find('(');
    return open == std::string::npos ? 0 : std::strtol(type.c_str() + open + 1, nullptr, 10);
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string quoteIdentifier(const std::string& name)
{
    if (!name.empty() && (name.front() == '[' || name.front() == '"' || name.front() == '`')) {
        return name;
    }
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

} // namespace

bool IsDateColumnType(std::string_view declaredType)
{
    const std::string type = upper(declaredType);
    return contains(type, "DATE") || contains(type, "TIME");
}

CADORecordset::CADORecordset(CADODataBase* database)
    : m_database(database)
{ }

CADORecordset::~CADORecordset()
{
    Close();
}

bool CADORecordset::Open(const std::string& sql, int option, CursorType cursor)
{
    Close();
    if (!sql.empty()) {
        m_query = sql;
    }
    const std::size_t first = m_query.find_first_not_of(" \t\r\n");
    m_query.erase(0, first == std::string::npos ? m_query.size() : first);

    std::string text;
    switch (option) {
    case openUnknown:
    case openQuery:
    case openStoredProc:
        text = m_query;
        break;
    case openTable:
        text = "SELECT * FROM " + quoteIdentifier(m_query);
        break;
    default:
        setError(SQLITE_MISUSE, kOwnSource, "unknown open option " + std::to_string(option));
        return false;
    }
    if (!m_database || !m_database->IsOpen()) {
        setError(SQLITE_MISUSE, kOwnSource, "the database is not open");
        return false;
    }
    sqlite3* db = m_database->GetActiveConnection();
    text = RewriteJetSql(text);
    std::string error;
    const int prepared = PrepareSingleStatement(db, text, 0, &m_statement, error);
    if (prepared != SQLITE_OK) {
        setError(prepared, kSqliteSource, error);
        return false;
    }
    if (!m_statement) {
        setError(SQLITE_MISUSE, kOwnSource, "no statement to run");
        return false;
    }
    m_cursor = cursor;

    const int columnCount = sqlite3_column_count(m_statement);
    m_columns.resize(static_cast<std::size_t>(columnCount));
    for (int i = 0; i < columnCount; ++i) {
        Column& column = m_columns[static_cast<std::size_t>(i)];
        const char* name = sqlite3_column_name(m_statement, i);
        const char* type = sqlite3_column_decltype(m_statement, i);
        column.name = name ? name : "";
        column.declaredType = type ? upper(type) : std::string();
        column.kind = isBooleanType(column.declaredType) ? Kind::boolean
            : IsDateColumnType(column.declaredType)      ? Kind::date
                                                         : Kind::plain;
    }

    // Static: every row now, and the statement is done with. Forward-only: the first row,
    // the statement stays open for the next ones.
    int rc = fetchRow();
    while (rc == SQLITE_ROW && m_cursor == cursorStatic) {
        rc = fetchRow();
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        setSqliteError();
        Close();
        return false;
    }
    if (m_cursor == cursorStatic) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
    m_open = true;
    m_row = 0;
    return true;
}

int CADORecordset::fetchRow()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_DONE) {
        // Ends the statement's read of the database; MoveFirst can still run it again.
        sqlite3_reset(m_statement);
    }
    if (rc != SQLITE_ROW) {
        return rc;
    }
    const int columnCount = static_cast<int>(m_columns.size());
    for (int i = 0; i < columnCount; ++i) {
        Cell cell;
        cell.type = sqlite3_column_type(m_statement, i);
        switch (cell.type) {
        case SQLITE_INTEGER:
            cell.integer = sqlite3_column_int64(m_statement, i);
            break;
        case SQLITE_FLOAT:
            cell.real = sqlite3_column_double(m_statement, i);
            break;
        case SQLITE_TEXT:
        case SQLITE_BLOB: {
            const void* bytes
                = cell.type == SQLITE_TEXT ? sqlite3_column_text(m_statement, i) : sqlite3_column_blob(m_statement, i);
            cell.offset = static_cast<std::uint32_t>(m_text.size());
            cell.length = static_cast<std::uint32_t>(sqlite3_column_bytes(m_statement, i));
            if (bytes) {
                m_text.append(static_cast<const char*>(bytes), cell.length);
            }
            break;
        }
        default:
            break;
        }
        m_cells.push_back(cell);
    }
    return rc;
}

void CADORecordset::fetchNextRow()
{
    m_cells.clear();
    m_text.clear();
    const int rc = fetchRow();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        setSqliteError();
        sqlite3_reset(m_statement);
        m_failed = true;
        m_cells.clear();
        m_text.clear();
    }
}

void CADORecordset::Close()
{
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    m_open = false;
    m_failed = false;
    m_row = 0;
    m_columns.clear();
    m_cells.clear();
    m_text.clear();
}

bool CADORecordset::IsOpen() const
{
    return m_open;
}

int CADORecordset::GetRecordCount()
{
    if (m_columns.empty()) {
        return 0;
    }
    if (m_cursor == cursorStatic) {
        return static_cast<int>(m_cells.size() / m_columns.size());
    }
    // A forward-only cursor knows no count: run the statement through once, then stand
    // on the first row again.
    if (!m_open) {
        return 0;
    }
    sqlite3_reset(m_statement);
    int count = 0;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(m_statement)) == SQLITE_ROW) {
        ++count;
    }
    if (rc != SQLITE_DONE) {
        setSqliteError();
        m_failed = true;
    }
    sqlite3_reset(m_statement);
    fetchNextRow();
    return count;
}

int CADORecordset::GetFieldCount() const
{
    return static_cast<int>(m_columns.size());
}

bool CADORecordset::IsEOF() const
{
    if (m_columns.empty()) {
        return true;
    }
    return m_cursor == cursorStatic ? m_row >= m_cells.size() / m_columns.size() : m_cells.empty();
}

void CADORecordset::MoveNext()
{
    if (IsEOF()) {
        return;
    }
    if (m_cursor == cursorStatic) {
        ++m_row;
    } else {
        fetchNextRow();
    }
}

void CADORecordset::MoveFirst()
{
    m_row = 0;
    if (m_cursor == cursorForwardOnly && m_open) {
        sqlite3_reset(m_statement);
        m_failed = false;
        fetchNextRow();
    }
}

int CADORecordset::GetFieldIndex(const std::string& name) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (equalsNoCase(m_columns[i].name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string CADORecordset::GetFieldName(int index) const
{
    return index >= 0 && index < GetFieldCount() ? m_columns[static_cast<std::size_t>(index)].name : std::string();
}

int CADORecordset::indexOf(const std::string& name)
{
    const int index = GetFieldIndex(name);
    if (index < 0) {
        setError(SQLITE_RANGE, kOwnSource, "no column named '" + name + "'");
    }
    return index;
}

const CADORecordset::Cell* CADORecordset::currentCell(int index)
{
    if (!m_open) {
        setError(SQLITE_MISUSE, kOwnSource, "the recordset is not open");
        return nullptr;
    }
    if (index < 0 || index >= GetFieldCount()) {
        setError(SQLITE_RANGE, kOwnSource, "column index " + std::to_string(index) + " out of range");
        return nullptr;
    }
    if (IsEOF()) {
        setError(SQLITE_MISUSE, kOwnSource, "no current record (end of the recordset)");
        return nullptr;
    }
    return &m_cells[currentRowStart() + static_cast<std::size_t>(index)];
}

std::string_view CADORecordset::cellText(const Cell& cell) const
{
    return std::string_view(m_text).substr(cell.offset, cell.length);
}

bool CADORecordset::readInteger(int index, long long& value)
{
    value = 0;
    const Cell* cell = currentCell(index);
    if (!cell) {
        return false;
    }
    switch (cell->type) {
    case SQLITE_INTEGER:
        value = cell->integer;
        return true;
    case SQLITE_FLOAT:
        value = std::isfinite(cell->real) ? std::llround(cell->real) : 0;
        return true;
    case SQLITE_TEXT: {
        const std::string_view text = cellText(*cell);
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        if (result.ec == std::errc() && result.ptr == text.data() + text.size()) {
            return true;
        }
        value = 0;
        setError(SQLITE_MISMATCH, kOwnSource, "column " + std::to_string(index) + " holds no number");
        return false;
    }
    case SQLITE_BLOB:
        setError(SQLITE_MISMATCH, kOwnSource, "column " + std::to_string(index) + " holds binary data");
        return false;
    default:
        return true; // NULL reads as 0
    }
}

bool CADORecordset::GetFieldValue(int index, long& value)
{
    long long wide = 0;
    const bool ok = readInteger(index, wide);
    value = static_cast<long>(wide);
    return ok;
}

bool CADORecordset::GetFieldValue(int index, int& value)
{
    long long wide = 0;
    const bool ok = readInteger(index, wide);
    value = static_cast<int>(wide);
    return ok;
}

bool CADORecordset::GetFieldValue(int index, std::string& value, const std::string& dateFormat)
{
    value.clear();
    const Cell* cell = currentCell(index);
    if (!cell) {
        return false;
    }
    const Column& column = m_columns[static_cast<std::size_t>(index)];
    if (cell->type == SQLITE_NULL) {
        return true;
    }
    if (column.kind == Kind::date) {
        const DateTime date = cell->type == SQLITE_TEXT ? DateTime::parse(cellText(*cell)) : DateTime {};
        value = date.format(dateFormat);
        return true;
    }
    switch (cell->type) {
    case SQLITE_INTEGER:
        if (column.kind == Kind::boolean) {
            // One character, not a literal: GCC 12 at -O3 reports a false overlap in
            // operator=(const char*) here.
            value.assign(1, cell->integer != 0 ? 'T' : 'F');
        } else {
            value = std::to_string(cell->integer);
        }
        return true;
    case SQLITE_FLOAT:
        if (column.kind == Kind::boolean) {
            value.assign(1, cell->real != 0.0 ? 'T' : 'F');
        } else {
            value = formatDouble(cell->real, isSingleType(column.declaredType));
        }
        return true;
    case SQLITE_TEXT:
        value = cellText(*cell);
        return true;
    default:
        setError(SQLITE_MISMATCH, kOwnSource, "column " + std::to_string(index) + " holds binary data");
        return false;
    }
}

bool CADORecordset::GetFieldValue(int index, DateTime& value)
{
    value = {};
    const Cell* cell = currentCell(index);
    if (!cell) {
        return false;
    }
    if (cell->type == SQLITE_NULL) {
        return true;
    }
    if (cell->type == SQLITE_TEXT) {
        value = DateTime::parse(cellText(*cell));
        if (value.valid) {
            return true;
        }
    }
    setError(SQLITE_MISMATCH, kOwnSource, "column " + std::to_string(index) + " holds no date");
    return false;
}

bool CADORecordset::GetFieldValue(int index, bool& value)
{
    value = false;
    const Cell* cell = currentCell(index);
    if (!cell) {
        return false;
    }
    switch (cell->type) {
    case SQLITE_NULL:
        return true;
    case SQLITE_INTEGER:
        value = cell->integer != 0;
        return true;
    case SQLITE_FLOAT:
        value = cell->real != 0.0;
        return true;
    default:
        setError(SQLITE_MISMATCH, kOwnSource, "column " + std::to_string(index) + " holds no yes/no value");
        return false;
    }
}

bool CADORecordset::GetFieldValue(const std::string& name, long& value)
{
    const int index = indexOf(name);
    if (index < 0) {
        value = 0;
        return false;
    }
    return GetFieldValue(index, value);
}

bool CADORecordset::GetFieldValue(const std::string& name, int& value)
{
    const int index = indexOf(name);
    if (index < 0) {
        value = 0;
        return false;
    }
    return GetFieldValue(index, value);
}

bool CADORecordset::GetFieldValue(const std::string& name, std::string& value, const std::string& dateFormat)
{
    const int index = indexOf(name);
    if (index < 0) {
        value.clear();
        return false;
    }
    return GetFieldValue(index, value, dateFormat);
}

bool CADORecordset::GetFieldValue(const std::string& name, DateTime& value)
{
    const int index = indexOf(name);
    if (index < 0) {
        value = {};
        return false;
    }
    return GetFieldValue(index, value);
}

bool CADORecordset::GetFieldValue(const std::string& name, bool& value)
{
    const int index = indexOf(name);
    if (index < 0) {
        value = false;
        return false;
    }
    return GetFieldValue(index, value);
}

bool CADORecordset::GetFieldInfo(int index, CADOFieldInfo& info)
{
    info = CADOFieldInfo {};
    if (!m_open) {
        setError(SQLITE_MISUSE, kOwnSource, "the recordset is not open");
        return false;
    }
    if (index < 0 || index >= GetFieldCount()) {
        setError(SQLITE_RANGE, kOwnSource, "column index " + std::to_string(index) + " out of range");
        return false;
    }
    const Column& column = m_columns[static_cast<std::size_t>(index)];

    // The name is cut to fit, never inside a UTF-8 sequence.
    std::size_t length = std::min(column.name.size(), sizeof info.m_strName - 1);
    while (
        length > 0 && length < column.name.size() && (static_cast<unsigned char>(column.name[length]) & 0xC0) == 0x80) {
        --length;
    }
    std::memcpy(info.m_strName, column.name.data(), length);

    const std::string& type = column.declaredType;
    int storage = SQLITE_NULL; // for expressions without a declared type: the first value's class
    for (std::size_t at = static_cast<std::size_t>(index); at < m_cells.size() && storage == SQLITE_NULL;
         at += m_columns.size()) {
        storage = m_cells[at].type;
    }
    short code = typeEmpty;
    long size = 0;
    if (column.kind == Kind::date) {
        code = typeDate;
        size = 8;
    } else if (column.kind == Kind::boolean) {
        code = typeBoolean;
        size = 2;
    } else if (contains(type, "BIGINT")) {
        code = typeBigInt;
        size = 8;
    } else if (contains(type, "SMALLINT") || contains(type, "SHORT")) {
        code = typeSmallInt;
        size = 2;
    } else if (contains(type, "TINYINT") || type == "BYTE") {
        code = typeUnsignedTinyInt;
        size = 1;
    } else if (contains(type, "INT") || contains(type, "LONG") || contains(type, "COUNTER")) {
        code = typeInteger;
        size = 4;
    } else if (contains(type, "MEMO") || contains(type, "CLOB") || contains(type, "LONGTEXT")) {
        code = typeLongVarWChar;
        size = 536870910;
    } else if (contains(type, "CHAR") || contains(type, "TEXT") || contains(type, "STRING")) {
        code = typeVarWChar;
        size = declaredSize(type) > 0 ? declaredSize(type) : 255;
    } else if (isSingleType(type)) {
        code = typeSingle;
        size = 4;
    } else if (contains(type, "REAL") || contains(type, "DOUB")) {
        code = typeDouble;
        size = 8;
    } else if (contains(type, "CURRENCY") || contains(type, "MONEY")) {
        code = typeCurrency;
        size = 8;
    } else if (contains(type, "DEC") || contains(type, "NUMERIC")) {
        code = typeNumeric;
        size = 19;
    } else if (contains(type, "BLOB") || contains(type, "BINARY")) {
        code = typeLongVarBinary;
        size = 2147483647;
    } else if (storage == SQLITE_INTEGER) {
        code = typeInteger;
        size = 4;
    } else if (storage == SQLITE_FLOAT) {
        code = typeDouble;
        size = 8;
    } else if (storage == SQLITE_TEXT) {
        code = typeVarWChar;
        size = 255;
    } else if (storage == SQLITE_BLOB) {
        code = typeLongVarBinary;
        size = 2147483647;
    }
    info.m_nType = code;
    info.m_lDefinedSize = size;
    constexpr long kMayBeNull = 0x40;
    constexpr long kIsNullable = 0x20;
    constexpr long kFixed = 0x10;
    const bool fixed = code != typeVarWChar && code != typeLongVarWChar && code != typeLongVarBinary;
    info.m_lAttributes = kMayBeNull | kIsNullable | (fixed ? kFixed : 0);
    if (!IsEOF()) {
        const Cell& cell = m_cells[currentRowStart() + static_cast<std::size_t>(index)];
        if (cell.type == SQLITE_TEXT || cell.type == SQLITE_BLOB) {
            info.m_lSize = static_cast<long>(cell.length);
        } else if (cell.type != SQLITE_NULL) {
            info.m_lSize = fixed && size > 0 ? size : 8;
        }
    }
    return true;
}

void CADORecordset::setError(int code, std::string_view source, const std::string& description)
{
    m_lastErrorCode = code;
    m_lastError = "Query = " + m_query + "\n" + BuildErrorReport("CADORecordset", code, source, description);
}

std::size_t CADORecordset::currentRowStart() const
{
    return m_cursor == cursorStatic ? m_row * m_columns.size() : 0;
}

void CADORecordset::setSqliteError()
{
    // The statement's own connection: the shared one may have been switched meanwhile.
    sqlite3* db = m_statement ? sqlite3_db_handle(m_statement) : m_database->GetActiveConnection();
    setError(sqlite3_errcode(db), kSqliteSource, sqlite3_errmsg(db));
}

} // namespace telvora
