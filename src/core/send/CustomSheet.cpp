#include "send/CustomSheet.h"

#include "contacts/SpreadsheetReader.h"
#include "service/TextCodec.h"
#include "session/TextUtil.h"

#include <algorithm>

namespace telvora {

namespace {

// Calls visit(literal) for the text between placeholders and visit(name, true) for each
// "{name}", reading braces as the service does: a "{" up to the next "}".
template <typename Visit> void walkTemplate(std::string_view text, Visit&& visit)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find('{', i);
        const std::size_t close = open == std::string_view::npos ? open : text.find('}', open + 1);
        if (close == std::string_view::npos) {
            visit(text.substr(i), false);
            return;
        }
        visit(text.substr(i, open - i), false);
        visit(text.substr(open + 1, close - open - 1), true);
        i = close + 1;
    }
}

std::string placeholderOf(std::string_view caption)
{
    return "{" + std::string(caption) + "}";
}

} // namespace

std::string CleanCustomCell(std::string_view cell)
{
    const std::string_view trimmed = TrimAscii(cell);
    std::string clean;
    clean.reserve(trimmed.size());
    for (const char c : trimmed) {
        if (c == ';') {
            clean += "；";
        } else if (c == '{') {
            clean += '[';
        } else if (c == '}') {
            clean += ']';
        } else {
            clean += c;
        }
    }
    return clean;
}

std::vector<std::string> TemplatePlaceholders(std::string_view text)
{
    std::vector<std::string> names;
    walkTemplate(text, [&names](std::string_view part, bool placeholder) {
        if (placeholder && std::find(names.begin(), names.end(), part) == names.end()) {
            names.emplace_back(part);
        }
    });
    return names;
}

std::string AddPlaceholder(const std::string& text, std::string_view caption)
{
    const std::string placeholder = placeholderOf(caption);
    return text.find(placeholder) == std::string::npos ? text + placeholder + " " : text;
}

std::string RemovePlaceholder(std::string_view text, std::string_view caption)
{
    const std::string placeholder = placeholderOf(caption);
    std::string joined;
    std::size_t start = 0;
    for (std::size_t found = text.find(placeholder); found != std::string_view::npos;
         found = text.find(placeholder, start)) {
        joined.append(text.substr(start, found - start));
        start = found + placeholder.size();
    }
    joined.append(text.substr(start));
    return std::string(TrimAscii(joined));
}

bool CCustomSheet::LoadFile(const std::string& path)
{
    CSpreadsheetReader reader;
    if (!reader.Open(path)) {
        m_lastError = reader.GetLastError();
        return false;
    }
    if (reader.GetRowCount() == 0 || reader.GetColumnCount() == 0) {
        m_lastError = "表格中没有数据: " + path;
        return false;
    }
    std::vector<std::vector<std::string>> table;
    table.reserve(reader.GetRowCount());
    for (std::size_t row = 0; row < reader.GetRowCount(); ++row) {
        table.push_back(reader.GetRow(row));
    }
    Load(table);
    return true;
}

void CCustomSheet::Load(const std::vector<std::vector<std::string>>& table)
{
    Clear();
    if (table.empty()) {
        return;
    }
    for (const auto& caption : table.front()) {
        m_headers.push_back(CleanCustomCell(caption));
    }
    // Cells right of the last caption have no column to show them in.
    m_shown.assign(m_headers.size(), true);
    for (std::size_t i = 1; i < table.size(); ++i) {
        Row row;
        row.cells.reserve(m_headers.size());
        bool any = false;
        for (std::size_t column = 0; column < m_headers.size(); ++column) {
            row.cells.push_back(column < table[i].size() ? CleanCustomCell(table[i][column]) : std::string());
            any = any || !row.cells.back().empty();
        }
        if (any) {
            m_rows.push_back(std::move(row));
        }
    }
    m_phoneColumn = ColumnOf(kCustomPhoneCaption);
}

void CCustomSheet::LoadDemo()
{
    static const char* const kNames[]
        = {"张三", "刘兵海", "李四", "张振东", "蔡心慧", "小燕子", "古月", "陈水", "谢路"};
    std::vector<std::vector<std::string>> table {{"手机号码", "姓名", "基本工资", "加班工资", "奖金", "实发工资"}};
    for (int i = 0; i < 9; ++i) {
        const int base = 3000 + 250 * i;
        const int overtime = 200 + 50 * (i % 4);
        const int bonus = 500 + 100 * (i % 3);
        table.push_back({"1380001100" + std::to_string(i), kNames[i], std::to_string(base), std::to_string(overtime),
            std::to_string(bonus), std::to_string(base + overtime + bonus)});
    }
    Load(table);
    m_demo = true;
}

void CCustomSheet::Clear()
{
    m_headers.clear();
    m_shown.clear();
    m_rows.clear();
    m_phoneColumn = -1;
    m_demo = false;
}

void CCustomSheet::SetTicked(std::size_t row, bool ticked)
{
    if (row < m_rows.size()) {
        m_rows[row].ticked = ticked;
    }
}

void CCustomSheet::SetPhoneColumn(int column)
{
    m_phoneColumn = column >= 0 && static_cast<std::size_t>(column) < m_headers.size() ? column : -1;
}

std::string_view CCustomSheet::PhoneOf(std::size_t row) const
{
    if (m_phoneColumn < 0 || row >= m_rows.size()) {
        return {};
    }
    return m_rows[row].cells[static_cast<std::size_t>(m_phoneColumn)];
}

bool CCustomSheet::IsShown(std::size_t column) const
{
    return column < m_shown.size() && m_shown[column];
}

std::string CCustomSheet::SetShown(std::size_t column, bool shown, const std::string& templateText)
{
    if (column >= m_headers.size()) {
        return templateText;
    }
    m_shown[column] = shown;
    if (m_headers[column].empty()) {
        return templateText;
    }
    return shown ? AddPlaceholder(templateText, m_headers[column]) : RemovePlaceholder(templateText, m_headers[column]);
}

std::string CCustomSheet::TemplateWithPlaceholders(const std::string& text) const
{
    std::string result = text;
    for (const auto& caption : m_headers) {
        if (!caption.empty()) {
            result = AddPlaceholder(result, caption);
        }
    }
    return result;
}

int CCustomSheet::ColumnOf(std::string_view caption) const
{
    if (caption.empty()) {
        return -1;
    }
    const auto found = std::find(m_headers.begin(), m_headers.end(), caption);
    return found == m_headers.end() ? -1 : static_cast<int>(found - m_headers.begin());
}

std::string CCustomSheet::PersonalisedText(std::string_view templateText, std::size_t row) const
{
    std::string text;
    text.reserve(templateText.size());
    walkTemplate(templateText, [&](std::string_view part, bool placeholder) {
        const int column = placeholder ? ColumnOf(part) : -1;
        if (column >= 0) {
            text += m_rows[row].cells[static_cast<std::size_t>(column)];
        } else if (placeholder) {
            text += placeholderOf(part);
        } else {
            text += part;
        }
    });
    return text;
}

std::string CCustomSheet::RequestDetails(const std::vector<std::string>& placeholders, std::size_t row) const
{
    std::string details;
    for (const auto& name : placeholders) {
        const int column = ColumnOf(name);
        std::string value = column >= 0 ? m_rows[row].cells[static_cast<std::size_t>(column)] : placeholderOf(name);
        if (!EscapeFormValue(value)) {
            value.clear();
        }
        details += '{';
        details += value;
        details += '}';
    }
    details += ';';
    return details;
}

} // namespace telvora
