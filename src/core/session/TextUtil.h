#pragma once

#include <string>
#include <string_view>

namespace telvora {

/// Trims ASCII white space at both ends.
std::string_view TrimAscii(std::string_view text);

/// Makes text a form value for the service: UTF-8, percent-escaped, "%" included (the
/// service would read "100%AB" as an escape). False, text unchanged, when it is too long.
bool EscapeFormValue(std::string& text);

} // namespace telvora
