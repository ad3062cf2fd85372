#pragma once

#include "db/DateTime.h"

#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

struct CADOFieldInfo
{
    char m_strName[30] = {};
    short m_nType = 0;
    long m_lSize = 0;
    long m_lDefinedSize = 0;
    long m_lAttributes = 0;
};

/// One result set on a connection. The rows are read completely on Open (a static
/// cursor), so counting and moving back to the first row are cheap.
class CADORecordset final
{
public:
    enum OpenOption { openUnknown = 0, openQuery = 1, openTable = 2, openStoredProc = 3 };

    explicit CADORecordset(CADODataBase* database);
    ~CADORecordset();
    CADORecordset(const CADORecordset&) = delete;
    CADORecordset& operator=(const CADORecordset&) = delete;

    bool Open(const std::string& sql = {}, int option = openUnknown);
    void Close();
    bool IsOpen() const;

    int GetRecordCount();
    int GetFieldCount() const;
    bool IsEOF() const;
    void MoveNext();
    void MoveFirst();

    bool GetFieldValue(int index, long& value);
    bool GetFieldValue(int index, int& value);
    bool GetFieldValue(int index, std::string& value, const std::string& dateFormat = "%Y-%m-%d %H:%M:%S");
    bool GetFieldValue(int index, DateTime& value);
    bool GetFieldValue(int index, bool& value);
    bool GetFieldValue(const std::string& name, long& value);
    bool GetFieldValue(const std::string& name, int& value);
    bool GetFieldValue(const std::string& name, std::string& value,
        const std::string& dateFormat = "%Y-%m-%d %H:%M:%S");
    bool GetFieldValue(const std::string& name, DateTime& value);
    bool GetFieldValue(const std::string& name, bool& value);

    bool GetFieldInfo(int index, CADOFieldInfo& info);

    const std::string& GetQuery() const { return m_query; }
    const std::string& GetLastError() const { return m_lastError; }
    int GetLastErrorCode() const { return m_lastErrorCode; }

private:
    // Implementation detail owned by the db layer helper; see ADORecordset.cpp.
    struct Column;
    struct Cell;
    CADODataBase* m_database;
    std::string m_query;
    std::string m_lastError;
    int m_lastErrorCode = 0;
    bool m_open = false;
    std::size_t m_row = 0;
    std::vector<std::string> m_columnNames;
    std::vector<std::vector<std::string>> m_rows; // placeholder layout, free to change
};

} // namespace telvora
