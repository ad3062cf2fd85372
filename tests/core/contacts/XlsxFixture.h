#pragma once

#include <stdexcept>
#include <string>
#include <vector>
#include <xlsxwriter.h>

namespace telvora::test {

// Writes small .xlsx workbooks for the reader tests, cell by cell.
class XlsxFixture final
{
public:
    explicit XlsxFixture(const std::string& path)
        : m_workbook(workbook_new(path.c_str()))
    {
        if (!m_workbook) {
            throw std::runtime_error("cannot create " + path);
        }
        m_dateFormat = workbook_add_format(m_workbook);
        format_set_num_format(m_dateFormat, "yyyy-mm-dd");
        m_builtinDateFormat = workbook_add_format(m_workbook);
        format_set_num_format_index(m_builtinDateFormat, 14);
    }
    ~XlsxFixture() { close(); }
    XlsxFixture(const XlsxFixture&) = delete;
    XlsxFixture& operator=(const XlsxFixture&) = delete;

    XlsxFixture& sheet(const std::string& name)
    {
        m_sheet = workbook_add_worksheet(m_workbook, name.c_str());
        return *this;
    }
    XlsxFixture& text(int row, int col, const std::string& value)
    {
        worksheet_write_string(
            m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), value.c_str(), nullptr);
        return *this;
    }
    // A sheet of texts, row by row.
    XlsxFixture& texts(const std::vector<std::vector<std::string>>& rows)
    {
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < rows[r].size(); ++c)
                text(static_cast<int>(r), static_cast<int>(c), rows[r][c]);
        return *this;
    }
    XlsxFixture& number(int row, int col, double value)
    {
        worksheet_write_number(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), value, nullptr);
        return *this;
    }
    // builtin picks Excel's own date format 14 instead of a "yyyy-mm-dd" code.
    XlsxFixture& date(int row, int col, int year, int month, int day, bool builtin = false, int hour = 0)
    {
        lxw_datetime when {year, month, day, hour, 0, 0};
        worksheet_write_datetime(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), &when,
            builtin ? m_builtinDateFormat : m_dateFormat);
        return *this;
    }
    void close()
    {
        if (m_workbook) {
            workbook_close(m_workbook);
            m_workbook = nullptr;
        }
    }

private:
    lxw_workbook* m_workbook;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_dateFormat = nullptr;
    lxw_format* m_builtinDateFormat = nullptr;
};

} // namespace telvora::test
