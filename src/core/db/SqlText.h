#pragma once

#include <string>
#include <string_view>

namespace telvora {

/// Doubles every apostrophe so that text can stand between single quotes in SQL.
std::string SqlEscape(std::string_view text);
/// The text escaped and wrapped in single quotes.
std::string SqlQuote(std::string_view text);

} // namespace telvora
