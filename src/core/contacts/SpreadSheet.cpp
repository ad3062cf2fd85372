#include "contacts/SpreadSheet.h"

#include "db/DateTime.h"
#include "session/TextUtil.h"

#include <algorithm>
#include <filesystem>
#include <xlsxwriter.h>

namespace telvora {

namespace {

std::string sheetNameFor(const std::string& name)
{
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < name.size() && characters < 31; ++characters) {
        const auto lead = static_cast<unsigned char>(name[i]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        const std::string piece = name.substr(i, length);
        out += piece.size() == 1 && std::string_view("[]:*?/\\").find(piece[0]) != std::string_view::npos ? "_" : piece;
        i += length;
    }
    // A leading or trailing apostrophe is refused too.
    if (!out.empty() && out.front() == '\'')
        out.front() = '_';
    if (!out.empty() && out.back() == '\'')
        out.back() = '_';
    return out.empty() ? "Sheet1" : out;
}

std::string csvCell(const std::string& cell)
{
    if (cell.find_first_of(",\"\r\n") == std::string::npos
        && (cell.empty() || (cell.front() != ' ' && cell.back() != ' ')))
        return cell;
    std::string quoted = "\"";
    for (const char c : cell) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

bool IsCsvFileName(const std::string& path)
{
    return LowerExtension(path) == ".csv";
}

CSpreadSheet::CSpreadSheet() = default;

CSpreadSheet::~CSpreadSheet()
{
    if (m_text || m_workbook)
        discard();
}

bool CSpreadSheet::fail(std::string text)
{
    m_lastError = std::move(text);
    return false;
}

void CSpreadSheet::discard()
{
    if (m_text)
        std::fclose(m_text);
    m_text = nullptr;
    if (m_workbook)
        workbook_close(m_workbook);
    m_workbook = nullptr;
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
}

bool CSpreadSheet::Create(const std::string& path, const std::string& sheetName)
{
    if (m_text || m_workbook)
        discard();
    m_path = path;
    m_csv = IsCsvFileName(path);
    m_headers.clear();
    m_dateColumns.clear();
    m_rows = 0;
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    if (m_csv) {
        m_text = std::fopen(path.c_str(), "wb");
        if (!m_text || std::fputs("\xEF\xBB\xBF", m_text) < 0)
            return fail("创建文件[" + path + "]失败!");
        return true;
    }
    // Not the constant-memory mode: its inline strings are more than some readers take.
    m_workbook = workbook_new(path.c_str());
    if (!m_workbook)
        return fail("创建文件[" + path + "]失败!");
    m_worksheet = workbook_add_worksheet(m_workbook, sheetNameFor(sheetName).c_str());
    m_dateFormat = workbook_add_format(m_workbook);
    format_set_num_format(m_dateFormat, "yyyy-mm-dd");
    m_dateTimeFormat = workbook_add_format(m_workbook);
    format_set_num_format(m_dateTimeFormat, "yyyy-mm-dd hh:mm:ss");
    return m_worksheet ? true : fail("创建文件[" + path + "]失败!");
}

bool CSpreadSheet::AddHeaders(const std::vector<std::string>& headers)
{
    if (!m_text && !m_workbook)
        return fail("Problems with adding headers\n");
    if (!m_headers.empty())
        return fail("Problems with adding headers\n");
    for (std::size_t i = 0; i < headers.size(); ++i) {
        if (std::find(headers.begin(), headers.begin() + static_cast<std::ptrdiff_t>(i), headers[i])
            != headers.begin() + static_cast<std::ptrdiff_t>(i))
            return fail("Duplicate header row field:" + headers[i] + "\n");
    }
    if (headers.empty() || !writeRow(headers))
        return fail("Problems with adding headers\n");
    m_headers = headers;
    return true;
}

void CSpreadSheet::SetDateColumn(std::size_t column)
{
    if (m_dateColumns.size() <= column)
        m_dateColumns.resize(column + 1);
    m_dateColumns[column] = true;
}

bool CSpreadSheet::AddRow(const std::vector<std::string>& cells)
{
    if (m_headers.empty())
        return fail("No header row. Add header row first\n");
    if (cells.size() > m_headers.size())
        return fail("Number of columns to be added cannot be greater than the number of fields\n");
    return writeRow(cells);
}

bool CSpreadSheet::writeRow(const std::vector<std::string>& cells)
{
    if (!m_csv && m_rows >= kMaxRows)
        return fail("表格最多可写 " + std::to_string(kMaxRows) + " 行");
    if (m_csv) {
        std::string line;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i)
                line += ',';
            line += csvCell(cells[i]);
        }
        line += "\r\n";
        if (std::fwrite(line.data(), 1, line.size(), m_text) != line.size())
            return fail("写入文件[" + m_path + "]失败!");
    } else {
        const auto row = static_cast<lxw_row_t>(m_rows);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const auto column = static_cast<lxw_col_t>(i);
            lxw_error result = LXW_NO_ERROR;
            const DateTime date
                = m_rows > 0 && i < m_dateColumns.size() && m_dateColumns[i] ? DateTime::parse(cells[i]) : DateTime();
            if (date.valid) {
                lxw_datetime when {
                    date.year, date.month, date.day, date.hour, date.minute, static_cast<double>(date.second)};
                const bool timeOfDay = date.hour || date.minute || date.second;
                result = worksheet_write_datetime(
                    m_worksheet, row, column, &when, timeOfDay ? m_dateTimeFormat : m_dateFormat);
            } else if (!cells[i].empty()) {
                result = worksheet_write_string(m_worksheet, row, column, cells[i].c_str(), nullptr);
            }
            if (result != LXW_NO_ERROR)
                return fail("写入文件[" + m_path + "]失败: " + lxw_strerror(result));
        }
    }
    ++m_rows;
    return true;
}

bool CSpreadSheet::Commit()
{
    bool ok = true;
    if (m_csv && m_text) {
        ok = std::fclose(m_text) == 0;
        m_text = nullptr;
    } else if (m_workbook) {
        const lxw_error result = workbook_close(m_workbook);
        m_workbook = nullptr;
        ok = result == LXW_NO_ERROR;
        if (!ok)
            m_lastError = "写入文件[" + m_path + "]失败: " + lxw_strerror(result);
    } else {
        return fail("Problems with adding headers\n");
    }
    if (!ok) {
        if (m_lastError.empty())
            m_lastError = "写入文件[" + m_path + "]失败!";
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    return ok;
}

} // namespace telvora
