#include "contacts/SpreadsheetReader.h"

#include "db/DateTime.h"
#include "session/TextUtil.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <freexl.h>
#include <fstream>
#include <iconv.h>
#include <ixion/cell_access.hpp>
#include <ixion/model_context.hpp>
#include <map>
#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <orcus/spreadsheet/sheet.hpp>
#include <orcus/spreadsheet/styles.hpp>
#include <set>
#include <system_error>
#include <utility>

namespace telvora {

namespace ss = orcus::spreadsheet;
using Sheet = CSpreadsheetReader::Sheet;

namespace {

constexpr std::string_view kWhitespace = " \t\r\n\f\v";

std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kWhitespace);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kWhitespace);
    std::string out(text.substr(first, last - first + 1));
    // A full-width blank is the one non-ASCII space that turns up around pasted numbers.
    static constexpr std::string_view ideographicSpace = "\xE3\x80\x80";
    while (out.starts_with(ideographicSpace)) {
        out.erase(0, ideographicSpace.size());
    }
    while (out.ends_with(ideographicSpace)) {
        out.erase(out.size() - ideographicSpace.size());
    }
    return out;
}

void putCell(Sheet& sheet, std::size_t row, std::size_t column, std::string text)
{
    if (text.empty()) {
        return;
    }
    if (sheet.rows.size() <= row) {
        sheet.rows.resize(row + 1);
    }
    auto& cells = sheet.rows[row];
    if (cells.size() <= column) {
        cells.resize(column + 1);
    }
    cells[column] = std::move(text);
    sheet.columns = std::max(sheet.columns, column + 1);
}

enum class NumberKind { Plain, Date, Time };

// Serial day number (days since the workbook's origin, fraction = time of day) as text.
std::string formatSerial(double serial, const DateTime& origin, NumberKind kind)
{
    const DateTime moment = DateTime::fromSerial(serial, origin);
    if (!moment.valid) {
        return FormatSpreadsheetNumber(serial);
    }
    if (kind == NumberKind::Time) {
        return moment.format("%H:%M:%S");
    }
    const bool timeOfDay = moment.hour != 0 || moment.minute != 0 || moment.second != 0;
    return moment.format(timeOfDay ? "%Y-%m-%d %H:%M:%S" : "%Y-%m-%d");
}

// Whether a number format code shows a date or a time: any y, d, h or s outside quotes,
// brackets ("[Red]", "[$-804]") and escaped characters.
NumberKind kindOfFormatCode(std::string_view code)
{
    bool date = false;
    bool time = false;
    bool quoted = false;
    bool bracket = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (quoted) {
            quoted = c != '"';
            continue;
        }
        if (bracket) {
            // Elapsed-time fields such as "[h]" are times.
            if (c == 'h' || c == 'H' || c == 's' || c == 'S') {
                time = true;
            }
            bracket = c != ']';
            continue;
        }
        switch (c) {
        case '"':
            quoted = true;
            break;
        case '[':
            bracket = true;
            break;
        case '\\':
        case '_':
        case '*':
            ++i;
            break;
        case 'y':
        case 'Y':
        case 'd':
        case 'D':
        case 'e':
            date = true;
            break;
        case 'h':
        case 'H':
        case 's':
        case 'S':
            time = true;
            break;
        case 'g':
        case 'G':
            // "General" holds no date letters that matter.
            if (code.substr(i).starts_with("General") || code.substr(i).starts_with("general")) {
                i += 6;
            }
            break;
        default:
            break;
        }
    }
    if (date) {
        return NumberKind::Date;
    }
    return time ? NumberKind::Time : NumberKind::Plain;
}

// The number formats Excel builds in; 27-36 and 50-58 are the Chinese locale's dates.
NumberKind kindOfBuiltinFormat(std::size_t id)
{
    if ((id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 31) || id == 36 || (id >= 50 && id <= 58)) {
        return NumberKind::Date;
    }
    if ((id >= 18 && id <= 21) || (id >= 32 && id <= 35) || (id >= 45 && id <= 47)) {
        return NumberKind::Time;
    }
    return NumberKind::Plain;
}

// ODS marks date cells by their value type only; orcus turns them into serial numbers.
// This sheet passes everything on to the document's own sheet and notes where dates went.
class DateTrackingSheet final : public ss::iface::import_sheet
{
public:
    explicit DateTrackingSheet(ss::iface::import_sheet* inner)
        : m_inner(inner)
    { }

    ss::iface::import_sheet_view* get_sheet_view() override { return m_inner->get_sheet_view(); }
    ss::iface::import_sheet_properties* get_sheet_properties() override { return m_inner->get_sheet_properties(); }
    ss::iface::import_data_table* get_data_table() override { return m_inner->get_data_table(); }
    ss::iface::import_auto_filter* get_auto_filter() override { return m_inner->get_auto_filter(); }
    ss::iface::import_table* get_table() override { return m_inner->get_table(); }
    ss::iface::import_conditional_format* get_conditional_format() override
    {
        return m_inner->get_conditional_format();
    }
    ss::iface::import_named_expression* get_named_expression() override { return m_inner->get_named_expression(); }
    ss::iface::import_array_formula* get_array_formula() override { return m_inner->get_array_formula(); }
    ss::iface::import_formula* get_formula() override { return m_inner->get_formula(); }

    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override { m_inner->set_auto(row, col, s); }
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t id) override { m_inner->set_string(row, col, id); }
    void set_value(ss::row_t row, ss::col_t col, double value) override { m_inner->set_value(row, col, value); }
    void set_bool(ss::row_t row, ss::col_t col, bool value) override { m_inner->set_bool(row, col, value); }
    void set_date_time(
        ss::row_t row, ss::col_t col, int year, int month, int day, int hour, int minute, double second) override
    {
        m_dates.insert({row, col});
        m_inner->set_date_time(row, col, year, month, day, hour, minute, second);
    }
    void set_format(ss::row_t row, ss::col_t col, std::size_t xf) override { m_inner->set_format(row, col, xf); }
    void set_format(ss::row_t rowStart, ss::col_t colStart, ss::row_t rowEnd, ss::col_t colEnd, std::size_t xf) override
    {
        m_inner->set_format(rowStart, colStart, rowEnd, colEnd, xf);
    }
    void fill_down_cells(ss::row_t row, ss::col_t col, ss::row_t size) override
    {
        m_inner->fill_down_cells(row, col, size);
    }
    ss::range_size_t get_sheet_size() const override { return m_inner->get_sheet_size(); }

    bool isDate(ss::row_t row, ss::col_t col) const { return m_dates.contains({row, col}); }

private:
    ss::iface::import_sheet* m_inner;
    std::set<std::pair<ss::row_t, ss::col_t>> m_dates;
};

class DateTrackingFactory final : public ss::import_factory
{
public:
    explicit DateTrackingFactory(ss::document& document)
        : ss::import_factory(document)
    { }

    ss::iface::import_sheet* append_sheet(ss::sheet_t index, std::string_view name) override
    {
        return wrap(ss::import_factory::append_sheet(index, name));
    }
    ss::iface::import_sheet* get_sheet(std::string_view name) override
    {
        return wrap(ss::import_factory::get_sheet(name));
    }
    ss::iface::import_sheet* get_sheet(ss::sheet_t index) override
    {
        return wrap(ss::import_factory::get_sheet(index));
    }

    const DateTrackingSheet* tracked(std::size_t index) const
    {
        return index < m_order.size() ? m_order[index] : nullptr;
    }

private:
    ss::iface::import_sheet* wrap(ss::iface::import_sheet* inner)
    {
        if (!inner) {
            return nullptr;
        }
        auto found = m_sheets.find(inner);
        if (found == m_sheets.end()) {
            found = m_sheets.emplace(inner, std::make_unique<DateTrackingSheet>(inner)).first;
            m_order.push_back(found->second.get());
        }
        return found->second.get();
    }

    std::map<ss::iface::import_sheet*, std::unique_ptr<DateTrackingSheet>> m_sheets;
    std::vector<const DateTrackingSheet*> m_order; // in the order the sheets were appended
};

bool readOrcusWorkbook(const std::string& path, bool ods, std::vector<Sheet>& sheets)
{
    ss::document document({1048576, 16384});
    DateTrackingFactory factory(document);
    if (ods) {
        orcus::orcus_ods filter(&factory);
        filter.read_file(path);
    } else {
        orcus::orcus_xlsx filter(&factory);
        filter.read_file(path);
    }

    const ss::styles& styles = document.get_styles();
    // Cell formats name their number format by identifier, not by position in the store.
    std::map<std::size_t, NumberKind> customFormats;
    for (std::size_t i = 0; i < styles.get_number_format_count(); ++i) {
        if (const ss::number_format_t* format = styles.get_number_format(i)) {
            customFormats[format->identifier] = kindOfFormatCode(format->format_string);
        }
    }
    const auto kindOfCell = [&](const ss::sheet& sheet, ss::row_t row, ss::col_t col) {
        const ss::cell_format_t* format = styles.get_cell_format(sheet.get_cell_format(row, col));
        if (!format) {
            return NumberKind::Plain;
        }
        const auto custom = customFormats.find(format->number_format);
        return custom != customFormats.end() ? custom->second : kindOfBuiltinFormat(format->number_format);
    };
    const orcus::date_time_t origin = document.get_origin_date();
    const DateTime originDay = DateTime::fromFields(origin.year, origin.month, origin.day);

    const ixion::model_context& model = document.get_model_context();
    for (std::size_t index = 0; index < document.get_sheet_count(); ++index) {
        const auto sheetIndex = static_cast<ss::sheet_t>(index);
        Sheet out;
        out.name = std::string(document.get_sheet_name(sheetIndex));
        const ss::sheet* sheet = document.get_sheet(sheetIndex);
        const DateTrackingSheet* tracked = factory.tracked(index);
        const ixion::abs_range_t range = sheet ? sheet->get_data_range() : ixion::abs_range_t();
        if (range.valid()) {
            for (ss::row_t row = 0; row <= range.last.row; ++row) {
                for (ss::col_t col = 0; col <= range.last.column; ++col) {
                    const ixion::cell_access cell = model.get_cell_access({sheetIndex, row, col});
                    std::string text;
                    switch (cell.get_value_type()) {
                    case ixion::cell_value_t::string:
                        text = trimmed(cell.get_string_value());
                        break;
                    case ixion::cell_value_t::numeric: {
                        const double value = cell.get_numeric_value();
                        NumberKind kind = kindOfCell(*sheet, row, col);
                        if (tracked && tracked->isDate(row, col)) {
                            kind = NumberKind::Date;
                        }
                        text = kind == NumberKind::Plain ? FormatSpreadsheetNumber(value)
                                                         : formatSerial(value, originDay, kind);
                        break;
                    }
                    case ixion::cell_value_t::boolean:
                        text = cell.get_boolean_value() ? "TRUE" : "FALSE";
                        break;
                    default:
                        break;
                    }
                    putCell(out, static_cast<std::size_t>(row), static_cast<std::size_t>(col), std::move(text));
                }
            }
        }
        sheets.push_back(std::move(out));
    }
    return true;
}

// One guess at the kind of a zip workbook; the import filters throw on damaged archives,
// malformed XML and on a zip of the other kind alike.
bool readZipWorkbook(const std::string& path, bool ods, std::vector<Sheet>& sheets)
{
    try {
        if (readOrcusWorkbook(path, ods, sheets) && !sheets.empty()) {
            return true;
        }
    } catch (...) { }
    sheets.clear();
    return false;
}

struct FreeXlHandle
{
    const void* handle = nullptr;
    ~FreeXlHandle()
    {
        if (handle) {
            freexl_close(handle);
        }
    }
};

bool readXlsWorkbook(const std::string& path, std::vector<Sheet>& sheets)
{
    FreeXlHandle xls;
    if (freexl_open(path.c_str(), &xls.handle) != FREEXL_OK) {
        return false;
    }
    unsigned int count = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) {
        return false;
    }
    for (unsigned short index = 0; index < count; ++index) {
        Sheet out;
        const char* name = nullptr;
        if (freexl_get_worksheet_name(xls.handle, index, &name) == FREEXL_OK && name) {
            out.name = name;
        }
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_select_active_worksheet(xls.handle, index) != FREEXL_OK
            || freexl_worksheet_dimensions(xls.handle, &rows, &columns) != FREEXL_OK) {
            return false;
        }
        for (unsigned int row = 0; row < rows; ++row) {
            for (unsigned short col = 0; col < columns; ++col) {
                FreeXL_CellValue cell {};
                if (freexl_get_cell_value(xls.handle, row, col, &cell) != FREEXL_OK) {
                    continue;
                }
                std::string text;
                switch (cell.type) {
                case FREEXL_CELL_INT:
                    text = std::to_string(cell.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    text = FormatSpreadsheetNumber(cell.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_TIME:
                    text = cell.value.text_value ? trimmed(cell.value.text_value) : std::string();
                    break;
                case FREEXL_CELL_DATETIME: {
                    text = cell.value.text_value ? trimmed(cell.value.text_value) : std::string();
                    if (text.ends_with(" 00:00:00")) {
                        text.resize(text.size() - 9);
                    }
                    break;
                }
                default:
                    break;
                }
                putCell(out, row, col, std::move(text));
            }
        }
        sheets.push_back(std::move(out));
    }
    return true;
}

bool isValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = 3;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2;
        } else if (lead >= 0x80) {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// GBK to UTF-8; a byte GBK does not know becomes U+FFFD.
std::string gbkToUtf8(std::string_view text)
{
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size() * 3 / 2);
    char buffer[4096];
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char* to = buffer;
        std::size_t toLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &in, &inLeft, &to, &toLeft);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

char csvDelimiter(std::string_view text)
{
    const std::string_view firstLine = text.substr(0, text.find('\n'));
    char best = ',';
    std::size_t bestCount = 0;
    for (const char candidate : {',', ';', '\t'}) {
        const auto count = static_cast<std::size_t>(std::count(firstLine.begin(), firstLine.end(), candidate));
        if (count > bestCount) {
            best = candidate;
            bestCount = count;
        }
    }
    return best;
}

void parseCsv(std::string_view text, Sheet& sheet)
{
    const char delimiter = csvDelimiter(text);
    std::size_t row = 0;
    std::size_t col = 0;
    std::string cell;
    bool quoted = false;
    bool rowHasContent = false;
    const auto endCell = [&]() {
        putCell(sheet, row, col, trimmed(cell));
        cell.clear();
        ++col;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    cell += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            rowHasContent = true;
        } else if (c == delimiter) {
            endCell();
            rowHasContent = true;
        } else if (c == '\n') {
            endCell();
            ++row;
            col = 0;
            rowHasContent = false;
        } else if (c != '\r') {
            cell += c;
            rowHasContent = true;
        }
    }
    if (rowHasContent || !cell.empty()) {
        endCell();
    }
}

bool readCsv(const std::string& path, std::string_view bytes, std::vector<Sheet>& sheets)
{
    if (bytes.find('\0') != std::string_view::npos) {
        return false;
    }
    std::string text;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    text = isValidUtf8(bytes) ? std::string(bytes) : gbkToUtf8(bytes);
    Sheet sheet;
    sheet.name = std::filesystem::path(path).stem().string();
    parseCsv(text, sheet);
    sheets.push_back(std::move(sheet));
    return true;
}

const std::string& emptyText()
{
    static const std::string empty;
    return empty;
}

} // namespace

int SpreadsheetColumnIndex(std::string_view letters)
{
    if (letters.empty() || letters.size() > 3) {
        return -1;
    }
    int index = 0;
    for (const char c : letters) {
        int digit = 0;
        if (c >= 'A' && c <= 'Z') {
            digit = c - 'A' + 1;
        } else if (c >= 'a' && c <= 'z') {
            digit = c - 'a' + 1;
        } else {
            return -1;
        }
        index = index * 26 + digit;
    }
    return index - 1;
}

std::string FormatSpreadsheetNumber(double value)
{
    if (!std::isfinite(value)) {
        return {};
    }
    char text[64];
    if (std::fabs(value) < 1e15 && value == std::floor(value)) {
        std::snprintf(text, sizeof text, "%.0f", value);
    } else {
        // The shortest of the precise forms that reads back as the same value.
        for (int precision = 15; precision <= 17; ++precision) {
            std::snprintf(text, sizeof text, "%.*g", precision, value);
            if (std::strtod(text, nullptr) == value) {
                break;
            }
        }
    }
    std::string result = text;
    return result == "-0" ? "0" : result;
}

CSpreadsheetReader::CSpreadsheetReader() = default;
CSpreadsheetReader::~CSpreadsheetReader() = default;

bool CSpreadsheetReader::fail(std::string text)
{
    m_lastError = std::move(text);
    m_sheets.clear();
    m_sheetNames.clear();
    m_open = false;
    return false;
}

bool CSpreadsheetReader::Open(const std::string& path)
{
    Close();
    m_lastError.clear();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return fail("文件[" + path + "]不存在!");
    }
    const auto size = std::filesystem::file_size(path, error);
    if (error || size == 0) {
        return fail("文件[" + path + "]是空文件!");
    }
    std::ifstream file(path, std::ios::binary);
    char headBytes[8] = {};
    file.read(headBytes, sizeof headBytes);
    if (!file && file.gcount() <= 0) {
        return fail("读取文件[" + path + "]失败!");
    }
    const std::string_view head(headBytes, static_cast<std::size_t>(file.gcount()));

    static constexpr std::string_view zipMagic = "PK\x03\x04";
    static constexpr std::string_view ole2Magic = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    const std::string extension = LowerExtension(path);
    std::vector<Sheet> sheets;
    bool ok = false;
    try {
        if (head.starts_with(zipMagic)) {
            // A workbook zip says what it is inside; try the extension's guess first.
            const bool odsFirst = extension == ".ods";
            ok = readZipWorkbook(path, odsFirst, sheets) || readZipWorkbook(path, !odsFirst, sheets);
        } else if (head.size() == ole2Magic.size() && head == ole2Magic) {
            ok = readXlsWorkbook(path, sheets);
        } else if (extension == ".csv") {
            std::string bytes(size, '\0');
            file.clear();
            file.seekg(0);
            file.read(bytes.data(), static_cast<std::streamsize>(size));
            ok = file.gcount() == static_cast<std::streamsize>(size) && readCsv(path, bytes, sheets);
        }
    } catch (...) {
        // The import filters throw on damaged archives and malformed XML alike.
        ok = false;
    }
    if (!ok || sheets.empty()) {
        return fail("文件[" + path + "]不是有效的表格文件或已损坏!");
    }
    m_sheets = std::move(sheets);
    for (const Sheet& sheet : m_sheets) {
        m_sheetNames.push_back(sheet.name);
    }
    m_current = 0;
    m_open = true;
    return true;
}

void CSpreadsheetReader::Close()
{
    m_sheets.clear();
    m_sheetNames.clear();
    m_current = 0;
    m_open = false;
}

bool CSpreadsheetReader::IsOpen() const
{
    return m_open;
}

const std::vector<std::string>& CSpreadsheetReader::GetSheetNames() const
{
    return m_sheetNames;
}

bool CSpreadsheetReader::SelectSheet(std::size_t index)
{
    if (index >= m_sheets.size()) {
        return false;
    }
    m_current = index;
    return true;
}

bool CSpreadsheetReader::SelectSheet(std::string_view name)
{
    const auto found = std::find(m_sheetNames.begin(), m_sheetNames.end(), name);
    return found != m_sheetNames.end() && SelectSheet(static_cast<std::size_t>(found - m_sheetNames.begin()));
}

std::size_t CSpreadsheetReader::GetCurrentSheet() const
{
    return m_current;
}

std::size_t CSpreadsheetReader::GetRowCount() const
{
    return m_open ? m_sheets[m_current].rows.size() : 0;
}

std::size_t CSpreadsheetReader::GetColumnCount() const
{
    return m_open ? m_sheets[m_current].columns : 0;
}

std::vector<std::string> CSpreadsheetReader::GetHeader() const
{
    return GetRowCount() > 0 ? GetRow(0) : std::vector<std::string>();
}

int CSpreadsheetReader::GetColumnOfHeader(std::string_view caption) const
{
    if (GetRowCount() == 0) {
        return -1;
    }
    const std::string wanted = trimmed(caption);
    const auto& header = m_sheets[m_current].rows[0];
    for (std::size_t col = 0; col < header.size(); ++col) {
        if (header[col] == wanted) {
            return static_cast<int>(col);
        }
    }
    return -1;
}

std::vector<std::string> CSpreadsheetReader::GetRow(std::size_t row) const
{
    if (row >= GetRowCount()) {
        return {};
    }
    std::vector<std::string> cells = m_sheets[m_current].rows[row];
    cells.resize(GetColumnCount());
    return cells;
}

const std::string& CSpreadsheetReader::GetCell(std::size_t row, std::size_t column) const
{
    if (row >= GetRowCount()) {
        return emptyText();
    }
    const auto& cells = m_sheets[m_current].rows[row];
    return column < cells.size() ? cells[column] : emptyText();
}

} // namespace telvora
