#include "db/JetDialect.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <vector>

namespace telvora {

namespace {

char lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool isWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || (static_cast<unsigned char>(c) & 0x80) != 0;
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string twoDigits(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

const char* const kMonthNames[] = {"January", "February", "March", "April", "May", "June", "July", "August",
    "September", "October", "November", "December"};
const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string valueText(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_value_bytes(value))) : std::string();
}

void resultText(sqlite3_context* context, const std::string& text)
{
    sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// A date argument: text in any accepted date form; NULL and other texts give the null date.
DateTime dateArgument(sqlite3_value* value)
{
    if (sqlite3_value_type(value) != SQLITE_TEXT) {
        return {};
    }
    return DateTime::parse(valueText(value));
}

void notADate(sqlite3_context* context, const char* function, sqlite3_value* value)
{
    std::string message = std::string(function) + ": not a date: ";
    if (sqlite3_value_type(value) == SQLITE_TEXT)
        message.append("'").append(valueText(value)).append("'");
    else
        message.append(valueText(value));
    sqlite3_result_error(context, message.c_str(), -1);
}

// CDATE: text to the stored form. A number is a Jet day count (days since 1899-12-30, the
// fraction the time of day). Anything else is an error, as Jet reports a type mismatch.
void cdateFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const DateTime date = type == SQLITE_INTEGER || type == SQLITE_FLOAT
        ? DateTime::fromSerial(sqlite3_value_double(argv[0]), DateTime::fromFields(1899, 12, 30))
        : dateArgument(argv[0]);
    if (!date.valid) {
        notADate(context, "CDATE", argv[0]);
        return;
    }
    resultText(context, date.toString());
}

// What the date columns' triggers store: NULL stays NULL, a date text becomes the stored
// form, and anything else (a number, an empty or impossible date) fails the statement,
// so no value the program cannot read as a date ever gets into a date column.
void normdateFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        const std::string_view text(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_value_bytes(argv[0])));
        const DateTime date = DateTime::parse(text);
        // Already in the stored form (the common case): the trigger's WHEN sees an equal
        // value and writes nothing.
        if (date.valid && DateTime::hasStoredForm(text)) {
            sqlite3_result_value(context, argv[0]);
            return;
        }
        if (date.valid) {
            resultText(context, date.toString());
            return;
        }
    }
    notADate(context, "date column", argv[0]);
}

// IsDate: 1 when the value is a text the date reader accepts.
void isdateFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    sqlite3_result_int(context, dateArgument(argv[0]).valid ? 1 : 0);
}

// What the yes/no columns' triggers store: 1 or 0 only. NULL is no (a yes/no column has
// no third state); any non-zero number, also as text, is yes; so are the words the Jet
// engine takes for them. Other texts fail the statement.
void yesnoFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_int(context, 0);
        return;
    case SQLITE_INTEGER:
        sqlite3_result_int(context, sqlite3_value_int64(argv[0]) != 0 ? 1 : 0);
        return;
    case SQLITE_FLOAT:
        sqlite3_result_int(context, sqlite3_value_double(argv[0]) != 0.0 ? 1 : 0);
        return;
    default:
        break;
    }
    std::string text = valueText(argv[0]);
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    for (const auto* word : {"true", "yes", "on"}) {
        if (equalsNoCase(text, word)) {
            sqlite3_result_int(context, 1);
            return;
        }
    }
    for (const auto* word : {"false", "no", "off"}) {
        if (equalsNoCase(text, word)) {
            sqlite3_result_int(context, 0);
            return;
        }
    }
    char* end = nullptr;
    const double number = text.empty() ? 0.0 : std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(number)) {
        const std::string message = "yes/no column: not a yes/no value: '" + valueText(argv[0]) + "'";
        sqlite3_result_error(context, message.c_str(), -1);
        return;
    }
    sqlite3_result_int(context, number != 0.0 ? 1 : 0);
}

void nowFunction(sqlite3_context* context, int, sqlite3_value**)
{
    resultText(context, DateTime::now().toString());
}

void formatFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const DateTime date = dateArgument(argv[0]);
    if (!date.valid || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        // Jet formats a value that is no date as its plain text.
        resultText(context, valueText(argv[0]));
        return;
    }
    resultText(context, FormatJetDate(date, valueText(argv[1])));
}

template <int DateTime::*Field> void fieldFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    const DateTime date = dateArgument(argv[0]);
    if (!date.valid) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_int(context, date.*Field);
}

void switchFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (argc % 2 != 0 || argc == 0) {
        sqlite3_result_error(context, "SWITCH needs condition and value pairs", -1);
        return;
    }
    for (int i = 0; i < argc; i += 2) {
        if (sqlite3_value_type(argv[i]) != SQLITE_NULL && sqlite3_value_double(argv[i]) != 0.0) {
            sqlite3_result_value(context, argv[i + 1]);
            return;
        }
    }
    sqlite3_result_null(context);
}

struct FunctionEntry
{
    const char* name;
    int argc;
    bool deterministic;
    void (*function)(sqlite3_context*, int, sqlite3_value**);
};

const FunctionEntry kFunctions[] = {
    {"CDATE", 1, true, cdateFunction},
    {"NORMDATE", 1, true, normdateFunction},
    {"ISDATE", 1, true, isdateFunction},
    {"YESNO", 1, true, yesnoFunction},
    {"NOW", 0, false, nowFunction},
    {"FORMAT", 2, true, formatFunction},
    {"YEAR", 1, true, fieldFunction<&DateTime::year>},
    {"MONTH", 1, true, fieldFunction<&DateTime::month>},
    {"DAY", 1, true, fieldFunction<&DateTime::day>},
    {"HOUR", 1, true, fieldFunction<&DateTime::hour>},
    {"MINUTE", 1, true, fieldFunction<&DateTime::minute>},
    {"SECOND", 1, true, fieldFunction<&DateTime::second>},
    {"SWITCH", -1, true, switchFunction},
};

// Skips blanks and comments from pos; returns the new position.
std::size_t skipBlanks(std::string_view sql, std::size_t pos)
{
    while (pos < sql.size()) {
        if (std::isspace(static_cast<unsigned char>(sql[pos]))) {
            ++pos;
        } else if (sql.substr(pos, 2) == "--") {
            while (pos < sql.size() && sql[pos] != '\n') {
                ++pos;
            }
        } else if (sql.substr(pos, 2) == "/*") {
            const std::size_t end = sql.find("*/", pos + 2);
            pos = end == std::string_view::npos ? sql.size() : end + 2;
        } else {
            break;
        }
    }
    return pos;
}

std::string_view wordAt(std::string_view sql, std::size_t pos)
{
    std::size_t end = pos;
    while (end < sql.size() && isWordChar(sql[end])) {
        ++end;
    }
    return sql.substr(pos, end - pos);
}

} // namespace

bool RegisterJetFunctions(sqlite3* db)
{
    for (const FunctionEntry& entry : kFunctions) {
        const int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS | (entry.deterministic ? SQLITE_DETERMINISTIC : 0);
        if (sqlite3_create_function_v2(
                db, entry.name, entry.argc, flags, nullptr, entry.function, nullptr, nullptr, nullptr)
            != SQLITE_OK) {
            return false;
        }
    }
    return true;
}

std::string FormatJetDate(const DateTime& value, std::string_view pattern)
{
    if (!value.valid) {
        return {};
    }
    std::string out;
    bool afterHour = false; // an m-run here means minutes
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = lower(pattern[i]);
        if (pattern[i] == '\\') {
            if (i + 1 < pattern.size()) {
                out += pattern[i + 1];
            }
            i += 2;
            continue;
        }
        if (pattern[i] == '"') {
            const std::size_t end = pattern.find('"', i + 1);
            const std::size_t stop = end == std::string_view::npos ? pattern.size() : end;
            out.append(pattern.substr(i + 1, stop - i - 1));
            i = stop + 1;
            continue;
        }
        if (c != 'y' && c != 'm' && c != 'd' && c != 'h' && c != 'n' && c != 's' && c != 'w' && c != 'q') {
            out += pattern[i];
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && lower(pattern[i + run]) == c) {
            ++run;
        }
        i += run;
        bool hourToken = false;
        switch (c) {
        case 'y':
            while (run >= 4) {
                char buffer[16];
                std::snprintf(buffer, sizeof buffer, "%04d", value.year);
                out += buffer;
                run -= 4;
            }
            if (run >= 2) {
                out += twoDigits(value.year % 100);
                run -= 2;
            }
            if (run == 1) {
                out += std::to_string(value.dayOfYear());
            }
            break;
        case 'm':
            if (afterHour && run <= 2) {
                out += run == 1 ? std::to_string(value.minute) : twoDigits(value.minute);
            } else if (run == 1) {
                out += std::to_string(value.month);
            } else if (run == 2) {
                out += twoDigits(value.month);
            } else if (run == 3) {
                out += std::string(kMonthNames[value.month - 1], 3);
            } else {
                out += kMonthNames[value.month - 1];
            }
            break;
        case 'd':
            if (run == 1) {
                out += std::to_string(value.day);
            } else if (run == 2) {
                out += twoDigits(value.day);
            } else if (run == 3) {
                out += std::string(kDayNames[value.dayOfWeek()], 3);
            } else if (run == 4) {
                out += kDayNames[value.dayOfWeek()];
            } else {
                out += FormatJetDate(value, "yyyy-mm-dd");
            }
            break;
        case 'h':
            out += run == 1 ? std::to_string(value.hour) : twoDigits(value.hour);
            hourToken = true;
            break;
        case 'n':
            out += run == 1 ? std::to_string(value.minute) : twoDigits(value.minute);
            break;
        case 's':
            out += run == 1 ? std::to_string(value.second) : twoDigits(value.second);
            break;
        case 'w':
            if (run == 1) {
                out += std::to_string(value.dayOfWeek() + 1);
            } else {
                const int firstWeekday = DateTime::fromFields(value.year, 1, 1).dayOfWeek();
                out += std::to_string((value.dayOfYear() - 1 + firstWeekday) / 7 + 1);
            }
            break;
        case 'q':
            out += std::to_string((value.month - 1) / 3 + 1);
            break;
        default:
            break;
        }
        afterHour = hourToken;
    }
    return out;
}

std::string RewriteJetSql(std::string_view sql)
{
    // Nothing to do for the many statements without the word.
    bool mayHaveTop = false;
    for (std::size_t i = 0; i + 3 <= sql.size() && !mayHaveTop; ++i) {
        mayHaveTop = equalsNoCase(sql.substr(i, 3), "top");
    }
    if (!mayHaveTop) {
        return std::string(sql);
    }

    std::string out;
    out.reserve(sql.size() + 16);
    std::vector<std::string> pendingLimits(1); // one per parenthesis level
    std::size_t lastCodeEnd = 0; // in out, just after the last significant character
    auto flushLimit = [&]() {
        std::string& limit = pendingLimits.back();
        if (!limit.empty()) {
            out.insert(lastCodeEnd, " LIMIT " + limit);
            lastCodeEnd += 7 + limit.size();
            limit.clear();
        }
    };

    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : c;
            std::size_t end = i + 1;
            while (end < sql.size()) {
                if (sql[end] == close) {
                    // A doubled quote inside a quoted text is one quote character.
                    if (close != ']' && end + 1 < sql.size() && sql[end + 1] == close) {
                        end += 2;
                        continue;
                    }
                    break;
                }
                ++end;
            }
            end = end < sql.size() ? end + 1 : end;
            out.append(sql.substr(i, end - i));
            lastCodeEnd = out.size();
            i = end;
            continue;
        }
        if (sql.substr(i, 2) == "--" || sql.substr(i, 2) == "/*" || std::isspace(static_cast<unsigned char>(c))) {
            const std::size_t end = std::max(skipBlanks(sql, i), i + 1);
            out.append(sql.substr(i, end - i));
            i = end;
            continue;
        }
        if (c == '(') {
            pendingLimits.emplace_back();
        } else if (c == ')') {
            if (pendingLimits.size() > 1) {
                flushLimit();
                pendingLimits.pop_back();
            }
        } else if (c == ';') {
            flushLimit();
        }
        if (isWordChar(c)) {
            const std::string_view word = wordAt(sql, i);
            out.append(word);
            lastCodeEnd = out.size();
            i += word.size();
            if (!equalsNoCase(word, "select")) {
                continue;
            }
            std::size_t pos = skipBlanks(sql, i);
            std::string_view next = wordAt(sql, pos);
            if (equalsNoCase(next, "distinct") || equalsNoCase(next, "all")) {
                pos = skipBlanks(sql, pos + next.size());
                next = wordAt(sql, pos);
            }
            if (!equalsNoCase(next, "top")) {
                continue;
            }
            const std::size_t numberStart = skipBlanks(sql, pos + next.size());
            const std::string_view number = wordAt(sql, numberStart);
            bool digits = !number.empty();
            for (const char d : number) {
                digits = digits && std::isdigit(static_cast<unsigned char>(d));
            }
            if (!digits || equalsNoCase(wordAt(sql, skipBlanks(sql, numberStart + number.size())), "percent")) {
                continue;
            }
            // Copy what lies between SELECT and TOP (DISTINCT and blanks), drop "TOP n".
            out.append(sql.substr(i, pos - i));
            pendingLimits.back() = std::string(number);
            i = numberStart + number.size();
            continue;
        }
        out += c;
        lastCodeEnd = out.size();
        ++i;
    }
    flushLimit();
    return out;
}

} // namespace telvora
