#include "app/IniFile.h"

#include "app/AtomicWrite.h"

#include <optional>
#include <utility>
#include <vector>

namespace telvora {

namespace {

std::string_view trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool hasEnclosingQuotes(std::string_view value)
{
    return value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\'');
}

// One line of the file as parsed; the original text is kept so a write changes only the
// line it must.
struct Line
{
    enum Kind { Other, Section, Entry };
    Kind kind = Other;
    std::string_view name; // section or key name, trimmed
    std::string_view value; // entry value, trimmed
};

Line parseLine(std::string_view text)
{
    Line line;
    const std::string_view trimmed = trim(text);
    if (trimmed.empty() || trimmed.front() == ';') {
        return line;
    }
    if (trimmed.front() == '[') {
        const std::size_t close = trimmed.find(']');
        line.kind = Line::Section;
        line.name = trim(trimmed.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        return line;
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return line;
    }
    line.name = trim(trimmed.substr(0, equals));
    if (line.name.empty()) {
        return line;
    }
    line.kind = Line::Entry;
    line.value = trim(trimmed.substr(equals + 1));
    return line;
}

std::vector<std::string_view> splitLines(std::string_view content)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) {
            lines.push_back(content.substr(start));
            break;
        }
        lines.push_back(content.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string_view withoutBom(std::string_view content)
{
    if (content.substr(0, 3) == "\xEF\xBB\xBF") {
        content.remove_prefix(3);
    }
    return content;
}

// Where a key of a section stands: the index of its line, or where a new one goes.
struct Location
{
    std::optional<std::size_t> sectionLine;
    std::optional<std::size_t> keyLine;
    std::size_t insertAt = 0; // after the last non-blank line of the section
};

Location locate(const std::vector<std::string_view>& lines, std::string_view section, std::string_view key)
{
    Location where;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line line = parseLine(lines[i]);
        if (line.kind == Line::Section) {
            if (inSection) {
                break; // only the first section of that name counts
            }
            inSection = equalNoCase(line.name, section);
            if (inSection) {
                where.sectionLine = i;
                where.insertAt = i + 1;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!trim(lines[i]).empty()) {
            where.insertAt = i + 1;
        }
        if (line.kind == Line::Entry && equalNoCase(line.name, key)) {
            where.keyLine = i;
            return where;
        }
    }
    return where;
}

// A cut inside a multi-byte character would hand on a broken character.
std::string truncateValue(std::string_view value)
{
    if (value.size() <= CIniFile::kMaxValueBytes) {
        return std::string(value);
    }
    std::size_t cut = CIniFile::kMaxValueBytes;
    for (int back = 0; back < 3 && cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80; ++back) {
        --cut;
    }
    return std::string(value.substr(0, cut));
}

// Built in place: "[" + std::string&& trips a false -Wrestrict in GCC 12 at -O3.
std::string enclose(char open, std::string_view text, char close)
{
    std::string result;
    result.reserve(text.size() + 2);
    result += open;
    result.append(text);
    result += close;
    return result;
}

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

CIniFile::CIniFile(std::string path)
    : m_path(std::move(path))
{ }

std::string CIniFile::GetString(
    const std::string& section, const std::string& key, const std::string& defaultValue) const
{
    std::string content;
    if (!ReadWholeFile(m_path, content)) {
        return defaultValue;
    }
    const std::vector<std::string_view> lines = splitLines(withoutBom(content));
    const Location where = locate(lines, trim(section), trim(key));
    if (!where.keyLine) {
        return defaultValue;
    }
    std::string_view value = parseLine(lines[*where.keyLine]).value;
    if (hasEnclosingQuotes(value)) {
        value = value.substr(1, value.size() - 2);
    }
    return truncateValue(value);
}

bool CIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    const std::string_view sectionName = trim(section);
    const std::string_view keyName = trim(key);
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value) || sectionName.empty() || keyName.empty()
        || keyName.find('=') != std::string_view::npos || sectionName.find(']') != std::string_view::npos) {
        m_lastError = "无效的配置项: [" + section + "] " + key;
        return false;
    }

    std::string content;
    ReadWholeFile(m_path, content); // a missing file is an empty one
    const bool crlf = content.find("\r\n") != std::string::npos;

    // Blanks at either end or a pair of enclosing quotes would be lost on reading back;
    // one more pair of quotes keeps them.
    std::string stored = value;
    if (!value.empty() && (trim(value).size() != value.size() || hasEnclosingQuotes(value))) {
        stored = enclose('"', value, '"');
    }

    const std::string_view body = withoutBom(content);
    const std::string bom = content.substr(0, content.size() - body.size());
    std::vector<std::string_view> lines = splitLines(body);
    const Location where = locate(lines, sectionName, keyName);

    std::string entry;
    std::string header;
    if (where.keyLine) {
        // Keep the key as the file spells it.
        entry = std::string(parseLine(lines[*where.keyLine]).name) + "=" + stored;
        if (crlf) {
            entry += "\r";
        }
    } else {
        entry = std::string(keyName) + "=" + stored + (crlf ? "\r" : "");
        if (!where.sectionLine) {
            header = enclose('[', sectionName, ']') + (crlf ? "\r" : "");
        }
    }

    std::string result = bom;
    const auto append = [&](std::string_view line) {
        result.append(line);
        result += '\n';
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (where.keyLine && i == *where.keyLine) {
            append(entry);
            continue;
        }
        if (!where.keyLine && where.sectionLine && i == where.insertAt) {
            append(entry);
        }
        append(lines[i]);
    }
    if (!where.keyLine) {
        if (where.sectionLine) {
            if (where.insertAt >= lines.size()) {
                append(entry);
            }
        } else {
            append(header);
            append(entry);
        }
    }
    return WriteFileAtomically(m_path, result, m_lastError);
}

} // namespace telvora
