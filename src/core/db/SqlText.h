#pragma once

#include <string>
#include <string_view>

namespace telvora {

/// Doubles every apostrophe so that text can stand between single quotes in SQL.
std::string SqlEscape(std::string_view text);
/// The text escaped and wrapped in single quotes.
std::string SqlQuote(std::string_view text);
/// A column name or caption as an SQL identifier in double quotes (inner ones doubled), so
/// that blanks, brackets and quotes in a caption the user chose cannot break the statement.
std::string SqlQuoteIdentifier(std::string_view name);

} // namespace telvora
