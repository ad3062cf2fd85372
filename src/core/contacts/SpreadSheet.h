#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace telvora {

/// Writes one sheet with a header row: an ".xlsx" workbook, or UTF-8 text with a byte-order
/// mark and comma-separated, quoted cells when the file name ends in ".csv" (so that
/// spreadsheet programs open it with the right characters). Nothing throws; failures keep an error text.
class CSpreadSheet final
{
public:
    CSpreadSheet();
    ~CSpreadSheet();
    CSpreadSheet(const CSpreadSheet&) = delete;
    CSpreadSheet& operator=(const CSpreadSheet&) = delete;

    static constexpr std::size_t kMaxRows = 1048576; // rows of an .xlsx sheet, header included

    /// Replaces any file at path. The sheet name is made acceptable to spreadsheet programs
    /// (at most 31 characters, none of []:*?/\).
    bool Create(const std::string& path, const std::string& sheetName);
    bool AddHeaders(const std::vector<std::string>& headers);
    /// Cells of the columns marked with SetDateColumn (after Create) are written as dates
    /// when they read as one; every other cell as text.
    bool AddRow(const std::vector<std::string>& cells);
    void SetDateColumn(std::size_t column);
    /// Finishes the file. A sheet that was not committed is removed again by the destructor.
    bool Commit();

    bool IsCsv() const { return m_csv; }
    const std::string& GetLastError() const { return m_lastError; }

private:
    bool fail(std::string text);
    bool writeRow(const std::vector<std::string>& cells);
    void discard();

    std::string m_path;
    bool m_csv = false;
    std::FILE* m_text = nullptr;
    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_worksheet = nullptr;
    lxw_format* m_dateFormat = nullptr;
    lxw_format* m_dateTimeFormat = nullptr;
    std::vector<std::string> m_headers;
    std::vector<bool> m_dateColumns;
    std::size_t m_rows = 0;
    std::string m_lastError;
};

/// True when the file name ends in ".csv" (any case).
bool IsCsvFileName(const std::string& path);

} // namespace telvora
