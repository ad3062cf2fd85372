#include "db/SqlText.h"

namespace telvora {

std::string SqlEscape(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size() + 4);
    for (const char c : text) {
        escaped += c;
        if (c == '\'') {
            escaped += '\'';
        }
    }
    return escaped;
}

std::string SqlQuote(std::string_view text)
{
    return "'" + SqlEscape(text) + "'";
}

} // namespace telvora
