#include "session/TextUtil.h"

#include <filesystem>

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

std::string AsciiLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string AsciiUpper(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string LowerExtension(const std::string& path)
{
    return AsciiLower(std::filesystem::path(path).extension().string());
}

} // namespace telvora
