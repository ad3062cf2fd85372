#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

/// Reads the cells of a workbook as texts: ".xls" (BIFF), ".xlsx", ".ods" and ".csv".
/// The file kind is taken from its first bytes, so a workbook with the wrong extension
/// still reads; a ".csv" file is read as text in UTF-8 or GBK.
///
/// Cells come out trimmed. A whole number reads without a fraction ("13800138000"), other
/// numbers in their shortest form, dates as "YYYY-MM-DD" (with " HH:MM:SS" when the cell
/// holds a time of day too), booleans as "TRUE"/"FALSE". Rows and columns count from the
/// top left cell A1, so column 0 is always column A.
///
/// The whole workbook is read by Open(); nothing throws out of this class.
class CSpreadsheetReader final
{
public:
    CSpreadsheetReader();
    ~CSpreadsheetReader();
    CSpreadsheetReader(const CSpreadsheetReader&) = delete;
    CSpreadsheetReader& operator=(const CSpreadsheetReader&) = delete;

    /// Reads the workbook and selects its first sheet. False with GetLastError() for a
    /// missing, empty, damaged or unknown file.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const;

    const std::vector<std::string>& GetSheetNames() const;
    /// Makes another sheet current; false when there is no such sheet.
    bool SelectSheet(std::size_t index);
    bool SelectSheet(std::string_view name);
    std::size_t GetCurrentSheet() const;

    /// Rows of the current sheet up to its last used row, the header row included.
    std::size_t GetRowCount() const;
    /// Columns of the current sheet up to its last used column.
    std::size_t GetColumnCount() const;
    /// The first row of the current sheet; empty when the sheet is.
    std::vector<std::string> GetHeader() const;
    /// Index of the first column whose header equals caption (after trimming), or -1.
    int GetColumnOfHeader(std::string_view caption) const;
    /// The texts of one row, one per column up to GetColumnCount(); empty past the end.
    std::vector<std::string> GetRow(std::size_t row) const;
    /// One cell; empty when outside the sheet.
    const std::string& GetCell(std::size_t row, std::size_t column) const;

    const std::string& GetLastError() const { return m_lastError; }

    struct Sheet
    {
        std::string name;
        std::vector<std::vector<std::string>> rows; // ragged: trailing empty cells may be missing
        std::size_t columns = 0;
    };

private:
    bool fail(std::string text);

    std::vector<Sheet> m_sheets;
    std::vector<std::string> m_sheetNames;
    std::size_t m_current = 0;
    bool m_open = false;
    std::string m_lastError;
};

/// Zero-based column of a letter name ("A" = 0, "AB" = 27), or -1.
int SpreadsheetColumnIndex(std::string_view letters);

/// Text of a numeric cell: whole numbers without a fraction, others shortest.
std::string FormatSpreadsheetNumber(double value);

} // namespace telvora
