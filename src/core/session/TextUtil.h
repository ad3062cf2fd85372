#pragma once

#include <string>
#include <string_view>

namespace telvora {

/// Trims ASCII white space at both ends.
std::string_view TrimAscii(std::string_view text);

/// The text with ASCII letters in lower or upper case; other bytes as they are.
std::string AsciiLower(std::string_view text);
std::string AsciiUpper(std::string_view text);
/// The extension of a file name with its dot, in lower case (".xlsx"); empty without one.
std::string LowerExtension(const std::string& path);

} // namespace telvora
