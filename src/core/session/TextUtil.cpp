#include "session/TextUtil.h"

namespace telvora {

std::string_view TrimAscii(std::string_view text)
{
    constexpr std::string_view spaces = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(spaces);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(spaces);
    return text.substr(first, last - first + 1);
}

} // namespace telvora
