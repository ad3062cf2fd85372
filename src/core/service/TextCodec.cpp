#include "service/TextCodec.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace telvora {

namespace {

// Length of the valid UTF-8 sequence at pos, or 0 when the bytes there are not one. On 0,
// bad receives the length of the maximal invalid prefix (at least 1), which becomes one "?".
std::size_t validSequence(std::string_view text, std::size_t pos, std::size_t& bad)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(pos);
    bad = 1;
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) {
            low = 0xA0; // overlong
        } else if (lead == 0xED) {
            high = 0x9F; // surrogates
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) {
            low = 0x90; // overlong
        } else if (lead == 0xF4) {
            high = 0x8F; // above U+10FFFF
        }
    } else {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (pos + i >= text.size()) {
            bad = i;
            return 0;
        }
        const std::uint8_t b = byte(pos + i);
        const std::uint8_t min = i == 1 ? low : 0x80;
        const std::uint8_t max = i == 1 ? high : 0xBF;
        if (b < min || b > max) {
            bad = i;
            return 0;
        }
    }
    return length;
}

void replaceInvalid(std::string& text)
{
    std::size_t pos = 0;
    std::size_t bad = 0;
    // Most replies are valid: only copy once something needs replacing.
    while (pos < text.size()) {
        const std::size_t length = validSequence(text, pos, bad);
        if (length == 0) {
            break;
        }
        pos += length;
    }
    if (pos == text.size()) {
        return;
    }
    std::string clean(text, 0, pos);
    clean.reserve(text.size());
    while (pos < text.size()) {
        const std::size_t length = validSequence(text, pos, bad);
        if (length == 0) {
            clean.push_back('?');
            pos += bad;
        } else {
            clean.append(text, pos, length);
            pos += length;
        }
    }
    text = std::move(clean);
}

constexpr char kHex[] = "0123456789abcdef";

constexpr std::array<bool, 256> makeFormUnsafeTable()
{
    std::array<bool, 256> table {};
    for (std::size_t b = 0; b < 256; ++b) {
        table[b] = b < 32 || b > 126;
    }
    for (const char c : std::string_view(" \"#$%&+,;<=>?@[\\]^`{|}")) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}

constexpr std::array<bool, 256> makeUrlUnsafeTable()
{
    std::array<bool, 256> table {};
    for (std::size_t b = 0; b < 256; ++b) {
        table[b] = b <= 32 || b > 126 || b == '#';
    }
    return table;
}

constexpr std::array<bool, 256> kFormUnsafe = makeFormUnsafeTable();
constexpr std::array<bool, 256> kUrlUnsafe = makeUrlUnsafeTable();

std::size_t escapedSize(std::string_view text, const std::array<bool, 256>& unsafe)
{
    std::size_t size = 0;
    for (const char c : text) {
        size += unsafe[static_cast<unsigned char>(c)] ? 3 : 1;
    }
    return size;
}

std::string escapeBytes(std::string_view text, const std::array<bool, 256>& unsafe, std::size_t size)
{
    std::string escaped;
    escaped.reserve(size);
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (unsafe[b]) {
            escaped.push_back('%');
            escaped.push_back(kHex[b >> 4]);
            escaped.push_back(kHex[b & 0x0F]);
        } else {
            escaped.push_back(c);
        }
    }
    return escaped;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

void ToUtf8(std::string& text)
{
    replaceInvalid(text);
}

void FromUtf8(std::string& text)
{
    replaceInvalid(text);
}

bool IsValidUtf8(const std::string& text)
{
    std::size_t pos = 0;
    std::size_t bad = 0;
    while (pos < text.size()) {
        const std::size_t length = validSequence(text, pos, bad);
        if (length == 0) {
            return false;
        }
        pos += length;
    }
    return true;
}

std::size_t Utf16Length(std::string_view text)
{
    std::size_t units = 0;
    std::size_t pos = 0;
    std::size_t bad = 0;
    while (pos < text.size()) {
        const std::size_t length = validSequence(text, pos, bad);
        // An invalid sequence goes out as one "?"; four bytes make a surrogate pair.
        units += length == 4 ? 2 : 1;
        pos += length == 0 ? bad : length;
    }
    return units;
}

bool EscapeFormValue(std::string& text)
{
    std::string value = text;
    ToUtf8(value);
    const std::size_t size = escapedSize(value, kFormUnsafe);
    if (size > kMaxEscapedSize) {
        return false;
    }
    text = size == value.size() ? std::move(value) : escapeBytes(value, kFormUnsafe, size);
    return true;
}

std::string DecodeFormValue(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

std::string EscapeUrl(std::string_view url)
{
    return escapeBytes(url, kUrlUnsafe, escapedSize(url, kUrlUnsafe));
}

} // namespace telvora
