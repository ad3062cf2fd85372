#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

/// The template the demonstration data comes with.
inline constexpr std::string_view kCustomDemoTemplate
    = "10月工资发送通知：{姓名}您好， 您本月的基本工资为 {基本工资} ，奖金为 {奖金} ，加班工资为 "
      "{加班工资}，总计{实发工资} 。今日已发放，请查收，谢谢!";

/// The caption a phone column is recognised by.
inline constexpr std::string_view kCustomPhoneCaption = "手机号码";

/// A cell as a personalised send carries it: trimmed, with the characters that structure the
/// request replaced (";" by "；", "{" by "[", "}" by "]").
std::string CleanCustomCell(std::string_view cell);

/// The placeholder names of a template as the service reads them: the text between each "{"
/// and the next "}", each name once, in order of first appearance.
std::vector<std::string> TemplatePlaceholders(std::string_view text);

/// text with "{caption} " appended, unless "{caption}" is in it already.
std::string AddPlaceholder(const std::string& text, std::string_view caption);

/// text without any "{caption}", the parts around it joined and the whole trimmed.
std::string RemovePlaceholder(std::string_view text, std::string_view caption);

/// The spreadsheet of a personalised send: captions from its first row, one row per data row
/// with a tick, the chosen phone column and which columns are shown. Every text is cleaned
/// by CleanCustomCell as it is loaded, captions included.
class CCustomSheet final
{
public:
    struct Row
    {
        std::vector<std::string> cells; ///< one per caption
        bool ticked = true;
    };

    /// Reads the first sheet of a workbook (xlsx, xls, ods, csv). False with GetLastError,
    /// the loaded data unchanged, when the file cannot be read or has no header row.
    bool LoadFile(const std::string& path);
    /// table[0] holds the captions, the other rows the data; rows without any text are left
    /// out. The column captioned "手机号码" becomes the phone column.
    void Load(const std::vector<std::vector<std::string>>& table);
    /// The sample sheet "excel发送模板.xls": six columns and nine rows.
    void LoadDemo();
    void Clear();

    bool IsLoaded() const { return !m_headers.empty(); }
    bool IsDemo() const { return m_demo; }
    const std::vector<std::string>& GetHeaders() const { return m_headers; }
    const std::vector<Row>& GetRows() const { return m_rows; }
    void SetTicked(std::size_t row, bool ticked);

    /// -1 when no phone column is chosen.
    int GetPhoneColumn() const { return m_phoneColumn; }
    void SetPhoneColumn(int column);
    /// The row's cell of the phone column, empty without one.
    std::string_view PhoneOf(std::size_t row) const;

    bool IsShown(std::size_t column) const;
    /// Shows or hides a column; returns the template with its placeholder added or removed.
    std::string SetShown(std::size_t column, bool shown, const std::string& templateText);
    /// The template a fresh load proposes: text followed by a placeholder per caption.
    std::string TemplateWithPlaceholders(const std::string& text) const;

    /// First column of that caption, -1 when none (an empty caption names no column).
    int ColumnOf(std::string_view caption) const;
    /// The template with each placeholder of a loaded column replaced by the row's cell;
    /// any other "{...}" stays as written.
    std::string PersonalisedText(std::string_view templateText, std::size_t row) const;
    /// The row's entry of the request's Details: "{value}" per placeholder name, then ";".
    /// A name of no loaded column gets its own "{name}" as value, so that the service
    /// delivers exactly the personalised text. Values are form-escaped.
    std::string RequestDetails(const std::vector<std::string>& placeholders, std::size_t row) const;

    const std::string& GetLastError() const { return m_lastError; }

private:
    std::vector<std::string> m_headers;
    std::vector<bool> m_shown;
    std::vector<Row> m_rows;
    int m_phoneColumn = -1;
    bool m_demo = false;
    std::string m_lastError;
};

} // namespace telvora
