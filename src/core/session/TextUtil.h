#pragma once

#include <string>
#include <string_view>

namespace telvora {

/// Trims ASCII white space at both ends.
std::string_view TrimAscii(std::string_view text);

} // namespace telvora
