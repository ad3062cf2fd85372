#pragma once

#include <string>
#include <string_view>

namespace telvora {

/// Appends bytes in standard Base64 ("A-Za-z0-9+/", "=" padding), without line breaks.
void AppendBase64(std::string& out, std::string_view bytes);

} // namespace telvora
