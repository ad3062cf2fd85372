#include "db/SqlText.h"

namespace telvora {

namespace {

void appendEscaped(std::string& out, std::string_view text)
{
    for (const char c : text) {
        out += c;
        if (c == '\'') {
            out += '\'';
        }
    }
}

} // namespace

std::string SqlEscape(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size() + 4);
    appendEscaped(escaped, text);
    return escaped;
}

std::string SqlQuote(std::string_view text)
{
    // Built in place: "'" + string&& trips a false -Wrestrict in GCC 12 at -O3.
    std::string quoted;
    quoted.reserve(text.size() + 6);
    quoted += '\'';
    appendEscaped(quoted, text);
    quoted += '\'';
    return quoted;
}

std::string SqlQuoteIdentifier(std::string_view name)
{
    std::string quoted;
    quoted.reserve(name.size() + 4);
    quoted += '"';
    for (const char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    quoted += '"';
    return quoted;
}

} // namespace telvora
