#include "SimText.h"

#include "service/TextCodec.h"

#include <algorithm>
#include <charconv>

namespace telvora::sim {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

constexpr std::string_view kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

std::string xmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            if (byte >= 0x20 || c == '\t' || c == '\n' || c == '\r')
                out += c;
        }
    }
    return out;
}

std::map<std::string, std::string> parseFormRaw(std::string_view body)
{
    std::map<std::string, std::string> fields;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string_view::npos)
            end = body.size();
        const std::string_view pair = body.substr(start, end - start);
        if (!pair.empty()) {
            const std::size_t eq = pair.find('=');
            std::string name = DecodeFormValue(pair.substr(0, eq));
            std::string value = eq == std::string_view::npos ? std::string() : std::string(pair.substr(eq + 1));
            fields.emplace(std::move(name), std::move(value));
        }
        start = end + 1;
    }
    return fields;
}

std::string trim(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::vector<std::string> splitList(std::string_view text, char sep)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(sep, start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string piece = trim(text.substr(start, end - start));
        if (!piece.empty())
            pieces.push_back(std::move(piece));
        start = end + 1;
    }
    return pieces;
}

std::string base64Encode(std::string_view bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const auto n = static_cast<unsigned>(static_cast<unsigned char>(bytes[i])) << 16
            | static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8
            | static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 2]));
        out += kBase64[(n >> 18) & 63];
        out += kBase64[(n >> 12) & 63];
        out += kBase64[(n >> 6) & 63];
        out += kBase64[n & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned n = static_cast<unsigned>(static_cast<unsigned char>(bytes[i])) << 16;
        if (rest == 2)
            n |= static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        out += kBase64[(n >> 18) & 63];
        out += kBase64[(n >> 12) & 63];
        out += rest == 2 ? kBase64[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> base64Decode(std::string_view text)
{
    std::string clean;
    clean.reserve(text.size());
    for (char c : text) {
        if (!isBlank(c))
            clean += c;
    }
    if (clean.size() % 4 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(clean.size() / 4 * 3);
    for (std::size_t i = 0; i < clean.size(); i += 4) {
        unsigned n = 0;
        int padding = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            const char c = clean[i + j];
            if (c == '=') {
                // Padding only at the very end, and at most two.
                if (i + 4 != clean.size() || j < 2)
                    return std::nullopt;
                ++padding;
                n <<= 6;
                continue;
            }
            if (padding > 0)
                return std::nullopt;
            const std::size_t value = kBase64.find(c);
            if (value == std::string_view::npos)
                return std::nullopt;
            n = (n << 6) | static_cast<unsigned>(value);
        }
        out += static_cast<char>((n >> 16) & 0xFF);
        if (padding < 2)
            out += static_cast<char>((n >> 8) & 0xFF);
        if (padding < 1)
            out += static_cast<char>(n & 0xFF);
    }
    return out;
}

std::string jsonEscape(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                out += "\\u00";
                out += kHex[byte >> 4];
                out += kHex[byte & 15];
            } else {
                out += c;
            }
        }
    }
    return out;
}

int countUtf16Units(std::string_view utf8)
{
    int units = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 1;
        if (lead >= 0xF0 && lead <= 0xF4)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC2 && lead < 0xE0)
            length = 2;
        bool valid = lead < 0x80 || (length > 1 && i + length <= utf8.size());
        for (std::size_t k = 1; valid && k < length; ++k) {
            if ((static_cast<unsigned char>(utf8[i + k]) & 0xC0) != 0x80)
                valid = false;
        }
        if (!valid || lead >= 0xF5) {
            ++units;
            ++i;
            continue;
        }
        units += length == 4 ? 2 : 1;
        i += length;
    }
    return units;
}

int countSegments(std::string_view utf8, int longLen)
{
    if (longLen <= 0)
        return 1;
    const auto roundUp = [longLen](int n) { return n / longLen + (n % longLen != 0 ? 1 : 0); };
    int n = countUtf16Units(utf8);
    const int k = roundUp(n);
    if (k > 1)
        n += 4 * k;
    return std::max(1, roundUp(n));
}

bool isMobileNumber(std::string_view number)
{
    return number.size() == 11 && number[0] == '1'
        && std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::int64_t> parseInt(std::string_view text)
{
    const std::string clean = trim(text);
    std::int64_t value = 0;
    const char* begin = clean.data();
    const char* end = clean.data() + clean.size();
    if (begin != end && *begin == '+')
        ++begin;
    const auto result = std::from_chars(begin, end, value);
    if (clean.empty() || result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

std::vector<std::vector<std::string>> parseDetails(std::string_view raw)
{
    std::vector<std::vector<std::string>> entries;
    std::vector<std::string> current;
    bool any = false;
    std::size_t i = 0;
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '{') {
            const std::size_t close = raw.find('}', i + 1);
            const std::size_t end = close == std::string_view::npos ? raw.size() : close;
            current.push_back(DecodeFormValue(raw.substr(i + 1, end - i - 1)));
            any = true;
            i = end + 1;
        } else if (c == ';') {
            entries.push_back(std::move(current));
            current.clear();
            any = false;
            ++i;
        } else {
            ++i;
        }
    }
    if (any)
        entries.push_back(std::move(current));
    return entries;
}

std::vector<std::string> placeholderNames(std::string_view pattern)
{
    std::vector<std::string> names;
    std::size_t i = 0;
    while ((i = pattern.find('{', i)) != std::string_view::npos) {
        const std::size_t close = pattern.find('}', i + 1);
        if (close == std::string_view::npos)
            break;
        std::string name(pattern.substr(i + 1, close - i - 1));
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(std::move(name));
        i = close + 1;
    }
    return names;
}

std::string mergePattern(
    std::string_view pattern, const std::vector<std::string>& names, const std::vector<std::string>& values)
{
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const std::size_t open = pattern.find('{', i);
        const std::size_t close = open == std::string_view::npos ? open : pattern.find('}', open + 1);
        if (close == std::string_view::npos) {
            out.append(pattern.substr(i));
            break;
        }
        out.append(pattern.substr(i, open - i));
        const std::string_view name = pattern.substr(open + 1, close - open - 1);
        const auto found = std::find(names.begin(), names.end(), name);
        const auto index = static_cast<std::size_t>(found - names.begin());
        if (found != names.end() && index < values.size())
            out += values[index];
        i = close + 1;
    }
    return out;
}

} // namespace telvora::sim
