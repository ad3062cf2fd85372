#pragma once

#include <string>
#include <string_view>

namespace telvora {

/// Source name of failures that SQLite reports.
inline constexpr std::string_view kSqliteSource = "SQLite";

/// The layer's failure report: "<who> Error\n\tCode = %08lx\n\tCode meaning = %s\n\tSource = %s\n
/// \tDescription = %s\n", with SQLite's text for the result code as its meaning.
std::string BuildErrorReport(std::string_view who, int code, std::string_view source, std::string_view description);

} // namespace telvora
